#include "texts/AccessKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QStyleOptionMenuItem>

#include <functional>

namespace {

const char* const LetterProperty = "wordlarkAccessLetter";

bool SameLetter(QChar a, QChar b) {
    return a.toCaseFolded() == b.toCaseFolded();
}

bool Choosable(const QAction* item) {
    return item->isVisible() && item->isEnabled() && !item->isSeparator();
}

// The character a key press typed, if it can be an access letter.
QChar TypedLetter(const QKeyEvent* key) {
    const QString text = key->text();
    if (text.size() == 1 && text.front().isPrint() && !text.front().isSpace())
        return text.front();
    // With Alt held some systems give no text; the key still names the letter.
    if (text.isEmpty() && key->key() > Qt::Key_Space && key->key() <= 0xFF)
        return QChar(key->key());
    return {};
}

// The action whose item `rect` is, in the menu bar or menu `widget`.
const QAction* ActionAt(const QWidget* widget, const QRect& rect) {
    if (const auto* bar = qobject_cast<const QMenuBar*>(widget))
        return bar->actionAt(rect.center());
    if (const auto* menu = qobject_cast<const QMenu*>(widget))
        return menu->actionAt(rect.center());
    return nullptr;
}

} // namespace

QChar AccessLetter(const QAction* item) {
    const QString letter = item ? item->property(LetterProperty).toString() : QString();
    return letter.isEmpty() ? QChar() : letter.front();
}

void SetAccessLetter(QAction* item, QChar letter) {
    item->setProperty(LetterProperty, letter.isNull() ? QString() : QString(letter));
}

QString WithMnemonic(const QString& caption, QChar letter) {
    qsizetype at = -1;
    if (!letter.isNull())
        for (qsizetype i = 0; i < caption.size() && at < 0; ++i)
            if (SameLetter(caption[i], letter))
                at = i;
    QString text;
    text.reserve(caption.size() + 4);
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (i == at)
            text += u'&';
        text += caption[i];
        if (caption[i] == u'&')
            text += u'&';
    }
    return text;
}

QChar FreeLetter(const QString& caption, const QString& taken) {
    for (const QChar c : caption) {
        if (!c.isLetterOrNumber())
            continue;
        bool used = false;
        for (const QChar t : taken)
            used = used || SameLetter(c, t);
        if (!used)
            return c;
    }
    return {};
}

QList<QAction*> ItemsWithLetter(const QList<QAction*>& items, QChar letter) {
    QList<QAction*> found;
    for (QAction* item : items) {
        const QChar own = AccessLetter(item);
        if (!own.isNull() && Choosable(item) && SameLetter(own, letter))
            found.append(item);
    }
    return found;
}

// ---- Drawing -------------------------------------------------------------------------

void TAccessKeyStyle::drawControl(ControlElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item && (element == CE_MenuItem || element == CE_MenuBarItem)) {
        // A menu's item text is its caption, then a tab and the shortcut.
        const qsizetype tab = item->text.indexOf(u'\t');
        const QString caption = tab < 0 ? item->text : item->text.left(tab);
        const QAction* action = ActionAt(widget, item->rect);
        if (action && action->text() == caption && !AccessLetter(action).isNull()) {
            QStyleOptionMenuItem marked(*item);
            marked.text = WithMnemonic(caption, AccessLetter(action)) +
                          (tab < 0 ? QString() : item->text.mid(tab));
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TAccessKeyStyle::Install() {
    // Over a new instance of the style in use (whatever the desktop or the
    // user chose), since the application deletes the style it replaces.
    if (!qobject_cast<TAccessKeyStyle*>(QApplication::style()))
        QApplication::setStyle(new TAccessKeyStyle(QApplication::style()->name()));
}

// ---- Keys -------------------------------------------------------------------------------

TAccessKeys::TAccessKeys(QMenuBar* bar, QWidget* window)
    : QObject(window), FBar(bar), FWindow(window) {
    bar->installEventFilter(this);
    // F10 opens the first menu, where the arrow keys lead on.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
    f10->setObjectName("MenuBarKey");
    connect(f10, &QShortcut::activated, this, [this] {
        for (QAction* title : FBar->actions())
            if (Open(title))
                return;
    });
}

void TAccessKeys::Watch(QMenu* menu) {
    menu->removeEventFilter(this);
    menu->installEventFilter(this);
}

void TAccessKeys::Update() {
    for (QShortcut* shortcut : FShortcuts)
        delete shortcut;
    FShortcuts.clear();
    // Every menu the bar leads to takes typed letters, submenus included.
    std::function<void(QMenu*)> watchAll = [&](QMenu* menu) {
        Watch(menu);
        for (QAction* item : menu->actions())
            if (item->menu())
                watchAll(item->menu());
    };
    for (QAction* title : FBar->actions()) {
        if (title->menu())
            watchAll(title->menu());
        const QChar letter = AccessLetter(title);
        if (letter.isNull() || !title->menu())
            continue;
        auto* shortcut =
            new QShortcut(QKeySequence(Qt::ALT | Qt::Key(letter.toUpper().unicode())), FWindow);
        connect(shortcut, &QShortcut::activated, this, [this, title = QPointer<QAction>(title)] {
            if (title)
                Open(title);
        });
        FShortcuts.push_back(shortcut);
    }
}

bool TAccessKeys::Open(QAction* title) {
    QMenu* menu = title->menu();
    if (!menu || !Choosable(title) || !FBar->isVisible())
        return false;
    FBar->setActiveAction(title);
    for (QAction* item : menu->actions())
        if (Choosable(item)) {
            menu->setActiveAction(item);
            break;
        }
    return true;
}

bool TAccessKeys::OpenWithLetter(QChar letter) {
    const QList<QAction*> titles = ItemsWithLetter(FBar->actions(), letter);
    return !titles.isEmpty() && Open(titles.front());
}

// Like Qt's own mnemonics: the one item with the letter is chosen at once; of
// several, the next one after the active item becomes active.
bool TAccessKeys::ChooseIn(QMenu* menu, QChar letter) {
    const QList<QAction*> items = ItemsWithLetter(menu->actions(), letter);
    if (items.isEmpty())
        return false;
    if (items.size() > 1) {
        const qsizetype active = items.indexOf(menu->activeAction());
        menu->setActiveAction(items[(active + 1) % items.size()]);
        return true;
    }
    // Return on the active item runs it, or opens its submenu, the way the
    // menu itself does it.
    menu->setActiveAction(items.front());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &enter);
    return true;
}

bool TAccessKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers =
        key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    const QChar letter = TypedLetter(key);
    if (letter.isNull() || (modifiers != Qt::NoModifier && modifiers != Qt::AltModifier))
        return QObject::eventFilter(watched, event);
    if (auto* menu = qobject_cast<QMenu*>(watched)) {
        if (ChooseIn(menu, letter))
            return true;
        // Alt+letter in an open menu moves to another menu of the bar.
        if (modifiers == Qt::AltModifier && FBar->activeAction())
            return OpenWithLetter(letter);
        return false;
    }
    // The bar itself has the keys while it is active without an open menu.
    if (watched == FBar)
        return OpenWithLetter(letter);
    return QObject::eventFilter(watched, event);
}
