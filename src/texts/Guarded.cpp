#include "texts/Guarded.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QResource>

void ShowException(const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
    box.setObjectName("ExceptionBox");
    box.button(QMessageBox::Ok)->setObjectName("OK");
    box.exec();
}

QIcon ProgramIcon() {
    // Made of the pixels the build kept (32-bit premultiplied ARGB, row after
    // row), not read through an image reader: that would load every image
    // plug-in before the first window is painted.
    QIcon icon;
    for (int size : {16, 32, 64, 128}) {
        const QResource resource(QStringLiteral(":/icon/wordlark-%1.argb").arg(size));
        const QByteArray pixels = resource.uncompressedData();
        if (pixels.size() != qsizetype(size) * size * 4)
            continue;
        const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), size, size, size * 4,
                           QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image.copy()));
    }
    return icon;
}
