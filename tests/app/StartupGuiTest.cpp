// The program started in-process: its windows, folders, registration and the
// language catalogue opened through the file dialog.
#include "support/WordlarkFixture.h"

#include "dialogs/FrmAddLanguage.h"
#include "editor/SynEditor.h"
#include "initfile/InitFile.h"
#include "platform/Platform.h"
#include "support/ScopedEnvironment.h"
#include "texts/QtText.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

namespace fs = std::filesystem;

using StartupTest = WordlarkFixture;

TEST_F(StartupTest, MainWindowHasEveryNamedControl) {
    Start();
    EXPECT_EQ(QApplication::topLevelWidgets().contains(Frm), true);
    EXPECT_EQ(Frm->objectName(), "FrmWordlark");
    for (const char* name : {"PnlTop",
                             "PnlBottom",
                             "LblInfo",
                             "LblSelectInitFile",
                             "EdtInitFile",
                             "BtnSelectInitFile",
                             "BtnWizard",
                             "LblAvailableTranslations",
                             "LisTranslations",
                             "BtnEdit",
                             "BtnAdd",
                             "BtnDelete",
                             "LblCurrentDefault",
                             "CbbDefaultLanguage",
                             "BtnHelp",
                             "BtnIniFile",
                             "LblTranslations",
                             "BtnFullscreen",
                             "MemTranslation",
                             "LblSave",
                             "BtnSave",
                             "LblSend",
                             "BtnSend",
                             "MenMain",
                             "PopLanguages",
                             "PopInput"})
        EXPECT_NE(Frm->findChild<QObject*>(name), nullptr) << name;
    for (const char* name :
         {"MenOpen",    "MenWizard", "MenSave",        "MenSend",       "MenExit",
          "MenEdit",    "MenAdd",    "MenDelete",      "MenFullscreen", "MenUsage",
          "MenLicense", "MenReadMe", "MenCheckUpdate", "MenInfo",       "PopEdit",
          "PopRefresh", "PopCut",    "PopCopy",        "PopPaste",      "PopSelectAll"})
        EXPECT_NE(Frm->findChild<QAction*>(name), nullptr) << name;
    EXPECT_EQ(Frm->findChild<QWidget*>("PnlTop")->height(), 248);
    EXPECT_EQ(Frm->findChild<QWidget*>("PnlBottom")->height(), 53);
    EXPECT_EQ(Frm->findChild<QWidget*>("PnlTranslations")->height(), 41);
    EXPECT_EQ(Frm->size(), QSize(697, 604));
    EXPECT_EQ(Frm->minimumSize(), QSize(650, 450));
    EXPECT_FALSE(Frm->MemTranslation->isEnabled());
    EXPECT_FALSE(Frm->BtnIniFile->isVisibleTo(Frm));
    EXPECT_TRUE(Frm->EdtInitFile->isReadOnly());
    EXPECT_NE(Windows.FrmAddLanguage, nullptr);
    EXPECT_EQ(Windows.FrmAddLanguage->objectName(), "FrmAddLanguage");
}

// The program's own start: the wizard is painted while the main window has no
// controls yet, nor the wizard its pages 2 and 3; it is modal, and once
// answered the main window is whole, its dialogs made, and speaks the chosen
// language.
TEST_F(StartupTest, TheProgramPaintsTheWizardFirstAndCompletesTheMainWindowBehindIt) {
    InstallProgramFiles();
    TInitFile settings(TInitFile::TForm::Xml);
    settings.AddString("LanguageName", "Deutsch");
    std::filesystem::create_directories(Dir / "local/Brightmoor/Wordlark");
    settings.Save(Dir / "local/Brightmoor/Wordlark/Wordlark.ini");
    struct TFirstPaint : QObject {
        TWordlarkWindows* Windows = nullptr;
        int Paints = 0;
        bool ControlsAtFirstPaint = true, WizardPagesAtFirstPaint = true;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint && Windows->FrmWizard &&
                watched == Windows->FrmWizard && Paints++ == 0) {
                ControlsAtFirstPaint = Windows->FrmWordlark->MemTranslation != nullptr;
                WizardPagesAtFirstPaint = Windows->FrmWizard->PnlStepTwo != nullptr;
            }
            return false;
        }
    } firstPaint;
    firstPaint.Windows = &Windows;
    QApplication::instance()->installEventFilter(&firstPaint);
    // Answered once the rest is built: the main window is whole behind the
    // modal wizard, and not shown before it is answered.
    bool wholeBehindTheWizard = false;
    QTimer answer;
    answer.setInterval(1);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (!Windows.FrmInfo || QApplication::activeModalWidget() != Windows.FrmWizard)
            return;
        answer.stop();
        const QWindow* main = Windows.FrmWordlark->windowHandle();
        wholeBehindTheWizard = Windows.FrmWordlark->MemTranslation &&
                               Windows.FrmWizard->LisSourceLanguages &&
                               Windows.FrmWizard->isVisible() && !(main && main->isVisible());
        ClickNamedButton(Windows.FrmWizard, "BtnCancel");
    });
    answer.start();
    StartWordlark(Windows);
    Frm = Windows.FrmWordlark.get();
    EXPECT_TRUE(QTest::qWaitFor([&] { return Frm->isVisible(); }, 10000));
    QApplication::instance()->removeEventFilter(&firstPaint);
    EXPECT_GE(firstPaint.Paints, 1);
    EXPECT_FALSE(firstPaint.ControlsAtFirstPaint);
    EXPECT_FALSE(firstPaint.WizardPagesAtFirstPaint);
    EXPECT_TRUE(wholeBehindTheWizard);
    EXPECT_FALSE(Windows.FrmWizard->isVisible());
    for (const char* name : {"PnlTop", "MemTranslation", "BtnSave", "MenMain", "PopInput"})
        EXPECT_NE(Frm->findChild<QObject*>(name), nullptr) << name;
    EXPECT_TRUE(Windows.FrmSend && Windows.FrmAddLanguage && Windows.FrmIniFile && Windows.FrmInfo);
    EXPECT_TRUE(Frm->MenLicense->isVisible()); // a shipped document
    EXPECT_EQ(Frm->CurrentLanguageName(), "Deutsch");
    EXPECT_EQ(Frm->BtnSave->text(), Frm->GetNationalText("FrmWordlark.BtnSave", "?"));
}

TEST_F(StartupTest, FirstShowSetsTheCaption) {
    Start();
    Show();
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark");
}

TEST_F(StartupTest, MenuItemsOfMissingDocumentsAreHidden) {
    Start();
    EXPECT_FALSE(Frm->MenLicense->isVisible());
    EXPECT_FALSE(Frm->MenReadMe->isVisible());
    EXPECT_FALSE(Frm->MenCheckUpdate->isVisible());
}

TEST_F(StartupTest, MenuItemsOfShippedDocumentsAreShown) {
    InstallProgramFiles();
    Start();
    EXPECT_TRUE(Frm->MenLicense->isVisible());
    EXPECT_TRUE(Frm->MenReadMe->isVisible());
    EXPECT_TRUE(Frm->MenCheckUpdate->isVisible());
}

TEST_F(StartupTest, DefaultDataFolderIsCreatedAndTheProgramRegistered) {
    Start();
    EXPECT_EQ(Frm->DataFolder(), Dir / "local/Brightmoor/Wordlark/");
    EXPECT_TRUE(fs::is_directory(Frm->DataFolder()));
    EXPECT_EQ(Frm->LocalMakerFolder(), Dir / "local/Brightmoor/");
    EXPECT_EQ(Frm->RoamingMakerFolder(), Dir / "roaming/Brightmoor/");
    EXPECT_EQ(Frm->ProgramFolder(), Dir / "bin/");
    const std::string reg = TempDir::Read(Dir / "common/Brightmoor/Wordlark/Installation.ini");
    EXPECT_EQ(reg.rfind("InstallationDirectory=\"" + (Dir / "bin/") +
                            "\"\r\n"
                            "LanguageFile=\"Languages.ini\"\r\nIniFile=\"Wordlark.ini\"\r\n"
                            "Version=\"Version 1.700 (01.09.2016)\"\r\nInstallDate=\"",
                        0),
              0u)
        << reg;
}

TEST_F(StartupTest, SavePathNamingARelativeFolderIsUsedWithoutRegistration) {
    fs::create_directories(Dir / "bin/MyData");
    Dir.Write("bin/SavePath.ini", "ApplicationStorage=\"MyData\"\r\n");
    Start();
    EXPECT_EQ(Frm->DataFolder(), Dir / "bin/MyData/");
    EXPECT_FALSE(fs::exists(Dir / "common/Brightmoor"));
    EXPECT_FALSE(fs::exists(Dir / "local/Brightmoor"));
}

TEST_F(StartupTest, UnusableSavePathFallsBackToTheDefaultFolder) {
    // A folder that does not exist, a binary file, a folder in place of the
    // file and an empty file all lead to the default data folder.
    const std::vector<std::function<void()>> cases = {
        [&] { Dir.Write("bin/SavePath.ini", "ApplicationStorage=\"Nowhere\"\r\n"); },
        [&] { Dir.Write("bin/SavePath.ini", std::string("\0\x01\xff\"=\0", 6)); },
        [&] { fs::create_directories(Dir / "bin/SavePath.ini"); },
        [&] { Dir.Write("bin/SavePath.ini", ""); },
    };
    for (const auto& prepare : cases) {
        fs::remove_all(Dir / "bin/SavePath.ini");
        fs::remove_all(Dir / "common/Brightmoor");
        prepare();
        Start();
        EXPECT_EQ(Frm->DataFolder(), Dir / "local/Brightmoor/Wordlark/");
        EXPECT_TRUE(fs::exists(Dir / "common/Brightmoor/Wordlark/Installation.ini"));
    }
}

// A fresh account under the real platform layer: the per-user folders named
// by the XDG variables do not exist yet, nor does $HOME.
TEST_F(StartupTest, AFreshAccountGetsItsDataFolderSettingsAndRegistration) {
    const std::string fresh = Dir / "fresh";
    ScopedEnvironment env;
    env.Set("HOME", fresh + "/home");
    env.Set("XDG_DATA_HOME", fresh + "/data");
    env.Set("XDG_CONFIG_HOME", fresh + "/config");
    env.Set("XDG_DATA_DIRS", Dir / "common");
    auto fake = platform::Install(platform::CreateNative());
    Start();
    Show();
    const std::string programFolder = platform::ExtractFilePath(platform::Get().ExecutablePath());
    EXPECT_EQ(Frm->DataFolder(), fresh + "/data/Brightmoor/Wordlark/");
    EXPECT_TRUE(fs::is_directory(Frm->DataFolder()));
    EXPECT_EQ(fs::status(fresh + "/data").permissions(), fs::perms::owner_all);
    EXPECT_EQ(Frm->RoamingMakerFolder(), fresh + "/config/Brightmoor/");
    EXPECT_TRUE(Frm->close());
    EXPECT_EQ(TempDir::Read(Frm->DataFolder() + "Wordlark.ini").rfind("<?xml", 0), 0u);
    EXPECT_EQ(TempDir::Read(Dir / "common/Brightmoor/Wordlark/Installation.ini")
                  .rfind("InstallationDirectory=\"" + programFolder + "\"\r\n", 0),
              0u);
    platform::Install(std::move(fake));
}

// ---- The catalogue ------------------------------------------------------------

using CatalogueWindowTest = WordlarkFixture;

TEST_F(CatalogueWindowTest, BrowseListsTheDemoCatalogue) {
    const std::string catalogue = InstallDemo();
    Start();
    Show();
    Frm->ProgramName = "Snapglass";
    ModalAnswers answers;
    answers.Then(ChooseFile(catalogue));
    Frm->BtnSelectInitFile->click();
    EXPECT_EQ(answers.Pending(), 0u);
    EXPECT_EQ(Frm->CataloguePath(), catalogue);
    EXPECT_EQ(Frm->ProgramName, "");
    ASSERT_EQ(Frm->LisTranslations->topLevelItemCount(), 2);
    EXPECT_EQ(Frm->LisTranslations->topLevelItem(0)->text(0), "English");
    EXPECT_EQ(Frm->LisTranslations->topLevelItem(0)->text(1),
              PathToQt(Dir / "Snapglass/Snapglass_English.ini"));
    EXPECT_EQ(Frm->LisTranslations->topLevelItem(1)->text(0), "Deutsch");
    EXPECT_TRUE(Frm->LisTranslations->isColumnHidden(1));
    ASSERT_EQ(Frm->CbbDefaultLanguage->count(), 2);
    EXPECT_EQ(Frm->CbbDefaultLanguage->itemText(0), "English");
    EXPECT_EQ(Frm->CbbDefaultLanguage->itemText(1), "Deutsch");
    EXPECT_EQ(Frm->CbbDefaultLanguage->currentText(), "English");
    EXPECT_EQ(Frm->DefaultLanguageIndex, 0);
    EXPECT_FALSE(Frm->MemTranslation->isEnabled());
}

TEST_F(CatalogueWindowTest, FileDialogOffersOnlyLanguageCatalogues) {
    Start();
    const QStringList filters = Frm->OpdInitFile()->nameFilters();
    ASSERT_EQ(filters.size(), 1);
    EXPECT_TRUE(filters.first().contains("*Languages*.ini")) << filters.first().toStdString();
    EXPECT_EQ(Frm->OpdInitFile()->parent(), Frm);
    EXPECT_EQ(Frm->findChild<QFileDialog*>("OpdInitFile"), Frm->OpdInitFile());
}

TEST_F(CatalogueWindowTest, InvalidCatalogueIsReportedWithItsPathInQuotes) {
    const std::string bad = Dir.Write("Other/MyLanguages.ini", std::string("\x7f"
                                                                           "ELF\0\0\x01",
                                                                           7));
    InstallDemo();
    Start();
    Show();
    ModalAnswers answers;
    answers.Then(ChooseFile(bad)).Click("OK");
    Frm->BtnSelectInitFile->click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    const SeenDialog& error = answers.Seen()[1];
    EXPECT_EQ(error.Text,
              "'" + PathToQt(bad) + "' seems to be no vaild translation file. Choose another!");
    EXPECT_EQ(error.Title, "Error");
    EXPECT_EQ(Frm->CataloguePath(), "");
    EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 0);
    ASSERT_EQ(Frm->CbbDefaultLanguage->count(), 1);
    EXPECT_EQ(Frm->CbbDefaultLanguage->itemText(0), "English");
    EXPECT_FALSE(Frm->BtnIniFile->isVisibleTo(Frm));
}

TEST_F(CatalogueWindowTest, BrowseWithUnsavedChangesAsksFirst) {
    const std::string catalogue = InstallDemo();
    Start();
    Show();
    ASSERT_TRUE(Frm->LoadCatalogue(catalogue));
    Frm->SetCataloguePath(catalogue);
    Frm->Modified = true;
    ModalAnswers answers;
    answers.Click("Cancel");
    Frm->BtnSelectInitFile->click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Text, "You made changes! Sure to discard them?");
    EXPECT_TRUE(Frm->Modified);
    EXPECT_EQ(Frm->CataloguePath(), catalogue);
}

TEST_F(CatalogueWindowTest, RefreshReloadsWithoutAskingAndKeepsTheProgramName) {
    const std::string catalogue = InstallDemo();
    Start();
    ASSERT_TRUE(Frm->LoadCatalogue(catalogue));
    Frm->SetCataloguePath(catalogue);
    Frm->ProgramName = "Snapglass";
    Dir.Write("Snapglass/Languages.ini",
              "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n");
    Frm->PopRefresh->trigger();
    EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 1);
    EXPECT_EQ(Frm->CataloguePath(), catalogue);
    EXPECT_EQ(Frm->ProgramName, "Snapglass");

    // Without an existing file Refresh does nothing.
    fs::remove(catalogue);
    Frm->PopRefresh->trigger();
    EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 1);
}

TEST_F(CatalogueWindowTest, ClosingWithUnsavedChangesAndCancelKeepsTheWindow) {
    Start();
    Show();
    Frm->Modified = true;
    ModalAnswers answers;
    answers.Click("Cancel");
    EXPECT_FALSE(Frm->close());
    EXPECT_TRUE(Frm->isVisible());
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Title, "Warning");
    EXPECT_FALSE(fs::exists(Frm->DataFolder() + "Wordlark.ini"));

    answers.Click("Yes");
    EXPECT_TRUE(Frm->close());
    EXPECT_TRUE(fs::exists(Frm->DataFolder() + "Wordlark.ini"));
}

TEST_F(StartupTest, ControlsFollowTheWindowsSize) {
    Start();
    Show();
    Frm->resize(681, 604);
    QApplication::processEvents();
    ASSERT_EQ(Frm->PnlBottom->width(), 681);
    ASSERT_EQ(Frm->BtnSave->width(), 176);
    EXPECT_EQ(Frm->BtnSave->x(), 161);
    EXPECT_EQ(Frm->LblSave->x(), 161);
    EXPECT_EQ(Frm->BtnSend->x(), 343);
    EXPECT_EQ(Frm->LblSend->x(), 343);

    Frm->resize(1000, 700);
    QApplication::processEvents();
    const int right = Frm->PnlTop->width() - 9;
    for (QWidget* w : std::initializer_list<QWidget*>{Frm->BtnSelectInitFile, Frm->BtnWizard,
                                                      Frm->BtnEdit, Frm->BtnAdd, Frm->BtnDelete,
                                                      Frm->BtnHelp, Frm->BtnFullscreen})
        EXPECT_EQ(w->geometry().right() + 1, right) << w->objectName().toStdString();
    EXPECT_EQ(Frm->LblInfo->geometry().right() + 1, Frm->PnlTop->width() - 2);
    EXPECT_EQ(Frm->EdtInitFile->geometry().right() + 1, Frm->BtnSelectInitFile->x() - 12);
    EXPECT_EQ(Frm->LisTranslations->geometry().right() + 1, Frm->BtnSelectInitFile->x() - 12);
    EXPECT_EQ(Frm->LblTranslations->geometry().right() + 1, Frm->BtnFullscreen->x() - 2);
}
