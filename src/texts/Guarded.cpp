#include "texts/Guarded.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

void ShowException(const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
    box.setObjectName("ExceptionBox");
    box.button(QMessageBox::Ok)->setObjectName("OK");
    box.exec();
}
