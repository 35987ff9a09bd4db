// The application object: one place where an exception raised by a command is
// shown to the user, so that none reaches Qt's event loop.
#pragma once

#include <QApplication>
#include <QIcon>

#include <exception>

class TWordlarkApplication : public QApplication {
    Q_OBJECT
public:
    TWordlarkApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception's message in a standard error box; the program goes on.
    static void HandleException(const std::exception& error);

    // The program's own icon, drawn in src/resources/wordlark.svg; every window
    // carries it.
    static QIcon Icon();
};

// Runs `action`; an exception it raises goes to the application's error handler.
template <class Action> void Guarded(Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        TWordlarkApplication::HandleException(error);
    }
}
