#include "app/WordlarkApplication.h"

#include <QAbstractButton>
#include <QMessageBox>

TWordlarkApplication::TWordlarkApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Wordlark");
    setOrganizationName("Brightmoor");
    // The name of the installed menu entry, so that desktops show the entry's
    // name and icon for the program's windows.
    setDesktopFileName("example.brightmoor.wordlark");
    setWindowIcon(Icon());
}

QIcon TWordlarkApplication::Icon() {
    return QIcon(":/wordlark.svg");
}

bool TWordlarkApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandleException(error);
    }
    return false;
}

void TWordlarkApplication::HandleException(const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
    box.setObjectName("ExceptionBox");
    box.button(QMessageBox::Ok)->setObjectName("OK");
    box.exec();
}
