// The editor control announces every insertion and removal as a plain
// QScintilla control does, without QScintilla's character counting for the
// accessibility interface while no assistive technology listens.
#include "editor/ScintillaControl.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// One insertion or removal as a listener of SCN_MODIFIED sees it, with the
// text at that moment.
struct TChange {
    int Position;
    int Type;
    int Length;
    int LinesAdded;
    std::string Text;
    bool operator==(const TChange&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TChange& c) {
    return out << "{" << c.Position << ", type " << c.Type << ", " << c.Length << ", lines "
               << c.LinesAdded << ", \"" << c.Text << "\"}";
}

std::string TextOf(QsciScintilla& e) {
    const QByteArray bytes = e.text().toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

class TRecorder {
public:
    explicit TRecorder(QsciScintilla& editor) : FEditor(editor) {
        QObject::connect(
            &editor, &Sci::SCN_MODIFIED,
            [this](int position, int type, const char*, int length, int linesAdded, int, int, int,
                   int, int) {
                const int kinds = Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT;
                if (!(type & kinds))
                    return;
                const int kept = kinds | Sci::SC_PERFORMED_USER | Sci::SC_PERFORMED_UNDO |
                                 Sci::SC_PERFORMED_REDO | Sci::SC_LASTSTEPINUNDOREDO;
                Changes.push_back({position, type & kept, length, linesAdded, TextOf(FEditor)});
            });
    }
    std::vector<TChange> Changes;

private:
    QsciScintilla& FEditor;
};

void Key(QWidget& w, Qt::Key key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &press);
}

void Select(QsciScintilla& e, long from, long to) {
    e.SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(from), to);
}

void FlushIfHeld(QsciScintilla& e) {
    if (auto* control = dynamic_cast<TScintillaControl*>(&e))
        control->FlushChanges();
}

TEST(ScintillaControlTest, AnnouncesEveryChangeAsAPlainControlDoesAtOnce) {
    const struct {
        const char* what;
        std::function<void(QsciScintilla&)> edit;
    } steps[] = {
        {"typing",
         [](QsciScintilla& e) {
             e.SendScintilla(Sci::SCI_GOTOPOS, 3UL);
             Key(e, Qt::Key_A, "a");
             Key(e, Qt::Key_B, "b");
         }},
        {"Return", [](QsciScintilla& e) { Key(e, Qt::Key_Return, "\r"); }},
        {"Backspace and Delete",
         [](QsciScintilla& e) {
             Key(e, Qt::Key_Backspace);
             Key(e, Qt::Key_Delete);
         }},
        {"typing over a selection",
         [](QsciScintilla& e) {
             Select(e, 0, 6);
             Key(e, Qt::Key_Z, "Z");
         }},
        {"undo of a step of two changes", [](QsciScintilla& e) { e.undo(); }},
        {"redo of it", [](QsciScintilla& e) { e.redo(); }},
        {"pasting lines",
         [](QsciScintilla& e) {
             QApplication::clipboard()->setText("p\nq\nr");
             e.paste();
         }},
        {"cutting across lines",
         [](QsciScintilla& e) {
             Select(e, 1, 9);
             e.cut();
         }},
        {"undo of one change", [](QsciScintilla& e) { e.undo(); }},
        {"a line feed after a carriage return joins them",
         [](QsciScintilla& e) {
             e.SendScintilla(Sci::SCI_INSERTTEXT, 1UL, "x\r");
             FlushIfHeld(e);
             e.SendScintilla(Sci::SCI_INSERTTEXT, 3UL, "\n");
             FlushIfHeld(e);
         }},
        {"the API's own calls",
         [](QsciScintilla& e) {
             e.insertAt("ins", 0, 0);
             e.append("\nend");
             Select(e, 0, 2);
             e.replaceSelectedText("R");
             Select(e, 0, 1);
             e.removeSelectedText();
         }},
    };

    QsciScintilla plain;
    TScintillaControl ours;
    for (QsciScintilla* e : {&plain, static_cast<QsciScintilla*>(&ours)}) {
        e->setUtf8(true);
        e->SendScintilla(Sci::SCI_SETEOLMODE, Sci::SC_EOL_LF);
        e->SendScintilla(Sci::SCI_SETTEXT, 0UL, "key=\"Wert\"\nb=\"2\"\n");
        e->SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
    }
    ours.FlushChanges();
    TRecorder plainChanges(plain);
    TRecorder ourChanges(ours);
    for (const auto& step : steps) {
        step.edit(plain);
        step.edit(ours);
        // Compared before the event loop runs: nothing may be left waiting.
        ASSERT_EQ(ourChanges.Changes, plainChanges.Changes) << step.what;
        ASSERT_EQ(TextOf(ours), TextOf(plain)) << step.what;
    }
    EXPECT_GT(ourChanges.Changes.size(), 15u);
}

// QScintilla counts its way to every change it is told of, for the
// accessibility interface; the control keeps those notifications back unless
// an assistive technology listens, and then announces each change once.
TEST(ScintillaControlTest, KeepsTheCountedNotificationsBackUnlessAssistiveTechnologyListens) {
    ASSERT_FALSE(QAccessible::isActive());
    TScintillaControl ours;
    ours.setText("a=\"b\"");
    TRecorder changes(ours);
    const auto mask = [&ours] { return ours.SendScintilla(Sci::SCI_GETMODEVENTMASK); };
    const long counted = Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT | Sci::SC_PERFORMED_USER |
                         Sci::SC_PERFORMED_UNDO | Sci::SC_PERFORMED_REDO |
                         Sci::SC_MULTISTEPUNDOREDO | Sci::SC_LASTSTEPINUNDOREDO |
                         Sci::SC_MULTILINEUNDOREDO | Sci::SC_STARTACTION;
    EXPECT_EQ(mask() & counted, 0);
    Key(ours, Qt::Key_X, "x");

    QAccessible::setActive(true);
    EXPECT_EQ(mask(), long(Sci::SC_MODEVENTMASKALL));
    Key(ours, Qt::Key_Y, "y");
    ours.undo();

    QAccessible::setActive(false);
    EXPECT_EQ(mask() & counted, 0);
    Key(ours, Qt::Key_Z, "z");
    // Whoever asks Scintilla for every notification again hears each change once.
    ours.SendScintilla(Sci::SCI_SETMODEVENTMASK,
                       static_cast<unsigned long>(Sci::SC_MODEVENTMASKALL));
    Key(ours, Qt::Key_W, "w");

    // The two letters typed in a row are one undo step of two changes.
    const int insert = Sci::SC_MOD_INSERTTEXT | Sci::SC_PERFORMED_USER;
    const int undone = Sci::SC_MOD_DELETETEXT | Sci::SC_PERFORMED_UNDO;
    const std::vector<TChange> expected = {
        {0, insert, 1, 0, "xa=\"b\""}, {1, insert, 1, 0, "xya=\"b\""},
        {1, undone, 1, 0, "xa=\"b\""}, {0, undone | Sci::SC_LASTSTEPINUNDOREDO, 1, 0, "a=\"b\""},
        {0, insert, 1, 0, "za=\"b\""}, {1, insert, 1, 0, "zwa=\"b\""},
    };
    EXPECT_EQ(changes.Changes, expected);
}

} // namespace

// Many changes made as one: one undo step, the single changes announced while
// InBulkEdit() tells listeners to wait, and one BulkChange at the end, also
// when the edit stops half way with an exception.
TEST(ScintillaControlTest, BulkEditIsOneUndoStepAnnouncedOnceAtTheEnd) {
    for (const bool throws : {false, true}) {
        TScintillaControl editor;
        editor.setText("a b c");
        editor.SendScintilla(Sci::SCI_EMPTYUNDOBUFFER);
        int bulkChanges = 0;
        int changesInBulk = 0;
        QObject::connect(&editor, &TScintillaControl::BulkChange, [&] {
            EXPECT_FALSE(editor.InBulkEdit());
            ++bulkChanges;
        });
        QObject::connect(&editor, &Sci::SCN_MODIFIED,
                         [&](int, int type, const char*, int, int, int, int, int, int, int) {
                             if (type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT))
                                 changesInBulk += editor.InBulkEdit() ? 1 : 0;
                         });
        const auto edit = [&] {
            editor.BulkEdit([&] {
                for (long position : {4L, 2L, 0L}) {
                    editor.SendScintilla(Sci::SCI_SETTARGETRANGE, position, position + 1);
                    editor.SendScintilla(Sci::SCI_REPLACETARGET, 1UL, "x");
                    if (throws && position == 2)
                        throw std::runtime_error("stop");
                }
            });
        };
        if (throws)
            EXPECT_THROW(edit(), std::runtime_error);
        else
            edit();
        EXPECT_EQ(TextOf(editor), throws ? "a x x" : "x x x");
        EXPECT_EQ(bulkChanges, 1);
        EXPECT_EQ(changesInBulk, throws ? 4 : 6);
        EXPECT_FALSE(editor.InBulkEdit());
        editor.undo();
        EXPECT_EQ(TextOf(editor), "a b c") << "one undo step";
    }
}
