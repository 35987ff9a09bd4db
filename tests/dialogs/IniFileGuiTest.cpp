// The settings-file viewer, opened from the main window's "..." button as a user
// opens it: what it shows, and the bytes Save, Cancel and Delete leave on disk.
#include "dialogs/FrmIniFile.h"
#include "editor/SynEditor.h"
#include "texts/TextsFixture.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// One key press per character, the character as the event's text, as a
// keyboard delivers it.
void Type(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

class IniFileTest : public TextsFixture {
protected:
    // The program with a translation open whose program has the settings file
    // `bytes` (written unless null), as the wizard hands them over.
    void StartWithSettings(const char* bytes, const std::string& name = "roaming/App/App.ini") {
        InstallDemo();
        Start();
        Show();
        SettingsFile = Dir / name;
        if (bytes)
            Dir.Write(name, bytes);
        Frm->OpenTranslation(Dir / "Snapglass/Snapglass_English.ini", SettingsFile);
        Viewer = Windows.FrmIniFile;
    }

    // Clicks "..." and runs `inViewer` inside the shown viewer; further
    // answers (message boxes) are taken from `answers`.
    void OpenViewer(ModalAnswers& answers, std::function<void(TFrmIniFile*)> inViewer) {
        Shown = false;
        answers.Then([this, inViewer](QWidget* dialog) {
            Shown = true;
            ASSERT_EQ(dialog, Viewer);
            inViewer(Viewer);
            if (Viewer->isVisible())
                Viewer->BtnCancel->click();
        });
        Frm->BtnIniFile->click();
    }

    std::string Disk() const { return TempDir::Read(SettingsFile); }
    // The viewer's text as Qt text, what the user sees.
    QString Shown_() const { return Viewer->MemIniFile->text(); }

    std::string SettingsFile;
    TFrmIniFile* Viewer = nullptr;
    bool Shown = false;
};

// Files opened and saved without an edit: the same bytes, but for every lone
// CR or LF, which becomes CR LF.
TEST_F(IniFileTest, AnUneditedSaveWritesTheBytesBackWithCrLfLineBreaks) {
    struct Case {
        const char* What;
        std::string Bytes;
        std::string Saved;
        QString Seen; // part of what the viewer shows
    };
    const Case cases[] = {
        {"UTF-8 with no-break space, line separator and NUL",
         "a=\"x\xC2\xA0y\"\r\nb=\"1\xE2\x80\xA8"
         "2\"\r\nc=\"\0\"\r\n"s,
         "a=\"x\xC2\xA0y\"\r\nb=\"1\xE2\x80\xA8"
         "2\"\r\nc=\"\0\"\r\n"s,
         QString::fromUtf8("x\u00A0y\"\r\nb=\"1\u2028"
                           "2")},
        {"Windows-1252 with a lone A0 and the euro sign",
         "a=\"x\xA0y\"\r\ne=\"\x80\"\r\nn=\"\0\"\r\n"s,
         "a=\"x\xA0y\"\r\ne=\"\x80\"\r\nn=\"\0\"\r\n"s,
         QString::fromUtf8("x\u00A0y\"\r\ne=\"\u20AC")},
        {"LF and CR line breaks", "[S]\nk=1\rl=2\r\n\n", "[S]\r\nk=1\r\nl=2\r\n\r\n", "k=1\r\nl=2"},
        {"no break after the last line", "k=1\nl=2", "k=1\r\nl=2", "k=1"},
        {"LF CR is two breaks", "k=1\n\rl=2\r", "k=1\r\n\r\nl=2\r\n", "l=2"},
        {"empty file", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Dir.Write("roaming/App/App.ini", c.Bytes);
        if (!Frm) {
            StartWithSettings(nullptr);
        }
        ModalAnswers answers;
        OpenViewer(answers, [&](TFrmIniFile* viewer) {
            EXPECT_TRUE(Shown_().contains(c.Seen)) << Shown_().toStdString();
            viewer->BtnSave->click();
            EXPECT_FALSE(viewer->isVisible());
        });
        EXPECT_TRUE(Shown);
        EXPECT_EQ(Disk(), c.Saved);
    }
}

// Typed text is stored in the encoding the file was shown in; a character
// that encoding cannot hold is refused with a message, never stored as "?".
TEST_F(IniFileTest, AnEditedSaveStoresTheTypingInTheFilesEncoding) {
    struct Case {
        const char* What;
        std::string Bytes;
        std::string Saved;
        size_t Refused;
    };
    const Case cases[] = {
        {"UTF-8 file", "k=\"\xC3\xA4\"\n", "\xCE\xA9\xC3\xA9k=\"\xC3\xA4\"\r\n", 0},
        {"Windows-1252 file", "k=\"\xE4\"\n", "\xE9k=\"\xE4\"\r\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Dir.Write("roaming/App/App.ini", c.Bytes);
        if (!Frm)
            StartWithSettings(nullptr);
        ModalAnswers answers;
        OpenViewer(answers, [&](TFrmIniFile* viewer) {
            for (size_t i = 0; i < c.Refused; ++i)
                answers.Click("OK");
            Type(viewer->MemIniFile, QString::fromUtf8("Ωé"));
            viewer->BtnSave->click();
        });
        ASSERT_EQ(answers.Seen().size(), 1 + c.Refused);
        if (c.Refused) {
            EXPECT_TRUE(answers.Seen()[1].Text.contains(QString::fromUtf8("'Ω' (U+03A9)")))
                << answers.Seen()[1].Text.toStdString();
        }
        EXPECT_EQ(Disk(), c.Saved);
    }
}

TEST_F(IniFileTest, CancelWritesNothingAndTheNextOpeningShowsTheFileAgain) {
    StartWithSettings("k=1\n");
    ModalAnswers answers;
    OpenViewer(answers, [&](TFrmIniFile* viewer) {
        QTest::keyClicks(viewer->MemIniFile, "typed");
        viewer->BtnCancel->click();
    });
    EXPECT_EQ(Disk(), "k=1\n");
    OpenViewer(answers, [&](TFrmIniFile*) { EXPECT_EQ(Shown_(), "k=1\r\n"); });
    EXPECT_TRUE(Shown);
    EXPECT_EQ(Disk(), "k=1\n");
}

TEST_F(IniFileTest, ASaveThatFailsIsShownAndKeepsTheViewerOpenWithTheEdit) {
    StartWithSettings("k=1\n");
    fs::permissions(SettingsFile, fs::perms::owner_read | fs::perms::group_read);
    ModalAnswers answers;
    bool openAfter = false;
    QString textAfter;
    OpenViewer(answers, [&](TFrmIniFile* viewer) {
        answers.Click("OK");
        QTest::keyClicks(viewer->MemIniFile, "x");
        viewer->BtnSave->click();
        openAfter = viewer->isVisible();
        textAfter = Shown_();
    });
    ASSERT_EQ(answers.Seen().size(), 2u);
    EXPECT_TRUE(answers.Seen()[1].Text.contains("Cannot create file"))
        << answers.Seen()[1].Text.toStdString();
    EXPECT_TRUE(openAfter);
    EXPECT_EQ(textAfter, "xk=1\r\n");
    EXPECT_EQ(Disk(), "k=1\n");
}

// Through a link: Save replaces the file it names and keeps the link; Delete
// removes the link and leaves that file alone.
TEST_F(IniFileTest, ALinkIsFollowedBySaveAndRemovedByDelete) {
    const std::string target = Dir.Write("elsewhere/Real.ini", "k=1\n");
    fs::create_directories(Dir / "roaming/App");
    fs::create_symlink(target, Dir / "roaming/App/App.ini");
    StartWithSettings(nullptr);
    ModalAnswers answers;
    OpenViewer(answers, [&](TFrmIniFile* viewer) {
        QTest::keyClicks(viewer->MemIniFile, "x");
        viewer->BtnSave->click();
    });
    EXPECT_TRUE(fs::is_symlink(SettingsFile));
    EXPECT_EQ(TempDir::Read(target), "xk=1\r\n");

    OpenViewer(answers, [&](TFrmIniFile* viewer) { viewer->BtnDelete->click(); });
    EXPECT_FALSE(fs::exists(fs::symlink_status(SettingsFile)));
    EXPECT_EQ(TempDir::Read(target), "xk=1\r\n");
    EXPECT_FALSE(Frm->BtnIniFile->isVisible());
}

TEST_F(IniFileTest, DeleteRemovesTheFileAndHidesTheButton) {
    StartWithSettings("k=1\n");
    ASSERT_TRUE(Frm->BtnIniFile->isVisible());
    ModalAnswers answers;
    bool closed = false;
    OpenViewer(answers, [&](TFrmIniFile* viewer) {
        viewer->BtnDelete->click();
        closed = !viewer->isVisible();
    });
    EXPECT_TRUE(closed);
    EXPECT_FALSE(fs::exists(SettingsFile));
    EXPECT_FALSE(Frm->BtnIniFile->isVisible());
    EXPECT_EQ(Frm->SettingsFilePath, SettingsFile);
    // Without the file the button does nothing.
    Frm->BtnIniFile->click();
    EXPECT_EQ(answers.Seen().size(), 1u);
}

// A delete that fails says why, and the button follows what is on disk.
TEST_F(IniFileTest, AFailedDeleteIsReportedAndTheButtonFollowsTheDisk) {
    struct Case {
        const char* What;
        std::function<void(const std::string&)> Spoil;
        bool FileLeft;
    };
    const Case cases[] = {
        {"read-only file",
         [](const std::string& path) { fs::permissions(path, fs::perms::owner_read); }, true},
        {"a folder took its place",
         [this](const std::string& path) {
             fs::remove(path);
             Dir.Write("roaming/App/App.ini/inside", "x");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        if (!Frm)
            StartWithSettings(nullptr);
        fs::remove_all(SettingsFile);
        Dir.Write("roaming/App/App.ini", "k=1\n");
        Frm->OpenTranslation(Frm->TranslationPath, SettingsFile);
        ModalAnswers answers;
        bool openAfter = false;
        OpenViewer(answers, [&](TFrmIniFile* viewer) {
            answers.Click("OK");
            c.Spoil(SettingsFile);
            viewer->BtnDelete->click();
            openAfter = viewer->isVisible();
        });
        ASSERT_EQ(answers.Seen().size(), 2u);
        EXPECT_TRUE(answers.Seen()[1].Text.startsWith("The settings file could not be deleted."))
            << answers.Seen()[1].Text.toStdString();
        EXPECT_TRUE(answers.Seen()[1].Text.contains("Cannot delete file"));
        EXPECT_TRUE(openAfter);
        EXPECT_EQ(fs::is_regular_file(SettingsFile), c.FileLeft);
        EXPECT_EQ(Frm->BtnIniFile->isVisible(), c.FileLeft);
        if (fs::is_regular_file(SettingsFile))
            fs::permissions(SettingsFile, fs::perms::owner_write, fs::perm_options::add);
    }
}

TEST_F(IniFileTest, AHugeFileIsRefusedWithAMessageInsteadOfShown) {
    StartWithSettings("");
    // Sparse: no 17 MB written to disk.
    fs::resize_file(SettingsFile, TFrmIniFile::MaxFileSize + 1);
    ModalAnswers answers;
    answers.Click("OK");
    Frm->BtnIniFile->click();
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_TRUE(answers.Seen()[0].Text.contains("too large"))
        << answers.Seen()[0].Text.toStdString();
    EXPECT_TRUE(answers.Seen()[0].Text.contains(QString::fromStdString(SettingsFile)));
    EXPECT_EQ(fs::file_size(SettingsFile), uintmax_t(TFrmIniFile::MaxFileSize + 1));

    // Exactly the limit is still a settings file.
    fs::resize_file(SettingsFile, TFrmIniFile::MaxFileSize);
    OpenViewer(answers, [](TFrmIniFile*) {});
    EXPECT_TRUE(Shown);
}

TEST_F(IniFileTest, TheViewerSpeaksTheInterfaceLanguageAndIsTitledWithThePath) {
    InstallProgramFiles();
    WriteSettings({{"LanguageName", "Deutsch"}});
    StartWithSettings("k=1\n");
    ModalAnswers answers;
    OpenViewer(answers, [&](TFrmIniFile* viewer) {
        EXPECT_EQ(viewer->windowTitle(), QString::fromStdString(SettingsFile));
        EXPECT_EQ(viewer->BtnSave->text(), Deutsch("FrmIniFile.BtnSave"));
        EXPECT_EQ(viewer->BtnDelete->text(), Deutsch("FrmIniFile.BtnDelete"));
        EXPECT_EQ(viewer->BtnCancel->text(), Deutsch("FrmIniFile.BtnCancel"));
    });
    EXPECT_TRUE(Shown);
}

} // namespace
