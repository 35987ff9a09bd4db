// The wizard driven by object names: its three pages, the program and source
// lists, both roads (add and modify) and what the main window holds after the
// hand-over. With WORDLARK_SCREENSHOT_DIR set, pictures of pages 2 and 3 are
// saved there (run under Xvfb with QT_QPA_PLATFORM=xcb for docs/).
#include "support/WordlarkFixture.h"

#include "dialogs/FrmAddLanguage.h"
#include "editor/SynEditor.h"
#include "initfile/InitFile.h"
#include "initfile/WorkbenchChoices.h"
#include "texts/QtText.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <set>

namespace fs = std::filesystem;

namespace {

class WizardTest : public WordlarkFixture {
protected:
    // The demo's Snapglass installed in <temp>/<folder>/, its settings file in
    // the local maker folder, and registered under `name` in the all-users
    // folder. Returns the installation folder.
    std::string InstallProgram(const std::string& name = "Snapglass",
                               const std::string& folder = "Snapglass") {
        InstallDemo(folder);
        const std::string installed = Dir / (folder + "/");
        Dir.Write("common/Brightmoor/" + name + "/Installation.ini",
                  "InstallationDirectory=\"" + installed +
                      "\"\r\nLanguageFile=\"Languages.ini\"\r\nIniFile=\"" + name +
                      ".ini\"\r\nVersion=\"Version 2.4 (12.03.2016)\"\r\n");
        Dir.Write("local/Brightmoor/" + name + "/" + name + ".ini", "Delay=\"3\"\r\n");
        return installed;
    }

    // Starts the program (the first show's wizard is cancelled) and shows the
    // wizard again outside a modal loop, so that the test can drive it.
    void OpenWizard() {
        Start();
        Show();
        W = Wizard();
        W->show();
        QApplication::processEvents();
    }

    static QTreeWidgetItem* Row(QTreeWidget* list, const QString& caption) {
        const auto items = list->findItems(caption, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1) << caption.toStdString();
        return items.value(0);
    }
    static QPoint Centre(QTreeWidget* list, const QString& caption) {
        QTreeWidgetItem* row = Row(list, caption);
        return row ? list->visualItemRect(row).center() : QPoint();
    }
    static void Click(QTreeWidget* list, const QString& caption) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, Centre(list, caption));
    }
    // As the system delivers a double click: a click, then a press that is
    // also a double click, then the release.
    static void DoubleClick(QTreeWidget* list, const QString& caption) {
        const QPoint at = Centre(list, caption);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }
    // A click below the rows.
    static void ClickBeside(QTreeWidget* list) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(4, list->viewport()->height() - 3));
    }
    static QStringList Captions(QTreeWidget* list) {
        QStringList captions;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            captions << list->topLevelItem(i)->text(0);
        return captions;
    }

    // The page shown and the buttons: "2 Back Next-" is page 2 with Back
    // visible and Next visible but disabled.
    std::string State() const {
        std::string state = !W->PnlStepOne->isHidden()     ? "1"
                            : !W->PnlStepTwo->isHidden()   ? "2"
                            : !W->PnlStepThree->isHidden() ? "3"
                                                           : "?";
        for (QPushButton* b : {W->BtnBack, W->BtnNext, W->BtnFinish})
            if (!b->isHidden())
                state += " " + b->objectName().mid(3).toStdString() + (b->isEnabled() ? "" : "-");
        return state;
    }

    // Page 3 for the program listed as `program`.
    void ToPageThree(const QString& program = "Snapglass") {
        if (W->PnlStepTwo->isHidden())
            W->BtnNext->click();
        Click(W->LisPrograms, program);
        W->BtnNext->click();
    }

    // Modify: the translation listed as `language`.
    void Modify(const QString& language) {
        W->RadModify->click();
        Click(W->LisSourceLanguages, language);
    }

    TFrmWizard* W = nullptr;
};

TEST_F(WizardTest, PagesAndButtonsFollowNextBackAndCancel) {
    InstallProgram();
    OpenWizard();
    EXPECT_EQ(W->objectName(), "FrmWizard");
    EXPECT_EQ(W->size(), QSize(584, 362));
    for (const char* name : {"PnlImage",
                             "ImgWizard",
                             "PnlBottom",
                             "BtnBack",
                             "BtnNext",
                             "BtnCancel",
                             "BtnFinish",
                             "PnlStepOne",
                             "LblWelcome",
                             "LblIntroduction",
                             "LblHintNext",
                             "PnlStepTwo",
                             "LblStepTwoInfo",
                             "LblStepTwoText",
                             "LblStepTwoPrograms",
                             "LblStepTwoUpdate",
                             "LisPrograms",
                             "PopPrograms",
                             "PnlStepThree",
                             "LblStepThreeInfo",
                             "LblStepThreeHint",
                             "RadAdd",
                             "RadModify",
                             "LblStepThreeNewLanguage",
                             "CbbStepThreeNewLanguage",
                             "LblStepThreeSourceLanguage",
                             "LisSourceLanguages",
                             "PopLanguages"})
        EXPECT_NE(W->findChild<QObject*>(name), nullptr) << name;
    for (const char* name : {"PopRefresh", "PopDeleteConfiguration", "PopRefreshLanguages"})
        EXPECT_NE(W->findChild<QAction*>(name), nullptr) << name;
    EXPECT_FALSE(W->ImgWizard->pixmap().isNull());

    const std::vector<std::pair<std::function<void()>, std::string>> steps = {
        {[] {}, "1 Next"},
        {[&] { W->BtnNext->click(); }, "2 Back Next-"},
        {[&] { Click(W->LisPrograms, "Snapglass"); }, "2 Back Next"},
        {[&] { W->BtnNext->click(); }, "3 Back Finish-"},
        {[&] { W->BtnBack->click(); }, "2 Back Next-"},
        {[&] { W->BtnBack->click(); }, "1 Next"},
        {[&] { ToPageThree(); }, "3 Back Finish-"},
        // Escape does not close the wizard.
        {[&] { QTest::keyClick(W, Qt::Key_Escape); }, "3 Back Finish-"},
        // A new showing starts on page 1, whatever page was left.
        {[&] {
             W->hide();
             W->show();
         },
         "1 Next"},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(State(), expected);
        EXPECT_TRUE(W->isVisible()) << expected;
    }

    // Page 3 opens with neither choice made: only the heading, the hint and
    // the two choices show.
    ToPageThree();
    EXPECT_FALSE(W->RadAdd->isChecked() || W->RadModify->isChecked());
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{W->LblStepThreeNewLanguage, W->CbbStepThreeNewLanguage,
                                         W->LblStepThreeSourceLanguage, W->LisSourceLanguages})
        EXPECT_TRUE(hidden->isHidden()) << hidden->objectName().toStdString();

    // Cancel changes nothing in the main window.
    W->BtnCancel->click();
    EXPECT_FALSE(W->isVisible());
    EXPECT_EQ(W->result(), QDialog::Rejected);
    EXPECT_EQ(Frm->CataloguePath(), "");
    EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 0);
}

// At start-up pages 2 and 3 are built after the first page was shown, or when
// Next asks for page 2 sooner: either way they are as those of a wizard built
// at once, with their texts, fonts, menu and programs.
TEST_F(WizardTest, PagesBuiltAfterTheFirstShowAreThoseBuiltAtOnce) {
    InstallProgram();
    OpenWizard();
    W->BtnNext->click();
    const std::vector<std::pair<std::string, std::function<void(TFrmWizard&)>>> ways = {
        {"after the show", [](TFrmWizard& wizard) { wizard.CompletePages(); }},
        {"by Next", [](TFrmWizard&) {}},
    };
    for (const auto& [way, complete] : ways) {
        SCOPED_TRACE(way);
        TFrmWizard later(Frm, Frm->Texts(), *Frm, true);
        later.show();
        QApplication::processEvents();
        EXPECT_EQ(later.findChild<QObject*>("PnlStepTwo"), nullptr);
        EXPECT_EQ(later.findChild<QObject*>("LisPrograms"), nullptr);
        complete(later);
        later.BtnNext->click();
        ASSERT_NE(later.LisPrograms, nullptr);
        EXPECT_FALSE(later.PnlStepTwo->isHidden());
        EXPECT_TRUE(later.PnlStepOne->isHidden());
        EXPECT_EQ(Captions(later.LisPrograms), Captions(W->LisPrograms));
        EXPECT_EQ(later.StepThreeHeading, W->StepThreeHeading);
        for (const char* name :
             {"LblWelcome", "LblStepTwoInfo", "LblStepTwoText", "LblStepTwoPrograms",
              "LblStepTwoUpdate", "LblStepThreeInfo", "LblStepThreeHint", "RadAdd", "RadModify",
              "LblStepThreeNewLanguage", "LblStepThreeSourceLanguage", "LisPrograms"}) {
            const auto* built = W->findChild<QWidget*>(name);
            const auto* late = later.findChild<QWidget*>(name);
            ASSERT_TRUE(built && late) << name;
            EXPECT_EQ(late->property("text"), built->property("text")) << name;
            EXPECT_EQ(late->font(), built->font()) << name;
        }
        for (const char* name : {"PopRefresh", "PopDeleteConfiguration", "PopRefreshLanguages"}) {
            const auto* built = W->findChild<QAction*>(name);
            const auto* late = later.findChild<QAction*>(name);
            ASSERT_TRUE(built && late) << name;
            EXPECT_EQ(late->text(), built->text()) << name;
            EXPECT_EQ(late->isEnabled(), built->isEnabled()) << name;
        }
    }
}

TEST_F(WizardTest, AProgramIsChosenOnlyByAClickOnARowWhoseCatalogueExists) {
    const std::string folder = InstallProgram();
    const std::string gone = InstallProgram("Gone", "GoneFolder");
    OpenWizard();
    W->BtnNext->click();
    ASSERT_EQ(Captions(W->LisPrograms), QStringList({"Gone", "Snapglass"}));

    // A row holds the name, the version, the folder, the catalogue's name and
    // the settings file.
    const QTreeWidgetItem* row = Row(W->LisPrograms, "Snapglass");
    EXPECT_EQ(row->text(1), "Version 2.4 (12.03.2016)");
    EXPECT_EQ(row->text(2), PathToQt(folder));
    EXPECT_EQ(row->text(3), "Languages.ini");
    EXPECT_EQ(row->text(4), PathToQt(Dir / "local/Brightmoor/Snapglass/Snapglass.ini"));

    Click(W->LisPrograms, "Snapglass");
    EXPECT_TRUE(W->BtnNext->isEnabled());
    EXPECT_EQ(W->CatalogueFile, folder + "Languages.ini");
    EXPECT_EQ(W->ProgramName, "Snapglass");
    EXPECT_EQ(W->SettingsFile, Dir / "local/Brightmoor/Snapglass/Snapglass.ini");
    EXPECT_EQ(W->LblStepThreeInfo->text(), W->StepThreeHeading + " [ Snapglass ] ");

    // A click beside the rows leaves none selected.
    ClickBeside(W->LisPrograms);
    EXPECT_FALSE(W->BtnNext->isEnabled());
    EXPECT_EQ(W->LblStepThreeInfo->text(), W->StepThreeHeading);

    // A program whose catalogue vanished since the scan cannot be chosen.
    fs::remove(gone + "Languages.ini");
    Click(W->LisPrograms, "Gone");
    EXPECT_FALSE(W->BtnNext->isEnabled());
    EXPECT_EQ(W->ProgramName, "Snapglass");

    // Refresh drops it and the selection; Next and the choice stay.
    Click(W->LisPrograms, "Snapglass");
    W->PopRefresh->trigger();
    EXPECT_EQ(Captions(W->LisPrograms), QStringList({"Snapglass"}));
    EXPECT_TRUE(W->LisPrograms->selectedItems().isEmpty());
    EXPECT_TRUE(W->BtnNext->isEnabled());
    EXPECT_EQ(W->ProgramName, "Snapglass");
}

TEST_F(WizardTest, ModifyOpensTheChosenTranslationInTheMainWindow) {
    const std::string folder = InstallProgram();
    OpenWizard();
    ToPageThree();
    W->RadModify->click();
    EXPECT_EQ(Captions(W->LisSourceLanguages), QStringList({"English", "Deutsch"}));
    Click(W->LisSourceLanguages, "Deutsch");
    ASSERT_EQ(State(), "3 Back Finish");
    W->BtnFinish->click();

    EXPECT_FALSE(W->isVisible());
    EXPECT_EQ(W->result(), QDialog::Accepted);
    EXPECT_EQ(Frm->CataloguePath(), folder + "Languages.ini");
    EXPECT_EQ(Captions(Frm->LisTranslations), QStringList({"English", "Deutsch"}));
    // The list shows which translation is open.
    ASSERT_NE(Frm->LisTranslations->currentItem(), nullptr);
    EXPECT_EQ(Frm->LisTranslations->currentItem()->text(0), "Deutsch");
    EXPECT_TRUE(Frm->LisTranslations->currentItem()->isSelected());
    EXPECT_EQ(Frm->LisTranslations->selectedItems().size(), 1);
    EXPECT_EQ(Frm->MemTranslation->Bytes(), TempDir::Read(folder + "Snapglass_Deutsch.ini"));
    EXPECT_TRUE(Frm->MemTranslation->isEnabled());
    EXPECT_EQ(Frm->TranslationPath, folder + "Snapglass_Deutsch.ini");
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark - Snapglass_Deutsch.ini [Snapglass]");
    EXPECT_EQ(Frm->SettingsFilePath, Dir / "local/Brightmoor/Snapglass/Snapglass.ini");
    EXPECT_TRUE(Frm->BtnIniFile->isVisible());
    EXPECT_FALSE(Frm->Modified);
    // The status line tells what was handed over, and the catalogue heads the
    // recent ones, with its program.
    EXPECT_EQ(Frm->StatusText(), "The wizard handed over Snapglass_Deutsch.ini of Snapglass");
    TWorkbenchChoices choices;
    choices.Load(Frm->DataFolder() + TWorkbenchChoices::FileName);
    ASSERT_FALSE(choices.RecentCatalogues().empty());
    EXPECT_EQ(choices.RecentCatalogues().front(),
              (TWorkbenchChoices::TRecentCatalogue{folder + "Languages.ini", "Snapglass"}));
}

// A program whose translation the user saved in the own copy (its folder is
// one the user may not write): chosen again in the wizard, the copy is offered,
// and "Modify" opens the copy's file of the translation.
TEST_F(WizardTest, TheWizardOffersTheUsersOwnCopy) {
    const std::string folder = InstallProgram();
    const std::string copy = Dir / "local/Brightmoor/Wordlark/Translations/Snapglass/";
    Dir.Write("local/Brightmoor/Wordlark/Translations/Snapglass/InstalledCatalogue.txt",
              folder + "Languages.ini\n");
    Dir.Write("local/Brightmoor/Wordlark/Translations/Snapglass/Languages.ini",
              TempDir::Read(folder + "Languages.ini"));
    Dir.Write("local/Brightmoor/Wordlark/Translations/Snapglass/Snapglass_Deutsch.ini",
              "; mine\r\n");
    OpenWizard();
    ToPageThree();
    Modify("Deutsch");
    ModalAnswers answers;
    answers.Click("BtnContinueCopy");
    W->BtnFinish->click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_TRUE(answers.Seen()[0].Text.startsWith("You have your own copy of this translation in " +
                                                  PathToQt(copy) + ", last saved "))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_EQ(Frm->CataloguePath(), copy + "Languages.ini");
    EXPECT_EQ(Frm->TranslationPath, copy + "Snapglass_Deutsch.ini");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), "; mine\r\n");
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark - Snapglass_Deutsch.ini [Snapglass] - your "
                                  "copy in " +
                                      PathToQt(copy));
    ASSERT_NE(Frm->LisTranslations->currentItem(), nullptr);
    EXPECT_EQ(Frm->LisTranslations->currentItem()->text(0), "Deutsch");
    TWorkbenchChoices choices;
    choices.Load(Frm->DataFolder() + TWorkbenchChoices::FileName);
    ASSERT_FALSE(choices.RecentCatalogues().empty());
    EXPECT_EQ(choices.RecentCatalogues().front(),
              (TWorkbenchChoices::TRecentCatalogue{folder + "Languages.ini", "Snapglass"}));
}

TEST_F(WizardTest, AddCopiesTheSourceUnderTheNewName) {
    const std::string folder = InstallProgram();
    const std::string english = TempDir::Read(folder + "Snapglass_English.ini");
    OpenWizard();
    ToPageThree();
    W->RadAdd->click();
    EXPECT_TRUE(W->CbbStepThreeNewLanguage->isVisible());
    EXPECT_EQ(W->CbbStepThreeNewLanguage->width(), 177);
    // The source list shows only while a name is there.
    EXPECT_FALSE(W->LisSourceLanguages->isVisible());
    QTest::keyClicks(W->CbbStepThreeNewLanguage->lineEdit(), "Esperanto");
    EXPECT_TRUE(W->LisSourceLanguages->isVisible());
    EXPECT_EQ(Captions(W->LisSourceLanguages), QStringList({"English", "Deutsch"}));
    W->CbbStepThreeNewLanguage->lineEdit()->selectAll();
    QTest::keyClick(W->CbbStepThreeNewLanguage->lineEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(W->LisSourceLanguages->isVisible());
    QTest::keyClicks(W->CbbStepThreeNewLanguage->lineEdit(), "Esperanto");
    Click(W->LisSourceLanguages, "English");
    W->BtnFinish->click();

    EXPECT_EQ(W->result(), QDialog::Accepted);
    EXPECT_EQ(Frm->CataloguePath(), folder + "Languages.ini");
    EXPECT_EQ(Captions(Frm->LisTranslations), QStringList({"English", "Deutsch", "Esperanto"}));
    EXPECT_EQ(Frm->TranslationPath, folder + "Snapglass_Esperanto.ini");
    EXPECT_EQ(Frm->MemTranslation->Bytes(), english);
    EXPECT_EQ(Frm->ProgramName, "Snapglass");
    EXPECT_EQ(Frm->StatusText(), "The wizard handed over Esperanto of Snapglass");

    // A translation chosen under Modify stays chosen under Add; with no name
    // the main window adds nothing.
    W->show();
    ToPageThree();
    Modify("Deutsch");
    W->RadAdd->click();
    EXPECT_EQ(State(), "3 Back Finish");
    W->BtnFinish->click();
    EXPECT_EQ(Captions(Frm->LisTranslations), QStringList({"English", "Deutsch"}));
    EXPECT_TRUE(Frm->MemTranslation->IsEmpty());
}

TEST_F(WizardTest, DoubleClicksActOnlyOnRowsTheirClickAccepted) {
    const std::string folder = InstallProgram();
    InstallProgram("Gone", "GoneFolder");
    // A listed translation whose file is missing.
    Dir.Write("Snapglass/Languages.ini",
              TempDir::Read(folder + "Languages.ini") +
                  "LanguageName=\"Dansk\"\r\nLanguageFile=\"Snapglass_Dansk.ini\"\r\n");
    OpenWizard();
    W->BtnNext->click();
    fs::remove(Dir / "GoneFolder/Languages.ini");
    DoubleClick(W->LisPrograms, "Gone");
    EXPECT_EQ(State(), "2 Back Next-");

    DoubleClick(W->LisPrograms, "Snapglass");
    ASSERT_EQ(State(), "3 Back Finish-");

    W->RadModify->click();
    {
        ModalAnswers unexpected; // a hand-over of a missing file would end in an error box
        unexpected.Click("OK");
        DoubleClick(W->LisSourceLanguages, "Dansk");
        EXPECT_TRUE(unexpected.Seen().empty());
    }
    EXPECT_TRUE(W->isVisible());
    EXPECT_EQ(Frm->CataloguePath(), "");

    DoubleClick(W->LisSourceLanguages, "Deutsch");
    EXPECT_FALSE(W->isVisible());
    EXPECT_EQ(W->result(), QDialog::Accepted);
    EXPECT_EQ(Frm->TranslationPath, folder + "Snapglass_Deutsch.ini");
}

TEST_F(WizardTest, NoChoiceOfAnEarlierShowingOrProgramIsHandedOver) {
    const std::string folder = InstallProgram();
    const std::string other = InstallProgram("Other", "OtherFolder");
    OpenWizard();
    ToPageThree();
    Modify("Deutsch");
    ASSERT_EQ(W->TranslationFile, folder + "Snapglass_Deutsch.ini");
    W->BtnCancel->click();
    W->show();
    EXPECT_EQ(W->TranslationFile, "");

    // A translation of one program, then a double click on a row of another
    // program whose file is missing: nothing is handed over.
    ToPageThree();
    Modify("Deutsch");
    W->BtnBack->click();
    ToPageThree("Other");
    EXPECT_EQ(W->ProgramName, "Other");
    W->RadModify->click();
    fs::remove(other + "Snapglass_Deutsch.ini");
    DoubleClick(W->LisSourceLanguages, "Deutsch");
    EXPECT_TRUE(W->isVisible());
    EXPECT_EQ(Frm->CataloguePath(), "");

    // Refresh on page 2 loses the selection, not the choice: Finish hands over
    // the program chosen, under its own name.
    W->BtnBack->click();
    Click(W->LisPrograms, "Snapglass");
    W->PopRefresh->trigger();
    W->BtnNext->click();
    Modify("Deutsch");
    W->BtnFinish->click();
    EXPECT_EQ(Frm->CataloguePath(), folder + "Languages.ini");
    EXPECT_EQ(Frm->ProgramName, "Snapglass");
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark - Snapglass_Deutsch.ini [Snapglass]");
}

TEST_F(WizardTest, SourceRowsTakeTheirFilesFromTheCataloguesFolder) {
    const std::string folder = InstallProgram();
    OpenWizard();
    struct Case {
        std::string catalogue;
        QStringList rows;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        // Folder parts of a value are dropped, as the main window drops them.
        {"LanguageName=\"English\"\r\nLanguageFile=\"sub/Snapglass_English.ini\"\r\n"
         "LanguageName=\"Deutsch\"\r\nLanguageFile=\"../../Snapglass_Deutsch.ini\"\r\n",
         {"English", "Deutsch"},
         {folder + "Snapglass_English.ini", folder + "Snapglass_Deutsch.ini"}},
        // A first pair without a file ends the list at once.
        {"LanguageName=\"English\"\r\nLanguageFile=\"\"\r\n"
         "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n",
         {},
         {}},
        {std::string("\0\xff", 2), {}, {}},
    };
    for (const Case& c : cases) {
        Dir.Write("Snapglass/Languages.ini", c.catalogue);
        W->show();
        ToPageThree();
        W->RadModify->click();
        EXPECT_EQ(Captions(W->LisSourceLanguages), c.rows);
        for (size_t i = 0; i < c.paths.size(); ++i)
            EXPECT_EQ(W->LisSourceLanguages->topLevelItem(static_cast<int>(i))->text(1),
                      PathToQt(c.paths[i]));
        W->hide();
    }
}

TEST_F(WizardTest, FinishAsksBeforeReplacingUnsavedEdits) {
    InstallProgram();
    OpenWizard();
    ToPageThree();
    Modify("English");
    W->BtnFinish->click();
    QTest::keyClicks(Frm->MemTranslation, "edited");
    ASSERT_TRUE(Frm->Modified);
    const std::string edited = Frm->MemTranslation->Bytes();

    W->show();
    ToPageThree();
    Modify("Deutsch");
    {
        ModalAnswers answers;
        answers.Click("Cancel");
        W->BtnFinish->click();
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].Text, Frm->m_aMDiscard);
    }
    EXPECT_TRUE(W->isVisible());
    EXPECT_TRUE(Frm->Modified);
    EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);
    {
        ModalAnswers answers;
        answers.Click("Yes");
        W->BtnFinish->click();
    }
    EXPECT_FALSE(W->isVisible());
    EXPECT_FALSE(Frm->Modified);
    EXPECT_EQ(Frm->MemTranslation->Bytes(), TempDir::Read(Dir / "Snapglass/Snapglass_Deutsch.ini"));
}

TEST_F(WizardTest, TheCleanUpProgramAndTheMakersSiteGoThroughTheShell) {
    InstallProgram("Snap glass");
    const std::string cleanup = Dir / "bin/UnInstCleanup";
    struct Case {
        const char* what;
        std::function<void()> prepare;
        bool enabled;
    };
    const Case cases[] = {
        {"absent", [] {}, false},
        {"not executable", [&] { Dir.Write("bin/UnInstCleanup", "#!/bin/sh\n"); }, false},
        {"a folder", [&] { fs::create_directories(cleanup); }, false},
        {"executable",
         [&] {
             Dir.Write("bin/UnInstCleanup", "#!/bin/sh\n");
             fs::permissions(cleanup, fs::perms::owner_all);
         },
         true},
    };
    OpenWizard();
    for (const Case& c : cases) {
        fs::remove_all(cleanup);
        c.prepare();
        W->hide();
        W->show();
        EXPECT_EQ(W->PopDeleteConfiguration->isEnabled(), c.enabled) << c.what;
    }
    auto& requests = CurrentFake()->ShellRequests;
    W->BtnNext->click();
    W->PopDeleteConfiguration->trigger(); // no row selected: nothing
    EXPECT_TRUE(requests.empty());
    Click(W->LisPrograms, "Snap glass");
    W->PopDeleteConfiguration->trigger();
    QTest::mouseClick(W->LblStepTwoUpdate, Qt::LeftButton);
    EXPECT_EQ(requests, (std::vector<ShellRequest>{{"program", cleanup, {"Snap glass"}},
                                                   {"address", "www.brightmoor.example", {}}}));
    EXPECT_TRUE(W->isVisible());
}

TEST_F(WizardTest, ProgramsAreListedInTheUsersLocaleOrder) {
    const std::string decomposed = "A\xcc\x88pfel"; // the same word as "\xc3\x84pfel"
    for (const std::string& name : {std::string("zebra"), std::string("\xc3\x84pfel"),
                                    std::string("apple"), std::string("Banana"), decomposed})
        InstallProgram(name, "Folder" + std::to_string(std::hash<std::string>()(name)));
    OpenWizard();
    // The plain C locale sorts bytes, upper case first; the wizard sorts as
    // people read there too.
    for (const QLocale& locale : {QLocale(QLocale::German, QLocale::Germany), QLocale::c()}) {
        const QLocale previous;
        QLocale::setDefault(locale);
        W->BtnNext->click();
        QStringList names = Captions(W->LisPrograms);
        W->BtnBack->click();
        QLocale::setDefault(previous);
        ASSERT_EQ(names.size(), 5) << locale.name().toStdString();
        // Equal in the locale's order, the two spellings keep their byte order.
        EXPECT_EQ(names[0].toUtf8().toStdString(), decomposed) << locale.name().toStdString();
        names.removeFirst();
        EXPECT_EQ(names,
                  QStringList({QString::fromUtf8("\xc3\x84pfel"), "apple", "Banana", "zebra"}))
            << locale.name().toStdString();
    }
}

TEST_F(WizardTest, TheFirstShowRunsTheWizardBetweenTheCaptionAndThePlacement) {
    TInitFile settings(TInitFile::TForm::Xml);
    settings.AddString("WinPos", "40,30,700,500");
    Dir.Write("local/Brightmoor/Wordlark/Wordlark.ini", settings.GetText());
    InstallProgramFiles();
    InstallProgram();
    Start();
    // Created second, before the new-language dialog.
    const QObjectList children = Frm->children();
    EXPECT_LT(children.indexOf(static_cast<QObject*>(Wizard())),
              children.indexOf(static_cast<QObject*>(Windows.FrmAddLanguage)));

    QString title, dialog;
    QPoint position;
    QStringList programs;
    Show([&](QWidget* shown) {
        dialog = shown->objectName();
        title = Frm->windowTitle();
        position = Frm->pos();
        // Wordlark finds itself through its own registration.
        ClickNamedButton(shown, "BtnNext");
        programs = Captions(Wizard()->LisPrograms);
        ClickNamedButton(shown, "BtnCancel");
    });
    EXPECT_EQ(dialog, "FrmWizard");
    EXPECT_EQ(title, "Brightmoor Wordlark");
    EXPECT_NE(position, QPoint(40, 30));
    EXPECT_EQ(Frm->pos(), QPoint(40, 30));
    EXPECT_EQ(programs, QStringList({"Snapglass", "Wordlark"}));

    // The wizard command shows it again, modally.
    ModalAnswers answers;
    answers.Click("BtnCancel");
    Frm->BtnWizard->click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Title, "Wizard");
}

TEST_F(WizardTest, TheWizardSpeaksTheInterfaceLanguageInTheMainWindowsFont) {
    InstallProgramFiles();
    InstallProgram();
    TInitFile settings(TInitFile::TForm::Xml);
    settings.AddString("UseFontSettings", "1");
    settings.AddString("FontDefName", "DejaVu Serif");
    settings.AddString("LanguageName", "Deutsch");
    Dir.Write("local/Brightmoor/Wordlark/Wordlark.ini", settings.GetText());
    OpenWizard();
    TInitFile deutsch(TInitFile::TForm::Ini);
    ASSERT_TRUE(deutsch.Load(Dir / "bin/Wordlark_Deutsch.ini"));
    const auto shipped = [&](const char* key) { return ToDisplay(deutsch.GetString(key, "")); };
    EXPECT_EQ(W->windowTitle(), shipped("FrmWiz.Caption"));
    EXPECT_EQ(W->BtnNext->text(), shipped("FrmWiz.BtnNext"));
    EXPECT_EQ(W->PopRefreshLanguages->text(), shipped("FrmWiz.PopRefresh"));
    EXPECT_EQ(W->StepThreeHeading, shipped("FrmWiz.LblStepThreeInfo"));
    W->BtnNext->click();
    Click(W->LisPrograms, "Snapglass");
    EXPECT_EQ(W->LblStepThreeInfo->text(), shipped("FrmWiz.LblStepThreeInfo") + " [ Snapglass ] ");

    EXPECT_EQ(W->font().family(), "DejaVu Serif");
    for (QLabel* heading :
         {W->LblWelcome, W->LblStepTwoInfo, W->LblStepTwoUpdate, W->LblStepThreeInfo}) {
        EXPECT_EQ(heading->font().family(), "DejaVu Serif");
        EXPECT_EQ(heading->font().pointSize(), W->font().pointSize());
        EXPECT_TRUE(heading->font().bold());
    }
}

TEST_F(WizardTest, PagesTwoAndThreeAsTheUserSeesThem) {
    InstallProgramFiles();
    InstallProgram();
    OpenWizard();
    W->BtnNext->click();
    Click(W->LisPrograms, "Snapglass");
    QApplication::processEvents();
    const QImage two = W->grab().toImage();
    // The side picture is drawn: more than a handful of colours in it.
    const QImage picture = W->ImgWizard->grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 50u);

    W->BtnNext->click();
    Modify("Deutsch");
    QApplication::processEvents();
    const QImage three = W->grab().toImage();
    EXPECT_NE(two, three);
    const QByteArray dir = qgetenv("WORDLARK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        two.save(QString::fromLocal8Bit(dir) + "/wizard-programs.png");
        three.save(QString::fromLocal8Bit(dir) + "/wizard-translation.png");
    }
}

} // namespace
