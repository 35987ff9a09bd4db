// Suggestions from another installed program of the maker, "Fill from memory"
// and the spelling squiggles, in the main window.
#include "support/ScopedEnvironment.h"
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"
#include "encoding/TextEncoding.h"
#include "workbench/MemorySuggestions.h"
#include "workbench/SpellingMarks.h"
#include "workbench/TranslationMemory.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace fs = std::filesystem;
using Sci = QsciScintillaBase;

namespace {

// The program being translated. Its German file waits for most phrases.
const char* const ViewerEnglish = "[Main]\r\n"
                                  "Main.Save=\"Save picture\"\r\n"
                                  "Main.Cancel=\"Cancel\"\r\n"
                                  "Main.SaveAs=\"Save picture as...\"\r\n"
                                  "Main.Zoom=\"Zoom\"\r\n"
                                  "Main.Quit=\"Quit\"\r\n"
                                  "Main.Size=\"Size\"\r\n";
// Lines of every shape around the phrase: a comment after it, blanks after
// the quotes, blanks around "=".
const char* const ViewerDeutsch = "[Main]\r\n"
                                  "Main.Save=\"Save picture\"  ; to do\r\n"
                                  "Main.Cancel=\"Cancel\"  \r\n"
                                  "Main.SaveAs=\"Save picture as...\"\r\n"
                                  "Main.Zoom=\"Zoom\"\r\n"
                                  "Main.Quit=\"Beenden\"\r\n"
                                  "Main.Size=Size\r\n";

// Another program of the maker, translated.
const char* const OtherEnglish = "[Other]\r\n"
                                 "Other.Save=\"Save picture\"\r\n"
                                 "Other.Cancel=\"Cancel\"\r\n"
                                 "Other.SaveAs=\"Save pictures as...\"\r\n"
                                 "Other.Zoom=\"Zoom\"\r\n"
                                 "Other.Quit=\"Quit\"\r\n"
                                 "Other.Size=\"Size\"\r\n";
const char* const OtherDeutsch = "[Other]\r\n"
                                 "Other.Save=\"Bild speichern\"\r\n"
                                 "Other.Cancel=\"Abbrechen\"\r\n"
                                 "Other.SaveAs=\"Bilder speichern unter...\"\r\n"
                                 "Other.Zoom=\"Vergr\xC3\xB6\xC3\x9F"
                                 "ern\"\r\n"
                                 "Other.Quit=\"Beenden\"\r\n"
                                 "Other.Size=\"Gr\xC3\xB6\xC3\x9F"
                                 "e\"\r\n";
const char* const OtherPolski = "[Other]\r\nOther.Quit=\"Zako\xC5\x84\x63z\"\r\n";

constexpr long ToBeCheckedMarker = 1L << 2;

} // namespace

class MemorySuggestionsTest : public WordlarkFixture {
protected:
    void SetUp() override {
        // The personal word lists go to a folder of the test's own.
        Environment.Set("ENCHANT_CONFIG_DIR", std::string(Dir / "enchant").c_str());
        Catalogue = Dir.Write("Viewer/Languages.ini", "LanguageName=\"English\"\r\n"
                                                      "LanguageFile=\"Viewer_English.ini\"\r\n"
                                                      "LanguageName=\"Deutsch\"\r\n"
                                                      "LanguageFile=\"Viewer_Deutsch.ini\"\r\n"
                                                      "LanguageName=\"Polski\"\r\n"
                                                      "LanguageFile=\"Viewer_Polski.ini\"\r\n"
                                                      "LanguageName=\"Klingon\"\r\n"
                                                      "LanguageFile=\"Viewer_Klingon.ini\"\r\n");
        Dir.Write("Viewer/Viewer_English.ini", ViewerEnglish);
        Dir.Write("Viewer/Viewer_Deutsch.ini", ViewerDeutsch);
        // Windows-1252 (the é is no UTF-8), waiting for "Quit".
        Dir.Write("Viewer/Viewer_Polski.ini", "; Polski, r\xE9vis\xE9\r\n[Main]\r\n"
                                              "Main.Quit=\"Quit\"\r\n");
        Dir.Write("Viewer/Viewer_Klingon.ini", "[Main]\r\nMain.Save=\"nIvbogh\"\r\n");
        // Found as the wizard finds installed programs.
        Dir.Write("Other/Languages.ini", "LanguageName=\"English\"\r\n"
                                         "LanguageFile=\"Other_English.ini\"\r\n"
                                         "LanguageName=\"Deutsch\"\r\n"
                                         "LanguageFile=\"Other_Deutsch.ini\"\r\n"
                                         "LanguageName=\"Polski\"\r\n"
                                         "LanguageFile=\"Other_Polski.ini\"\r\n");
        Dir.Write("Other/Other_English.ini", OtherEnglish);
        Dir.Write("Other/Other_Deutsch.ini", OtherDeutsch);
        Dir.Write("Other/Other_Polski.ini", OtherPolski);
        Dir.Write("common/Brightmoor/Other/Installation.ini",
                  "InstallationDirectory=\"" + (Dir / "Other/") +
                      "\"\r\nLanguageFile=\"Languages.ini\"\r\n");
        InstallProgramFiles();
        Start();
        Show();
        Frm->resize(860, 720);
        ASSERT_TRUE(Frm->LoadCatalogue(Catalogue));
        Frm->SetCataloguePath(Catalogue);
    }

    void Open(const QString& language) {
        SelectTranslation(language);
        Frm->BtnEdit->click();
        QApplication::processEvents();
        Suggestions()->WaitForMemory();
        QApplication::processEvents();
    }
    TMemorySuggestions* Suggestions() const {
        return Frm->Workbench()->findChild<TMemorySuggestions*>();
    }
    TSpellingMarks* Spelling() const { return Frm->Workbench()->findChild<TSpellingMarks*>(); }
    void GoTo(long line, long column = 0) {
        Frm->MemTranslation->SendScintilla(
            Sci::SCI_GOTOPOS, Frm->MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                                                 static_cast<unsigned long>(line)) +
                                  column);
        QApplication::processEvents();
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Frm->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frm));
        Frm->MemTranslation->setFocus();
        QTest::keyClick(Frm->MemTranslation, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }
    QString Row(int i) const {
        return Frm->findChild<QLabel*>(QString("LblSuggestion%1").arg(i))->text();
    }
    long Markers(long line) const {
        return Frm->MemTranslation->SendScintilla(Sci::SCI_MARKERGET,
                                                  static_cast<unsigned long>(line));
    }
    std::string Line(long line) const {
        return std::string(Frm->MemTranslation->LineView(static_cast<std::size_t>(line)));
    }

    ScopedEnvironment Environment;
    std::string Catalogue;
};

TEST_F(MemorySuggestionsTest, TheSameReferencePhraseFirstThenCloseOnesMarked) {
    Open("Deutsch");
    GoTo(1);
    ASSERT_EQ(Suggestions()->Suggestions().size(), 1u);
    EXPECT_TRUE(Row(1).contains("Bild speichern")) << Row(1).toStdString();
    EXPECT_TRUE(Row(1).contains("Other: Other.Save")) << Row(1).toStdString();
    EXPECT_TRUE(Row(2).isEmpty());
    // "Save picture as..." is close to the other program's "Save pictures as...".
    GoTo(3);
    ASSERT_FALSE(Suggestions()->Suggestions().empty());
    const TSuggestion& close = Suggestions()->Suggestions()[0];
    EXPECT_EQ(close.Translation, "Bilder speichern unter...");
    EXPECT_GE(close.Similarity, TTranslationMemory::MinSimilarity);
    EXPECT_LT(close.Similarity, 100);
    EXPECT_TRUE(Row(1).contains(QString("%1%").arg(close.Similarity))) << Row(1).toStdString();
    EXPECT_TRUE(Row(1).contains("background-color:#ffc8c8\">pictures</span>"))
        << Row(1).toStdString();
    // A line without a key of the reference has none.
    GoTo(0);
    EXPECT_TRUE(Suggestions()->Suggestions().empty());
    EXPECT_EQ(Row(1), "No suggestion for this phrase");
}

TEST_F(MemorySuggestionsTest, CtrlDigitPutsTheSuggestionBetweenTheQuotesOnly) {
    Open("Deutsch");
    // Each line keeps its key, its quotes, what follows them and its break.
    const struct {
        long Line;
        const char* After;
    } cases[] = {
        {1, "Main.Save=\"Bild speichern\"  ; to do"},
        {2, "Main.Cancel=\"Abbrechen\"  "},
        {3, "Main.SaveAs=\"Bilder speichern unter...\""},
        {4, "Main.Zoom=\"Vergr\xC3\xB6\xC3\x9F"
            "ern\""},
    };
    for (const auto& c : cases) {
        GoTo(c.Line, 3);
        Press(Qt::Key_1, Qt::ControlModifier);
        EXPECT_EQ(Line(c.Line), c.After);
        // The caret ends behind the phrase, before its closing quote.
        EXPECT_EQ(Frm->MemTranslation->SendScintilla(Sci::SCI_GETCURRENTPOS),
                  Frm->MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE,
                                                     static_cast<unsigned long>(c.Line)) +
                      static_cast<long>(std::string(c.After).rfind('"')));
    }
    GoTo(0); // the caret leaves the line with blanks after its quotes
    EXPECT_TRUE(Frm->Modified);
    EXPECT_EQ(Frm->MemTranslation->Bytes(), "[Main]\r\n"
                                            "Main.Save=\"Bild speichern\"  ; to do\r\n"
                                            "Main.Cancel=\"Abbrechen\"  \r\n"
                                            "Main.SaveAs=\"Bilder speichern unter...\"\r\n"
                                            "Main.Zoom=\"Vergr\xC3\xB6\xC3\x9F"
                                            "ern\"\r\n"
                                            "Main.Quit=\"Beenden\"\r\n"
                                            "Main.Size=Size\r\n");
    EXPECT_EQ(Frm->Workbench()->LblProgress->text(), "5 of 6 phrases translated");
    // Each was one undo step.
    for (std::size_t i = 0; i < std::size(cases); ++i)
        Frm->PopUndo->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), ViewerDeutsch);
    // An unquoted phrase, and a number with no suggestion, change nothing.
    const std::string before = Frm->MemTranslation->Bytes();
    GoTo(6);
    Press(Qt::Key_1, Qt::ControlModifier);
    GoTo(4);
    Press(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(Frm->MemTranslation->Bytes(), before);
}

TEST_F(MemorySuggestionsTest, ALetterTheCodePageLacksGetsTheUsualOffer) {
    Open("Polski");
    GoTo(2);
    ASSERT_EQ(Suggestions()->Suggestions().size(), 1u);
    const std::string before = Frm->MemTranslation->Bytes();
    {
        ModalAnswers answers;
        answers.Click("No");
        Press(Qt::Key_1, Qt::ControlModifier);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains("Windows-1250"))
            << answers.Seen()[0].Text.toStdString();
    }
    EXPECT_EQ(Frm->MemTranslation->Bytes(), before);
    EXPECT_FALSE(Frm->Modified);
    {
        ModalAnswers answers;
        answers.Click("Yes");
        Press(Qt::Key_1, Qt::ControlModifier);
    }
    EXPECT_EQ(Frm->MemTranslation->Encoding(), TTextEncoding::Windows1250);
    // "ń" as Windows-1250 stores it; the comment's bytes stay as they were.
    EXPECT_EQ(Frm->MemTranslation->Bytes(), "; Polski, r\xE9vis\xE9\r\n[Main]\r\n"
                                            "Main.Quit=\"Zako\xF1"
                                            "cz\"\r\n");
}

TEST_F(MemorySuggestionsTest, FillFromMemoryFillsUntranslatedPhrasesAsOneStepAndMarksThem) {
    Open("Deutsch");
    // Zoom is rightly the same in German: the translator said so.
    GoTo(4);
    Press(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_EQ(Frm->StatusText(), "Main.Zoom: marked as translated");
    Frm->findChild<QAction*>("MenFillFromMemory")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Frm->StatusText(),
              "Filled 2 phrases from the memory, each marked as to be checked (not saved yet)");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), "[Main]\r\n"
                                            "Main.Save=\"Bild speichern\"  ; to do\r\n"
                                            "Main.Cancel=\"Abbrechen\"  \r\n"
                                            "Main.SaveAs=\"Save picture as...\"\r\n"
                                            "Main.Zoom=\"Zoom\"\r\n"
                                            "Main.Quit=\"Beenden\"\r\n"
                                            "Main.Size=Size\r\n");
    // Only the phrases the memory knows word for word: not the close match,
    // not the phrase marked as translated, not the unquoted one.
    for (long line : {1L, 2L})
        EXPECT_TRUE(Markers(line) & ToBeCheckedMarker) << line;
    for (long line : {3L, 4L, 5L})
        EXPECT_FALSE(Markers(line) & ToBeCheckedMarker) << line;
    EXPECT_TRUE(Frm->Modified);
    // One undo takes the phrases and their marks back, one redo puts both
    // back; the translator's own mark stays through both.
    const std::string filled = Frm->MemTranslation->Bytes();
    for (int round = 0; round < 2; ++round) {
        Frm->PopUndo->trigger();
        QApplication::processEvents();
        EXPECT_EQ(Frm->MemTranslation->Bytes(), ViewerDeutsch);
        for (long line : {1L, 2L, 3L, 4L, 5L})
            EXPECT_FALSE(Markers(line) & ToBeCheckedMarker) << line;
        EXPECT_EQ(Frm->Workbench()->Checker().Mark("Main.Save"), std::nullopt);
        ASSERT_TRUE(Frm->Workbench()->Checker().Mark("Main.Zoom"));
        EXPECT_EQ(Frm->Workbench()->Checker().Mark("Main.Zoom")->Status, TPhraseStatus::Translated);
        if (round == 1)
            break;
        Frm->PopRedo->trigger();
        QApplication::processEvents();
        EXPECT_EQ(Frm->MemTranslation->Bytes(), filled);
        for (long line : {1L, 2L})
            EXPECT_TRUE(Markers(line) & ToBeCheckedMarker) << line;
        EXPECT_FALSE(Markers(3) & ToBeCheckedMarker);
    }
    // Filled again, and once more: nothing left that the memory knows word
    // for word.
    Frm->findChild<QAction*>("MenFillFromMemory")->trigger();
    Frm->findChild<QAction*>("MenFillFromMemory")->trigger();
    EXPECT_EQ(Frm->StatusText(), "The memory knows none of the untranslated phrases");
}

TEST_F(MemorySuggestionsTest, MisspelledWordsOfThePhrasesOnlyGetASquiggle) {
    Dir.Write("Viewer/Viewer_Deutsch.ini",
              "[Main]\r\n"
              "Main.Speichrn=\"Bild speichren\"\r\n"              // the key is no phrase
              "Main.Count=\"%s Dateien gefunden, %1 neu\"\r\n"    // placeholders
              "Main.Lines=\"Zeile eins\\nZeile zwei\\tEnde\"\r\n" // escapes
              "Main.Key=\"S&peichern und &Beenden\"\r\n"          // access keys
              "Main.Bold=\"<b>Fett</b> &amp; {0} gedruckt\"\r\n"  // markup
              "Main.Failed=\"%1 konnte nicht geffnet werden\"\r\n"
              "Main.Store=\"Datei s&peichrn\"\r\n"
              "; Kommentra ohne Bedeutung\r\n");
    Open("Deutsch");
    ASSERT_TRUE(Spelling()->Speller().Ready());
    EXPECT_EQ(Spelling()->Speller().Language(), "de_DE");
    EXPECT_EQ(Spelling()->MarkedWords(),
              (std::vector<std::string>{"speichren", "geffnet", "s&peichrn"}));

    // The pop-up menu for the word under the mouse: replacements first.
    const long lineStart = Frm->MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE, 1UL);
    Spelling()->PrepareMenu(lineStart + static_cast<long>(Line(1).find("speichren")) + 2);
    QAction* meant = nullptr;
    for (QAction* item : Spelling()->PopReplacements)
        if (item->isVisible() && item->text() == "speichern")
            meant = item;
    ASSERT_NE(meant, nullptr);
    EXPECT_TRUE(Spelling()->PopAddToDictionary->isVisible());
    meant->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Line(1), "Main.Speichrn=\"Bild speichern\"");
    EXPECT_EQ(Spelling()->MarkedWords(), (std::vector<std::string>{"geffnet", "s&peichrn"}));
    // A replacement keeps the word's access key at its place.
    Spelling()->PrepareMenu(static_cast<long>(Frm->MemTranslation->TextView().find("s&peichrn")) +
                            3);
    ASSERT_TRUE(Spelling()->PopReplacements[0]->isVisible());
    for (QAction* item : Spelling()->PopReplacements)
        if (item->isVisible() && item->text() == "speichern")
            item->trigger();
    EXPECT_EQ(Line(7), "Main.Store=\"Datei s&peichern\"");
    // Ignored for the session.
    Spelling()->PrepareMenu(static_cast<long>(Frm->MemTranslation->TextView().find("geffnet")));
    Spelling()->PopIgnore->trigger();
    EXPECT_TRUE(Spelling()->MarkedWords().empty());
    // A word typed is checked at once; a word elsewhere than under a squiggle
    // offers nothing.
    GoTo(1, static_cast<long>(Line(1).find("Bild")));
    for (const char c : std::string("Fotso "))
        QTest::keyClick(Frm->MemTranslation, c);
    QApplication::processEvents();
    EXPECT_EQ(Spelling()->MarkedWords(), std::vector<std::string>{"Fotso"});
    Spelling()->PrepareMenu(lineStart + 2);
    EXPECT_FALSE(Spelling()->PopIgnore->isVisible());
}

TEST_F(MemorySuggestionsTest, WithoutADictionaryTheStatusLineSaysSoOnceAndTheViewMenuChoosesOne) {
    Open("Klingon");
    EXPECT_FALSE(Spelling()->Speller().Ready());
    // After what the main window said of the file.
    EXPECT_TRUE(Frm->StatusText().startsWith("Opened Viewer_Klingon.ini"))
        << Frm->StatusText().toStdString();
    EXPECT_TRUE(Frm->StatusText().endsWith(
        " — There is no spelling dictionary for Klingon; choose one under View › Spelling "
        "language"))
        << Frm->StatusText().toStdString();
    Frm->ShowStatus("elsewhere");
    Open("Deutsch");
    Open("Klingon");
    EXPECT_NE(Frm->StatusText().toStdString().find("Opened"), std::string::npos)
        << Frm->StatusText().toStdString();
    EXPECT_TRUE(Spelling()->MarkedWords().empty());
    // German chosen for this translation, and kept for it.
    emit Spelling()->MenSpellingLanguage->aboutToShow();
    QAction* german = Frm->findChild<QAction*>("MenSpelling_de_DE");
    ASSERT_NE(german, nullptr);
    german->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Spelling()->Speller().Language(), "de_DE");
    EXPECT_EQ(Spelling()->MarkedWords(), std::vector<std::string>{"nIvbogh"});
    Open("Deutsch");
    Open("Klingon");
    EXPECT_EQ(Spelling()->Speller().Language(), "de_DE");
    emit Spelling()->MenSpellingLanguage->aboutToShow();
    Frm->findChild<QAction*>("MenSpellingOff")->trigger();
    EXPECT_FALSE(Spelling()->Speller().Ready());
    EXPECT_TRUE(Spelling()->MarkedWords().empty());
}

// The demo: Snapglass in German, Lumapad installed beside it. With
// WORDLARK_SCREENSHOT_DIR set, the picture is saved there (for docs/).
using MemorySuggestionsDemoTest = WordlarkFixture;

TEST_F(MemorySuggestionsDemoTest, SuggestionsFromLumapadAndASquiggleInSnapglass) {
    ScopedEnvironment environment;
    environment.Set("ENCHANT_CONFIG_DIR", std::string(Dir / "enchant").c_str());
    InstallProgramFiles();
    const std::string catalogue = InstallDemo();
    fs::copy(std::string(WORDLARK_DEMO_DIR) + "/Lumapad", Dir / "Lumapad");
    Dir.Write("common/Brightmoor/Lumapad/Installation.ini",
              "InstallationDirectory=\"" + (Dir / "Lumapad/") +
                  "\"\r\nLanguageFile=\"Languages.ini\"\r\n");
    Start();
    Show();
    Frm->resize(860, 720);
    ASSERT_TRUE(Frm->LoadCatalogue(catalogue));
    Frm->SetCataloguePath(catalogue);
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    QApplication::processEvents();
    auto* suggestions = Frm->Workbench()->findChild<TMemorySuggestions*>();
    suggestions->WaitForMemory();
    // A phrase mistyped, then the caret on "Save picture as...". The program's
    // name is no German word either.
    TSynEditor* editor = Frm->MemTranslation;
    const long print = static_cast<long>(editor->TextView().find("Drucken"));
    ASSERT_GE(print, 0);
    editor->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(print + 5));
    editor->SendScintilla(Sci::SCI_DELETEBACK);
    editor->FlushChanges();
    const long saveAs = static_cast<long>(editor->TextView().find("FrmMain.MenSaveAs="));
    editor->SendScintilla(Sci::SCI_GOTOPOS, static_cast<unsigned long>(saveAs + 20));
    QApplication::processEvents();
    ASSERT_FALSE(suggestions->Suggestions().empty());
    EXPECT_EQ(suggestions->Suggestions()[0].Program, "Lumapad");
    EXPECT_LT(suggestions->Suggestions()[0].Similarity, 100);
    EXPECT_EQ(Frm->Workbench()->findChild<TSpellingMarks*>()->MarkedWords(),
              (std::vector<std::string>{"Snapglass", "Drucen"}));
    const QByteArray dir = qgetenv("WORDLARK_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        Frm->grab().save(QString::fromLocal8Bit(dir) + "/suggestions-spelling.png");
}
