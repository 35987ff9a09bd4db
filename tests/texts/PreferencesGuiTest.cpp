// Wordlark.ini: what the main window reads from it at its first show, where it
// places itself, and what it writes back when it closes.
#include "TextsFixture.h"

#include "dialogs/FrmAddLanguage.h"
#include "editor/SynEditor.h"
#include "texts/FontMapping.h"
#include "texts/Placement.h"

#include <Qsci/qsciscintillabase.h>

#include <QAction>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QScreen>

namespace fs = std::filesystem;

namespace {

using PreferencesTest = TextsFixture;

std::vector<std::string> Keys(const Entries& entries) {
    std::vector<std::string> keys;
    for (const auto& entry : entries)
        keys.push_back(entry.first);
    return keys;
}

QRect PrimaryScreen() {
    return QGuiApplication::primaryScreen()->geometry();
}

// ---- Writing at closing ------------------------------------------------------------

TEST_F(PreferencesTest, ClosingWritesExactlyTheElevenKeysInOrder) {
    WriteSettings({{"MyOwnKey", "kept?"}, {"UseFontHeight", "0"}, {"WinPos", "100,80,700,500"}});
    Start();
    Show();
    const QRect frame = Frm->frameGeometry();
    ASSERT_TRUE(Frm->close());
    const Entries written = ReadSettings();
    EXPECT_EQ(Keys(written), (std::vector<std::string>{
                                 "WinPos", "UseBuildInFont", "UseFontSettings", "UseFontHeight",
                                 "FontDefName", "FontDefColor", "FontDefHeight", "FontDefSize",
                                 "FontDefPitch", "FontDefCharset", "LanguageName"}));
    EXPECT_EQ(Setting(written, "WinPos"), "100,80,700,500");
    EXPECT_EQ(frame.topLeft(), QPoint(100, 80));
    EXPECT_EQ(Setting(written, "UseBuildInFont"), "0");
    EXPECT_EQ(Setting(written, "UseFontSettings"), "1");
    EXPECT_EQ(Setting(written, "UseFontHeight"), "0");
    EXPECT_EQ(Setting(written, "FontDefName"), FromDisplay(Frm->font().family()));
    EXPECT_EQ(Setting(written, "FontDefColor"), "-2147483640");
    EXPECT_EQ(Setting(written, "FontDefHeight"), "-12"); // the design font height
    EXPECT_EQ(Setting(written, "FontDefSize"), "9");
    EXPECT_EQ(Setting(written, "FontDefPitch"), std::to_string(FontPitch(Frm->font())));
    EXPECT_EQ(Setting(written, "LanguageName"), "");
}

TEST_F(PreferencesTest, FlagsAreWrittenBackAsTheyWereRead) {
    struct Case {
        const char *buildIn, *settings, *height;
        const char *wantBuildIn, *wantSettings, *wantHeight;
    };
    // Only the integer 1 is true; an empty value is the key's default.
    for (const Case& c :
         {Case{"1", "1", "1", "1", "1", "1"}, Case{"true", "0", "2", "0", "0", "0"},
          Case{"", "", "", "0", "1", "0"}, Case{"01", "yes", " 1", "1", "0", "1"}}) {
        WriteSettings({{"UseBuildInFont", c.buildIn},
                       {"UseFontSettings", c.settings},
                       {"UseFontHeight", c.height}});
        Start();
        Show();
        ASSERT_TRUE(Frm->close());
        const Entries written = ReadSettings();
        EXPECT_EQ(Setting(written, "UseBuildInFont"), c.wantBuildIn) << c.buildIn;
        EXPECT_EQ(Setting(written, "UseFontSettings"), c.wantSettings) << c.settings;
        EXPECT_EQ(Setting(written, "UseFontHeight"), c.wantHeight) << c.height;
    }
}

TEST_F(PreferencesTest, TheLanguageNameIsWrittenOnlyWhenOneWasStored) {
    InstallProgramFiles();
    SetShippedDefaultLanguage("Deutsch");

    // Following the catalogue's default: nothing is stored.
    Start();
    Show();
    ASSERT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "LanguageName"), "");

    // A stored language keeps the one shown at closing.
    WriteSettings({{"LanguageName", "English"}});
    Start();
    Show();
    ASSERT_EQ(Frm->CurrentLanguageName(), "English");
    Frm->SelectProgramLanguage("Français");
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "LanguageName"), "Français");

    // A stored name the catalogue does not list becomes the language shown.
    WriteSettings({{"LanguageName", "Klingon"}});
    Start();
    Show();
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "LanguageName"), "Deutsch");
}

// A language chosen from the menu is kept at once, so that a crash of the
// program does not lose it.
TEST_F(PreferencesTest, ALanguageChosenFromTheMenuIsWrittenAtOnce) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "English"}});
    Start();
    Show();
    QAction* deutsch = nullptr;
    for (QAction* item : Frm->MenLanguage->actions())
        if (item->data().toByteArray() == "Deutsch")
            deutsch = item;
    ASSERT_NE(deutsch, nullptr);
    deutsch->trigger();
    ASSERT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Setting(ReadSettings(), "LanguageName"), "Deutsch");
}

TEST_F(PreferencesTest, CancelAtTheDiscardQuestionWritesNothing) {
    WriteSettings({{"WinPos", "100,80,700,500"}, {"MyOwnKey", "stays"}});
    const std::string before = TempDir::Read(SettingsPath());
    Start();
    Show();
    Frm->move(10, 20);
    Frm->Modified = true;
    ModalAnswers answers;
    answers.Click("Cancel");
    EXPECT_FALSE(Frm->close());
    EXPECT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(TempDir::Read(SettingsPath()), before);

    answers.Click("Yes");
    EXPECT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "WinPos"), "10,20,700,500");
}

// ---- Placement -------------------------------------------------------------------------

TEST_F(PreferencesTest, FirstRunCentresTheWindowAtItsMinimumSize) {
    Start();
    Show();
    const int dpi = Frm->logicalDpiY();
    const TRect expected =
        CentredPlacement(650, 450, dpi, PrimaryScreen().width(), PrimaryScreen().height());
    EXPECT_EQ(Frm->frameGeometry().topLeft(),
              PrimaryScreen().topLeft() + QPoint(expected.Left, expected.Top));
    EXPECT_EQ(Frm->size(), QSize(ScaleByDpi(650, dpi), ScaleByDpi(450, dpi)));
    EXPECT_FALSE(Frm->isMaximized());
}

TEST_F(PreferencesTest, ThePlacementSurvivesARestart) {
    Start();
    Show();
    Frm->move(123, 45);
    Frm->resize(702, 521);
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "WinPos"), "123,45,702,521");

    Start();
    Show();
    EXPECT_EQ(Frm->frameGeometry().topLeft(), QPoint(123, 45));
    EXPECT_EQ(Frm->size(), QSize(702, 521));
}

TEST_F(PreferencesTest, AMaximizedWindowWritesMaxAndStartsMaximized) {
    Start();
    Show();
    Frm->showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "WinPos"), "MAX");

    Start();
    Show();
    EXPECT_TRUE(Frm->isMaximized());

    // Only the upper-case word is the marker.
    WriteSettings({{"WinPos", "max"}});
    Start();
    Show();
    EXPECT_FALSE(Frm->isMaximized());
    EXPECT_EQ(Frm->size(), QSize(650, 450));
}

TEST_F(PreferencesTest, APositionNoScreenShowsIsMovedOntoTheScreen) {
    const QRect screen = PrimaryScreen();
    WriteSettings({{"WinPos", std::to_string(screen.right() + 4000) + "," +
                                  std::to_string(screen.bottom() + 3000) + ",700,500"}});
    Start();
    Show();
    EXPECT_TRUE(screen.contains(Frm->frameGeometry().topLeft()));
    EXPECT_EQ(Frm->frameGeometry().topLeft(),
              QPoint(screen.right() + 1 - 700, screen.bottom() + 1 - 500));
    EXPECT_EQ(Frm->size(), QSize(700, 500));
}

// ---- Fonts ------------------------------------------------------------------------------

const Entries StoredFont = {{"FontDefName", "DejaVu Serif"},
                            {"FontDefHeight", "-20"},
                            {"FontDefPitch", "2"},
                            {"FontDefCharset", "238"}};

TEST_F(PreferencesTest, StoredFontSettingsReachTheWindowAndItsControls) {
    Entries settings = StoredFont;
    settings.push_back({"UseFontHeight", "1"});
    WriteSettings(settings);
    Start();
    Show();
    EXPECT_EQ(Frm->font().family(), "DejaVu Serif");
    EXPECT_EQ(Frm->font().pixelSize(), 20);
    EXPECT_EQ(FontPitch(Frm->font()), 2);
    EXPECT_EQ(Frm->LblInfo->font().family(), "DejaVu Serif");
    EXPECT_TRUE(Frm->LblInfo->font().bold());
    EXPECT_EQ(Frm->LblInfo->font().pointSize(), FontSize(Frm->font(), Frm->logicalDpiY()));
    const int size = FontSize(Frm->font(), Frm->logicalDpiY());
    EXPECT_EQ(Frm->MemTranslation->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                                 QsciScintillaBase::STYLE_DEFAULT),
              size + 1);
    EXPECT_EQ(Frm->MemTranslation->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE,
                                                 QsciScintillaBase::STYLE_LINENUMBER),
              size);

    ASSERT_TRUE(Frm->close());
    const Entries written = ReadSettings();
    EXPECT_EQ(Setting(written, "FontDefName"), "DejaVu Serif");
    EXPECT_EQ(Setting(written, "FontDefHeight"), "-20");
    EXPECT_EQ(Setting(written, "FontDefSize"), "15");
    EXPECT_EQ(Setting(written, "FontDefPitch"), "2");
    EXPECT_EQ(Setting(written, "FontDefCharset"), "238");
}

TEST_F(PreferencesTest, UseFontSettingsZeroIgnoresTheStoredFont) {
    Entries settings = StoredFont;
    settings.push_back({"UseFontSettings", "0"});
    settings.push_back({"UseFontHeight", "1"});
    WriteSettings(settings);
    Start();
    Show();
    const QFont general = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    ASSERT_NE(general.family(), "DejaVu Serif");
    EXPECT_EQ(Frm->font().family(), general.family());
    EXPECT_EQ(Frm->font().pixelSize(), 12); // the design font height
    EXPECT_EQ(FontPitch(Frm->font()), FontPitch(general));
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "FontDefCharset"), "1");
}

TEST_F(PreferencesTest, UseFontHeightZeroIgnoresTheStoredHeight) {
    Entries settings = StoredFont;
    settings.push_back({"UseFontHeight", "0"});
    WriteSettings(settings);
    Start();
    Show();
    EXPECT_EQ(Frm->font().family(), "DejaVu Serif");
    EXPECT_EQ(Frm->font().pixelSize(), 12);
    ASSERT_TRUE(Frm->close());
    EXPECT_EQ(Setting(ReadSettings(), "FontDefHeight"), "-12");
}

TEST_F(PreferencesTest, OnlyTheIntegerOneStartsFromTheBuiltInFont) {
    const QString general = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    WriteSettings({{"UseBuildInFont", "1"}, {"UseFontSettings", "0"}});
    Start();
    Show();
    const QString builtIn = Frm->font().family();
    EXPECT_NE(builtIn, general);

    WriteSettings({{"UseBuildInFont", "true"}, {"UseFontSettings", "0"}});
    Start();
    Show();
    EXPECT_EQ(Frm->font().family(), general);
}

TEST_F(PreferencesTest, TheDialogsTakeTheMainWindowsFontWhenShown) {
    WriteSettings(StoredFont);
    Start();
    Show();
    ModalAnswers answers;
    QString family;
    answers.Then([&](QWidget* dialog) {
        family = dialog->font().family();
        ClickNamedButton(dialog, "BtnCancel");
    });
    Windows.FrmAddLanguage->exec();
    EXPECT_EQ(family, "DejaVu Serif");
}

// ---- Registration ----------------------------------------------------------------------

TEST_F(PreferencesTest, TheRegistrationLeadsToTheShippedCatalogue) {
    InstallProgramFiles();
    Start();
    TInitFile registration(TInitFile::TForm::Ini);
    ASSERT_TRUE(registration.Load(Dir / "common/Brightmoor/Wordlark/Installation.ini"));
    const std::string folder = registration.GetString("InstallationDirectory", "");
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), platform::PathDelim);
    EXPECT_TRUE(fs::is_regular_file(folder + registration.GetString("LanguageFile", "")));
    EXPECT_EQ(registration.GetString("IniFile", ""), "Wordlark.ini");
}

} // namespace
