// No road that loses the translator's work: files changed on disk by another
// program, the same translation in two windows, and unsaved edits kept through
// a crash.
#include "support/WordlarkFixture.h"

#include "editor/SynEditor.h"
#include "initfile/Recovery.h"
#include "platform/FileIO.h"
#include "texts/FileSafety.h"
#include "texts/QtText.h"
#include "texts/RecoveryKeeper.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLockFile>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>

#include <optional>

#ifndef _WIN32
#include <csignal>
#endif

namespace fs = std::filesystem;

namespace {

// A process that is not running: the owner of a window that crashed.
const platform::TProcessIdentity Crashed{99999999, 1};

class SafeWorkTest : public WordlarkFixture {
protected:
    void SetUp() override {
        Catalogue = InstallDemo();
        DeutschPath = Dir / "Snapglass/Snapglass_Deutsch.ini";
        EnglishPath = Dir / "Snapglass/Snapglass_English.ini";
        Deutsch = TempDir::Read(DeutschPath);
        Other = Deutsch + "Extra=\"written by another program\"\r\n";
        TRecoveryKeeper::Delay = 20;
        StartWindow();
    }
    void TearDown() override { TRecoveryKeeper::Delay = 2000; }

    // A new main window (the wizard cancelled) with the demo catalogue.
    void StartWindow() {
        Start();
        Show();
        OpenCatalogueIn(Frm);
    }
    void OpenCatalogueIn(TFrmWordlark* frm) {
        ASSERT_TRUE(frm->LoadCatalogue(Catalogue));
        frm->SetCataloguePath(Catalogue);
    }
    // Another main window of the program, its wizard cancelled and the
    // catalogue open in it.
    TWordlarkWindows SecondWindow() {
        TWordlarkWindows second = CreateWordlarkWindows();
        {
            ModalAnswers wizard;
            wizard.Click("BtnCancel");
            second.FrmWordlark->show();
            QApplication::processEvents();
        }
        OpenCatalogueIn(second.FrmWordlark.get());
        return second;
    }
    void OpenDeutsch() {
        Frm->OpenTranslation(DeutschPath, "");
        ASSERT_EQ(Frm->MemTranslation->Bytes(), Deutsch);
    }

    // One key press per character, the character as the event's text.
    static void Type(TFrmWordlark* frm, const QString& text) {
        for (char32_t c : text.toUcs4()) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                            QString::fromUcs4(&c, 1));
            QApplication::sendEvent(frm->MemTranslation, &press);
        }
    }
    static void Activate(TFrmWordlark* frm) {
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(frm, &activate);
    }
    static void Write(const std::string& path, const std::string& bytes) {
        ASSERT_EQ(platform::ReplaceFileBytes(path, bytes), "");
    }

    // The recovery files in the data folder.
    std::vector<std::string> RecoveryFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(Frm->DataFolder()))
            if (entry.path().extension() == TRecoveryStore::Suffix)
                files.push_back(entry.path().string());
        return files;
    }
    // Waits a while for the recovery writer.
    void WaitForRecoveryFiles(size_t count) {
        for (int i = 0; i < 200 && RecoveryFiles().size() != count; ++i)
            QTest::qWait(10);
    }

    std::string Catalogue, DeutschPath, EnglishPath, Deutsch, Other;
};

// ---- Changes on disk --------------------------------------------------------------

TEST_F(SafeWorkTest, ASaveOverAnotherProgramsChangeAsksFirst) {
    // Without a change on disk the save asks nothing.
    OpenDeutsch();
    Type(Frm, "a");
    {
        ModalAnswers none;
        Frm->BtnSave->click();
        EXPECT_TRUE(none.Seen().empty());
        EXPECT_FALSE(Frm->Modified);
    }

    struct Case {
        const char* button;
        bool overwritten; // the editor's text is on disk afterwards
        bool editorReloaded;
        bool modifiedAfter;
    };
    const Case cases[] = {
        {"Cancel", false, false, true},
        {"BtnOverwrite", true, false, false},
        {"BtnReload", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Write(DeutschPath, Deutsch);
        OpenDeutsch();
        Type(Frm, "x");
        const std::string edited = Frm->MemTranslation->Bytes();
        Write(DeutschPath, Other);
        ModalAnswers answers;
        answers.Click(c.button);
        Frm->BtnSave->click();
        ASSERT_EQ(answers.Pending(), 0u);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains("Snapglass_Deutsch.ini"));
        EXPECT_TRUE(answers.Seen()[0].Text.contains("lost"));
        EXPECT_EQ(answers.Seen()[0].Buttons,
                  QStringList({"BtnOverwrite=Overwrite", "BtnReload=Reload", "Cancel=Cancel"}));
        EXPECT_EQ(TempDir::Read(DeutschPath), c.overwritten ? edited : Other);
        EXPECT_EQ(Frm->MemTranslation->Bytes(), c.editorReloaded ? Other : edited);
        EXPECT_EQ(bool(Frm->Modified), c.modifiedAfter);
    }
}

TEST_F(SafeWorkTest, TheCatalogueChangedOnDiskIsAskedAboutToo) {
    OpenDeutsch();
    Type(Frm, "x");
    const std::string catalogue = TempDir::Read(Catalogue) + "; a note of the maker\r\n";
    Write(Catalogue, catalogue);
    ModalAnswers answers;
    answers.Click("Cancel");
    Frm->BtnSave->click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_TRUE(answers.Seen()[0].Text.contains("Languages.ini"));
    EXPECT_FALSE(answers.Seen()[0].Text.contains("Snapglass_Deutsch.ini"));
    EXPECT_EQ(TempDir::Read(Catalogue), catalogue);
    EXPECT_EQ(TempDir::Read(DeutschPath), Deutsch);
}

TEST_F(SafeWorkTest, ActivationReloadsAnUneditedFileAndSaysSo) {
    OpenDeutsch();
    Write(DeutschPath, Other);
    Activate(Frm);
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Other);
    EXPECT_FALSE(Frm->Modified);
    EXPECT_TRUE(Frm->StatusText().contains("Snapglass_Deutsch.ini"));
    EXPECT_TRUE(Frm->StatusText().contains("reloaded"));
    // Saved afterwards, nothing is asked: what is on disk was read.
    Type(Frm, "y");
    ModalAnswers none;
    Frm->BtnSave->click();
    EXPECT_TRUE(none.Seen().empty());
}

TEST_F(SafeWorkTest, ActivationWithUnsavedEditsOffersToReloadWithoutAsking) {
    OpenDeutsch();
    Type(Frm, "x");
    const std::string edited = Frm->MemTranslation->Bytes();
    Write(DeutschPath, Other);
    ModalAnswers none;
    Activate(Frm);
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);
    EXPECT_TRUE(Frm->Modified);
    QWidget* bar = Frm->findChild<QWidget*>("PnlChangedOnDisk");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisibleTo(Frm));
    EXPECT_TRUE(
        bar->findChild<QLabel*>("LblChangedOnDisk")->text().contains("Snapglass_Deutsch.ini"));
    bar->findChild<QPushButton*>("BtnReloadChanged")->click();
    EXPECT_EQ(Frm->MemTranslation->Bytes(), Other);
    EXPECT_FALSE(Frm->Modified);
    EXPECT_FALSE(bar->isVisibleTo(Frm));
}

TEST_F(SafeWorkTest, AVanishedFileIsReportedAndTheEditorKeepsItsText) {
    OpenDeutsch();
    Type(Frm, "x");
    const std::string edited = Frm->MemTranslation->Bytes();
    fs::remove(DeutschPath);
    Activate(Frm);
    EXPECT_TRUE(Frm->StatusText().contains("no longer on disk"));
    EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);
    EXPECT_TRUE(Frm->Modified);
    // Saving writes it again without a question: nobody's work is there.
    ModalAnswers none;
    Frm->BtnSave->click();
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_EQ(TempDir::Read(DeutschPath), edited);
}

// ---- One file, one window ----------------------------------------------------------

TEST_F(SafeWorkTest, ASecondWindowIsToldTheTranslationIsOpenElsewhere) {
    OpenDeutsch();
    TWordlarkWindows second = SecondWindow();
    TFrmWordlark* other = second.FrmWordlark.get();

    struct Case {
        const char* button;
        bool opened;
        bool readOnly;
    };
    const Case cases[] = {
        {"Cancel", false, false},
        {"BtnOpenReadOnly", true, true},
        {"BtnOpenAnyway", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        other->OpenTranslation(EnglishPath, "");
        ModalAnswers answers;
        answers.Click(c.button);
        EXPECT_EQ(other->OpenTranslation(DeutschPath, ""), c.opened);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains("another Wordlark window"));
        EXPECT_EQ(other->TranslationPath, c.opened ? DeutschPath : EnglishPath);
        EXPECT_EQ(other->MemTranslation->isReadOnly(), c.readOnly);
    }

    // Read-only, the translation is not written from the second window.
    {
        ModalAnswers answers;
        other->OpenTranslation(EnglishPath, "");
        answers.Click("BtnOpenReadOnly").Click("OK");
        other->OpenTranslation(DeutschPath, "");
        other->Modified = true;
        other->BtnSave->click();
        ASSERT_EQ(answers.Seen().size(), 2u);
        EXPECT_TRUE(answers.Seen()[1].Text.contains("read-only"));
        EXPECT_EQ(TempDir::Read(DeutschPath), Deutsch);
    }

    // Another translation is no question, nor this one once the first window
    // has let it go.
    {
        ModalAnswers none;
        EXPECT_TRUE(other->OpenTranslation(EnglishPath, ""));
        Frm->LoadCatalogue(Catalogue);
        EXPECT_TRUE(other->OpenTranslation(DeutschPath, ""));
        EXPECT_FALSE(other->MemTranslation->isReadOnly());
        EXPECT_TRUE(none.Seen().empty());
    }
    other->Modified = false;
    other->hide();
}

TEST_F(SafeWorkTest, ALockWhoseProcessIsGoneIsTakenOverSilently) {
    // The lock file a crashed window left: its process is not running.
    const QString lockPath = PathToQt(TFileSafety::LockPath(Frm->DataFolder(), DeutschPath));
    QByteArray content;
    {
        QLockFile lock(lockPath);
        ASSERT_TRUE(lock.tryLock(0));
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        content = file.readAll();
    }
    ASSERT_TRUE(content.startsWith(QByteArray::number(QCoreApplication::applicationPid())));
    content.replace(0, QByteArray::number(QCoreApplication::applicationPid()).size(),
                    QByteArray::number(static_cast<qint64>(Crashed.Id)));
    Write(PathFromQt(lockPath), content.toStdString());

    ModalAnswers none;
    EXPECT_TRUE(Frm->OpenTranslation(DeutschPath, ""));
    EXPECT_TRUE(none.Seen().empty());
    EXPECT_TRUE(Frm->Safety()->HoldsLock());
    EXPECT_FALSE(Frm->MemTranslation->isReadOnly());
}

// ---- Crash recovery ----------------------------------------------------------------

TEST_F(SafeWorkTest, UnsavedEditsAreKeptAfterAPauseAndGoWithTheSave) {
    OpenDeutsch();
    Type(Frm, "Kaputt");
    // Not on every keystroke: the writer waits for the typing to pause.
    EXPECT_TRUE(Frm->Recovery()->Pending());
    EXPECT_TRUE(RecoveryFiles().empty());
    WaitForRecoveryFiles(1);
    const std::vector<std::string> files = RecoveryFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::optional<TRecoveredWork> work = ParseRecovery(TempDir::Read(files[0]));
    ASSERT_TRUE(work);
    EXPECT_EQ(work->Text, Frm->MemTranslation->Bytes());
    EXPECT_EQ(work->TranslationPath, DeutschPath);
    EXPECT_EQ(work->CataloguePath, Catalogue);
    EXPECT_EQ(work->Entries.size(), 2u);

    // A second window keeps a file of its own.
    TWordlarkWindows second = SecondWindow();
    TFrmWordlark* other = second.FrmWordlark.get();
    other->OpenTranslation(EnglishPath, "");
    Type(other, "Broken");
    WaitForRecoveryFiles(2);
    EXPECT_EQ(RecoveryFiles().size(), 2u);
    other->Modified = false;
    other->hide();
    WaitForRecoveryFiles(1);

    Frm->BtnSave->click();
    EXPECT_TRUE(RecoveryFiles().empty());
    // Discarding the edits at closing removes the file too.
    Type(Frm, "z");
    WaitForRecoveryFiles(1);
    ASSERT_EQ(RecoveryFiles().size(), 1u);
    ModalAnswers answers;
    answers.Click("Yes");
    ASSERT_TRUE(Frm->close());
    EXPECT_TRUE(RecoveryFiles().empty());
}

TEST_F(SafeWorkTest, AfterACrashTheNextStartOffersTheUnsavedEdits) {
    struct Case {
        const char* button;
        bool restored;
        size_t filesLeft;
    };
    const Case cases[] = {
        {"BtnRestore", true, 1},
        {"BtnDiscard", false, 0},
        {"BtnLater", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        for (const std::string& file : RecoveryFiles())
            fs::remove(file);
        // The window's process crashes with unsaved edits kept.
        Frm->Recovery()->SetFolder(Frm->DataFolder(), Crashed);
        OpenDeutsch();
        Type(Frm, "Kaputt");
        const std::string edited = Frm->MemTranslation->Bytes();
        WaitForRecoveryFiles(1);
        ASSERT_EQ(RecoveryFiles().size(), 1u);
        Frm = nullptr;
        Windows = TWordlarkWindows();

        // The next start offers them, naming the file.
        Start();
        ModalAnswers answers;
        answers.Click(c.button);
        if (!c.restored)
            answers.Click("BtnCancel"); // the wizard
        Frm->show();
        QApplication::processEvents();
        ASSERT_EQ(answers.Pending(), 0u);
        EXPECT_TRUE(answers.Seen()[0].Text.contains(PathToQt(DeutschPath)));
        EXPECT_EQ(
            answers.Seen()[0].Buttons,
            QStringList({"BtnRestore=Restore", "BtnDiscard=Discard", "BtnLater=Decide later"}));
        EXPECT_EQ(RecoveryFiles().size(), c.filesLeft);
        EXPECT_EQ(TempDir::Read(DeutschPath), Deutsch);
        if (!c.restored) {
            EXPECT_FALSE(Frm->MemTranslation->IsOpen());
            OpenCatalogueIn(Frm);
            continue;
        }
        // Restored: the editor's bytes as unsaved edits of that translation.
        EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);
        EXPECT_TRUE(Frm->Modified);
        EXPECT_EQ(Frm->TranslationPath, DeutschPath);
        EXPECT_EQ(Frm->CataloguePath(), Catalogue);
        EXPECT_EQ(Frm->LisTranslations->topLevelItemCount(), 2);
        EXPECT_TRUE(Frm->StatusText().contains("Restored"));
        Frm->BtnSave->click();
        EXPECT_EQ(TempDir::Read(DeutschPath), edited);
        EXPECT_TRUE(RecoveryFiles().empty());
        Write(DeutschPath, Deutsch);
    }
}

#ifndef _WIN32
// The real thing: a process of this binary opens the translation, types, waits
// for its recovery file and is killed (SIGKILL); the next start offers the edits.
TEST_F(SafeWorkTest, TheEditsOfAKilledProgramAreOfferedAtTheNextStart) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WORDLARK_CRASH_ROOT", QString::fromStdString(Dir.Path()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_also_run_disabled_tests",
                 "--gtest_filter=SafeWorkChild.DISABLED_TypesAndIsKilled"});
    ASSERT_TRUE(child.waitForFinished(60000));
    ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAll().toStdString();
    const std::string edited = TempDir::Read(Dir / "expected.bin");
    ASSERT_NE(edited, Deutsch);
    ASSERT_EQ(RecoveryFiles().size(), 1u);

    Windows = TWordlarkWindows();
    Start();
    ModalAnswers answers;
    answers.Click("BtnRestore");
    Frm->show();
    QApplication::processEvents();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(Frm->MemTranslation->Bytes(), edited);
    EXPECT_TRUE(Frm->Modified);
    EXPECT_EQ(Frm->TranslationPath, DeutschPath);
    EXPECT_EQ(TempDir::Read(DeutschPath), Deutsch);
}

// The child of the test above; runs only when it starts it.
TEST(SafeWorkChild, DISABLED_TypesAndIsKilled) {
    const char* root = std::getenv("WORDLARK_CRASH_ROOT");
    if (!root)
        GTEST_SKIP();
    const std::string folder = root;
    ScopedFakePlatform fake(folder);
    TRecoveryKeeper::Delay = 20;
    TWordlarkWindows windows = CreateWordlarkWindows();
    TFrmWordlark* frm = windows.FrmWordlark.get();
    {
        ModalAnswers wizard;
        wizard.Click("BtnCancel");
        frm->show();
        QApplication::processEvents();
    }
    ASSERT_TRUE(frm->LoadCatalogue(folder + "Snapglass/Languages.ini"));
    frm->SetCataloguePath(folder + "Snapglass/Languages.ini");
    ASSERT_TRUE(frm->OpenTranslation(folder + "Snapglass/Snapglass_Deutsch.ini", ""));
    for (char32_t c : QString("Kaputt").toUcs4()) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                        QString::fromUcs4(&c, 1));
        QApplication::sendEvent(frm->MemTranslation, &press);
    }
    ASSERT_EQ(platform::ReplaceFileBytes(folder + "expected.bin", frm->MemTranslation->Bytes()),
              "");
    for (int i = 0; i < 500 && !fs::exists(frm->Recovery()->Store()->Path()); ++i)
        QTest::qWait(10);
    std::raise(SIGKILL);
}
#endif

} // namespace
