// Pictures of windows for the documentation. There is no window manager in the
// tests to draw a caption bar, so one is painted above the window's inside.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QString>

inline QPixmap WithCaption(const QPixmap& inside, const QString& title, const QFont& font) {
    const int bar = QFontMetrics(font).height() + 10;
    QPixmap framed(inside.width() + 2, inside.height() + bar + 1);
    framed.fill(QColor(96, 96, 96));
    QPainter painter(&framed);
    painter.fillRect(1, 1, inside.width(), bar - 1, QColor(58, 94, 145));
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(QRect(9, 1, inside.width() - 16, bar - 1), Qt::AlignVCenter, title);
    painter.drawPixmap(1, bar, inside);
    return framed;
}

// The folder the pictures go to (WORDLARK_SCREENSHOT_DIR); empty: none are kept.
inline QString ScreenshotFolder() {
    return qEnvironmentVariable("WORDLARK_SCREENSHOT_DIR");
}
