// Access letters of menus and menu items.
//
// A menu's or item's access letter is kept beside its caption, never in it:
// the caption stays the plain interface text (other windows copy it and the
// language files hold it without any marker), and the letter lives in a
// property of the menu's or item's QAction. TAccessKeyStyle underlines the
// letter wherever a menu bar or menu draws the caption, as the style underlines
// a mnemonic of its own (and hides it where the style hides mnemonics), and
// TAccessKeys makes the letters work from the keyboard: Alt+letter opens a menu
// of the menu bar, F10 opens its first menu, and a letter typed in an open menu
// chooses that item or opens that submenu.
#pragma once

#include <QList>
#include <QObject>
#include <QProxyStyle>
#include <QString>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QShortcut;
class QWidget;

// The access letter of a menu (its menuAction()) or of a menu item; a null
// character when it has none.
QChar AccessLetter(const QAction* item);
void SetAccessLetter(QAction* item, QChar letter);

// `caption` as Qt's mnemonic text: "&" before the first occurrence of `letter`
// (in either case), every other "&" doubled so that it shows as itself. A
// caption without the letter gets no marker.
QString WithMnemonic(const QString& caption, QChar letter);

// The first letter or digit of `caption` that is none of `taken` (in either
// case); a null character when there is none.
QChar FreeLetter(const QString& caption, const QString& taken);

// The visible, enabled items among `items` whose access letter is `letter`
// (in either case), in their order.
QList<QAction*> ItemsWithLetter(const QList<QAction*>& items, QChar letter);

// The application's style with the access letters drawn underlined.
class TAccessKeyStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;

    // Makes this the application's style, over the style in use, unless it is
    // already.
    static void Install();
};

// The keys of one window's menu bar and of the menus it watches.
class TAccessKeys : public QObject {
    Q_OBJECT
public:
    TAccessKeys(QMenuBar* bar, QWidget* window);

    // Letters typed while `menu` is open choose its items. Watching a menu
    // twice is harmless.
    void Watch(QMenu* menu);
    // Takes the letters of the bar's menus again, for Alt+letter, and watches
    // every menu the bar leads to; call after they changed.
    void Update();
    // Opens the bar's menu `title` (a menuAction()) with its first item active,
    // as Alt+letter does; false when it is hidden or disabled.
    bool Open(QAction* title);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OpenWithLetter(QChar letter);
    bool ChooseIn(QMenu* menu, QChar letter);

    QMenuBar* FBar;
    QWidget* FWindow;
    std::vector<QShortcut*> FShortcuts;
};
