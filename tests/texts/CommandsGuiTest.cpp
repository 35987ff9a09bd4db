// The main window's help, licence, change-log, update, wizard and full-screen
// commands, from their buttons and menu items: what the shell is asked to
// open, what is shown, and where the controls end up.
#include "editor/SynEditor.h"
#include "texts/QtText.h"
#include "texts/TextsFixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using CommandsTest = TextsFixture;

std::vector<ShellRequest> Requests() {
    return CurrentFake()->ShellRequests;
}

// A page the desktop has no program for is told, with its path, so that the
// user can open it by hand; Help, License, Changes and the update page alike.
TEST_F(CommandsTest, APageTheDesktopCannotOpenIsToldWithItsPath) {
    InstallProgramFiles();
    Start();
    Show();
    const platform::THandOff noHandler{
        platform::THandOff::TState::Failed, platform::THandOff::TReason::NoHandler, 3, {}};
    for (QAction* item : {Frm->MenUsage, Frm->MenLicense, Frm->MenReadMe, Frm->MenCheckUpdate}) {
        SCOPED_TRACE(item->objectName().toStdString());
        CurrentFake()->ShellRequests.clear();
        CurrentFake()->OpenResults = {noHandler};
        ModalAnswers answers;
        answers.Click("OK");
        item->trigger();
        ASSERT_EQ(answers.Seen().size(), 1u);
        ASSERT_EQ(Requests().size(), 1u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains("No program on this computer"));
        EXPECT_TRUE(answers.Seen()[0].Text.endsWith(PathToQt(Requests()[0].Target)))
            << answers.Seen()[0].Text.toStdString();
    }
}

// Help opens the help page of the interface language beside the executable,
// and the English one when that language has none; the button and the menu
// item alike.
TEST_F(CommandsTest, HelpOpensThePageOfTheInterfaceLanguage) {
    struct Case {
        const char* Language; // stored in the preferences; empty: the catalogue's default
        const char* Missing;  // a file removed from beside the executable
        const char* Page;
    };
    const Case cases[] = {
        {"", nullptr, "Wordlark_English.html"},
        {"Deutsch", nullptr, "Wordlark_Deutsch.html"},
        {"Français", nullptr, "Wordlark_Francais.html"},
        {"Deutsch", "Wordlark_Deutsch.html", "Wordlark_English.html"},
        // No catalogue: no language file, so the tag is empty.
        {"", "Languages.ini", "Wordlark_English.html"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Language) + " without " + (c.Missing ? c.Missing : "nothing"));
        InstallProgramFiles();
        if (c.Missing)
            fs::remove(Dir / ("bin/" + std::string(c.Missing)));
        WriteSettings({{"LanguageName", c.Language}});
        Start();
        Show();
        CurrentFake()->ShellRequests.clear();
        Frm->BtnHelp->click();
        Frm->MenUsage->trigger();
        const ShellRequest page{"document", Dir / ("bin/" + std::string(c.Page)), {}};
        EXPECT_EQ(Requests(), (std::vector<ShellRequest>{page, page}));
        EXPECT_TRUE(fs::is_regular_file(page.Target));
        Frm->hide();
        Frm = nullptr;
        Windows = {};
    }
}

TEST_F(CommandsTest, LicenceChangesAndUpdateAreHandedToTheShell) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "Deutsch"}});
    Start();
    Show();
    CurrentFake()->ShellRequests.clear();
    Frm->MenLicense->trigger();
    Frm->MenReadMe->trigger();
    Frm->MenCheckUpdate->trigger();
    EXPECT_EQ(Requests(),
              (std::vector<ShellRequest>{
                  {"document", Dir / "bin/License.txt", {}},
                  {"document", Dir / "bin/ReadMe.txt", {}},
                  // Over https, and in English whatever the interface language.
                  {"address",
                   "https://www.brightmoor.example/pages/c_wordlark.php?lang=ENG&progvers=1.700",
                   {}},
              }));
}

// The wizard opens modally from its button and from its menu item alike.
TEST_F(CommandsTest, TheWizardOpensFromTheButtonAndTheMenu) {
    Start();
    Show();
    ModalAnswers answers;
    answers.Click("BtnCancel").Click("BtnCancel");
    Frm->BtnWizard->click();
    Frm->MenWizard->trigger();
    ASSERT_EQ(answers.Seen().size(), 2u);
    for (const SeenDialog& seen : answers.Seen())
        EXPECT_EQ(seen.Title, "Wizard");
    EXPECT_FALSE(Wizard()->isVisible());
}

// Full screen hides the top area and gives its height to the editor; the
// controls keep following the window's edge in both states, also when the
// window is resized while the top area is hidden.
TEST_F(CommandsTest, FullScreenTogglesTheTopAreaAndKeepsTheLayout) {
    Start();
    Show();
    Frm->resize(800, 600);
    QApplication::processEvents();
    const int editorHeight = Frm->MemTranslation->height();
    auto expectLayout = [&](int width) {
        ASSERT_EQ(Frm->centralWidget()->width(), width);
        for (QWidget* w :
             {static_cast<QWidget*>(Frm->BtnHelp), static_cast<QWidget*>(Frm->BtnWizard),
              static_cast<QWidget*>(Frm->BtnFullscreen)})
            EXPECT_EQ(w->geometry().right() + 1, width - 9) << w->objectName().toStdString();
        EXPECT_EQ(Frm->LblInfo->geometry().right() + 1, width - 2);
        EXPECT_EQ(Frm->EdtInitFile->geometry().right() + 1, Frm->BtnSelectInitFile->x() - 12);
        EXPECT_EQ(Frm->BtnSend->x(), width / 2 + 3);
    };

    struct Step {
        std::function<void()> Toggle;
        int Width;
        bool TopShown;
        const char* Caption;
    };
    const Step steps[] = {
        {[&] { Frm->BtnFullscreen->click(); }, 760, false, "><"},
        {[&] { Frm->BtnFullscreen->click(); }, 900, true, "<>"},
        {[&] { Frm->MenFullscreen->trigger(); }, 700, false, "><"},
        {[&] { Frm->MenFullscreen->trigger(); }, 700, true, "<>"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Width);
        step.Toggle();
        QApplication::processEvents();
        EXPECT_EQ(Frm->PnlTop->isVisible(), step.TopShown);
        EXPECT_EQ(Frm->BtnFullscreen->text(), step.Caption);
        EXPECT_EQ(Frm->MemTranslation->height(), editorHeight + (step.TopShown ? 0 : 248));
        // Resized in this state, then checked again after the next toggle too.
        Frm->resize(step.Width, 600);
        QApplication::processEvents();
        expectLayout(step.Width);
        EXPECT_TRUE(Frm->PnlBottom->isVisible());
    }
    // Neither the hint nor the menu item's caption changes.
    EXPECT_EQ(Frm->BtnFullscreen->toolTip(), "Fullscreen");
    EXPECT_EQ(Frm->MenFullscreen->text(), "Fullscreen");
    expectLayout(700);
}

} // namespace
