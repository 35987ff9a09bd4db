// The translator's marks of phrases, the checks switched off, a copy that
// counts its master's phrases as untranslated, and a translation brought up
// to date with its reference, in the main window.
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"
#include "workbench/ExchangeMenu.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

namespace fs = std::filesystem;
using Sci = QsciScintillaBase;

namespace {

const char* const English = "; Viewer\r\n"
                            "[Main]\r\n"
                            "Main.Caption=\"Picture viewer\"\r\n"
                            "Main.Open=\"Open...\"\r\n"
                            "Main.Save=\"Save\"\r\n"
                            "Main.Zoom=\"Zoom\"\r\n"
                            "Main.Quit=\"Quit\"\r\n";
// Zoom is rightly the same in German; Open lost its "...".
const char* const Deutsch = "; Viewer\r\n"
                            "[Main]\r\n"
                            "Main.Caption=\"Bildbetrachter\"\r\n"
                            "Main.Open=\"\xC3\x96"
                            "ffnen\"\r\n"
                            "Main.Save=\"Speichern\"\r\n"
                            "Main.Zoom=\"Zoom\"\r\n"
                            "Main.Quit=\"Beenden\"\r\n";

constexpr long ToBeCheckedMarker = 1L << 2;

} // namespace

class PhraseMarksTest : public WordlarkFixture {
protected:
    void SetUp() override {
        fs::create_directories(Dir / "Viewer");
        Catalogue = Dir.Write("Viewer/Languages.ini", "LanguageName=\"English\"\r\n"
                                                      "LanguageFile=\"Viewer_English.ini\"\r\n"
                                                      "LanguageName=\"Deutsch\"\r\n"
                                                      "LanguageFile=\"Viewer_Deutsch.ini\"\r\n"
                                                      "LanguageDefault=\"English\"\r\n");
        Dir.Write("Viewer/Viewer_English.ini", English);
        Dir.Write("Viewer/Viewer_Deutsch.ini", Deutsch);
        InstallProgramFiles();
        Restart();
    }

    // A new main window on the same data folder, the Viewer catalogue open.
    void Restart() {
        if (Frm)
            Frm->Modified = false;
        Start();
        Show();
        ASSERT_TRUE(Frm->LoadCatalogue(Catalogue));
        Frm->SetCataloguePath(Catalogue);
    }

    void Open(const QString& language) {
        SelectTranslation(language);
        Frm->BtnEdit->click();
        QApplication::processEvents();
    }

    void GoTo(long line) {
        Frm->MemTranslation->SendScintilla(
            Sci::SCI_GOTOPOS, Frm->MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                                                 static_cast<unsigned long>(line)));
        QApplication::processEvents();
    }

    // Keys reach the active window; a dialog or menu that closed may have left none.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frm));
        Frm->MemTranslation->setFocus();
        QTest::keyClick(Frm->MemTranslation, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }

    long CaretLine() const { return static_cast<long>(Frm->MemTranslation->CaretLine()); }
    long Markers(long line) const {
        return Frm->MemTranslation->SendScintilla(Sci::SCI_MARKERGET,
                                                  static_cast<unsigned long>(line));
    }
    QString Progress() const { return Frm->Workbench()->LblProgress->text(); }
    QAction* Item(const char* name) const { return Frm->findChild<QAction*>(name); }
    std::string Choices() const {
        return TempDir::Read(Dir / "local/Brightmoor/Wordlark/Workbench.txt");
    }

    std::string Catalogue;
};

TEST_F(PhraseMarksTest, APhraseMarkedAsTranslatedCountsUntilItsReferenceChanges) {
    Open("Deutsch");
    EXPECT_EQ(Progress(), "4 of 5 phrases translated");
    EXPECT_TRUE(Markers(5) & 2);
    GoTo(5);
    Press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(Progress(), "5 of 5 phrases translated");
    EXPECT_FALSE(Markers(5) & 2);
    EXPECT_EQ(Frm->StatusText(), "Main.Zoom: marked as translated");
    // The file's bytes stay as they are: nothing to save.
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
    EXPECT_FALSE(Frm->Modified);
    EXPECT_NE(Choices().find("Main.Zoom"), std::string::npos);

    Restart();
    Open("Deutsch");
    EXPECT_EQ(Progress(), "5 of 5 phrases translated");

    // A new version of the program says "Zoom in": the German "Zoom" waits
    // for its translation again.
    std::string english = English;
    english.replace(english.find("\"Zoom\""), 6, "\"Zoom in\"");
    Dir.Write("Viewer/Viewer_English.ini", english);
    Restart();
    Open("Deutsch");
    EXPECT_EQ(Progress(), "4 of 5 phrases translated");
    EXPECT_TRUE(Markers(5) & 2);
}

TEST_F(PhraseMarksTest, PhrasesToBeCheckedHaveTheirMarkerAndKeys) {
    Open("Deutsch");
    // From the editor's pop-up menu and by the key.
    GoTo(2);
    ASSERT_TRUE(Frm->PopInput->actions().contains(Item("PopMarkToBeChecked")));
    Item("PopMarkToBeChecked")->trigger();
    GoTo(6);
    Press(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    for (long line = 0; line < 7; ++line)
        EXPECT_EQ((Markers(line) & ToBeCheckedMarker) != 0, line == 2 || line == 6) << line;
    EXPECT_EQ(Frm->Workbench()->LineHint(2), "Marked as to be checked");
    EXPECT_EQ(Progress(), "4 of 5 phrases translated");

    GoTo(0);
    const struct {
        Qt::KeyboardModifiers modifiers;
        long line;
    } steps[] = {{Qt::NoModifier, 2},
                 {Qt::NoModifier, 6},
                 {Qt::NoModifier, 2}, // round the end
                 {Qt::ShiftModifier, 6}};
    for (const auto& s : steps) {
        Press(Qt::Key_F9, s.modifiers);
        EXPECT_EQ(CaretLine(), s.line);
    }
    // Taken away by its key; none is left after the other one.
    Press(Qt::Key_Return, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(Markers(6) & ToBeCheckedMarker, 0);
    GoTo(2);
    Item("MenClearMark")->trigger();
    Press(Qt::Key_F9);
    EXPECT_EQ(Frm->StatusText(), "No phrase is marked as to be checked");
    // A line without a phrase has nothing to mark.
    GoTo(1);
    Item("MenMarkTranslated")->trigger();
    EXPECT_EQ(Frm->StatusText(), "The caret's line holds no phrase to mark");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
    EXPECT_FALSE(Frm->Modified);
}

TEST_F(PhraseMarksTest, AChecksItemSwitchesItsCheckOffForGood) {
    Open("Deutsch");
    EXPECT_EQ(Frm->Workbench()->LblProblems->text(), "Problems: 1");
    QAction* item = Item("MenCheckTrailingPunctuation");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_EQ(Frm->Workbench()->LblProblems->text(), "Problems: 0");
    EXPECT_EQ(Markers(3) & 1, 0);
    EXPECT_NE(Choices().find("check\tTrailingPunctuation\toff"), std::string::npos);

    Restart();
    Open("Deutsch");
    EXPECT_EQ(Frm->Workbench()->LblProblems->text(), "Problems: 0");
    Frm->findChild<QMenu*>("MenChecks")->popup(QPoint());
    EXPECT_FALSE(Item("MenCheckTrailingPunctuation")->isChecked());
    Frm->findChild<QMenu*>("MenChecks")->hide();
    Item("MenCheckTrailingPunctuation")->trigger();
    EXPECT_EQ(Frm->Workbench()->LblProblems->text(), "Problems: 1");
}

TEST_F(PhraseMarksTest, ACopyWaitsForTheTranslationOfItsMastersPhrases) {
    SelectTranslation("Deutsch");
    ModalAnswers answers;
    answers.Then([](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("EdtLanguageName")->setText("Polski");
        ClickNamedButton(dialog, "BtnOK");
    });
    Frm->BtnAdd->click();
    EXPECT_EQ(Progress(), "0 of 5 phrases translated");
    GoTo(0);
    Press(Qt::Key_F8);
    EXPECT_EQ(CaretLine(), 2);
    Frm->MemTranslation->SendScintilla(Sci::SCI_REPLACESEL, 0UL, "Przegl");
    Frm->MemTranslation->FlushChanges();
    QApplication::processEvents();
    EXPECT_EQ(Progress(), "1 of 5 phrases translated");
    // Saved and opened again, it still is a copy of German.
    Frm->BtnSave->click();
    Restart();
    Open("Polski");
    EXPECT_EQ(Progress(), "1 of 5 phrases translated");
}

TEST_F(PhraseMarksTest, MissingKeysGoInAtTheirPlacesAsOneUndoStep) {
    // The reference's new version: keys at the start, in the middle (one
    // with a letter Windows-1252 lacks) and at the end; it lost Main.Quit.
    Dir.Write("Viewer/Viewer_English.ini", "; Viewer\r\n"
                                           "[Main]\r\n"
                                           "Main.New=\"New\"\r\n"
                                           "Main.Caption=\"Picture viewer\"\r\n"
                                           "Main.Open=\"Open...\"\r\n"
                                           "Main.Print=\"Print\"\r\n"
                                           "Main.Sign=\"\xC5\x81\"\r\n"
                                           "Main.Save=\"Save\"\r\n"
                                           "Main.Zoom=\"Zoom\"\r\n"
                                           "Main.About=\"About\"\r\n");
    // The lines beside the places end in blanks, which stay.
    const std::string deutsch = "; Viewer\r\n"
                                "[Main]\r\n"
                                "Main.Caption=\"Bildbetrachter\"  \r\n"
                                "Main.Open=\"\xD6"
                                "ffnen\" \r\n"
                                "Main.Save=\"Speichern\"\r\n"
                                "Main.Zoom=\"Zoom\"\r\n"
                                "Main.Quit=\"Beenden\"";
    Dir.Write("Viewer/Viewer_Deutsch.ini", deutsch);
    Open("Deutsch");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), deutsch); // nothing changes by itself
    {
        ModalAnswers answers;
        answers.Click("OK");
        Item("MenAddMissingKeys")->trigger();
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains("Main.Sign: '\u0141' (U+0141)"))
            << answers.Seen()[0].Text.toStdString();
    }
    const std::string added = "; Viewer\r\n"
                              "[Main]\r\n"
                              "Main.New=\"New\"\r\n"
                              "Main.Caption=\"Bildbetrachter\"  \r\n"
                              "Main.Open=\"\xD6"
                              "ffnen\" \r\n"
                              "Main.Print=\"Print\"\r\n"
                              "Main.Save=\"Speichern\"\r\n"
                              "Main.Zoom=\"Zoom\"\r\n"
                              "Main.About=\"About\"\r\n"
                              "Main.Quit=\"Beenden\"";
    GoTo(9); // leaving the lines beside the places
    EXPECT_EQ(Frm->MemTranslation->Bytes(), added);
    EXPECT_EQ(Frm->StatusText(), "Added 3 keys of the reference (not saved yet)");
    EXPECT_TRUE(Frm->Modified);
    EXPECT_EQ(Progress(), "3 of 8 phrases translated");

    // The removal asks first, listing the keys.
    {
        ModalAnswers answers;
        answers.Click("No").Click("Yes");
        Item("MenRemoveObsoleteKeys")->trigger();
        EXPECT_EQ(Frm->MemTranslation->Bytes(), added);
        Item("MenRemoveObsoleteKeys")->trigger();
        ASSERT_EQ(answers.Seen().size(), 2u);
        EXPECT_TRUE(answers.Seen()[1].Text.contains("Main.Quit"));
    }
    // The last line goes with the line break before it.
    EXPECT_EQ(Frm->MemTranslation->Bytes(), added.substr(0, added.rfind("\r\n")));
    Frm->MemTranslation->undo();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), added);
    Frm->MemTranslation->undo();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), deutsch);
}

TEST_F(PhraseMarksTest, MarksTravelToTheTranslatorsToolsAndBack) {
    Open("Deutsch");
    GoTo(5);
    Item("MenMarkTranslated")->trigger();
    GoTo(3);
    Item("MenMarkToBeChecked")->trigger();
    auto* menu = Frm->findChild<TExchangeMenu*>();
    ASSERT_NE(menu, nullptr);
    menu->OpdExport()->setOption(QFileDialog::DontUseNativeDialog);
    menu->OpdImport()->setOption(QFileDialog::DontUseNativeDialog);
    const std::string po = Dir / "Deutsch.po";
    {
        ModalAnswers answers;
        answers.Then(ChooseFile(po));
        menu->MenExport->trigger();
    }
    std::string text = TempDir::Read(po);
    const std::string zoom = "msgctxt \"Main.Zoom\"\nmsgid \"Zoom\"\nmsgstr \"Zoom\"\n";
    const std::string open = "#, fuzzy\nmsgctxt \"Main.Open\"\n";
    ASSERT_NE(text.find(zoom), std::string::npos) << text;
    ASSERT_NE(text.find(open), std::string::npos) << text;
    // Checked elsewhere: Open is done, Save is to be checked.
    text.erase(text.find(open), 9);
    text.replace(text.find("msgctxt \"Main.Save\""), 0, "#, fuzzy\n");
    Dir.Write("Deutsch.po", text);
    {
        ModalAnswers answers;
        answers.Then(ChooseFile(po));
        menu->MenImport->trigger();
    }
    EXPECT_EQ(Markers(3) & ToBeCheckedMarker, 0);
    EXPECT_NE(Markers(4) & ToBeCheckedMarker, 0);
    EXPECT_EQ(Progress(), "5 of 5 phrases translated");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
}
