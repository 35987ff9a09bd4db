// The application object: one place where an exception raised by a command is
// shown to the user, so that none reaches Qt's event loop.
#pragma once

#include "texts/Guarded.h"

#include <QApplication>
#include <QIcon>

#include <exception>

class TWordlarkApplication : public QApplication {
    Q_OBJECT
public:
    TWordlarkApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the exception's message in a standard error box; the program goes on.
    static void HandleException(const std::exception& error) { ShowException(error); }

    // The program's own icon; every window carries it.
    static QIcon Icon() { return ProgramIcon(); }
};
