// TScintillaControl: a QScintilla control whose edits cost the same wherever
// they happen in the text.
//
// Scintilla tells its host about every insertion and removal through one
// notification (SCN_MODIFIED). QScintilla's handler of that notification first
// turns the change's byte position into a character offset for the
// accessibility interface, by counting every character from the start of the
// text to the change (SCI_COUNTCHARACTERS), and it does so whether or not an
// assistive technology listens. In a 50 MB text one keystroke near the end then
// costs a few hundred milliseconds.
//
// While no assistive technology is active this control asks Scintilla only for
// the notifications sent just before a change (SC_MOD_BEFOREINSERT and
// SC_MOD_BEFOREDELETE), which QScintilla hands on without counting, and raises
// SCN_MODIFIED for the change itself, as Scintilla would have, once the text
// has changed. "Once" is: when the next change begins, when Scintilla next asks
// for styles, updates its view or reports a typed character, at the end of each
// event the control handles, at the end of each editing call of its API, and at
// the latest when the event loop next runs. Listeners of SCN_MODIFIED therefore
// see every insertion and removal, in order, with the text already changed,
// exactly as before; only the `text` argument is null. Other modification
// notifications (markers, folds, styles) are not sent while this is in force.
//
// Text changed through SendScintilla directly is announced by the next of
// those moments; call FlushChanges() to have it announced at once.
//
// While an assistive technology is active, Scintilla sends every notification
// as usual, so that QScintilla's accessible interface hears of every change;
// unless the control has an accessible interface of its own that keeps its
// offsets itself (UseOwnAccessible): then the changes stay held back, and
// their announcements carry the text put in or taken out (`text`, with
// `length` bytes) while an assistive technology is active.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QAccessible>

#include <functional>
#include <string>

class TScintillaControl : public QsciScintilla, private QAccessible::ActivationObserver {
    Q_OBJECT
public:
    explicit TScintillaControl(QWidget* parent = nullptr);
    ~TScintillaControl() override;

    // Raises SCN_MODIFIED for a change whose announcement is still held back.
    void FlushChanges();

    // Runs `edit`, changes made through SendScintilla, as one undo step.
    // Those who follow the text change by change (SCN_MODIFIED) may skip the
    // single changes while InBulkEdit() and take the whole text again on
    // BulkChange, raised once when the edit is over (also when it throws).
    void BulkEdit(const std::function<void()>& edit);
    bool InBulkEdit() const { return FBulkEdit; }

    // Whether `text` may go into the text when an assistive technology puts
    // it in; the control may say why not (as it does for typed text).
    virtual bool AcceptsInput(const QString& text);

    // The editing calls of QScintilla's API, each followed by FlushChanges().
    void append(const QString& text) override;
    void clear() override;
    void cut() override;
    void insert(const QString& text) override;
    void insertAt(const QString& text, int line, int index) override;
    void paste() override;
    void redo() override;
    void removeSelectedText() override;
    void replace(const QString& replaceStr) override;
    void replaceSelectedText(const QString& text) override;
    void setText(const QString& text) override;
    void undo() override;

signals:
    // A BulkEdit is over: the text may have changed anywhere.
    void BulkChange();

protected:
    // The control's accessible interface is its own (see EditorAccessible.h).
    void UseOwnAccessible();

protected:
    bool event(QEvent* e) override;
    bool viewportEvent(QEvent* e) override;

private:
    void accessibilityActiveChanged(bool active) override;
    void ApplyEventMask(bool accessibilityActive);
    void Modified(int position, int type, int length);
    // Announces the held-back change, if any. `lastStep`: nothing of the same
    // undo or redo can follow.
    void Announce(bool lastStep);
    std::string Range(int position, int length) const;

    struct TPending {
        int Position = 0;
        int Type = 0; // SC_MOD_BEFOREINSERT or SC_MOD_BEFOREDELETE with the SC_PERFORMED_* bits
        int Length = 0;
        long LinesBefore = 0;
        std::string Removed; // the bytes a removal takes, when they are announced
    };
    bool FOwnAccessible = false;
    std::string FInserted;
    bool FHolding = false; // only the before-change notifications are asked for
    bool FPendingValid = false;
    TPending FPending;
    bool FQueued = false;
    bool FAnnouncing = false;
    bool FBulkEdit = false;
};
