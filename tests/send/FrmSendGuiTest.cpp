// The send dialog, driven by object name through the main window's "Send":
// the files it offers, the copies of "I send them manually" and the e-mail of
// "Generate an E-Mail for me" against a fake mail system.
#include "texts/TextsFixture.h"

#include "editor/SynEditor.h"
#include "send/FrmSend.h"
#include "support/ScopedEnvironment.h"
#include "texts/FontMapping.h"

#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <thread>

using namespace smapi;
namespace fs = std::filesystem;

namespace {

class SendTest : public TextsFixture {
protected:
    void SetUp() override {
        InstallProgramFiles();
        Catalogue = InstallDemo();
        Translation = Dir / "Snapglass/Snapglass_Deutsch.ini";
        Start();
        Send = Windows.FrmSend;
        ASSERT_NE(Send, nullptr);
        Send->OpdSelectTargetPath()->setOption(QFileDialog::DontUseNativeDialog);
        Show();
        ModalAnswers answers;
        answers.Then(ChooseFile(Catalogue));
        Frm->BtnSelectInitFile->click();
        SelectTranslation("Deutsch");
        Frm->BtnEdit->click();
        ASSERT_EQ(Frm->TranslationPath, Translation);
    }
    void TearDown() override {
        Send->hide();
        EXPECT_EQ(Mapi().OutstandingBuffers(), 0u);
    }

    static TFakeMapi& Mapi() { return CurrentFake()->Mail; }
    static std::vector<ShellRequest>& Requests() { return CurrentFake()->ShellRequests; }

    // Shows the dialog without waiting in it, so that the test clicks its
    // buttons itself.
    void ShowSend() {
        Send->show();
        QApplication::processEvents();
        Requests().clear();
    }

    // Presses "Send" and hands the dialog to `inside` while it is shown.
    void PressSend(const std::function<void(TFrmSend*)>& inside, QAction* menu = nullptr) {
        ModalAnswers answers;
        bool seen = false;
        answers.Then([&](QWidget* dialog) {
            seen = true;
            EXPECT_EQ(dialog, Send);
            inside(Send);
            if (Send->isVisible())
                Send->reject();
        });
        if (menu)
            menu->trigger();
        else
            Frm->BtnSend->click();
        EXPECT_TRUE(seen) << "the send dialog was not shown";
    }

    std::string Catalogue, Translation;
    TFrmSend* Send = nullptr;
};

TEST_F(SendTest, SendSavesFirstAndShowsBothFilesAndTheRecipient) {
    QTest::keyClicks(Frm->MemTranslation, "edited ");
    const std::string edited = Frm->MemTranslation->Bytes();
    PressSend([&](TFrmSend* send) {
        // Both files on disk hold the current work before they are offered.
        EXPECT_EQ(TempDir::Read(Translation), edited);
        EXPECT_FALSE(Frm->Modified);
        EXPECT_EQ(send->objectName(), "FrmSend");
        EXPECT_EQ(send->windowTitle(), "Send in translation");
        EXPECT_EQ(send->LblFileOne->text(), PathToQt(Translation));
        EXPECT_EQ(send->LblFileOne->toolTip(), PathToQt(Translation));
        EXPECT_EQ(send->LblFileTwo->text(), PathToQt(Catalogue));
        EXPECT_EQ(send->LblFileTwo->toolTip(), PathToQt(Catalogue));
        EXPECT_EQ(send->EdtRecipient->text(), "translations@brightmoor.example");
        EXPECT_TRUE(send->EdtRecipient->isReadOnly());
        EXPECT_TRUE(send->BtnGenerate->isDefault());
        EXPECT_EQ(send->size(), QSize(584, 362));
    });

    // Every control under its name.
    const std::pair<const char*, const char*> controls[] = {
        {"PnlMain", "QWidget"},
        {"PnlBottom", "QWidget"},
        {"ImgWizard", "QLabel"},
        {"LblStepFourInfo", "QLabel"},
        {"LblInfo", "QLabel"},
        {"LblFiles", "QLabel"},
        {"LblFileOne", "QLabel"},
        {"LblFileTwo", "QLabel"},
        {"BtnOpen", "QPushButton"},
        {"LblRecipient", "QLabel"},
        {"EdtRecipient", "QLineEdit"},
        {"LblChoose", "QLabel"},
        {"BtnSendManually", "QPushButton"},
        {"BtnGenerate", "QPushButton"},
    };
    for (const auto& [name, type] : controls) {
        const auto found = Send->findChildren<QWidget*>(name);
        ASSERT_EQ(found.size(), 1) << name;
        EXPECT_TRUE(found.first()->inherits(type)) << name;
    }

    // Shown again with another translation open: the paths of the moment.
    SelectTranslation("English");
    Frm->BtnEdit->click();
    PressSend(
        [&](TFrmSend* send) {
            EXPECT_EQ(send->LblFileOne->text(), PathToQt(Dir / "Snapglass/Snapglass_English.ini"));
        },
        Frm->MenSend);
}

TEST_F(SendTest, TheDialogSpeaksTheInterfaceLanguageAndTakesTheMainFont) {
    Frm->SelectProgramLanguage("Deutsch");
    QFont font("DejaVu Serif");
    font.setPixelSize(17);
    Frm->ApplyFont(font);
    ShowSend();
    const std::pair<const char*, QString> texts[] = {
        {"FrmSend.Caption", Send->windowTitle()},
        {"FrmSend.LblStepFourInfo", Send->LblStepFourInfo->text()},
        {"FrmSend.LblInfo", Send->LblInfo->text()},
        {"FrmSend.LblFiles", Send->LblFiles->text()},
        {"FrmSend.LblRecipient", Send->LblRecipient->text()},
        {"FrmSend.LblChoose", Send->LblChoose->text()},
        {"FrmSend.BtnSendManually", Send->BtnSendManually->text()},
        {"FrmSend.BtnGenerate", Send->BtnGenerate->text()},
        {"FrmSend.m_aSelectTargetPath", Send->m_aSelectTargetPath},
        {"FrmSend.m_aMMailFailed", Send->m_aMMailFailed},
        {"FrmSend.m_aMCopyFailed", Send->m_aMCopyFailed},
        {"FrmSend.m_aStatusMailPending", Send->m_aStatusMailPending},
        {"FrmSend.m_aStatusMailFailed", Send->m_aStatusMailFailed},
    };
    for (const auto& [key, shown] : texts)
        EXPECT_EQ(shown, Deutsch(key)) << key;

    const int size = FontSize(Frm->font(), Frm->logicalDpiY());
    EXPECT_EQ(Send->font().family(), "DejaVu Serif");
    EXPECT_EQ(Send->font().pointSize(), size);
    for (QLabel* label : {Send->LblStepFourInfo, Send->LblFileOne, Send->LblFileTwo}) {
        EXPECT_EQ(label->font().family(), "DejaVu Serif") << label->objectName().toStdString();
        EXPECT_EQ(label->font().pointSize(), size) << label->objectName().toStdString();
    }
    EXPECT_TRUE(Send->LblStepFourInfo->font().bold());

    // Back in English the next time it is shown.
    Send->hide();
    Frm->SelectProgramLanguage("English");
    ShowSend();
    EXPECT_EQ(Send->windowTitle(), "Send in translation");
    EXPECT_EQ(Send->m_aSelectTargetPath, "Select target folder");
}

TEST_F(SendTest, TheLabelsAndTheOpenButtonHandFilesAndFolderToTheShell) {
    ShowSend();
    QTest::mouseClick(Send->LblFileOne, Qt::LeftButton);
    QTest::mouseClick(Send->LblFileTwo, Qt::LeftButton);
    Send->BtnOpen->click();
    const std::vector<ShellRequest> expected = {
        {"document", Translation, {}},
        {"document", Catalogue, {}},
        {"folder", Dir / "Snapglass", {}},
    };
    EXPECT_EQ(Requests(), expected);

    // Gone meanwhile: nothing happens.
    Requests().clear();
    fs::remove(Translation);
    QTest::mouseClick(Send->LblFileOne, Qt::LeftButton);
    QTest::mouseClick(Send->LblFileOne, Qt::RightButton);
    fs::rename(Dir / "Snapglass", Dir / "Moved");
    QTest::mouseClick(Send->LblFileTwo, Qt::LeftButton);
    Send->BtnOpen->click();
    EXPECT_TRUE(Requests().empty());
}

// "I send them manually": the folder browser answered with a folder, then the
// copies and the folder opened.
TEST_F(SendTest, SendingManuallyCopiesBothFilesByteForByte) {
    const std::string translationBytes = TempDir::Read(Translation);
    const std::string catalogueBytes = TempDir::Read(Catalogue);
    fs::create_directory_symlink(Dir / "Snapglass", Dir / "link");
    struct Case {
        const char* Name;
        std::string Folder;
        std::function<void(const std::string&)> Before;
    };
    const Case cases[] = {
        {"a new folder", Dir / "Out", [](const std::string& f) { fs::create_directories(f); }},
        {"older, longer copies", Dir / "Out",
         [&](const std::string& f) {
             std::ofstream(f + "/Snapglass_Deutsch.ini") << std::string(50000, 'o');
             std::ofstream(f + "/Languages.ini") << std::string(50000, 'o');
         }},
        {"the files' own folder", Dir / "Snapglass", [](const std::string&) {}},
        {"the own folder through a link", Dir / "link", [](const std::string&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Before(c.Folder);
        ShowSend();
        ModalAnswers answers;
        QString title, name;
        answers.Then([&](QWidget* dialog) {
            title = dialog->windowTitle();
            name = dialog->objectName();
            ChooseFile(c.Folder)(dialog);
        });
        Send->BtnSendManually->click();
        ASSERT_EQ(answers.Pending(), 0u);
        EXPECT_EQ(name, "OpdSelectTargetPath");
        EXPECT_EQ(title, "Select target folder");
        EXPECT_EQ(TempDir::Read(c.Folder + "/Snapglass_Deutsch.ini"), translationBytes);
        EXPECT_EQ(TempDir::Read(c.Folder + "/Languages.ini"), catalogueBytes);
        EXPECT_EQ(TempDir::Read(Translation), translationBytes);
        EXPECT_EQ(TempDir::Read(Catalogue), catalogueBytes);
        EXPECT_EQ(Requests(), std::vector<ShellRequest>({{"folder", c.Folder + "/", {}}}));
        EXPECT_EQ(Frm->StatusText(),
                  "Copied Snapglass_Deutsch.ini, Languages.ini to " + PathToQt(c.Folder) + "/");
        EXPECT_FALSE(Send->isVisible());
        EXPECT_EQ(Send->result(), QDialog::Accepted);
    }
}

TEST_F(SendTest, AFailedCopyIsToldAndNothingIsOpened) {
    const std::string old = Dir.Write("Out/Languages.ini", "an older, read-only copy");
    fs::permissions(old, fs::perms::owner_read | fs::perms::group_read);
    ShowSend();
    ModalAnswers answers;
    answers.Then(ChooseFile(Dir / "Out")).Click("OK");
    Send->BtnSendManually->click();
    ASSERT_EQ(answers.Seen().size(), 2u);
    const SeenDialog& box = answers.Seen()[1];
    EXPECT_TRUE(box.Text.startsWith("The files could not be copied:\n")) << box.Text.toStdString();
    EXPECT_TRUE(box.Text.contains(PathToQt(old))) << box.Text.toStdString();
    EXPECT_EQ(box.Title, "Error");
    EXPECT_EQ(TempDir::Read(old), "an older, read-only copy");
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(Send->isVisible());
    fs::permissions(old, fs::perms::owner_all);

    // Cancelling the folder browser copies nothing and keeps the dialog.
    fs::remove_all(Dir / "Out");
    answers.Then([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    Send->BtnSendManually->click();
    EXPECT_FALSE(fs::exists(Dir / "Out"));
    EXPECT_TRUE(Requests().empty());
    EXPECT_TRUE(Send->isVisible());
}

TEST_F(SendTest, GenerateHandsThePreparedMailToTheMailSystem) {
    // The profile "Test" is not there, as is usual.
    Mapi().Script("MAPILogon", {MAPI_E_LOGON_FAILURE});
    ShowSend();
    Send->BtnGenerate->click();
    EXPECT_EQ(Mapi().Functions(),
              (std::vector<std::string>{"MAPILogon", "MAPILogon", "MAPIResolveName", "MAPISendMail",
                                        "MAPIFreeBuffer", "MAPILogoff"}));
    const TMapiCall& logon = Mapi().Calls[0];
    EXPECT_EQ(logon.Profile, "Test");
    EXPECT_EQ(logon.Flags, MAPI_NEW_SESSION);
    EXPECT_EQ(Mapi().Calls[2].Name, "translations@brightmoor.example");
    const TMapiCall& send = Mapi().Calls[3];
    EXPECT_EQ(send.Flags, MAPI_DIALOG);
    TMessageCopy expected;
    expected.Subject = "Translation of Snapglass_Deutsch.ini";
    expected.NoteText = "Machine generated E-Mail of Brightmoor Wordlark 1.700";
    expected.Flags = MAPI_RECEIPT_REQUESTED;
    expected.Recips = {{MAPI_TO, "translations@brightmoor.example",
                        "SMTP:translations@brightmoor.example",
                        "EID:translations@brightmoor.example"}};
    expected.RecipsNull = false;
    // Whole names: the dialog does not shorten them.
    expected.Files = {{0, 0xFFFFFFFF, Translation, "Snapglass_Deutsch.ini"},
                      {0, 0xFFFFFFFF, Catalogue, "Languages.ini"}};
    expected.FilesNull = false;
    EXPECT_EQ(send.Message, expected);
    EXPECT_EQ(Mapi().Calls[5].Session, send.Session);
    EXPECT_EQ(Frm->StatusText(), "Handed Snapglass_Deutsch.ini, Languages.ini to the mail program");
    EXPECT_FALSE(Send->isVisible());
    EXPECT_EQ(Send->result(), QDialog::Accepted);
}

// What the mail system answers, and whether the user hears of it; a failure
// keeps the dialog open for the manual way.
TEST_F(SendTest, MailFailuresAreToldAndKeepTheDialogOpen) {
    using State = platform::THandOff::TState;
    using Reason = platform::THandOff::TReason;
    struct Case {
        const char* Name;
        std::function<void(TFakeMapi&)> Script;
        QString Told; // empty: nothing is told and the dialog closes
    };
    const QString failed =
        "The E-Mail could not be generated. You can still send the files manually.";
    const Case cases[] = {
        {"the mail system fails", [](TFakeMapi& f) { f.Script("MAPISendMail", {MAPI_E_FAILURE}); },
         failed + " (MAPI 2)"},
        {"an attachment cannot be opened",
         [](TFakeMapi& f) { f.Script("MAPISendMail", {MAPI_E_ATTACHMENT_OPEN_FAILURE}); },
         failed + " (MAPI 12)"},
        {"the logon is refused",
         [](TFakeMapi& f) {
             f.Script("MAPILogon", {2, 2, 2, 2});
         },
         failed + " (MAPI 3)"},
        {"the user cancels the compose window",
         [](TFakeMapi& f) { f.Script("MAPISendMail", {MAPI_E_USER_ABORT}); }, ""},
        {"the user cancels the logon prompt twice",
         [](TFakeMapi& f) {
             f.Script("MAPILogon", {2, MAPI_E_USER_ABORT, 2, MAPI_E_USER_ABORT});
         },
         ""},
        {"no mail system", [](TFakeMapi& f) { f.Available = false; },
         "MAPI services are not available on this system"},
        // Where a tool of the desktop takes the message, its reason and no code.
        {"no mail program is set up",
         [](TFakeMapi& f) {
             f.Script("MAPISendMail", {MAPI_E_FAILURE});
             CurrentFake()->MailHandOff = {State::Failed, Reason::NoHandler, 3, {}};
         },
         failed + "\n\nNo mail program is set up on this computer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Mapi().Available = true;
        CurrentFake()->MailHandOff.reset();
        c.Script(Mapi());
        ShowSend();
        ModalAnswers answers;
        answers.Click("OK");
        Send->BtnGenerate->click();
        if (c.Told.isEmpty()) {
            EXPECT_TRUE(answers.Seen().empty());
            EXPECT_FALSE(Send->isVisible());
        } else {
            ASSERT_EQ(answers.Seen().size(), 1u);
            EXPECT_EQ(answers.Seen()[0].Text, c.Told);
            EXPECT_TRUE(Send->isVisible());
        }
        EXPECT_EQ(Send->EmlMail->Session(), 0u);
    }
}

// The whole way with the platform's own mail provider and a stand-in for
// xdg-email that finds no mail program only after the wait, as xdg-email
// does on a computer without one.
TEST_F(SendTest, NoMailProgramFoundAfterTheWaitIsTold) {
    TempDir tools;
    fs::permissions(tools.Write("xdg-email", "#!/bin/sh\nsleep 0.6\nexit 3\n"),
                    fs::perms::owner_all);
    ScopedEnvironment path;
    path.Set("PATH", tools.Path() + ":" + std::getenv("PATH"));
    ShowSend();
    struct NativePlatform {
        std::unique_ptr<platform::Platform> Fake = platform::Install(platform::CreateNative());
        ~NativePlatform() {
            platform::Install(std::move(Fake));
            platform::XdgEmailTimeout = std::chrono::milliseconds(5000);
        }
    } native;
    platform::XdgEmailTimeout = std::chrono::milliseconds(150);

    ModalAnswers answers;
    answers.Click("OK");
    Send->BtnGenerate->click();
    EXPECT_FALSE(Send->isVisible());
    const QString names = "Snapglass_Deutsch.ini, Languages.ini";
    EXPECT_EQ(Frm->StatusText(),
              "Handed " + names + " to the mail program; it is still preparing the message");
    EXPECT_TRUE(answers.Seen().empty());
    for (int i = 0; i < 300 && answers.Seen().empty(); ++i)
        QTest::qWait(10);
    ASSERT_EQ(answers.Seen().size(), 1u);
    EXPECT_EQ(answers.Seen()[0].Text, "The E-Mail could not be generated. You can still send the "
                                      "files manually.\n\nNo mail program is set up on this "
                                      "computer.");
    EXPECT_EQ(Frm->StatusText(), names + " could not be handed to the mail program");
}

// The folder opened after copying, and the files' folder: when the desktop
// cannot open it, now or after the wait, a message gives its path.
TEST_F(SendTest, WhatDoesNotOpenIsToldWithItsPath) {
    using State = platform::THandOff::TState;
    using Reason = platform::THandOff::TReason;
    const platform::THandOff noHandler{State::Failed, Reason::NoHandler, 3, {}};
    const QString told = "It could not be opened. No program on this computer is set up to "
                         "open it.\n\nYou can open it yourself:\n";
    struct Case {
        const char* Name;
        bool Late;
        bool Copies; // through the folder browser of "I send them manually"
        QPushButton* Button;
        std::string Shown;
    };
    fs::create_directories(Dir / "Out");
    const Case cases[] = {
        {"the copies' folder", false, true, Send->BtnSendManually, Dir / "Out/"},
        {"the files' folder, later", true, false, Send->BtnOpen, Dir / "Snapglass"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ShowSend();
        CurrentFake()->OpenResults = {c.Late ? platform::THandOff{State::Running, {}, 0, {}}
                                             : noHandler};
        CurrentFake()->LateEnds.clear();
        ModalAnswers answers;
        if (c.Copies)
            answers.Then(ChooseFile(Dir / "Out"));
        answers.Click("OK");
        c.Button->click();
        ASSERT_EQ(Requests().size(), 1u);
        const size_t boxes = c.Copies ? 1 : 0; // what was seen before the message
        if (c.Late) {
            EXPECT_EQ(answers.Seen().size(), boxes);
            ASSERT_EQ(CurrentFake()->LateEnds.size(), 1u);
            std::thread([&] { CurrentFake()->LateEnds[0](noHandler); }).join();
            for (int i = 0; i < 200 && answers.Seen().size() == boxes; ++i)
                QTest::qWait(10);
        }
        ASSERT_EQ(answers.Seen().size(), boxes + 1);
        EXPECT_EQ(answers.Seen().back().Text, told + PathToQt(c.Shown));
        EXPECT_EQ(answers.Seen().back().Title, "Warning");
    }
}

TEST_F(SendTest, AfterAFailedSaveTheDialogIsNotShown) {
    struct Case {
        const char* Name;
        std::function<void()> Break;
        QString Told;
        bool Offered = false; // the user's own folder is offered first, and declined
    };
    const Case cases[] = {
        {"the translation cannot be written",
         [&] { fs::permissions(Translation, fs::perms::owner_read); }, "", true},
        {"the catalogue's folder is gone",
         [&] {
             fs::permissions(Translation, fs::perms::owner_all);
             fs::rename(Dir / "Snapglass", Dir / "Gone");
         },
         "Saving failed!"},
        {"no catalogue open",
         [&] {
             Frm->LoadCatalogue("");
             Frm->SetCataloguePath("");
         },
         "Saving failed!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Break();
        ModalAnswers answers;
        if (c.Offered)
            answers.Click("Cancel");
        QString shown;
        answers.Then([&](QWidget* dialog) {
            shown = dialog->objectName();
            ClickNamedButton(dialog, "OK");
        });
        answers.Then([&](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
        Frm->BtnSend->click();
        EXPECT_NE(shown, "FrmSend");
        ASSERT_EQ(answers.Seen().size(), c.Offered ? 2u : 1u);
        if (!c.Told.isEmpty()) {
            EXPECT_EQ(answers.Seen().back().Text, c.Told);
        }
        EXPECT_EQ(answers.Pending(), 1u);
    }
}

TEST_F(SendTest, AfterADeleteOnlyTheCatalogueIsOffered) {
    SelectTranslation("English");
    ModalAnswers answers;
    answers.Click("Yes");
    Frm->BtnDelete->click();
    ASSERT_TRUE(Frm->MemTranslation->IsEmpty());
    const std::string translationBytes = TempDir::Read(Translation);
    PressSend([&](TFrmSend* send) {
        EXPECT_FALSE(send->LblFileOne->isVisible());
        EXPECT_EQ(send->LblFileOne->text(), "");
        EXPECT_EQ(send->LblFileTwo->text(), PathToQt(Catalogue));
        EXPECT_EQ(send->Files(), std::vector<std::string>{Catalogue});
        send->BtnOpen->click();
        send->BtnGenerate->click();
    });
    EXPECT_EQ(Requests().at(0), (ShellRequest{"folder", Dir / "Snapglass", {}}));
    const TMapiCall& sent = Mapi().Calls.at(2);
    ASSERT_EQ(sent.Function, "MAPISendMail");
    EXPECT_EQ(sent.Message->Subject, "Translation of Languages.ini");
    EXPECT_EQ(sent.Message->Files,
              std::vector<TFileCopy>({{0, 0xFFFFFFFF, Catalogue, "Languages.ini"}}));
    EXPECT_EQ(TempDir::Read(Translation), translationBytes);
}

// What the user sees; with WORDLARK_SCREENSHOT_DIR set the picture is kept
// there (run under Xvfb with QT_QPA_PLATFORM=xcb for docs/).
TEST_F(SendTest, TheDialogAsTheUserSeesIt) {
    ShowSend();
    const QImage image = Send->grab().toImage();
    // The side picture is drawn, and the main panel is white.
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        colours.insert(image.pixel(40, y));
    EXPECT_GT(colours.size(), 20u);
    EXPECT_EQ(image.pixelColor(Send->PnlMain->x() + 400, 90), QColor(Qt::white));
    const QByteArray dir = qgetenv("WORDLARK_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        Send->grab().save(QString::fromLocal8Bit(dir) + "/send-dialog.png");
}

} // namespace
