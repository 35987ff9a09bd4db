// The one place where an exception raised by a command is shown to the user:
// a standard error box with its message, after which the program goes on.
#pragma once

#include <QIcon>
#include <QObject>

#include <exception>

// Shows the exception's message in a standard error box.
void ShowException(const std::exception& error);

// Runs `action`; an exception it raises is shown by ShowException.
template <class Action> void Guarded(Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        ShowException(error);
    }
}

// Connects `signal` of `sender` to the command `handler` of `receiver`, run
// guarded: an exception the command raises is shown, not passed to Qt's event
// loop. The signal's arguments are not handed on.
template <class Sender, class Signal, class Receiver>
void ConnectCommand(Sender* sender, Signal signal, Receiver* receiver,
                    void (Receiver::*handler)()) {
    QObject::connect(sender, signal, receiver,
                     [receiver, handler] { Guarded([&] { (receiver->*handler)(); }); });
}

// The program's own icon, drawn in src/resources/wordlark.svg; every window
// carries it. The build draws it at 16, 32, 64 and 128 pixels, the sizes a
// window system asks a scalable icon for.
QIcon ProgramIcon();
