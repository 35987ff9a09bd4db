// What an assistive technology reads of the editor: the text, the caret, the
// selection and the units at an offset in characters, after edits of every
// kind as counted from the start of the text; and text it puts in.
#include "editor/SynEditor.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using Sci = QsciScintillaBase;

QAccessibleTextInterface* TextOf(TSynEditor& editor) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&editor);
    return accessible ? accessible->textInterface() : nullptr;
}

// The characters before byte `position`, counted from the start of the text.
int CharactersBefore(TSynEditor& editor, long position) {
    const std::string_view text = editor.TextView();
    return static_cast<int>(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(position)).size());
}

TEST(EditorAccessibleTest, AgreesWithTheTextCountedFromTheStartAfterEachEdit) {
    TSynEditor editor;
    editor.LoadFromBytes("key=\"w\xC3\xA9rt\"\r\nb=\"\xF0\x9F\xA6\x9C \xE2\x82\xAC\"\r\n");
    QAccessibleTextInterface* text = TextOf(editor);
    ASSERT_NE(text, nullptr);
    QAccessibleEditableTextInterface* editable =
        QAccessible::queryAccessibleInterface(&editor)->editableTextInterface();
    ASSERT_NE(editable, nullptr);

    std::mt19937 random(7);
    const auto below = [&random](int n) {
        return std::uniform_int_distribution<int>(0, n - 1)(random);
    };
    const QStringList typed = {"x", QString::fromUtf8("\xC3\xA9"),
                               QString::fromUtf8("\xF0\x9F\xA6\x9C"), "\r"};
    for (int edit = 0; edit < 120; ++edit) {
        const long length = editor.SendScintilla(Sci::SCI_GETLENGTH);
        // A caret at the start of a character.
        long caret = below(static_cast<int>(length) + 1);
        if (caret < length)
            caret = editor.SendScintilla(Sci::SCI_POSITIONBEFORE, caret + 1);
        editor.SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(caret));
        const int kind = below(6);
        if (kind < 2) {
            const QString key = typed[below(static_cast<int>(typed.size()))];
            QKeyEvent press(QEvent::KeyPress, key == "\r" ? Qt::Key_Return : Qt::Key_unknown,
                            Qt::NoModifier, key);
            QApplication::sendEvent(&editor, &press);
        } else if (kind == 2) {
            QTest::keyClick(&editor, below(2) ? Qt::Key_Backspace : Qt::Key_Delete);
        } else if (kind == 3) {
            editor.undo();
        } else if (kind == 4) {
            const int at = CharactersBefore(editor, caret);
            editable->insertText(at, QString::fromUtf8("\xC3\xBC\n\xF0\x9F\x90\xA6"));
        } else {
            const int at = CharactersBefore(editor, caret);
            const QString whole = QString::fromUtf8(
                editor.TextView().data(), static_cast<qsizetype>(editor.TextView().size()));
            int end = std::min(at + 1 + below(4), static_cast<int>(whole.size()));
            if (end < whole.size() && whole[end].isLowSurrogate())
                ++end;
            editable->deleteText(at, end);
        }
        QApplication::processEvents();
        const QString whole = QString::fromUtf8(editor.TextView().data(),
                                                static_cast<qsizetype>(editor.TextView().size()));
        const std::string step = "edit " + std::to_string(edit);
        ASSERT_EQ(text->characterCount(), whole.size()) << step;
        ASSERT_EQ(text->text(0, text->characterCount()), whole) << step;
        ASSERT_EQ(text->cursorPosition(),
                  CharactersBefore(editor, editor.SendScintilla(Sci::SCI_GETCURRENTPOS)))
            << step;
        for (int probe = 0; probe < 5; ++probe) {
            int from = below(static_cast<int>(whole.size()) + 1);
            if (from < whole.size() && whole[from].isLowSurrogate())
                --from;
            int start = 0, end = 0;
            const QString line = text->textAtOffset(from, QAccessible::LineBoundary, &start, &end);
            ASSERT_EQ(line, whole.mid(start, end - start)) << step;
            ASSERT_TRUE(start <= from && (from < end || end == whole.size())) << step;
            ASSERT_TRUE(start == 0 || whole[start - 1] == '\n' || whole[start - 1] == '\r') << step;
        }
    }
}

TEST(EditorAccessibleTest, ReadsCharactersWordsLinesAndTheSelection) {
    TSynEditor editor;
    // "k=\"wért 🦜x\"" CR LF "b=\"\"" CR LF: the parrot takes two units.
    editor.LoadFromBytes("k=\"w\xC3\xA9rt \xF0\x9F\xA6\x9Cx\"\r\nb=\"\"\r\n");
    QAccessibleTextInterface* text = TextOf(editor);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->characterCount(), 20);
    struct Case {
        int offset;
        QAccessible::TextBoundaryType boundary;
        QString found;
        int start, end;
    } const cases[] = {
        {8, QAccessible::CharBoundary, QString::fromUtf8("\xF0\x9F\xA6\x9C"), 8, 10},
        {9, QAccessible::CharBoundary, QString::fromUtf8("\xF0\x9F\xA6\x9C"), 8, 10},
        {10, QAccessible::CharBoundary, "x", 10, 11},
        {5, QAccessible::WordBoundary, QString::fromUtf8("w\xC3\xA9rt"), 3, 7},
        {15, QAccessible::LineBoundary, "b=\"\"\r\n", 14, 20},
        {2, QAccessible::LineBoundary, QString::fromUtf8("k=\"w\xC3\xA9rt \xF0\x9F\xA6\x9Cx\"\r\n"),
         0, 14},
        {20, QAccessible::LineBoundary, "", 20, 20},
        {20, QAccessible::CharBoundary, "", 20, 20},
    };
    for (const Case& c : cases) {
        int start = -1, end = -1;
        EXPECT_EQ(text->textAtOffset(c.offset, c.boundary, &start, &end), c.found) << c.offset;
        EXPECT_EQ(start, c.start) << c.offset;
        EXPECT_EQ(end, c.end) << c.offset;
    }
    int start = -1, end = -1;
    EXPECT_EQ(text->textBeforeOffset(15, QAccessible::LineBoundary, &start, &end).size(), 14);
    EXPECT_EQ(text->textAfterOffset(2, QAccessible::LineBoundary, &start, &end), "b=\"\"\r\n");

    text->setSelection(0, 8, 11);
    EXPECT_EQ(editor.SendScintilla(Sci::SCI_GETSELECTIONSTART), 9); // bytes
    EXPECT_EQ(editor.SendScintilla(Sci::SCI_GETSELECTIONEND), 14);
    EXPECT_EQ(text->selectionCount(), 1);
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(8, 11));
    EXPECT_EQ(text->cursorPosition(), 11);
    text->setCursorPosition(14);
    EXPECT_EQ(editor.SendScintilla(Sci::SCI_GETCURRENTPOS), 17);
    EXPECT_EQ(text->selectionCount(), 0);
}

// A Windows-1252 translation cannot hold the parrot: the editor refuses it as
// it refuses it typed, rather than store a character it cannot save.
TEST(EditorAccessibleTest, TextPutInThatTheEncodingCannotHoldIsRefused) {
    TSynEditor editor;
    editor.LoadFromBytes("a=\"\xE9\"\r\n");
    ASSERT_TRUE(editor.IsCp1252());
    QSignalSpy refused(&editor, &TSynEditor::InputRefused);
    QAccessibleEditableTextInterface* editable =
        QAccessible::queryAccessibleInterface(&editor)->editableTextInterface();
    editable->insertText(3, QString::fromUtf8("\xF0\x9F\xA6\x9C"));
    EXPECT_EQ(refused.count(), 1);
    editable->insertText(3, "x");
    EXPECT_EQ(editor.Bytes(), "a=\"x\xE9\"\r\n");
    EXPECT_EQ(refused.count(), 1);
}

} // namespace
