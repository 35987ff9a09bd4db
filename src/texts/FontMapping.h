// How the Windows font notions the preferences store map onto Qt's fonts.
//
// - Height: a Windows font height in pixels, negative for the character height
//   (what the program stores), positive for the cell height. Qt knows only the
//   character height, so both signs set the pixel size |height|; a font given in
//   points reports -round(points * dpi / 72).
// - Size: points, derived from the height at the window's dots per inch as
//   Windows does (-height * 72 / dpi, rounded).
// - Pitch: 0 default, 1 variable, 2 fixed, from and to Qt's fixed-pitch flag
//   and style hint (fixed: TypeWriter; variable: a proportional hint; default:
//   AnyStyle).
// - Character set: Qt has none; the number read is kept and written back.
#pragma once

#include <QFont>

#include <initializer_list>

class QWidget;

int FontHeight(const QFont& font, int dpi);
void SetFontHeight(QFont& font, int height);
int FontSize(const QFont& font, int dpi);
int FontPitch(const QFont& font);
void SetFontPitch(QFont& font, int pitch);

// Gives a dialog the face, pitch and point size of the main window's `font`.
// `ownFonts` are controls with fonts of their own (bold headings): they take
// the same face, pitch and size and keep the rest.
void FollowMainFont(QWidget& window, const QFont& font,
                    std::initializer_list<QWidget*> ownFonts = {});
