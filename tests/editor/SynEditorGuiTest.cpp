// The translation editor: bytes in and out exactly, display encoding, change
// events, trailing blanks, highlighting and its upkeep after edits.
#include "editor/IniLexer.h"
#include "editor/SynEditor.h"
#include "editor/SynIniSyn.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

using Sci = QsciScintillaBase;
using LB = TSynEditor::TLineBreak;

class SynEditorTest : public ::testing::Test {
protected:
    SynEditorTest() { Editor.resize(640, 400); }

    void Load(const std::string& bytes) { Editor.LoadFromFile(Dir.Write("in.ini", bytes)); }
    std::string Saved() {
        Editor.SaveToFile(Dir / "out.ini");
        return TempDir::Read(Dir / "out.ini");
    }
    long Send(unsigned int message, unsigned long wParam = 0, long lParam = 0) {
        return Editor.SendScintilla(message, wParam, lParam);
    }
    void GoTo(long position) { Send(Sci::SCI_GOTOPOS, static_cast<unsigned long>(position)); }
    long Length() { return Send(Sci::SCI_GETLENGTH); }
    int StyleAt(long position) { return static_cast<int>(Send(Sci::SCI_GETSTYLEAT, position)); }

    // One key press per character, the character as the event's text, as a
    // keyboard delivers it.
    void Type(const QString& text) {
        for (char32_t c : text.toUcs4()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUcs4(&c, 1));
            QApplication::sendEvent(&Editor, &press);
        }
    }
    void Key(Qt::Key key) { QTest::keyClick(&Editor, key); }

    // Shows the editor, or lets a pending paint run with whatever it triggers.
    void Paint() {
        Editor.show();
        Editor.viewport()->repaint();
        QApplication::processEvents();
    }

    TempDir Dir;
    TSynEditor Editor;
};

// ---------------------------------------------------------------------------
// Bytes in, bytes out

TEST_F(SynEditorTest, UnchangedFilesAreSavedByteForByte) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != '\n')
            all += static_cast<char>(c);
    const struct {
        std::string bytes;
        LB style;
        bool cp1252;
    } cases[] = {
        {"[S]\r\nKey=\"Wert\"\r\n", LB::CrLf, false},
        {"[S]\nKey=\"Wert\"\n", LB::Lf, false},
        {"[S]\rKey=\"Wert\"\r", LB::Cr, false},
        {"a=1\nb=2", LB::Lf, false},
        {"a=1\rb=2", LB::Cr, false},
        {"a=1", LB::CrLf, false},
        {"\n\n\n", LB::Lf, false},
        {"", LB::CrLf, false},
        {"a\0b=\"\0\"\r\n\0\r\n"s, LB::CrLf, false},
        {"K=\"\xC3\xBC\0\xE2\x82\xAC\"\n"s, LB::Lf, false},
        {"x=" + all + "\n" + all, LB::Lf, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        Load(c.bytes);
        EXPECT_EQ(Editor.LineBreak(), c.style);
        EXPECT_EQ(Editor.IsCp1252(), c.cp1252);
        EXPECT_EQ(Saved(), c.bytes);
    }
    // Mixed line breaks all become CR LF; nothing else changes.
    Load("a=1\r\nb=\xE4\nc=3\rd=4\n\re");
    EXPECT_EQ(Saved(), "a=1\r\nb=\xE4\r\nc=3\r\nd=4\r\n\r\ne");
}

TEST_F(SynEditorTest, NewLinesTakeTheFileLineBreak) {
    for (const char* eol : {"\r", "\n", "\r\n"}) {
        Load("a=1"s + eol + "b=2");
        GoTo(3);
        Key(Qt::Key_Return);
        EXPECT_EQ(Editor.Bytes(), "a=1"s + eol + eol + "b=2");
    }
}

TEST_F(SynEditorTest, FailedLoadsAndSavesThrowAndChangeNothing) {
    Load("a=1\n");
    EXPECT_THROW(Editor.LoadFromFile(Dir / "missing.ini"), std::runtime_error);
    fs::create_directories(Dir / "folder.ini");
    EXPECT_THROW(Editor.LoadFromFile(Dir / "folder.ini"), std::runtime_error);
    EXPECT_EQ(Editor.Bytes(), "a=1\n");
    EXPECT_EQ(Editor.LineBreak(), LB::Lf);

    const std::string locked = Dir.Write("locked.ini", "old\r\n");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_THROW(Editor.SaveToFile(locked), std::runtime_error);
    EXPECT_EQ(TempDir::Read(locked), "old\r\n");
}

// A file larger than one piece of reading loads as the same bytes read whole
// would: characters cut by a piece's end, a stray byte late in the file, a
// character cut by the file's end, each kind of line break.
TEST_F(SynEditorTest, FilesReadInPiecesLoadAsWhole) {
    const std::string mb(1 << 20, 'a');
    const struct {
        std::string bytes;
    } cases[] = {
        {mb.substr(0, mb.size() - 1) + "\xE2\x82\xAC\n"}, // the euro across the first piece's end
        {mb.substr(0, mb.size() - 2) + "\xE2\x82\xAC\n"},
        {mb.substr(0, mb.size() - 3) + "\xF0\x9F\x98\x80\r\n"},
        {mb + mb + "x\r\xFF y"},     // a Windows-1252 byte after two pieces
        {mb + "\xC3\xBC\r\xE2\x82"}, // cut by the file's end
    };
    for (const auto& c : cases) {
        TSynEditor whole;
        whole.LoadFromBytes(c.bytes);
        Load(c.bytes);
        EXPECT_EQ(Editor.Encoding(), whole.Encoding());
        EXPECT_EQ(Editor.LineBreak(), whole.LineBreak());
        EXPECT_EQ(Editor.text(), whole.text());
        EXPECT_EQ(Saved(), c.bytes);
    }
}

// ---------------------------------------------------------------------------
// Display encoding

TEST_F(SynEditorTest, TextShowsAsUtf8OrWindows1252AndTypedTextIsEncodedBack) {
    Load("K=\"\xE2\x82\xAC \xC3\xBC\"\n");
    EXPECT_FALSE(Editor.IsCp1252());
    EXPECT_EQ(Editor.text(), QString::fromUtf8("K=\"€ ü\"\n"));
    GoTo(Length() - 1);
    Type(QString::fromUtf8("→€"));
    EXPECT_EQ(Saved(), "K=\"\xE2\x82\xAC \xC3\xBC\"\xE2\x86\x92\xE2\x82\xAC\n");

    Load("K=\"\x80 \xFC \x84x\x93\"\r\n");
    EXPECT_TRUE(Editor.IsCp1252());
    EXPECT_EQ(Editor.text(), QString::fromUtf8("K=\"€ ü „x“\"\r\n"));
    Send(Sci::SCI_SETSEL, 3, Length() - 3);
    Editor.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("€ ü „x“"));
    GoTo(Length() - 2);
    // "€" is 0x80 in Windows-1252; the arrow has no place there.
    QSignalSpy refusals(&Editor, &TSynEditor::InputRefused);
    Type(QString::fromUtf8("€ä→"));
    EXPECT_EQ(Saved(), "K=\"\x80 \xFC \x84x\x93\"\x80\xE4\r\n");
    ASSERT_EQ(refusals.count(), 1);
    EXPECT_EQ(refusals[0][0].value<char32_t>(), U'→');
}

// The roads by which the user's text comes in.
enum class Road { Typing, InputMethod, PasteKey, PasteCommand, Drop };

class InputRoadTest : public SynEditorTest {
protected:
    void Put(Road road, const QString& text) {
        switch (road) {
        case Road::Typing:
            Type(text);
            break;
        case Road::InputMethod: {
            QInputMethodEvent commit;
            commit.setCommitString(text);
            QApplication::sendEvent(&Editor, &commit);
            break;
        }
        case Road::PasteKey:
            QApplication::clipboard()->setText(text);
            QTest::keyClick(&Editor, Qt::Key_V, Qt::ControlModifier);
            break;
        case Road::PasteCommand:
            QApplication::clipboard()->setText(text);
            Editor.paste();
            break;
        case Road::Drop: {
            // Onto the start of the text.
            QMimeData mime;
            mime.setText(text);
            const QPoint at(static_cast<int>(Send(Sci::SCI_POINTXFROMPOSITION, 0, 0)) + 1,
                            static_cast<int>(Send(Sci::SCI_POINTYFROMPOSITION, 0, 0)) + 2);
            QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            for (QEvent* e : std::initializer_list<QEvent*>{&enter, &move, &drop})
                QApplication::sendEvent(Editor.viewport(), e);
            break;
        }
        }
        QApplication::processEvents(); // a refused drop is reported once it is over
    }
};

const Road AllRoads[] = {Road::Typing, Road::InputMethod, Road::PasteKey, Road::PasteCommand,
                         Road::Drop};

TEST_F(InputRoadTest, TextTheEncodingCannotHoldIsRefusedWholeOnEveryRoad) {
    Paint();
    const std::string file = "K=\"\xE9\"\r\n";
    const struct {
        QString text;
        char32_t refused;
    } cases[] = {
        {QString::fromUtf8("ł"), U'ł'},
        {QString::fromUtf8("Ω"), U'Ω'},
        {QString::fromUtf8("🦜"), U'🦜'},
        // Pasted or dropped at once: nothing of it goes in.
        {QString::fromUtf8("é→ł"), U'→'},
    };
    for (Road road : AllRoads) {
        for (const auto& c : cases) {
            if (road == Road::Typing && c.text.toUcs4().size() > 1)
                continue; // typed, each key is a text of its own
            SCOPED_TRACE(testing::Message() << int(road) << " " << c.text.toStdString());
            Load(file);
            Send(Sci::SCI_SETSEL, 0, 2); // a selection that must survive
            QSignalSpy changes(&Editor, &TSynEditor::UserChange);
            QSignalSpy refusals(&Editor, &TSynEditor::InputRefused);
            Put(road, c.text);
            EXPECT_EQ(Editor.Bytes(), file);
            EXPECT_EQ(Send(Sci::SCI_GETSELECTIONSTART), 0);
            EXPECT_EQ(Send(Sci::SCI_GETSELECTIONEND), 2);
            EXPECT_EQ(changes.count(), 0);
            ASSERT_EQ(refusals.count(), 1);
            EXPECT_EQ(refusals[0][0].value<char32_t>(), c.refused);
        }
    }
}

TEST_F(InputRoadTest, TextTheEncodingHoldsGoesInOnEveryRoad) {
    Paint();
    const struct {
        std::string file;
        QString text;
        std::string stored;
    } cases[] = {
        {"K=\xE9\r\n", QString::fromUtf8("é€„"), "\xE9\x80\x84"},
        {"K=\"\xC3\xA9\"\n", QString::fromUtf8("łΩ🦜"),
         "ł"
         "Ω"
         "🦜"},
    };
    for (Road road : AllRoads) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << int(road) << " " << c.text.toStdString());
            Load(c.file);
            GoTo(0);
            QSignalSpy refusals(&Editor, &TSynEditor::InputRefused);
            Put(road, c.text);
            EXPECT_EQ(Saved(), c.stored + c.file);
            EXPECT_EQ(refusals.count(), 0);
        }
    }
}

// ---------------------------------------------------------------------------
// Change events and keys

TEST_F(SynEditorTest, OnlyTheUsersEditsRaiseUserChange) {
    QSignalSpy changes(&Editor, &TSynEditor::UserChange);
    Load("a=1\nb=2\n");
    Editor.ClearAll();
    Load("a=1\nb=2\n");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_FALSE(Editor.isUndoAvailable());

    GoTo(1);
    Type("xyz");
    EXPECT_EQ(changes.count(), 3);
    Editor.undo(); // the three letters are one undo step
    EXPECT_EQ(changes.count(), 4);
    EXPECT_EQ(Editor.Bytes(), "a=1\nb=2\n");
    Editor.redo();
    Send(Sci::SCI_SETSEL, 0, 4);
    Editor.cut();
    GoTo(0);
    Editor.paste();
    EXPECT_EQ(changes.count(), 7);
    EXPECT_EQ(Editor.Bytes(), "axyz=1\nb=2\n");
}

TEST_F(SynEditorTest, F1IsLeftToTheWindowAndCtrlF1AsksForHelp) {
    QSignalSpy contextHelps(&Editor, &TSynEditor::ContextHelp);
    Load("a=1\n");
    // The editor claims Ctrl+F1 only, so the window's help key F1 fires from
    // inside it too.
    for (const auto& [modifiers, claimed] :
         {std::pair{Qt::NoModifier, false}, std::pair{Qt::ControlModifier, true}}) {
        QKeyEvent shortcut(QEvent::ShortcutOverride, Qt::Key_F1, modifiers);
        shortcut.ignore();
        QApplication::sendEvent(&Editor, &shortcut);
        EXPECT_EQ(shortcut.isAccepted(), claimed) << int(modifiers);
        QTest::keyClick(&Editor, Qt::Key_F1, modifiers);
    }
    EXPECT_EQ(contextHelps.count(), 1);
    EXPECT_EQ(Editor.Bytes(), "a=1\n");
}

// ---------------------------------------------------------------------------
// Trailing blanks

TEST_F(SynEditorTest, TrailingBlanksGoWhenTheCaretLeavesAnEditedLine) {
    Paint();
    Load("a=1  \nb=2\nc=3\n");
    GoTo(9); // end of "b=2"
    Type(" ");
    Key(Qt::Key_Tab);
    Type(" x ");
    Paint();
    EXPECT_EQ(Editor.Bytes(), "a=1  \nb=2 \t x \nc=3\n") << "not while the caret is on the line";
    Key(Qt::Key_Down);
    Paint();
    EXPECT_EQ(Editor.Bytes(), "a=1  \nb=2 \t x\nc=3\n") << "only the edited line";
    Editor.undo(); // the removal is an undo step of its own
    EXPECT_EQ(Editor.Bytes(), "a=1  \nb=2 \t x \nc=3\n");

    // A line break typed above pushes an edited line down; it is still found.
    Load("a=1\nb=2\nc=3\n");
    GoTo(7);
    Type("  ");
    GoTo(1);
    Key(Qt::Key_Return);
    Paint();
    EXPECT_EQ(Editor.Bytes(), "a\n=1\nb=2\nc=3\n");
}

TEST_F(SynEditorTest, PastedLinesAreTrimmedButWhatUndoBringsBackStays) {
    Paint();
    Load("k=v\n");
    QApplication::clipboard()->setText("p=1 \nq=2\t\nr=3 ");
    GoTo(0);
    Editor.paste();
    Paint();
    // The caret ends on the last pasted line, which keeps its blank for now.
    EXPECT_EQ(Editor.Bytes(), "p=1\nq=2\nr=3 k=v\n");
    Editor.undo();
    Editor.undo();
    Editor.redo();
    Key(Qt::Key_Down);
    Paint();
    EXPECT_EQ(Editor.Bytes(), "p=1 \nq=2\t\nr=3 k=v\n");
}

TEST_F(SynEditorTest, SavingTrimsTheCaretLineAndKeepsTheCaretColumn) {
    Load("a=1\n");
    GoTo(3);
    Type("  ");
    EXPECT_EQ(Saved(), "a=1\n");
    Type("x"); // two columns past the end: the gap fills up again
    EXPECT_EQ(Editor.Bytes(), "a=1  x\n");
}

// ---------------------------------------------------------------------------
// Look

TEST_F(SynEditorTest, AnEmptyEditorIsGreyAndTheGutterFollowsTheLineCount) {
    const int key = TIniLexer::StyleOf(tkKey);
    Editor.SetOpenState(false);
    EXPECT_FALSE(Editor.isEnabled());
    EXPECT_EQ(Send(Sci::SCI_STYLEGETBACK, key), 0xC8D0D4);
    Editor.SetOpenState(true);
    const QColor window = Editor.palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(Send(Sci::SCI_STYLEGETBACK, key),
              window.red() | (window.green() << 8) | (window.blue() << 16));

    Load("a\n");
    const long narrow = Send(Sci::SCI_GETMARGINWIDTHN, 0);
    Load(std::string(100000, '\n'));
    EXPECT_GT(Send(Sci::SCI_GETMARGINWIDTHN, 0), narrow);
    Editor.ClearAll();
    EXPECT_EQ(Send(Sci::SCI_GETMARGINWIDTHN, 0), narrow);
}

// ---------------------------------------------------------------------------
// Highlighting

// The style each byte should have: the highlighter's tokens line by line,
// breaks as blank space, anything after a NUL inside a line plain.
std::vector<int> ExpectedStyles(const std::string& text) {
    TSynIniSyn syn;
    std::vector<int> styles;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string line = text.substr(start, end - start);
        for (syn.SetLine(line.c_str(), 0); !syn.GetEol(); syn.Next())
            styles.resize(styles.size() + syn.GetToken().size(),
                          TIniLexer::StyleOf(syn.GetTokenKind()));
        styles.resize(end, TIniLexer::StylePlain);
        if (end < text.size())
            end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        styles.resize(end, TIniLexer::StyleOf(tkSpace));
        start = end;
    }
    return styles;
}

std::vector<int> ActualStyles(TSynEditor& editor, long upTo = -1) {
    std::vector<int> styles;
    if (upTo < 0)
        upTo = editor.SendScintilla(Sci::SCI_GETLENGTH);
    for (long i = 0; i < upTo; ++i)
        styles.push_back(static_cast<int>(editor.SendScintilla(Sci::SCI_GETSTYLEAT, i)));
    return styles;
}

TEST_F(SynEditorTest, StylesFollowTheHighlightersTokens) {
    const std::string text = "; note\r\n[Sec] x\nKey=\"Wert\" 12ab\r  ;x [y\r\n"
                             "N=1.5E3\nK=Don't\nA\0B=\"x\"\n=\"\"\"abc\"\"\"\n"
                             "\xC3\xBC=\"\xE2\x82\xAC\""s;
    Load(text);
    Send(Sci::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(ActualStyles(Editor), ExpectedStyles(text));
}

TEST_F(SynEditorTest, AttributesGiveTheStylesTheirLook) {
    TSynIniSyn* syn = Editor.SynINI();
    syn->StringAttri()->SetForeground(8388672);
    syn->StringAttri()->SetBackground(10354687);
    Load("; c\nk=\"v\"\n");
    Paint();
    const int string = TIniLexer::StyleOf(tkString);
    EXPECT_EQ(StyleAt(6), string);
    EXPECT_EQ(Send(Sci::SCI_STYLEGETBACK, string), 0x9DFFFF);
    EXPECT_EQ(Send(Sci::SCI_STYLEGETFORE, string), 0x800040);
    // "None" is the editor's own colour.
    EXPECT_EQ(Send(Sci::SCI_STYLEGETBACK, TIniLexer::StyleOf(tkKey)),
              Send(Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT));

    // Changes show at once.
    const int comment = TIniLexer::StyleOf(tkComment);
    EXPECT_TRUE(Send(Sci::SCI_STYLEGETITALIC, comment));
    syn->CommentAttri()->SetStyle(fsBold | fsUnderline);
    syn->KeyAttri()->SetForeground(0x0000FF);
    EXPECT_FALSE(Send(Sci::SCI_STYLEGETITALIC, comment));
    EXPECT_TRUE(Send(Sci::SCI_STYLEGETBOLD, comment));
    EXPECT_TRUE(Send(Sci::SCI_STYLEGETUNDERLINE, comment));
    EXPECT_EQ(Send(Sci::SCI_STYLEGETFORE, TIniLexer::StyleOf(tkKey)), 0x0000FF);

    // Strike-out is drawn over the text, from the next paint on.
    const unsigned long strike = TIniLexer::StrikeIndicator;
    syn->SymbolAttri()->SetStyle(fsStrikeOut);
    Paint();
    EXPECT_EQ(Send(Sci::SCI_INDICATORVALUEAT, strike, 4), 0);
    EXPECT_NE(Send(Sci::SCI_INDICATORVALUEAT, strike, 5), 0) << "the =";
    EXPECT_EQ(Send(Sci::SCI_INDICATORVALUEAT, strike, 6), 0);
    syn->SymbolAttri()->SetStyle(0);
    Paint();
    EXPECT_EQ(Send(Sci::SCI_INDICATORVALUEAT, strike, 5), 0);
}

TEST_F(SynEditorTest, TypingRestylesOnlyTheEditedLines) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "Form.Key" + std::to_string(i) + "=\"Some phrase\"\r\n";
    Load(text);
    Paint();
    TIniLexer* lexer = Editor.Lexer();
    const long line5 = Send(Sci::SCI_POSITIONFROMLINE, 5);
    const long lineLength = Send(Sci::SCI_POSITIONFROMLINE, 6) - line5;

    lexer->ResetStyledBytes();
    GoTo(line5 + 5);
    Type("\"");
    Paint();
    EXPECT_EQ(lexer->StyledBytes(), lineLength + 1);
    EXPECT_EQ(StyleAt(line5 + 5), TIniLexer::StyleOf(tkKey)) << "a key runs up to the =";

    // A line break splits the line; the new line's text starts in column 0.
    lexer->ResetStyledBytes();
    GoTo(line5 + 2);
    Key(Qt::Key_Return);
    Paint();
    EXPECT_EQ(lexer->StyledBytes(), lineLength + 3);

    Editor.undo();
    Paint();
    const long styled = Send(Sci::SCI_GETENDSTYLED);
    EXPECT_GT(styled, line5 + lineLength);
    std::vector<int> expected = ExpectedStyles(Editor.Bytes());
    expected.resize(static_cast<size_t>(styled));
    EXPECT_EQ(ActualStyles(Editor, styled), expected);
}

TEST_F(SynEditorTest, EditsOutOfViewAreStyledWhenTheyComeIntoView) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "K" + std::to_string(i) + "=v\n";
    Load(text);
    Paint();
    Send(Sci::SCI_DOCUMENTEND);
    Paint();
    Editor.SendScintilla(Sci::SCI_INSERTTEXT, uintptr_t(10), "\"x");
    Editor.SendScintilla(Sci::SCI_INSERTTEXT, uintptr_t(3000), ";");
    Send(Sci::SCI_DOCUMENTSTART);
    Paint();
    Send(Sci::SCI_DOCUMENTEND);
    Paint();
    EXPECT_EQ(ActualStyles(Editor), ExpectedStyles(Editor.Bytes()));
}

TEST_F(SynEditorTest, HugeLinesAndLinesOfQuotesAreStyled) {
    const std::string longLine = "Key=\"" + std::string(1 << 20, 'a') + "\" x\n";
    const std::string quotes(200000, '"');
    Load(longLine + quotes + "\n" + std::string(100000, '\'') + "\n");
    Paint();
    Send(Sci::SCI_COLOURISE, 0, -1);
    const long second = static_cast<long>(longLine.size());
    EXPECT_EQ(StyleAt(second - 2), TIniLexer::StyleOf(tkText));
    EXPECT_EQ(StyleAt(second - 4), TIniLexer::StyleOf(tkString));
    EXPECT_EQ(StyleAt(second + static_cast<long>(quotes.size()) - 1), TIniLexer::StyleOf(tkString));
    Send(Sci::SCI_DOCUMENTEND);
    Type("x");
    Paint();
    EXPECT_EQ(StyleAt(Length() - 1), TIniLexer::StyleOf(tkKey));
}

// A huge text is held without styles; the lines in view, and only a band
// around them, are painted through indicators in the colours the styles
// would have, wherever the view goes and whatever is typed there.
TEST_F(SynEditorTest, AHugeTextIsPaintedThroughIndicatorsAroundTheView) {
    TSynIniSyn* syn = Editor.SynINI();
    syn->StringAttri()->SetBackground(10354687);
    syn->KeyAttri()->SetStyle(fsUnderline);
    const std::string sample = "[Sec]\r\n; note\r\nKey=\"Wert\" 12\r\nN=1.5E3\r\n";
    std::string text;
    text.reserve(TSynEditor::UnstyledFrom + sample.size());
    while (text.size() < TSynEditor::UnstyledFrom)
        text += sample;
    const long sampleLines = 4;

    // The look of each byte of the sample in a styled editor.
    TSynEditor styled;
    styled.SynINI()->StringAttri()->SetBackground(10354687);
    styled.SynINI()->KeyAttri()->SetStyle(fsUnderline);
    styled.LoadFromBytes(sample);
    ASSERT_TRUE(styled.IsStyled());
    styled.SendScintilla(Sci::SCI_COLOURISE, 0, -1);
    const auto styleLook = [&](long at, int message) {
        const long style = styled.SendScintilla(Sci::SCI_GETSTYLEAT, at);
        const long value = styled.SendScintilla(message, style);
        return value == styled.SendScintilla(message, 0) ? 0 : value;
    };
    const auto indicatorLook = [&](unsigned long indicator, long at) {
        return Send(Sci::SCI_INDICATORVALUEAT, indicator, at) & 0xFFFFFF;
    };
    // Every byte of the lines in view looks as in the styled editor.
    const auto expectViewPainted = [&](const char* where) {
        const long top = Send(Sci::SCI_GETFIRSTVISIBLELINE);
        const long bottom = top + Send(Sci::SCI_LINESONSCREEN);
        int wrong = 0;
        for (long line = top; line < bottom && line < Send(Sci::SCI_GETLINECOUNT) - 1; ++line) {
            const long start = Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
            const long sampleStart =
                styled.SendScintilla(Sci::SCI_POSITIONFROMLINE, line % sampleLines);
            const long end = Send(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
            for (long k = 0; start + k < end; ++k) {
                const long at = start + k, s = sampleStart + k;
                wrong += indicatorLook(TIniLexer::ForeIndicator, at) !=
                         styleLook(s, Sci::SCI_STYLEGETFORE);
                wrong += indicatorLook(TIniLexer::BackIndicator, at) !=
                         styleLook(s, Sci::SCI_STYLEGETBACK);
                wrong +=
                    (Send(Sci::SCI_INDICATORVALUEAT, TIniLexer::UnderlineIndicator, at) != 0) !=
                    (styled.SendScintilla(Sci::SCI_STYLEGETUNDERLINE,
                                          styled.SendScintilla(Sci::SCI_GETSTYLEAT, s)) != 0);
            }
        }
        EXPECT_EQ(wrong, 0) << where;
    };

    Load(text);
    EXPECT_FALSE(Editor.IsStyled());
    EXPECT_EQ(Send(Sci::SCI_GETCODEPAGE), Sci::SC_CP_UTF8);
    EXPECT_EQ(Send(Sci::SCI_GETEOLMODE), Sci::SC_EOL_CRLF);
    EXPECT_TRUE(Send(Sci::SCI_GETUSETABS));
    EXPECT_TRUE(Send(Sci::SCI_GETBACKSPACEUNINDENTS));
    EXPECT_EQ(Editor.Bytes(), text);
    Paint();
    expectViewPainted("at the top");
    const long key = Send(Sci::SCI_POSITIONFROMLINE, 2);
    EXPECT_NE(indicatorLook(TIniLexer::BackIndicator, key + 5), 0) << "the phrase";

    Send(Sci::SCI_DOCUMENTEND);
    Paint();
    expectViewPainted("at the end");
    EXPECT_EQ(indicatorLook(TIniLexer::BackIndicator, key + 5), 0)
        << "the top is no longer painted";

    Send(Sci::SCI_SETFIRSTVISIBLELINE, Send(Sci::SCI_GETLINECOUNT) / 2);
    Paint();
    expectViewPainted("in the middle");

    // Selected, a phrase's text stays readable over its painted background.
    const long top = Send(Sci::SCI_GETFIRSTVISIBLELINE);
    const auto keyLine = static_cast<unsigned long>(top + 2 + (2 - top % sampleLines + 4) % 4);
    const long from = Send(Sci::SCI_POSITIONFROMLINE, keyLine);
    const long to = Send(Sci::SCI_GETLINEENDPOSITION, keyLine);
    Send(Sci::SCI_SETSEL, static_cast<unsigned long>(from), to);
    Paint();
    const QImage shot = Editor.viewport()->grab().toImage();
    const int y = static_cast<int>(Send(Sci::SCI_POINTYFROMPOSITION, 0, from));
    int dark = 0;
    for (auto x = static_cast<int>(Send(Sci::SCI_POINTXFROMPOSITION, 0, from));
         x < Send(Sci::SCI_POINTXFROMPOSITION, 0, to); ++x)
        for (int dy = 0; dy < Send(Sci::SCI_TEXTHEIGHT, keyLine); ++dy)
            dark += qGray(shot.pixel(x, y + dy)) < 96;
    EXPECT_GT(dark, 20) << "the selected text is drawn";
    GoTo(from);

    // A key line made a comment, in view, and a line put in above.
    const long line = Send(Sci::SCI_GETFIRSTVISIBLELINE) + 2 + sampleLines;
    GoTo(Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
    Type(";");
    Paint();
    EXPECT_EQ(indicatorLook(TIniLexer::BackIndicator, Send(Sci::SCI_GETCURRENTPOS) + 5), 0);
    EXPECT_EQ(indicatorLook(TIniLexer::ForeIndicator, Send(Sci::SCI_GETCURRENTPOS) + 5),
              styleLook(styled.SendScintilla(Sci::SCI_POSITIONFROMLINE, 1), Sci::SCI_STYLEGETFORE));
    Editor.undo();
    GoTo(Send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line - 1)));
    Type("x\r");
    Editor.undo();
    Paint();
    expectViewPainted("after edits");

    // A change of colour shows on the huge text too; a small text has styles again.
    syn->StringAttri()->SetBackground(0x00FF00);
    styled.SynINI()->StringAttri()->SetBackground(0x00FF00);
    Paint();
    expectViewPainted("after a change of colour");
    Load(sample);
    EXPECT_TRUE(Editor.IsStyled());
    EXPECT_EQ(Send(Sci::SCI_GETCODEPAGE), Sci::SC_CP_UTF8);
    Send(Sci::SCI_COLOURISE, 0, -1);
    EXPECT_EQ(ActualStyles(Editor), ExpectedStyles(sample));
}

} // namespace
