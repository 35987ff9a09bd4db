#include "texts/FontMapping.h"

#include <QWidget>

#include <cmath>

int FontHeight(const QFont& font, int dpi) {
    if (font.pixelSize() > 0)
        return -font.pixelSize();
    return -static_cast<int>(std::lround(font.pointSizeF() * dpi / 72.0));
}

void SetFontHeight(QFont& font, int height) {
    if (height != 0)
        font.setPixelSize(std::abs(height));
}

int FontSize(const QFont& font, int dpi) {
    return static_cast<int>(std::lround(-FontHeight(font, dpi) * 72.0 / dpi));
}

int FontPitch(const QFont& font) {
    if (font.fixedPitch())
        return 2;
    return font.styleHint() == QFont::AnyStyle ? 0 : 1;
}

void SetFontPitch(QFont& font, int pitch) {
    switch (pitch) {
    case 2:
        font.setFixedPitch(true);
        font.setStyleHint(QFont::TypeWriter);
        break;
    case 1:
        font.setFixedPitch(false);
        font.setStyleHint(QFont::SansSerif);
        break;
    default:
        font.setFixedPitch(false);
        font.setStyleHint(QFont::AnyStyle);
        break;
    }
}

void FollowMainFont(QWidget& window, const QFont& font, std::initializer_list<QWidget*> ownFonts) {
    QFont own = window.font();
    own.setFamily(font.family());
    SetFontPitch(own, FontPitch(font));
    own.setPointSize(FontSize(font, window.logicalDpiY()));
    window.setFont(own);
    for (QWidget* control : ownFonts) {
        QFont f = control->font();
        f.setFamily(own.family());
        SetFontPitch(f, FontPitch(own));
        f.setPointSize(own.pointSize());
        control->setFont(f);
    }
}
