#include "editor/EditorAccessible.h"

#include "editor/ScintillaControl.h"
#include "encoding/CharacterIndex.h"

#include <QAccessibleWidget>
#include <QScrollBar>

#include <algorithm>
#include <optional>
#include <string>

namespace {

using Sci = QsciScintillaBase;

// The control's text as the character index reads it.
class TControlText final : public TCharacterIndex::TText {
public:
    explicit TControlText(const Sci& control) : FControl(control) {}

    std::size_t Length() const override { return Send(Sci::SCI_GETLENGTH); }
    std::size_t LineCount() const override { return Send(Sci::SCI_GETLINECOUNT); }
    std::size_t LineOf(std::size_t position) const override {
        return Send(Sci::SCI_LINEFROMPOSITION, position);
    }
    std::size_t LineStart(std::size_t line) const override {
        return Send(Sci::SCI_POSITIONFROMLINE, line);
    }
    void Read(std::size_t from, std::size_t to, std::string& out) const override {
        // A copy: a pointer into the buffer would move its gap away from the
        // place being edited.
        out.resize(to - from + 1);
        FControl.SendScintilla(Sci::SCI_GETTEXTRANGE, static_cast<long>(from),
                               static_cast<long>(to), out.data());
        out.resize(to - from);
    }

private:
    std::size_t Send(unsigned int message, std::size_t argument = 0) const {
        const long result = FControl.SendScintilla(message, static_cast<unsigned long>(argument));
        return result > 0 ? static_cast<std::size_t>(result) : 0;
    }

    const Sci& FControl;
};

// One line's text, for Qt's own reading of words and sentences in it
// (QAccessibleTextInterface's textAtOffset over QTextBoundaryFinder).
class TLineText final : public QAccessibleTextInterface {
public:
    explicit TLineText(QString text) : FText(std::move(text)) {}

    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int start, int end) const override { return FText.mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(FText.size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override {
        *start = *end = 0;
        return {};
    }

private:
    QString FText;
};

class TEditorAccessible final : public QAccessibleWidget,
                                public QAccessibleTextInterface,
                                public QAccessibleEditableTextInterface {
public:
    explicit TEditorAccessible(TScintillaControl* control)
        : QAccessibleWidget(control, QAccessible::EditableText), FControl(control),
          FText(*control) {
        FModified = QObject::connect(control, &Sci::SCN_MODIFIED, control,
                                     [this](int position, int type, const char* text, int length,
                                            int, int, int, int, int,
                                            int) { Modified(position, type, text, length); });
        FUpdated = QObject::connect(control, &Sci::SCN_UPDATEUI, control,
                                    [this](int updated) { UpdateUi(updated); });
        if (QAccessible::isActive())
            FCaret = cursorPosition();
    }

    ~TEditorAccessible() override {
        QObject::disconnect(FModified);
        QObject::disconnect(FUpdated);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.multiLine = true;
        s.selectableText = true;
        s.focusable = true;
        s.editable = !ReadOnly();
        s.readOnly = ReadOnly();
        return s;
    }

    // ---- Text ------------------------------------------------------------------

    int characterCount() const override { return static_cast<int>(Index().Characters()); }

    QString text(int start, int end) const override {
        start = Clamp(start);
        end = Clamp(end);
        if (end <= start)
            return {};
        return Bytes(Index().PositionOf(Unit(start)), Index().PositionOf(Unit(end)));
    }

    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                         int* end) const override {
        *start = *end = Clamp(offset == -1 ? characterCount() : offset);
        const int count = characterCount();
        if (boundary == QAccessible::NoBoundary) {
            *start = 0;
            *end = count;
            return text(0, count);
        }
        if (boundary == QAccessible::CharBoundary) {
            if (*start >= count)
                return {};
            const std::size_t at = Index().PositionOf(Unit(*start));
            *start = Character(at);
            const std::size_t next = static_cast<std::size_t>(
                FControl->SendScintilla(Sci::SCI_POSITIONRELATIVE, at, 1L));
            *end = next > at ? Character(next) : count;
            return text(*start, *end);
        }
        // Words and sentences are read within their line; lines and paragraphs
        // are the text's lines, their line breaks included.
        const std::size_t line = Index().LineOfCharacter(Unit(*start));
        const int lineStart = static_cast<int>(Index().CharactersBeforeLine(line));
        const int lineEnd = static_cast<int>(Index().CharactersBeforeLine(line + 1));
        if (boundary == QAccessible::LineBoundary || boundary == QAccessible::ParagraphBoundary) {
            *start = lineStart;
            *end = lineEnd;
            return text(lineStart, lineEnd);
        }
        const TLineText lineText(text(lineStart, lineEnd));
        const int at = *start;
        const QString found = lineText.textAtOffset(at - lineStart, boundary, start, end);
        if (*start < 0) { // nothing there: an empty line
            *start = *end = at;
            return {};
        }
        *start += lineStart;
        *end += lineStart;
        return found;
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                             int* end) const override {
        int atStart = 0, atEnd = 0;
        textAtOffset(offset, boundary, &atStart, &atEnd);
        if (atStart <= 0 || boundary == QAccessible::NoBoundary) {
            *start = *end = 0;
            return {};
        }
        return textAtOffset(atStart - 1, boundary, start, end);
    }

    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* start,
                            int* end) const override {
        int atStart = 0, atEnd = 0;
        textAtOffset(offset, boundary, &atStart, &atEnd);
        if (atEnd >= characterCount() || boundary == QAccessible::NoBoundary) {
            *start = *end = characterCount();
            return {};
        }
        return textAtOffset(atEnd, boundary, start, end);
    }

    // The text carries no attributes an assistive technology reads: one run.
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // ---- Caret and selection ---------------------------------------------------

    int cursorPosition() const override { return Character(Send(Sci::SCI_GETCURRENTPOS)); }

    void setCursorPosition(int position) override {
        Send(Sci::SCI_GOTOPOS, Index().PositionOf(Unit(Clamp(position))));
    }

    int selectionCount() const override {
        return Send(Sci::SCI_GETSELECTIONSTART) == Send(Sci::SCI_GETSELECTIONEND) ? 0 : 1;
    }

    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || selectionCount() == 0)
            return;
        *start = Character(Send(Sci::SCI_GETSELECTIONSTART));
        *end = Character(Send(Sci::SCI_GETSELECTIONEND));
    }

    void setSelection(int index, int start, int end) override {
        if (index != 0)
            return;
        // The caret at the end, the anchor at the start.
        Send(Sci::SCI_SETSEL, Index().PositionOf(Unit(Clamp(start))),
             Index().PositionOf(Unit(Clamp(end))));
    }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0)
            Send(Sci::SCI_SETEMPTYSELECTION, Send(Sci::SCI_GETCURRENTPOS));
    }

    // ---- Geometry ----------------------------------------------------------------

    QRect characterRect(int offset) const override {
        const std::size_t at = Index().PositionOf(Unit(Clamp(offset)));
        const long x = Send(Sci::SCI_POINTXFROMPOSITION, 0, at);
        const long y = Send(Sci::SCI_POINTYFROMPOSITION, 0, at);
        const long height = Send(Sci::SCI_TEXTHEIGHT, Send(Sci::SCI_LINEFROMPOSITION, at));
        const std::size_t next = Send(Sci::SCI_POSITIONAFTER, at);
        const long nextX = Send(Sci::SCI_POINTXFROMPOSITION, 0, next);
        const long nextY = Send(Sci::SCI_POINTYFROMPOSITION, 0, next);
        // At a line's end the width of a blank stands in for the character's.
        const long width =
            nextY == y && nextX > x
                ? nextX - x
                : FControl->SendScintilla(Sci::SCI_TEXTWIDTH, Sci::STYLE_DEFAULT, " ");
        const QPoint topLeft =
            FControl->viewport()->mapToGlobal(QPoint(static_cast<int>(x), static_cast<int>(y)));
        return {topLeft, QSize(static_cast<int>(std::max(1L, width)), static_cast<int>(height))};
    }

    int offsetAtPoint(const QPoint& point) const override {
        const QPoint local = FControl->viewport()->mapFromGlobal(point);
        const long at = FControl->SendScintilla(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE,
                                                static_cast<unsigned long>(local.x()),
                                                static_cast<long>(local.y()));
        return at < 0 ? -1 : Character(static_cast<std::size_t>(at));
    }

    void scrollToSubstring(int start, int end) override {
        Send(Sci::SCI_SCROLLRANGE, Index().PositionOf(Unit(Clamp(end))),
             Index().PositionOf(Unit(Clamp(start))));
    }

    // ---- Editing -------------------------------------------------------------------

    void deleteText(int start, int end) override { replaceText(start, end, QString()); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }

    // Text put in goes through the control's check of what it may hold, as
    // typed text does, and is one undo step.
    void replaceText(int start, int end, const QString& text) override {
        start = Clamp(start);
        end = std::max(start, Clamp(end));
        if (ReadOnly() || (!text.isEmpty() && !FControl->AcceptsInput(text)))
            return;
        const QByteArray utf8 = text.toUtf8();
        const std::size_t from = Index().PositionOf(Unit(start));
        const std::size_t to = Index().PositionOf(Unit(end));
        const long targetStart = Send(Sci::SCI_GETTARGETSTART);
        const long targetEnd = Send(Sci::SCI_GETTARGETEND);
        Send(Sci::SCI_SETTARGETRANGE, from, to);
        FControl->SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(utf8.size()),
                                utf8.constData());
        Send(Sci::SCI_SETTARGETRANGE, static_cast<std::size_t>(targetStart),
             static_cast<std::size_t>(targetEnd));
        FControl->FlushChanges();
    }

private:
    long Send(unsigned int message, std::size_t w = 0, std::size_t l = 0) const {
        return FControl->SendScintilla(message, static_cast<unsigned long>(w),
                                       static_cast<long>(l));
    }
    bool ReadOnly() const { return Send(Sci::SCI_GETREADONLY) != 0; }
    int Clamp(int offset) const { return std::clamp(offset, 0, characterCount()); }
    static std::size_t Unit(int offset) { return static_cast<std::size_t>(offset); }
    int Character(long position) const {
        return static_cast<int>(
            Index().CharacterAt(static_cast<std::size_t>(std::max(0L, position))));
    }
    QString Bytes(std::size_t from, std::size_t to) const {
        FText.Read(from, to, FBuffer);
        return QString::fromUtf8(FBuffer.data(), static_cast<qsizetype>(FBuffer.size()));
    }

    // Keeps the index in step with each insertion and removal, and tells the
    // assistive technology what changed, in characters.
    void Modified(int position, int type, const char* text, int length) {
        const auto at = static_cast<std::size_t>(position);
        if (!(type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT)))
            return;
        // Without an index nothing asked for characters yet: none is kept
        // until an assistive technology does (then it is counted afresh, with
        // this change in).
        if (!FIndex && !QAccessible::isActive())
            return;
        const bool fresh = !FIndex;
        const std::size_t before = fresh ? 0 : FIndex->Characters();
        if (!fresh && (type & Sci::SC_MOD_INSERTTEXT))
            FIndex->Inserted(at, static_cast<std::size_t>(length));
        else if (!fresh)
            FIndex->Removed(at);
        if (!QAccessible::isActive())
            return;
        if (type & Sci::SC_MOD_INSERTTEXT) {
            const QString inserted = text ? QString::fromUtf8(text, length)
                                          : Bytes(at, at + static_cast<std::size_t>(length));
            QAccessibleTextInsertEvent event(FControl, Character(position), inserted);
            QAccessible::updateAccessibility(&event);
        } else {
            // Scintilla hands the removed text on while it keeps an undo
            // history; without one, as many placeholders tell how much went.
            const QString removed =
                text ? QString::fromUtf8(text, length)
                     : QString(
                           static_cast<qsizetype>(before - std::min(before, Index().Characters())),
                           QChar::ObjectReplacementCharacter);
            QAccessibleTextRemoveEvent event(FControl, Character(position), removed);
            QAccessible::updateAccessibility(&event);
        }
    }

    void UpdateUi(int updated) {
        if (!(updated & (Sci::SC_UPDATE_SELECTION | Sci::SC_UPDATE_CONTENT)) ||
            !QAccessible::isActive())
            return;
        const int caret = cursorPosition();
        int start = 0, end = 0;
        selection(0, &start, &end);
        if (start != FSelectionStart || end != FSelectionEnd) {
            FSelectionStart = start;
            FSelectionEnd = end;
            QAccessibleTextSelectionEvent event(FControl, start, end);
            event.setCursorPosition(caret);
            QAccessible::updateAccessibility(&event);
        }
        if (caret != FCaret) {
            FCaret = caret;
            QAccessibleTextCursorEvent event(FControl, caret);
            QAccessible::updateAccessibility(&event);
        }
    }

    TScintillaControl* FControl;
    TControlText FText;
    // Built when first asked for (an assistive technology or a test), and
    // from then on kept in step with every change: a control whose interface
    // Qt made only to send an event pays nothing for the text it loads.
    const TCharacterIndex& Index() const {
        if (!FIndex)
            FIndex.emplace(FText);
        return *FIndex;
    }
    mutable std::optional<TCharacterIndex> FIndex;
    mutable std::string FBuffer;
    QMetaObject::Connection FModified, FUpdated;
    int FCaret = 0;
    int FSelectionStart = 0, FSelectionEnd = 0;
};

} // namespace

namespace {
QStringList& EditorClasses() {
    static QStringList classes;
    return classes;
}

QAccessibleInterface* EditorAccessibleFactory(const QString& className, QObject* object) {
    if (!EditorClasses().contains(className))
        return nullptr;
    return new TEditorAccessible(static_cast<TScintillaControl*>(object));
}
} // namespace

void InstallEditorAccessible(const char* className) {
    if (EditorClasses().contains(QLatin1String(className)))
        return;
    if (EditorClasses().isEmpty())
        QAccessible::installFactory(EditorAccessibleFactory);
    EditorClasses().append(QLatin1String(className));
}
