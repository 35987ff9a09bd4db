#include "app/WordlarkApplication.h"

TWordlarkApplication::TWordlarkApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Wordlark");
    setOrganizationName("Brightmoor");
    // The name of the installed menu entry, so that desktops show the entry's
    // name and icon for the program's windows.
    setDesktopFileName("example.brightmoor.wordlark");
    setWindowIcon(Icon());
}

bool TWordlarkApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandleException(error);
    }
    return false;
}
