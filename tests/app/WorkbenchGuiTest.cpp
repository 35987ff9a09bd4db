// The translator's workbench in the main window: the reference phrase under
// the caret, the markers and the problems list, the progress, the navigation
// keys, find and replace, and "Show as".
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"
#include "texts/QtText.h"
#include "workbench/FindBar.h"
#include "workbench/MarginMarkers.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QToolTip>
#include <QTreeWidget>

#include <functional>

namespace fs = std::filesystem;
using Sci = QsciScintillaBase;

namespace {

const char* const English = "; Viewer\r\n"
                            "[Main]\r\n"
                            "Main.Caption=\"Picture viewer\"\r\n"
                            "Main.Open=\"Open %s\"\r\n"
                            "Main.Save=\"Save\"\r\n"
                            "Main.Quit=\"Quit\"\r\n"
                            "Main.Size=\"Size: %d x %d\"\r\n";
// Line 3 lost its %s, line 4 is still English, Main.Quit is missing after
// it, and the reference has no Main.Extra.
const char* const Deutsch = "; Viewer\r\n"
                            "[Main]\r\n"
                            "Main.Caption=\"Bildbetrachter\"\r\n"
                            "Main.Open=\"\xC3\x96"
                            "ffnen\"\r\n"
                            "Main.Save=\"Save\"\r\n"
                            "Main.Size=\"Gr\xC3\xB6\xC3\x9F"
                            "e: %d x %d\"\r\n"
                            "Main.Extra=\"Neu\"\r\n";
// Windows-1250: 0xB9 is "ą", 0xF1 "ń" (in Windows-1252 "¹" and "ñ").
const char* const Polski = "; Viewer\r\n"
                           "[Main]\r\n"
                           "Main.Caption=\"Przegl\xB9"
                           "darka\"\r\n"
                           "Main.Open=\"Otw\xF3rz %s\"\r\n"
                           "Main.Save=\"Zapisz\"\r\n"
                           "Main.Quit=\"Zako\xF1"
                           "cz\"\r\n"
                           "Main.Size=\"Rozmiar: %d x %d\"\r\n";

QString Line(TSynEditor* editor, long line) {
    QString text = editor->text(static_cast<int>(line));
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return text;
}

long CaretLine(TSynEditor* editor) {
    return editor->SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                 editor->SendScintilla(Sci::SCI_GETCURRENTPOS));
}

long Markers(TSynEditor* editor, long line) {
    return editor->SendScintilla(Sci::SCI_MARKERGET, static_cast<unsigned long>(line)) & 3;
}

QStringList Rows(QListView* list) {
    QStringList rows;
    for (int i = 0; i < list->model()->rowCount(); ++i)
        rows << list->model()->index(i, 0).data().toString();
    return rows;
}

} // namespace

class WorkbenchTest : public WordlarkFixture {
protected:
    void SetUp() override {
        fs::create_directories(Dir / "Viewer");
        Catalogue = Dir.Write("Viewer/Languages.ini", "LanguageName=\"English\"\r\n"
                                                      "LanguageFile=\"Viewer_English.ini\"\r\n"
                                                      "LanguageName=\"Deutsch\"\r\n"
                                                      "LanguageFile=\"Viewer_Deutsch.ini\"\r\n"
                                                      "LanguageName=\"Polski\"\r\n"
                                                      "LanguageFile=\"Viewer_Polski.ini\"\r\n"
                                                      "LanguageDefault=\"English\"\r\n");
        Dir.Write("Viewer/Viewer_English.ini", English);
        Dir.Write("Viewer/Viewer_Deutsch.ini", Deutsch);
        Dir.Write("Viewer/Viewer_Polski.ini", Polski);
        InstallProgramFiles();
        Start();
        Show();
        LoadViewer();
    }

    void LoadViewer() {
        ASSERT_TRUE(Frm->LoadCatalogue(Catalogue));
        Frm->SetCataloguePath(Catalogue);
    }

    void Open(const QString& language) {
        SelectTranslation(language);
        Frm->BtnEdit->click();
        QApplication::processEvents();
    }

    void GoTo(long line, long column = 0) {
        const long start = Frm->MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                                              static_cast<unsigned long>(line));
        Frm->MemTranslation->SendScintilla(Sci::SCI_GOTOPOS,
                                           static_cast<unsigned long>(start + column));
        QApplication::processEvents();
    }

    // A key as the user presses it in the editor, shortcuts included.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Frm->activateWindow();
        Frm->MemTranslation->setFocus();
        QTest::keyClick(Frm->MemTranslation, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }

    void Type(const QString& text) {
        for (char32_t c : text.toUcs4()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUcs4(&c, 1));
            QApplication::sendEvent(Frm->MemTranslation, &press);
        }
        QApplication::processEvents();
    }

    QString Reference() const {
        QString text = Frm->Workbench()->MemReference->text();
        return text;
    }

    QAction* ShowAsItem(const char* name) const { return Frm->findChild<QAction*>(name); }

    std::string Catalogue;
};

TEST_F(WorkbenchTest, TheReferencePhraseFollowsTheCaret) {
    Open("Deutsch");
    EXPECT_EQ(Frm->Workbench()->CbbReference->currentText(), "English");
    // The edited translation is no choice; the others are.
    EXPECT_EQ(Frm->Workbench()->CbbReference->count(), 2);
    const struct {
        long line;
        QString reference;
    } cases[] = {
        {3, "Main.Open=\"Open %s\""},
        {5, "Main.Size=\"Size: %d x %d\""},
        {6, ""}, // the reference has no Main.Extra
        {0, ""}, // a comment has no key
        {2, "Main.Caption=\"Picture viewer\""},
    };
    for (const auto& c : cases) {
        GoTo(c.line, 3);
        EXPECT_EQ(Reference(), c.reference) << c.line;
    }
    // Typing a key the reference knows shows its phrase at once.
    GoTo(6, 10);
    Type("X");
    EXPECT_EQ(Reference(), "");
    Frm->MemTranslation->SendScintilla(Sci::SCI_DELETEBACK);
    Frm->MemTranslation->FlushChanges();
    QApplication::processEvents();
    EXPECT_EQ(Line(Frm->MemTranslation, 6), "Main.Extra=\"Neu\"");

    // Another reference, remembered for the catalogue.
    Frm->Workbench()->CbbReference->setCurrentText("Polski");
    emit Frm->Workbench()->CbbReference->activated(Frm->Workbench()->CbbReference->currentIndex());
    GoTo(3, 3);
    EXPECT_EQ(Reference(), QString::fromUtf8("Main.Open=\"Otwórz %s\""));
    Frm->Modified = false;
    LoadViewer();
    Open("Deutsch");
    EXPECT_EQ(Frm->Workbench()->CbbReference->currentText(), "Polski");
    EXPECT_NE(TempDir::Read(Dir / "local/Brightmoor/Wordlark/Workbench.txt").find("Polski"),
              std::string::npos);
}

TEST_F(WorkbenchTest, MarkersHintsAndTheProblemsList) {
    Open("Deutsch");
    TSynEditor* editor = Frm->MemTranslation;
    // Bit 0: problems; bit 1: untranslated.
    const long expected[] = {0, 0, 0, 1, 2, 0, 1, 0};
    for (long line = 0; line < 8; ++line)
        EXPECT_EQ(Markers(editor, line), expected[line]) << line;
    EXPECT_EQ(Frm->Workbench()->LineHint(3), "Placeholders of the reference missing: %s");
    EXPECT_EQ(Frm->Workbench()->LineHint(4), "Not translated yet");
    EXPECT_EQ(Frm->Workbench()->LineHint(2), "");
    // Resting the mouse on the margin names the line's problems; on the text
    // it does not.
    const struct {
        long line;
        bool margin;
        QString tip;
    } rests[] = {
        {3, false, ""},
        {3, true, "Placeholders of the reference missing: %s"},
        {4, true, "Not translated yet"},
    };
    for (const auto& r : rests) {
        const long position =
            editor->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(r.line));
        const int y =
            static_cast<int>(editor->SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, position));
        const int x =
            r.margin ? static_cast<int>(editor->SendScintilla(Sci::SCI_GETMARGINWIDTHN, 0UL)) + 3
                     : 400;
        emit editor->SCN_DWELLSTART(static_cast<int>(position), x, y + 2);
        EXPECT_EQ(QToolTip::isVisible() ? QToolTip::text() : QString(), r.tip) << r.line;
    }
    QToolTip::hideText();
    EXPECT_EQ(Rows(Frm->Workbench()->LisProblems),
              QStringList({"4: Placeholders of the reference missing: %s",
                           "5: The key Main.Quit of the reference is missing",
                           "7: The reference has no key Main.Extra"}));

    // A row jumps to its line; a missing key to where it would go.
    Frm->Workbench()->LisProblemsClick(2);
    EXPECT_EQ(CaretLine(editor), 6);
    Frm->Workbench()->LisProblemsClick(1);
    EXPECT_EQ(editor->SendScintilla(Sci::SCI_GETCURRENTPOS),
              editor->SendScintilla(Sci::SCI_GETLINEENDPOSITION, 4UL));

    // Mending the placeholder takes the marker and the row away.
    GoTo(3, 11);
    Type("%s ");
    EXPECT_EQ(Line(editor, 3), QString::fromUtf8("Main.Open=\"%s Öffnen\""));
    EXPECT_EQ(Markers(editor, 3), 0);
    EXPECT_EQ(Rows(Frm->Workbench()->LisProblems).size(), 2);
    // A new line above moves the markers and the rows with their lines.
    GoTo(0);
    Press(Qt::Key_Return);
    EXPECT_EQ(Markers(editor, 7), 1);
    EXPECT_EQ(Rows(Frm->Workbench()->LisProblems).last(), "8: The reference has no key Main.Extra");
}

TEST_F(WorkbenchTest, ProgressFollowsTheTranslation) {
    Open("Deutsch");
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "3 of 5 phrases translated");
    EXPECT_EQ(Frm->Workbench()->LblProblems->text(), "Problems: 3");
    GoTo(4, 11);
    Type("Sp");
    EXPECT_EQ(Line(Frm->MemTranslation, 4), "Main.Save=\"SpSave\"");
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "4 of 5 phrases translated");
    // Emptied, a phrase waits for its translation again.
    const long start = Frm->MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE, 4UL);
    Frm->MemTranslation->SendScintilla(Sci::SCI_SETSEL, static_cast<unsigned long>(start + 11),
                                       start + 17);
    Frm->MemTranslation->SendScintilla(Sci::SCI_CLEAR);
    Frm->MemTranslation->FlushChanges();
    EXPECT_EQ(Line(Frm->MemTranslation, 4), "Main.Save=\"\"");
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "3 of 5 phrases translated");
    // Missing keys count as problems until they are there.
    GoTo(4, 12);
    Press(Qt::Key_End);
    Press(Qt::Key_Return);
    Type("Main.Quit=\"Beenden\"");
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "4 of 5 phrases translated");
    EXPECT_EQ(Frm->Workbench()->LblProblems->text(), "Problems: 2");
}

TEST_F(WorkbenchTest, NavigationKeys) {
    Open("Deutsch");
    GoTo(0);
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        long line;
    } steps[] = {
        {Qt::Key_F8, Qt::NoModifier, 4},    // the one untranslated phrase
        {Qt::Key_F8, Qt::NoModifier, 4},    // round the end back to it
        {Qt::Key_F7, Qt::NoModifier, 6},    // the key the reference lacks
        {Qt::Key_F7, Qt::NoModifier, 3},    // round: the lost placeholder
        {Qt::Key_F7, Qt::NoModifier, 4},    // where Main.Quit would go
        {Qt::Key_F7, Qt::ShiftModifier, 3}, // back
        {Qt::Key_F8, Qt::ShiftModifier, 4},
    };
    for (const auto& s : steps) {
        Press(s.key, s.modifiers);
        EXPECT_EQ(CaretLine(Frm->MemTranslation), s.line) << s.key;
    }
    // The caret lands at the start of the phrase, ready to type.
    const long start = Frm->MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE, 4UL);
    EXPECT_EQ(Frm->MemTranslation->SendScintilla(Sci::SCI_GETCURRENTPOS), start + 11);
}

TEST_F(WorkbenchTest, FindAndReplace) {
    Open("Deutsch");
    GoTo(0);
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(Frm->Workbench()->PnlFind->isVisible());
    EXPECT_FALSE(Frm->Workbench()->PnlFind->EdtReplace->isVisible());
    EXPECT_TRUE(Frm->Workbench()->PnlFind->EdtFind->hasFocus());
    QTest::keyClicks(Frm->Workbench()->PnlFind->EdtFind, "save");
    QTest::keyClick(Frm->Workbench()->PnlFind->EdtFind, Qt::Key_Return);
    // Any case, and the key too, until the options say otherwise.
    EXPECT_EQ(Frm->MemTranslation->selectedText(), "Save");
    EXPECT_EQ(CaretLine(Frm->MemTranslation), 4);
    int line = 0, index = 0;
    Frm->MemTranslation->getCursorPosition(&line, &index);
    EXPECT_EQ(index, 9); // the end of "Main.Save"
    Frm->Workbench()->PnlFind->ChkPhrasesOnly->setChecked(true);
    Frm->Workbench()->PnlFind->BtnFindNext->click();
    Frm->MemTranslation->getCursorPosition(&line, &index);
    EXPECT_EQ(std::make_pair(line, index), std::make_pair(4, 15));
    Frm->Workbench()->PnlFind->ChkMatchCase->setChecked(true);
    Frm->Workbench()->PnlFind->BtnFindNext->click();
    EXPECT_EQ(Frm->StatusText(), "'save' was not found");

    Frm->Workbench()->MenReplace->trigger();
    ASSERT_TRUE(Frm->Workbench()->PnlFind->EdtReplace->isVisible());
    Frm->Workbench()->PnlFind->ChkMatchCase->setChecked(false);
    Frm->Workbench()->PnlFind->EdtFind->setText("e");
    Frm->Workbench()->PnlFind->ChkWholeWord->setChecked(false);
    Frm->Workbench()->PnlFind->EdtReplace->setText("E");
    Frm->Workbench()->PnlFind->BtnReplaceAll->click();
    // Phrases only: "Main.Extra" and the comment keep their letters.
    EXPECT_EQ(Frm->StatusText(), "Replaced: 6");
    EXPECT_EQ(Line(Frm->MemTranslation, 2), "Main.Caption=\"BildbEtrachtEr\"");
    EXPECT_EQ(Line(Frm->MemTranslation, 6), "Main.Extra=\"NEu\"");
    EXPECT_EQ(Line(Frm->MemTranslation, 0), "; Viewer");
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "4 of 5 phrases translated");
    // One undo takes it all back.
    Frm->MemTranslation->undo();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "3 of 5 phrases translated");

    // One replacement: the selected match, then on to the next.
    Frm->Workbench()->PnlFind->EdtFind->setText("Neu");
    Frm->Workbench()->PnlFind->EdtReplace->setText("Neues");
    GoTo(0);
    Frm->Workbench()->PnlFind->BtnReplace->click(); // selects the first match
    Frm->Workbench()->PnlFind->BtnReplace->click(); // replaces it
    EXPECT_EQ(Line(Frm->MemTranslation, 6), "Main.Extra=\"Neues\"");
    EXPECT_TRUE(Frm->Modified);
    QTest::keyClick(Frm->Workbench()->PnlFind->EdtFind, Qt::Key_Escape);
    EXPECT_FALSE(Frm->Workbench()->PnlFind->isVisible());
}

TEST_F(WorkbenchTest, FindKeysFromTheEditor) {
    Open("Deutsch");
    GoTo(0);
    Press(Qt::Key_F3); // nothing to find yet: the find row opens
    ASSERT_TRUE(Frm->Workbench()->PnlFind->isVisible());
    Frm->Workbench()->PnlFind->EdtFind->setText("Main.");
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        long line;
    } steps[] = {
        {Qt::Key_F3, Qt::NoModifier, 2},
        {Qt::Key_F3, Qt::NoModifier, 3},
        {Qt::Key_F3, Qt::ShiftModifier, 2},
        {Qt::Key_F3, Qt::ShiftModifier, 6}, // round the start
    };
    for (const auto& s : steps) {
        Press(s.key, s.modifiers);
        EXPECT_EQ(CaretLine(Frm->MemTranslation), s.line) << s.line;
        EXPECT_EQ(Frm->MemTranslation->selectedText(), "Main.") << s.line;
    }
    EXPECT_FALSE(Frm->Workbench()->PnlFind->EdtReplace->isVisible());
    Press(Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(Frm->Workbench()->PnlFind->EdtReplace->isVisible());
    EXPECT_TRUE(Frm->Workbench()->PnlFind->EdtFind->hasFocus());
}

TEST_F(WorkbenchTest, ShowAsTurnsTheSameBytesIntoOtherLettersAndSavesThemUnchanged) {
    Open("Deutsch");
    EXPECT_FALSE(Frm->Workbench()->MenShowAs->isEnabled()); // a UTF-8 file is shown as UTF-8

    Open("Polski");
    ASSERT_TRUE(Frm->Workbench()->MenShowAs->isEnabled());
    EXPECT_TRUE(ShowAsItem("MenShowAsWindows1252")->isChecked());
    EXPECT_EQ(Line(Frm->MemTranslation, 2), QString::fromUtf8("Main.Caption=\"Przegl¹darka\""));
    const struct {
        const char* item;
        const char* caption;
        const char* quit;
    } cases[] = {
        {"MenShowAsWindows1250", "Przeglądarka", "Zakończ"},
        {"MenShowAsWindows1251", "Przegl№darka", "Zakoсcz"},
        {"MenShowAsWindows1257", "Przegl¹darka", "Zakończ"},
        {"MenShowAsUTF8", "Przegl\uF7B9darka", "Zako\uF7F1cz"},
        {"MenShowAsWindows1250", "Przeglądarka", "Zakończ"},
    };
    for (const auto& c : cases) {
        ShowAsItem(c.item)->trigger();
        EXPECT_TRUE(ShowAsItem(c.item)->isChecked());
        EXPECT_EQ(Line(Frm->MemTranslation, 2),
                  QString::fromUtf8("Main.Caption=\"%1\"").arg(QString::fromUtf8(c.caption)))
            << c.item;
        EXPECT_EQ(Line(Frm->MemTranslation, 5),
                  QString::fromUtf8("Main.Quit=\"%1\"").arg(QString::fromUtf8(c.quit)))
            << c.item;
        EXPECT_FALSE(Frm->Modified);
        EXPECT_EQ(Frm->MemTranslation->Bytes(), Polski);
    }
    // Checked against the English reference as shown: nothing is lost.
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "5 of 5 phrases translated");
    Frm->BtnSave->click();
    EXPECT_EQ(TempDir::Read(Dir / "Viewer/Viewer_Polski.ini"), Polski);

    // Remembered for the file; a copy of it starts the same way.
    Frm->Modified = false;
    LoadViewer();
    Open("Polski");
    EXPECT_TRUE(ShowAsItem("MenShowAsWindows1250")->isChecked());
    EXPECT_EQ(Line(Frm->MemTranslation, 5), QString::fromUtf8("Main.Quit=\"Zakończ\""));
    ModalAnswers answers;
    answers.Then([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("EdtLanguageName")->setText("Slovensky");
        ClickNamedButton(dialog, "BtnOK");
    });
    Frm->BtnAdd->click();
    EXPECT_TRUE(ShowAsItem("MenShowAsWindows1250")->isChecked());
    EXPECT_EQ(Line(Frm->MemTranslation, 5), QString::fromUtf8("Main.Quit=\"Zakończ\""));
}

TEST_F(WorkbenchTest, ALetterTheEncodingLacksOffersOneThatHoldsIt) {
    Open("Polski");
    GoTo(4, 11); // Main.Save="|Zapisz"
    {
        ModalAnswers answers;
        answers.Click("No");
        Type(QString::fromUtf8("ł"));
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains("Windows-1250"))
            << answers.Seen()[0].Text.toStdString();
    }
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Polski);
    EXPECT_FALSE(Frm->Modified);
    // The letter was dropped: the status line says why.
    EXPECT_EQ(Frm->StatusText(),
              QString::fromUtf8("'ł' (U+0142) was not put in: this file's encoding (Windows-1252) "
                                "cannot store it, and the file is still shown as before"));
    {
        ModalAnswers answers;
        answers.Click("Yes");
        Type(QString::fromUtf8("ł"));
    }
    EXPECT_TRUE(ShowAsItem("MenShowAsWindows1250")->isChecked());
    EXPECT_EQ(Line(Frm->MemTranslation, 4), QString::fromUtf8("Main.Save=\"łZapisz\""));
    EXPECT_TRUE(Frm->Modified);
    std::string expected = Polski;
    expected.replace(expected.find("\"Zapisz"), 7, "\"\xB3Zapisz");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), expected);
    // Pasted text the same way: Cyrillic offers Windows-1251, where the byte
    // typed as "ł" shows as "і".
    {
        ModalAnswers answers;
        answers.Click("Yes");
        QApplication::clipboard()->setText(QString::fromUtf8("Жук"));
        Frm->PopPaste->trigger();
        ASSERT_EQ(answers.Seen().size(), 1u);
    }
    EXPECT_TRUE(ShowAsItem("MenShowAsWindows1251")->isChecked());
    EXPECT_EQ(Line(Frm->MemTranslation, 4), QString::fromUtf8("Main.Save=\"іЖукZapisz\""));
    expected.replace(expected.find("\xB3Zapisz"), 1, "\xB3\xC6\xF3\xEA");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), expected);
    // A letter no code page holds is refused as before.
    {
        ModalAnswers answers;
        answers.Click("OK");
        Type(QString::fromUtf8("日"));
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains("U+65E5"))
            << answers.Seen()[0].Text.toStdString();
    }
    EXPECT_EQ(Frm->MemTranslation->Bytes(), expected);
}

TEST_F(WorkbenchTest, ProblemsNeverStopASaveWhichSaysHowManyAreLeft) {
    Open("Deutsch");
    GoTo(2, 14);
    Type("Das ");
    Frm->BtnSave->click();
    EXPECT_FALSE(Frm->Modified);
    EXPECT_NE(TempDir::Read(Dir / "Viewer/Viewer_Deutsch.ini").find("Das Bild"), std::string::npos);
    EXPECT_TRUE(Frm->StatusText().startsWith("Saved Viewer_Deutsch.ini and Languages.ini in "))
        << Frm->StatusText().toStdString();
    EXPECT_TRUE(Frm->StatusText().endsWith("; problems left: 3"))
        << Frm->StatusText().toStdString();
}

TEST_F(WorkbenchTest, SideBySideShowsTheReferenceAlignedByKey) {
    Open("Deutsch");
    Frm->Workbench()->ChkSideBySide->click();
    ASSERT_TRUE(Frm->Workbench()->MemReferenceView->isVisible());
    EXPECT_TRUE(Frm->Workbench()->MenSideBySide->isChecked());
    const QString aligned[] = {"",
                               "",
                               "Main.Caption=\"Picture viewer\"",
                               "Main.Open=\"Open %s\"",
                               "Main.Save=\"Save\"",
                               "Main.Size=\"Size: %d x %d\"",
                               "",
                               ""};
    for (long line = 0; line < 8; ++line)
        EXPECT_EQ(Line(Frm->Workbench()->MemReferenceView, line), aligned[line]) << line;
    // Lines added in the editor are added beside it.
    GoTo(2);
    Press(Qt::Key_Return);
    EXPECT_EQ(Line(Frm->Workbench()->MemReferenceView, 2), "");
    EXPECT_EQ(Line(Frm->Workbench()->MemReferenceView, 3), "Main.Caption=\"Picture viewer\"");
    EXPECT_EQ(Frm->Workbench()->MemReferenceView->lines(), Frm->MemTranslation->lines());
    Frm->Workbench()->MenSideBySide->trigger();
    EXPECT_FALSE(Frm->Workbench()->MemReferenceView->isVisible());
    EXPECT_FALSE(Frm->Workbench()->ChkSideBySide->isChecked());
}

TEST_F(WorkbenchTest, ReasonsSpeakTheInterfaceLanguage) {
    Frm->SelectProgramLanguage("Deutsch");
    Open("Deutsch");
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(),
              QString::fromUtf8("3 von 5 Phrasen übersetzt"));
    EXPECT_EQ(Frm->Workbench()->LineHint(3), "Es fehlen Platzhalter der Referenz: %s");
    // Every reason has a text of its own, its parameters in place; a
    // placeholder inside a parameter stays as it is.
    Frm->SelectProgramLanguage("English");
    const TProblem problems[] = {
        {TReason::NotQuoted, {}},
        {TReason::OddQuotes, {"3"}},
        {TReason::PlaceholderMissing, {"%1 %2"}},
        {TReason::PlaceholderExtra, {"{0}"}},
        {TReason::PlaceholderOrder, {"%s %d", "%d %s"}},
        {TReason::LeadingBlanks, {" ", "\t"}},
        {TReason::TrailingBlanks, {"", "  "}},
        {TReason::LineBreaks, {"\\n", ""}},
        {TReason::KeyNotInReference, {"A.B"}},
        {TReason::DuplicateKey, {"12"}},
        {TReason::MissingKey, {"A.C"}},
    };
    QStringList texts;
    for (const TProblem& p : problems)
        texts << Frm->Workbench()->ProblemText(p);
    EXPECT_EQ(texts, QStringList({
                         "The phrase is not in double quotes as in the reference",
                         "The line holds an odd number of double quotes (3)",
                         "Placeholders of the reference missing: %1 %2",
                         "Placeholders the reference does not have: {0}",
                         "Placeholders in another order: %s %d in the reference, %d %s here",
                         QString::fromUtf8("Blanks before the phrase differ: '·' in the "
                                           "reference, '→' here"),
                         QString::fromUtf8("Blanks after the phrase differ: '' in the "
                                           "reference, '··' here"),
                         QString::fromUtf8("Line breaks written differently: \\n in the "
                                           "reference, – here"),
                         "The reference has no key A.B",
                         "The key is on line 12 already, and the program reads that line",
                         "The key A.C of the reference is missing",
                     }));
}

// In a short window the editor keeps the room beside the problems list:
// the list and the horizontal scroll bar come only where there is room for
// them and a few lines, and nothing is drawn past the splitter's edge.
TEST_F(WorkbenchTest, InAShortWindowTheEditorKeepsTheRoom) {
    Open("Deutsch");
    const struct {
        int height;
        bool list;
    } cases[] = {{450, false}, {520, false}, {604, true}, {800, true}, {450, false}};
    for (const auto& c : cases) {
        Frm->resize(697, c.height);
        QApplication::processEvents();
        const auto box = [this](const QWidget* w) {
            return QRect(w->mapTo(Frm, QPoint(0, 0)), w->size());
        };
        const QRect splitter = box(Frm->Workbench()->PnlProblemsSplitter);
        const QRect editor = box(Frm->MemTranslation);
        EXPECT_EQ(Frm->Workbench()->LisProblems->isVisible(), c.list) << c.height;
        EXPECT_EQ(Frm->MemTranslation->SendScintilla(Sci::SCI_GETHSCROLLBAR) != 0, c.list)
            << c.height;
        EXPECT_LE(editor.bottom(), splitter.bottom()) << c.height;
        if (c.list) {
            EXPECT_LE(box(Frm->Workbench()->LisProblems).bottom(), splitter.bottom()) << c.height;
            EXPECT_GE(editor.height(), 60) << c.height;
        } else {
            EXPECT_EQ(editor.height(), splitter.height()) << c.height;
        }
    }
}

// "Side by side" is kept for the next run.
TEST_F(WorkbenchTest, SideBySideIsKeptBetweenRuns) {
    Open("Deutsch");
    EXPECT_FALSE(Frm->Workbench()->ChkSideBySide->isChecked());
    Frm->Workbench()->ChkSideBySide->click();
    EXPECT_TRUE(Frm->Workbench()->MemReferenceView->isVisible());
    Frm->Modified = false;

    Start();
    Show();
    EXPECT_TRUE(Frm->Workbench()->ChkSideBySide->isChecked());
    EXPECT_TRUE(Frm->Workbench()->MenSideBySide->isChecked());
    LoadViewer();
    Open("Deutsch");
    EXPECT_TRUE(Frm->Workbench()->MemReferenceView->isVisible());
    EXPECT_GT(Frm->Workbench()->MemReferenceView->width(), 50);
    EXPECT_TRUE(Frm->Workbench()->MemReferenceView->text().contains("Picture viewer"));

    // Switched off from the menu, it stays off.
    Frm->Workbench()->MenSideBySide->trigger();
    EXPECT_FALSE(Frm->Workbench()->MemReferenceView->isVisible());
    Frm->Modified = false;
    Start();
    Show();
    EXPECT_FALSE(Frm->Workbench()->ChkSideBySide->isChecked());
}

// The reference is read while the translation loads; what a failed open read
// ahead is not taken by a later one, after the reference changed on disk.
TEST_F(WorkbenchTest, AFailedOpenLeavesNoStaleReferenceBehind) {
    const std::string missing = Dir / "Viewer/Viewer_Missing.ini";
    EXPECT_THROW(Frm->OpenTranslation(missing, ""), std::exception);
    // Time for anything read ahead to have been read before the change.
    QTest::qWait(200);
    std::string english = English;
    english.replace(english.find("Open %s"), 7, "Open file %s");
    Dir.Write("Viewer/Viewer_English.ini", english);
    ASSERT_TRUE(Frm->AddTranslation("Cesky", Dir / "Viewer/Viewer_Deutsch.ini"));
    GoTo(3, 3);
    EXPECT_EQ(Reference(), "Main.Open=\"Open file %s\"");
    Frm->Modified = false;
}

// In a long translation only the lines around the view hold markers, and
// whatever line holds one holds the checker's, as the view scrolls and as
// edits above it move the lines.
TEST_F(WorkbenchTest, MarkersFollowTheViewAndTheEdits) {
    constexpr int Keys = 10000;
    std::string english = "[Main]\r\n", deutsch = "[Main]\r\n";
    for (int i = 0; i < Keys; ++i) {
        const std::string key = "Main.K" + std::to_string(i) + "=\"";
        english += key + "Phrase " + std::to_string(i) + "\"\r\n";
        // Every third phrase is still English.
        deutsch += key + (i % 3 ? "Satz " : "Phrase ") + std::to_string(i) + "\"\r\n";
    }
    Dir.Write("Viewer/Viewer_English.ini", english);
    Dir.Write("Viewer/Viewer_Deutsch.ini", deutsch);
    LoadViewer();
    Open("Deutsch");
    TSynEditor* editor = Frm->MemTranslation;
    const TTranslationChecker& checker = Frm->Workbench()->Checker();
    const auto send = [&](unsigned int message, unsigned long w = 0, long l = 0) {
        return editor->SendScintilla(message, w, l);
    };
    const auto positionOf = [&](long line) { return send(Sci::SCI_POSITIONFROMLINE, line); };
    const struct {
        const char* step;
        std::function<void()> act;
    } steps[] = {
        {"opened", [] {}},
        {"lines added below the view",
         [&] {
             send(Sci::SCI_INSERTTEXT, positionOf(300),
                  reinterpret_cast<long>("Main.New3=\"\"\r\nMain.New4=\"\"\r\n"));
         }},
        {"lines joined below the view",
         [&] { send(Sci::SCI_DELETERANGE, positionOf(400) - 2, 2); }},
        {"in the middle", [&] { GoTo(Keys / 2); }},
        {"at the end", [&] { GoTo(send(Sci::SCI_GETLINECOUNT) - 1); }},
        {"lines added above the view",
         [&] {
             send(Sci::SCI_INSERTTEXT, positionOf(5),
                  reinterpret_cast<long>("Main.New1=\"\"\r\nMain.New2=\"\"\r\n"));
         }},
        {"lines joined above the view", [&] { send(Sci::SCI_DELETERANGE, positionOf(8) - 2, 2); }},
        {"in the middle", [&] { GoTo(Keys / 2); }},
        {"a line taken out in view",
         [&] {
             const long line = send(Sci::SCI_GETFIRSTVISIBLELINE) + 2;
             send(Sci::SCI_DELETERANGE, positionOf(line), positionOf(line + 1) - positionOf(line));
         }},
        {"back at the start", [&] { GoTo(0); }},
    };
    for (const auto& s : steps) {
        s.act();
        QApplication::processEvents();
        const long lines = send(Sci::SCI_GETLINECOUNT);
        const long first = send(Sci::SCI_GETFIRSTVISIBLELINE);
        const long shown = send(Sci::SCI_LINESONSCREEN);
        ASSERT_EQ(checker.LineCount(), static_cast<std::size_t>(lines)) << s.step;
        constexpr long Around = static_cast<long>(TMarginMarkers::Around);
        long marked = 0;
        for (long line = 0; line < lines; ++line) {
            const auto at = static_cast<std::size_t>(line);
            const long wanted =
                (checker.HasProblems(at) ? 1L << TMarginMarkers::ProblemMarker : 0) |
                (checker.IsUntranslated(at) ? 1L << TMarginMarkers::UntranslatedMarker : 0);
            const long got =
                send(Sci::SCI_MARKERGET, static_cast<unsigned long>(line)) & TMarginMarkers::Mask;
            marked += got != 0;
            // In view every marker is there, anywhere else none is wrong, and
            // far from the view there are none.
            const bool far = line + 2 * Around < first || line >= first + shown + 2 * Around;
            if (far) {
                EXPECT_EQ(got, 0) << s.step << ", line " << line;
            } else if ((line >= first && line < first + shown) || got != 0) {
                EXPECT_EQ(got, wanted) << s.step << ", line " << line;
            }
        }
        // A third of the lines are untranslated: far from the view they are unmarked.
        EXPECT_GT(marked, shown / 4) << s.step;
        EXPECT_LT(marked, Keys / 6) << s.step;
    }
    Frm->Modified = false;
}
