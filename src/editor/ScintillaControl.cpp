#include "editor/ScintillaControl.h"

#include <QMetaObject>

#include <utility>

namespace {

using Sci = QsciScintillaBase;

// The notifications asked for while changes are announced here: those sent
// just before a change. They carry no bit in common with the notification of
// the change itself (SC_MOD_INSERTTEXT or SC_MOD_DELETETEXT with the
// SC_PERFORMED_* bits), which Scintilla then keeps to itself.
// Held back: only the notices before a change, and the steps of the undo
// history that the program added itself (SCI_ADDUNDOACTION), which are no
// change of the text.
constexpr long BeforeChangeMask =
    Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE | Sci::SC_MOD_CONTAINER;
constexpr int PerformedBits =
    Sci::SC_PERFORMED_USER | Sci::SC_PERFORMED_UNDO | Sci::SC_PERFORMED_REDO;

} // namespace

TScintillaControl::TScintillaControl(QWidget* parent) : QsciScintilla(parent) {
    // Connected before anything else listens, so a held-back change is
    // announced before any other handler of these notifications runs.
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int length, int, int, int, int, int, int) {
                Modified(position, type, length);
            });
    connect(this, &QsciScintillaBase::SCN_STYLENEEDED, this, &TScintillaControl::FlushChanges);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &TScintillaControl::FlushChanges);
    connect(this, &QsciScintillaBase::SCN_CHARADDED, this, &TScintillaControl::FlushChanges);
    QAccessible::installActivationObserver(this);
    ApplyEventMask(QAccessible::isActive());
}

TScintillaControl::~TScintillaControl() {
    QAccessible::removeActivationObserver(this);
}

void TScintillaControl::accessibilityActiveChanged(bool active) {
    ApplyEventMask(active);
}

void TScintillaControl::UseOwnAccessible() {
    FOwnAccessible = true;
    ApplyEventMask(QAccessible::isActive());
}

void TScintillaControl::ApplyEventMask(bool accessibilityActive) {
    FlushChanges();
    FHolding = !accessibilityActive || FOwnAccessible;
    const long mask = FHolding ? BeforeChangeMask : static_cast<long>(SC_MODEVENTMASKALL);
    SendScintilla(SCI_SETMODEVENTMASK, static_cast<unsigned long>(mask));
}

void TScintillaControl::Modified(int position, int type, int length) {
    if (!FHolding)
        return;
    if (type & (SC_MOD_INSERTTEXT | SC_MOD_DELETETEXT)) {
        // Not our own announcement: someone asked Scintilla for these again,
        // and it has announced the change itself.
        if (!FAnnouncing)
            FPendingValid = false;
        return;
    }
    if (!(type & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)))
        return;
    // The text is now as the previous change left it: announce that one.
    Announce(false);
    FPending = {position, type, length, SendScintilla(SCI_GETLINECOUNT), {}};
    if ((type & SC_MOD_BEFOREDELETE) && FOwnAccessible && QAccessible::isActive())
        FPending.Removed = Range(position, length);
    FPendingValid = true;
    if (!FQueued) {
        FQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                FQueued = false;
                FlushChanges();
            },
            Qt::QueuedConnection);
    }
}

void TScintillaControl::Announce(bool lastStep) {
    if (!FPendingValid)
        return;
    const TPending change = std::move(FPending);
    FPendingValid = false;
    int type = (change.Type & SC_MOD_BEFOREINSERT) ? SC_MOD_INSERTTEXT : SC_MOD_DELETETEXT;
    type |= change.Type & PerformedBits;
    if (lastStep && (type & (SC_PERFORMED_UNDO | SC_PERFORMED_REDO)))
        type |= SC_LASTSTEPINUNDOREDO;
    const long linesAdded = SendScintilla(SCI_GETLINECOUNT) - change.LinesBefore;
    const char* text = nullptr;
    if (type & SC_MOD_DELETETEXT) {
        if (change.Removed.size() == static_cast<std::size_t>(change.Length))
            text = change.Removed.data();
    } else if (FOwnAccessible && QAccessible::isActive()) {
        FInserted = Range(change.Position, change.Length);
        text = FInserted.data();
    }
    const bool announcing = FAnnouncing;
    FAnnouncing = true;
    emit SCN_MODIFIED(change.Position, type, text, change.Length, static_cast<int>(linesAdded), 0,
                      0, 0, 0, 0);
    FAnnouncing = announcing;
}

std::string TScintillaControl::Range(int position, int length) const {
    std::string bytes(static_cast<std::size_t>(length) + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, static_cast<long>(position),
                  static_cast<long>(position) + length, bytes.data());
    bytes.resize(static_cast<std::size_t>(length));
    return bytes;
}

void TScintillaControl::FlushChanges() {
    // A listener may change the text again while it hears of a change.
    while (FPendingValid)
        Announce(true);
}

bool TScintillaControl::event(QEvent* e) {
    const bool result = QsciScintilla::event(e);
    FlushChanges();
    return result;
}

bool TScintillaControl::viewportEvent(QEvent* e) {
    const bool result = QsciScintilla::viewportEvent(e);
    FlushChanges();
    return result;
}

// ---------------------------------------------------------------------------
// The editing calls of the API

void TScintillaControl::append(const QString& text) {
    QsciScintilla::append(text);
    FlushChanges();
}

void TScintillaControl::clear() {
    QsciScintilla::clear();
    FlushChanges();
}

void TScintillaControl::cut() {
    QsciScintilla::cut();
    FlushChanges();
}

void TScintillaControl::insert(const QString& text) {
    QsciScintilla::insert(text);
    FlushChanges();
}

void TScintillaControl::insertAt(const QString& text, int line, int index) {
    QsciScintilla::insertAt(text, line, index);
    FlushChanges();
}

void TScintillaControl::paste() {
    QsciScintilla::paste();
    FlushChanges();
}

void TScintillaControl::redo() {
    QsciScintilla::redo();
    FlushChanges();
}

void TScintillaControl::removeSelectedText() {
    QsciScintilla::removeSelectedText();
    FlushChanges();
}

void TScintillaControl::replace(const QString& replaceStr) {
    QsciScintilla::replace(replaceStr);
    FlushChanges();
}

void TScintillaControl::replaceSelectedText(const QString& text) {
    QsciScintilla::replaceSelectedText(text);
    FlushChanges();
}

void TScintillaControl::setText(const QString& text) {
    QsciScintilla::setText(text);
    FlushChanges();
}

void TScintillaControl::undo() {
    QsciScintilla::undo();
    FlushChanges();
}

bool TScintillaControl::AcceptsInput(const QString&) {
    return true;
}

void TScintillaControl::BulkEdit(const std::function<void()>& edit) {
    // Ends the undo step and tells the listeners, however the edit ends.
    struct TEnd {
        TScintillaControl& Control;
        ~TEnd() {
            Control.SendScintilla(SCI_ENDUNDOACTION);
            Control.FlushChanges();
            Control.FBulkEdit = false;
            emit Control.BulkChange();
        }
    };
    FBulkEdit = true;
    SendScintilla(SCI_BEGINUNDOACTION);
    TEnd end{*this};
    edit();
}
