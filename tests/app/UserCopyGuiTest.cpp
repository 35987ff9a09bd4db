// The user's own copy: a program installed in a folder the user may not write
// is translated all the same. "Save" offers the user's own folder, the main
// window then works on that copy, "Prepare to send" sends its files, and the
// next opening of the installed catalogue offers the copy again; the installed
// files never change.
//
// The folder is protected two ways: as it really is (no write permission for
// an ordinary user; for the superuser, whom permissions do not stop, a
// read-only bind mount where one can be made), and by the file-writing fault
// hook, which refuses every write into it as the system would, for any user.
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"
#include "encoding/TextEncoding.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileIO.h"
#include "send/FrmSend.h"
#include "support/Screenshot.h"
#include "texts/ElidedLabel.h"
#include "texts/QtText.h"
#include "texts/UserCopy.h"
#include "workbench/PhraseMarks.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

#include <cerrno>
#include <cstring>
#include <map>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/mount.h>
#endif
#endif

using namespace smapi;
namespace fs = std::filesystem;

namespace {

enum class TProtection {
    Folder, // no write permission, or a read-only bind mount for the superuser
    Hook,   // every write into the folder refused by the fault hook
};

std::string ProtectedFolder;

int RefuseProtectedFolder(const std::string& path) {
    return path.rfind(ProtectedFolder, 0) == 0 ? EACCES : 0;
}

// Every file of a folder with its bytes.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = TempDir::Read(entry.path().string());
    return files;
}

QStringList ListNames(QTreeWidget* list) {
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names << list->topLevelItem(i)->text(0);
    return names;
}

QString ListedPath(QTreeWidget* list, const QString& name) {
    const auto items = list->findItems(name, Qt::MatchExactly);
    return items.size() == 1 ? items.first()->text(1) : QString();
}

class UserCopyTest : public WordlarkFixture {
protected:
    // The demo program installed as a package installs it.
    void Install() {
        Catalogue = InstallDemo("Programs/Snapglass");
        Installed = Dir / "Programs/Snapglass/";
        InstalledFiles = Files(Installed);
    }

    // Installs the program, refuses writes into its folder and starts.
    void StartProtected() {
        Install();
        std::string why;
        ASSERT_TRUE(Protect(TProtection::Hook, why)) << why;
        Start();
        Show();
    }
    // Makes the installed folder one the user may not write; false when this
    // cannot be done here (the test is then skipped).
    bool Protect(TProtection protection, std::string& why) {
        ProtectedFolder = Installed;
        if (protection == TProtection::Hook) {
            platform::ReplaceFaultHook = RefuseProtectedFolder;
            return true;
        }
#ifdef _WIN32
        why = "the folder case is a POSIX one";
        return false;
#else
        for (const auto& entry : InstalledFiles)
            ::chmod((Installed + entry.first).c_str(), 0444);
        ::chmod(Installed.c_str(), 0555);
        Chmodded = true;
        if (::access(Installed.c_str(), W_OK) != 0)
            return true; // an ordinary user
#ifdef __linux__
        // The superuser writes anywhere but on a read-only file system.
        const std::string folder = Installed.substr(0, Installed.size() - 1);
        if (::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            Mounted = folder;
            if (::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                        nullptr) == 0)
                return true;
            why = std::string("cannot make the bind mount read-only: ") + std::strerror(errno);
            return false;
        }
        why = std::string("running as the superuser, the folder stays writable and no read-only "
                          "bind mount can be made: ") +
              std::strerror(errno);
#else
        why = "running as the superuser, the folder stays writable";
#endif
        return false;
#endif
    }

    void TearDown() override {
        platform::ReplaceFaultHook = nullptr;
#ifndef _WIN32
#ifdef __linux__
        if (!Mounted.empty())
            ::umount2(Mounted.c_str(), MNT_DETACH);
#endif
        if (Chmodded) {
            ::chmod(Installed.c_str(), 0755);
            for (const auto& entry : InstalledFiles)
                ::chmod((Installed + entry.first).c_str(), 0644);
        }
#endif
    }

    // Browses to the catalogue; `then` answers the question that may follow.
    void Browse(const std::string& catalogue, ModalAnswers& answers, const QString& then = {}) {
        answers.Then(ChooseFile(catalogue));
        if (!then.isEmpty())
            answers.Click(then);
        Frm->BtnSelectInitFile->click();
    }

    // Adds a language as a copy of a listed one.
    void Add(const QString& master, const QString& name) {
        SelectTranslation(master);
        ModalAnswers answers;
        answers.Then([name](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("EdtLanguageName")->setText(name);
            ClickNamedButton(dialog, "BtnOK");
        });
        Frm->BtnAdd->click();
        ASSERT_EQ(answers.Pending(), 0u);
    }

    // Types at the start of the line `line`.
    void TypeAt(int line, const QString& text) {
        Frm->MemTranslation->setCursorPosition(line, 0);
        QTest::keyClicks(Frm->MemTranslation, text);
        QApplication::processEvents();
    }

    // Saves on the copy: no question may come.
    void SaveQuietly() {
        ModalAnswers answers;
        answers.Click("Cancel");
        Frm->BtnSave->click();
        EXPECT_TRUE(answers.Seen().empty()) << answers.Seen()[0].Text.toStdString();
    }

    std::string CopyFolder() const {
        return Frm->DataFolder() + "Translations" + platform::PathDelim + "Snapglass" +
               platform::PathDelim;
    }

    // When the copy's catalogue was last saved, as the question says it.
    QString LastSaved() const {
        return QLocale("en").toString(
            QFileInfo(PathToQt(CopyFolder() + "Languages.ini")).lastModified(),
            QLocale::ShortFormat);
    }

    TWorkbenchChoices Choices() const {
        TWorkbenchChoices choices;
        choices.Load(Frm->DataFolder() + TWorkbenchChoices::FileName);
        return choices;
    }

    std::string Catalogue, Installed;
    std::map<std::string, std::string> InstalledFiles;
    bool Chmodded = false;
    std::string Mounted;
};

class UserCopyProtectionTest : public UserCopyTest,
                               public ::testing::WithParamInterface<TProtection> {};

TEST_P(UserCopyProtectionTest, SaveGoesIntoTheUsersCopyWhichIsSentAndOfferedAtTheNextOpen) {
    Install();
    std::string why;
    if (!Protect(GetParam(), why))
        GTEST_SKIP() << why;
    Start();
    Show();
    {
        ModalAnswers answers;
        Browse(Catalogue, answers);
        ASSERT_EQ(answers.Pending(), 0u);
    }
    ASSERT_EQ(ListNames(Frm->LisTranslations), QStringList({"English", "Deutsch"}));
    Add("Deutsch", "Polski");
    TypeAt(3, "Plik ");
    // What the workbench keeps for the file goes with it: a code page, a mark.
    Frm->Workbench()->ShowAs(TTextEncoding::Windows1250);
    Frm->Workbench()->Marks().Mark({{"FrmMain.Caption", TPhraseStatus::Translated}});
    const std::string text = Frm->MemTranslation->Bytes();

    // Save: the installed folder refuses, the user's own folder is offered.
    const std::string copy = CopyFolder();
    {
        ModalAnswers answers;
        answers.Click("BtnSaveInOwnFolder");
        Frm->BtnSave->click();
        ASSERT_EQ(answers.Seen().size(), 1u);
        const SeenDialog& seen = answers.Seen()[0];
        EXPECT_EQ(seen.Text, "Wordlark may not write in " + PathToQt(Installed) +
                                 " (the folder is protected or read-only), so the translation "
                                 "cannot be saved there. Save the translation and the catalogue "
                                 "in your own folder " +
                                 PathToQt(copy) +
                                 " instead, and go on working on that copy? “Prepare to send” "
                                 "then sends those files.");
        EXPECT_EQ(seen.Title, "Confirmation");
        EXPECT_TRUE(seen.Buttons.contains("BtnSaveInOwnFolder=Save in my folder"))
            << seen.Buttons.join(", ").toStdString();
        EXPECT_TRUE(seen.Buttons.contains("Cancel=Cancel"))
            << seen.Buttons.join(", ").toStdString();
    }
    const std::string polski = copy + "Snapglass_Polski.ini";
    EXPECT_EQ(TempDir::Read(polski), text);
    EXPECT_EQ(TempDir::Read(copy + "Languages.ini"),
              "[_WORDLARK_GENERATED_FILE]\r\n"
              "LanguageName=\"English\"\r\nLanguageFile=\"Snapglass_English.ini\"\r\n"
              "LanguageName=\"Deutsch\"\r\nLanguageFile=\"Snapglass_Deutsch.ini\"\r\n"
              "LanguageName=\"Polski\"\r\nLanguageFile=\"Snapglass_Polski.ini\"\r\n"
              "LanguageDefault=\"Polski\"\r\n");
    EXPECT_FALSE(Frm->Modified);

    // The main window works on the copy now, and says where it is.
    EXPECT_EQ(Frm->CataloguePath(), copy + "Languages.ini");
    EXPECT_EQ(Frm->TranslationPath, polski);
    EXPECT_EQ(ListedPath(Frm->LisTranslations, "Polski"), PathToQt(polski));
    EXPECT_EQ(ListedPath(Frm->LisTranslations, "Deutsch"),
              PathToQt(Installed + "Snapglass_Deutsch.ini"));
    EXPECT_EQ(Frm->windowTitle(),
              "Brightmoor Wordlark - Snapglass_Polski.ini - your copy in " + PathToQt(copy));
    TElidedLabel* place = Frm->UserCopy().LblUserCopy;
    EXPECT_TRUE(place->isVisible());
    EXPECT_EQ(place->parentWidget(), Frm->StbStatus);
    EXPECT_EQ(place->text(), "Your copy: " + PathToQt(copy));
    EXPECT_TRUE(Frm->StatusText().startsWith("Saved Snapglass_Polski.ini and Languages.ini in " +
                                             PathToQt(copy) + "; problems left: "))
        << Frm->StatusText().toStdString();
    const TWorkbenchChoices choices = Choices();
    EXPECT_EQ(choices.Master(polski), Installed + "Snapglass_Deutsch.ini");
    EXPECT_EQ(choices.ShowAs(polski), TEncoding::Windows1250);
    ASSERT_EQ(choices.PhraseMarks(polski).size(), 1u);
    EXPECT_EQ(choices.PhraseMarks(polski)[0].first, "FrmMain.Caption");

    // Saving again writes the copy without asking.
    TypeAt(4, "x");
    SaveQuietly();
    EXPECT_EQ(TempDir::Read(polski), Frm->MemTranslation->Bytes());

    // "Prepare to send" sends the copy's two files, and copies them.
    const std::vector<std::string> sent = {polski, copy + "Languages.ini"};
    {
        ModalAnswers answers;
        answers.Then([&](QWidget* dialog) {
            auto* send = static_cast<TFrmSend*>(dialog);
            EXPECT_EQ(send->Files(), sent);
            EXPECT_EQ(send->LblFileOne->text(), PathToQt(polski));
            send->BtnGenerate->click();
        });
        Frm->BtnSend->click();
        ASSERT_EQ(answers.Pending(), 0u);
    }
    const TMapiCall* mail = nullptr;
    for (const TMapiCall& call : CurrentFake()->Mail.Calls)
        if (call.Function == "MAPISendMail")
            mail = &call;
    ASSERT_NE(mail, nullptr);
    ASSERT_EQ(mail->Message->Files.size(), 2u);
    EXPECT_EQ(mail->Message->Files[0].PathName, polski);
    EXPECT_EQ(mail->Message->Files[1].PathName, copy + "Languages.ini");
    {
        Windows.FrmSend->OpdSelectTargetPath()->setOption(QFileDialog::DontUseNativeDialog);
        fs::create_directories(Dir / "Out");
        ModalAnswers answers;
        answers.Then([](QWidget* dialog) { ClickNamedButton(dialog, "BtnSendManually"); })
            .Then(ChooseFile(Dir / "Out"));
        Frm->BtnSend->click();
        ASSERT_EQ(answers.Pending(), 0u);
    }
    EXPECT_EQ(TempDir::Read(Dir / "Out/Snapglass_Polski.ini"), TempDir::Read(polski));
    EXPECT_EQ(TempDir::Read(Dir / "Out/Languages.ini"), TempDir::Read(copy + "Languages.ini"));

    // Nothing was written into the installation folder.
    EXPECT_EQ(Files(Installed), InstalledFiles);
    Frm->Modified = false;

    // The next start: opening the installed catalogue again offers the copy,
    // saying when it was last saved.
    Start();
    Show();
    {
        ModalAnswers answers;
        Browse(Catalogue, answers, "BtnContinueCopy");
        ASSERT_EQ(answers.Seen().size(), 2u);
        const SeenDialog& seen = answers.Seen()[1];
        EXPECT_EQ(seen.Text, "You have your own copy of this translation in " + PathToQt(copy) +
                                 ", last saved " + LastSaved() +
                                 ". Continue with your copy, or use the installed files?");
        EXPECT_TRUE(seen.Buttons.contains("BtnContinueCopy=Continue"))
            << seen.Buttons.join(", ").toStdString();
        EXPECT_TRUE(seen.Buttons.contains("BtnUseInstalled=Use the installed files"))
            << seen.Buttons.join(", ").toStdString();
    }
    EXPECT_EQ(Frm->CataloguePath(), copy + "Languages.ini");
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"English", "Deutsch", "Polski"}));
    EXPECT_EQ(ListedPath(Frm->LisTranslations, "English"),
              PathToQt(Installed + "Snapglass_English.ini"));
    SelectTranslation("Polski");
    Frm->BtnEdit->click();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), TempDir::Read(polski));
    EXPECT_EQ(Frm->MemTranslation->Encoding(), TTextEncoding::Windows1250);
    EXPECT_TRUE(Frm->windowTitle().endsWith(" - your copy in " + PathToQt(copy)));
    // The recent catalogues name the installed one, so that it offers the copy.
    EXPECT_EQ(Choices().RecentCatalogues().front().Path, Catalogue);

    // The installed files instead: the copy stays as it is.
    {
        ModalAnswers answers;
        answers.Click("BtnUseInstalled");
        Frm->MenRecent->actions()[0]->trigger();
        ASSERT_EQ(answers.Seen().size(), 1u);
    }
    EXPECT_EQ(Frm->CataloguePath(), Catalogue);
    EXPECT_EQ(ListNames(Frm->LisTranslations), QStringList({"English", "Deutsch"}));
    EXPECT_FALSE(Frm->UserCopy().LblUserCopy->isVisible());
    EXPECT_EQ(Frm->windowTitle(), "Brightmoor Wordlark");
    EXPECT_EQ(Files(Installed), InstalledFiles);
}

INSTANTIATE_TEST_SUITE_P(, UserCopyProtectionTest,
                         ::testing::Values(TProtection::Folder, TProtection::Hook),
                         [](const ::testing::TestParamInfo<TProtection>& info) {
                             return info.param == TProtection::Folder ? "ProtectedFolder"
                                                                      : "RefusingHook";
                         });

// Cancel keeps the old way: the failure is told, nothing is made.
TEST_F(UserCopyTest, CancelReportsTheFailureAndMakesNoCopy) {
    ASSERT_NO_FATAL_FAILURE(StartProtected());
    {
        ModalAnswers answers;
        Browse(Catalogue, answers);
    }
    SelectTranslation("Deutsch");
    Frm->BtnEdit->click();
    TypeAt(3, "x");
    ModalAnswers answers;
    answers.Click("Cancel").Click("OK");
    Frm->BtnSave->click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_TRUE(answers.Seen()[1].Text.contains(std::strerror(EACCES)))
        << answers.Seen()[1].Text.toStdString();
    EXPECT_TRUE(Frm->Modified);
    EXPECT_EQ(Frm->StatusText(), "Saving failed!");
    EXPECT_FALSE(fs::exists(Frm->DataFolder() + "Translations"));
    EXPECT_EQ(Frm->CataloguePath(), Catalogue);
    EXPECT_EQ(Files(Installed), InstalledFiles);
}

// Opened by Browse, the copy's own catalogue is worked on as the copy, and an
// installed translation edited on the copy is saved into it.
TEST_F(UserCopyTest, TheCopysCatalogueOpensAsTheCopyAndKeepsInstalledFilesUntouched) {
    ASSERT_NO_FATAL_FAILURE(StartProtected());
    {
        ModalAnswers answers;
        Browse(Catalogue, answers);
        SelectTranslation("Deutsch");
        Frm->BtnEdit->click();
        TypeAt(0, "; ");
        answers.Click("BtnSaveInOwnFolder");
        Frm->BtnSave->click();
        ASSERT_EQ(answers.Pending(), 0u);
    }
    const std::string copy = CopyFolder();
    EXPECT_EQ(TempDir::Read(copy + "Snapglass_Deutsch.ini"),
              "; " + InstalledFiles["Snapglass_Deutsch.ini"]);

    Start();
    Show();
    {
        ModalAnswers answers;
        Browse(copy + "Languages.ini", answers);
        ASSERT_EQ(answers.Seen().size(), 1u) << "no question for the copy's own catalogue";
    }
    EXPECT_EQ(Frm->CataloguePath(), copy + "Languages.ini");
    EXPECT_EQ(ListedPath(Frm->LisTranslations, "Deutsch"),
              PathToQt(copy + "Snapglass_Deutsch.ini"));
    // English is read from the installation, and saved into the copy.
    SelectTranslation("English");
    Frm->BtnEdit->click();
    EXPECT_EQ(Frm->TranslationPath, Installed + "Snapglass_English.ini");
    TypeAt(0, "; ");
    SaveQuietly();
    EXPECT_EQ(Frm->TranslationPath, copy + "Snapglass_English.ini");
    EXPECT_EQ(TempDir::Read(copy + "Snapglass_English.ini"),
              "; " + InstalledFiles["Snapglass_English.ini"]);
    EXPECT_EQ(ListedPath(Frm->LisTranslations, "English"),
              PathToQt(copy + "Snapglass_English.ini"));
    EXPECT_EQ(Files(Installed), InstalledFiles);
    // The recent catalogues name the installed catalogue.
    EXPECT_EQ(Choices().RecentCatalogues().front().Path, Catalogue);
}

// What the user sees while working on the copy: the title and the status line
// say where it is. With WORDLARK_SCREENSHOT_DIR set, the picture is kept there
// (run under Xvfb with QT_QPA_PLATFORM=xcb for docs/).
TEST_F(UserCopyTest, TheWindowOnTheUsersCopyAsTheUserSeesIt) {
    InstallProgramFiles();
    ASSERT_NO_FATAL_FAILURE(StartProtected());
    Frm->resize(760, 604);
    {
        ModalAnswers answers;
        Browse(Catalogue, answers);
    }
    Frm->SetProgramName("Snapglass");
    Add("English", "Polski");
    const char* const phrases[][2] = {{"\"File\"", "\"Plik\""},
                                      {"\"Open picture...\"", "\"Otwórz obraz...\""},
                                      {"\"Save picture\"", "\"Zapisz obraz\""}};
    QString text = Frm->MemTranslation->text();
    for (const auto& [from, to] : phrases)
        text.replace(QString::fromUtf8(from), QString::fromUtf8(to));
    Frm->MemTranslation->selectAll();
    Frm->MemTranslation->replaceSelectedText(text);
    Frm->MemTranslation->setCursorPosition(5, 12);
    {
        ModalAnswers answers;
        answers.Click("BtnSaveInOwnFolder");
        Frm->BtnSave->click();
        ASSERT_EQ(answers.Pending(), 0u);
    }
    QApplication::processEvents();
    EXPECT_TRUE(Frm->windowTitle().contains(" - your copy in "))
        << Frm->windowTitle().toStdString();
    EXPECT_TRUE(Frm->UserCopy().LblUserCopy->isVisible());
    EXPECT_TRUE(Frm->Workbench()->LblProgress->isVisible());
    const QString folder = ScreenshotFolder();
    if (!folder.isEmpty()) {
        EXPECT_TRUE(WithCaption(Frm->grab(), Frm->windowTitle(), Frm->font())
                        .save(folder + "/user-copy.png"));
    }
}

} // namespace
