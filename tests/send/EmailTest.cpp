// TEmail against a fake mail system that records every call.
#include "send/Email.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

using namespace smapi;
namespace fs = std::filesystem;

namespace {

class EmailTest : public ::testing::Test {
protected:
    EmailTest() : Fake(Dir.Path()) {
        Translation = Dir.Write("Snapglass/Snapglass_Deutsch.ini", "A=\"B\"\r\n");
        Catalogue = Dir.Write("Snapglass/Languages.ini", "LanguageName=\"Deutsch\"\r\n");
        Mail = std::make_unique<TEmail>();
        for (auto [event, name] : {std::pair{&Mail->OnBeforeLogon, "BeforeLogon"},
                                   {&Mail->OnAfterLogon, "AfterLogon"},
                                   {&Mail->OnBeforeLogoff, "BeforeLogoff"},
                                   {&Mail->OnAfterLogoff, "AfterLogoff"},
                                   {&Mail->OnBeforeSendMail, "BeforeSendMail"},
                                   {&Mail->OnAfterSendMail, "AfterSendMail"},
                                   {&Mail->OnBeforeSaveMail, "BeforeSaveMail"},
                                   {&Mail->OnAfterSaveMail, "AfterSaveMail"}})
            *event = [this, name = std::string(name)](TEmail&) { Events.push_back(name); };
        Mail->OnMapiError = [this](TEmail&, ULONG code) { Errors.push_back(code); };
    }
    void TearDown() override {
        // Every buffer the mail system handed out came back.
        Mail.reset();
        EXPECT_EQ(Mapi().OutstandingBuffers(), 0u);
        EXPECT_EQ(Mapi().ForeignFrees, 0);
    }

    static TFakeMapi& Mapi() { return CurrentFake()->Mail; }
    static const TMapiCall& Call(const std::string& function, int nth = 0) {
        for (const TMapiCall& call : Mapi().Calls)
            if (call.Function == function && nth-- == 0)
                return call;
        static TMapiCall none;
        ADD_FAILURE() << function << " not called";
        return none;
    }
    static std::vector<std::string> Functions() { return Mapi().Functions(); }

    TempDir Dir;
    ScopedFakePlatform Fake;
    std::string Translation, Catalogue;
    std::unique_ptr<TEmail> Mail;
    std::vector<std::string> Events;
    std::vector<ULONG> Errors;
};

TRecipCopy Resolved(ULONG recipClass, const std::string& name) {
    return {recipClass, name, "SMTP:" + name, "EID:" + name};
}

TFileCopy File(const std::string& path, const std::string& name) {
    return {0, 0xFFFFFFFF, path, name};
}

// The send dialog's road: a profile that is not there, a recipient the mail
// system asks the user about, a session kept open over the send.
TEST_F(EmailTest, TheSendingRoadCallByCall) {
    Mail->SetNewSession(true);
    Mail->TruncAttFN = false;
    Mapi().Script("MAPILogon", {MAPI_E_LOGON_FAILURE});
    Mapi().Script("MAPIResolveName", {MAPI_E_AMBIGUOUS_RECIPIENT});

    Mail->Clear();
    Mail->SetProfile("Test");
    EXPECT_EQ(Mail->Logon(), SUCCESS_SUCCESS);
    const LHANDLE session = Mail->Session();
    Mail->SetSubject("Translation of Snapglass_Deutsch.ini");
    EXPECT_EQ(Mail->SetLongText("Machine generated E-Mail of Brightmoor Wordlark 1.700"), 53u);
    Mail->Recipient = {"translations@brightmoor.example"};
    Mail->Acknowledge = true;
    Mail->Attachment = {Translation, Catalogue};
    Mail->ShowDialog = true;
    EXPECT_EQ(Mail->SendMail(), SUCCESS_SUCCESS);
    EXPECT_EQ(Mail->Logoff(), SUCCESS_SUCCESS);

    EXPECT_EQ(Functions(), (std::vector<std::string>{"MAPILogon", "MAPILogon", "MAPIResolveName",
                                                     "MAPIResolveName", "MAPISendMail",
                                                     "MAPIFreeBuffer", "MAPILogoff"}));
    // The profile first, then the mail system's own choice or prompt.
    EXPECT_EQ(Call("MAPILogon").Profile, "Test");
    EXPECT_EQ(Call("MAPILogon").Password, std::nullopt);
    EXPECT_EQ(Call("MAPILogon").Flags, MAPI_NEW_SESSION);
    EXPECT_EQ(Call("MAPILogon", 1).Profile, std::nullopt);
    EXPECT_EQ(Call("MAPILogon", 1).Flags, MAPI_NEW_SESSION | MAPI_LOGON_UI);
    // An ambiguous name is asked again with the dialog.
    EXPECT_EQ(Call("MAPIResolveName").Flags, 0u);
    EXPECT_EQ(Call("MAPIResolveName", 1).Flags, MAPI_DIALOG);
    EXPECT_EQ(Call("MAPIResolveName", 1).Name, "translations@brightmoor.example");

    TMessageCopy expected;
    expected.Subject = "Translation of Snapglass_Deutsch.ini";
    expected.NoteText = "Machine generated E-Mail of Brightmoor Wordlark 1.700";
    expected.Flags = MAPI_RECEIPT_REQUESTED;
    expected.Recips = {Resolved(MAPI_TO, "translations@brightmoor.example")};
    expected.RecipsNull = false;
    expected.Files = {File(Translation, "Snapglass_Deutsch.ini"), File(Catalogue, "Languages.ini")};
    expected.FilesNull = false;
    EXPECT_EQ(Call("MAPISendMail").Message, expected);
    EXPECT_EQ(Call("MAPISendMail").Flags, MAPI_DIALOG);
    // One session throughout, its handle whole.
    EXPECT_EQ(session, Mapi().NextSession - 1);
    for (const char* function : {"MAPIResolveName", "MAPISendMail", "MAPILogoff"})
        EXPECT_EQ(Call(function).Session, session) << function;
    EXPECT_EQ(Mail->Session(), 0u);

    EXPECT_EQ(Events, (std::vector<std::string>{"BeforeLogon", "AfterLogon", "BeforeSendMail",
                                                "AfterSendMail", "BeforeLogoff", "AfterLogoff"}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(EmailTest, SendingLogsOnAndOffOnlyWhenNoSessionWasOpen) {
    for (const bool open : {false, true}) {
        Mapi().Calls.clear();
        if (open)
            Mail->Logon();
        Mail->Recipient = {"a@b.example"};
        EXPECT_EQ(Mail->SendMail(), SUCCESS_SUCCESS);
        // Either SendMail logs on and off itself, or the Logon above did.
        std::vector<std::string> expected = {"MAPILogon", "MAPIResolveName", "MAPISendMail",
                                             "MAPIFreeBuffer"};
        if (!open)
            expected.push_back("MAPILogoff");
        EXPECT_EQ(Functions(), expected) << open;
        EXPECT_EQ(Mail->Session() != 0, open);
    }
    // Nothing to do without a session.
    Mail->Logoff();
    Mapi().Calls.clear();
    EXPECT_EQ(Mail->Logoff(), SUCCESS_SUCCESS);
    EXPECT_TRUE(Mapi().Calls.empty());
}

TEST_F(EmailTest, RecipientsAreResolvedInClassOrderAndBracketsKeepTheirAddress) {
    // Resolved names: the bracketed address comes back renamed, the bracketed
    // name keeps its brackets, the plain name comes back without an address.
    Mapi().Resolved["[SMTP:a@b.example]"] = {MAPI_TO, "Anna B", "EX:/o=B/cn=anna", "EID-A"};
    Mapi().Resolved["[Team]"] = {MAPI_TO, "[Team] B", "SMTP:team@b.example", "EID-T"};
    Mapi().Resolved["Jo"] = {MAPI_TO, "Jo Smith", std::nullopt, ""};
    Mail->Recipient = {"[SMTP:a@b.example]", ""};
    Mail->CC = {"[Team]"};
    Mail->Bcc = {"Jo"};
    EXPECT_EQ(Mail->SendMail(), SUCCESS_SUCCESS);

    const std::vector<TRecipCopy> expected = {
        {MAPI_TO, "SMTP:a@b.example", "SMTP:a@b.example", ""},
        {MAPI_CC, "[Team] B", "SMTP:team@b.example", "EID-T"},
        {MAPI_BCC, "Jo Smith", "Jo Smith", ""},
    };
    EXPECT_EQ(Call("MAPISendMail").Message->Recips, expected);
    // Empty entries are skipped; resolved entries take the resolved name.
    const std::vector<std::string> functions = Functions();
    EXPECT_EQ(std::count(functions.begin(), functions.end(), "MAPIResolveName"), 3);
    EXPECT_EQ(Mail->Recipient, (std::vector<std::string>{"[SMTP:a@b.example]", ""}));
    EXPECT_EQ(Mail->CC, std::vector<std::string>{"[Team] B"});
    EXPECT_EQ(Mail->Bcc, std::vector<std::string>{"Jo Smith"});
    EXPECT_EQ(Mail->CheckRecipient("[SMTP:a@b.example]"), "[SMTP:a@b.example]");
    EXPECT_EQ(Mail->CheckRecipient("Jo"), "Jo Smith");
}

// Each case sets up a message and the mail system's answers; the send ends
// with the code given, having called the mail system as listed.
TEST_F(EmailTest, FailuresEndTheSendAsTheyShould) {
    struct Case {
        const char* Name;
        std::function<void(TEmail&, TFakeMapi&)> Setup;
        ULONG Code;
        std::vector<std::string> Functions;
        std::vector<ULONG> Errors;
    };
    const std::string missing = Dir / "Snapglass/gone.ini";
    const Case cases[] = {
        {"missing attachment",
         [&](TEmail& m, TFakeMapi&) {
             m.Recipient = {"a@b.example"};
             m.Attachment = {Translation, missing};
         },
         TEmail::ErrNoAttachment,
         {"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPILogoff"},
         {TEmail::ErrNoAttachment}},
        {"logon refused twice",
         [](TEmail& m, TFakeMapi& f) {
             m.Recipient = {"a@b.example"};
             f.Script("MAPILogon", {MAPI_E_FAILURE, MAPI_E_USER_ABORT});
         },
         TEmail::ErrLogon,
         {"MAPILogon", "MAPILogon"},
         {MAPI_E_USER_ABORT, TEmail::ErrLogon}},
        {"unknown recipient",
         [](TEmail& m, TFakeMapi& f) {
             m.Recipient = {"nobody", "a@b.example"};
             f.Script("MAPIResolveName", {MAPI_E_UNKNOWN_RECIPIENT, MAPI_E_UNKNOWN_RECIPIENT});
         },
         SUCCESS_SUCCESS,
         {"MAPILogon", "MAPIResolveName", "MAPIResolveName", "MAPIResolveName", "MAPISendMail",
          "MAPIFreeBuffer", "MAPILogoff"},
         {MAPI_E_UNKNOWN_RECIPIENT}},
        {"mail system fails",
         [](TEmail& m, TFakeMapi& f) {
             m.Recipient = {"a@b.example"};
             f.Script("MAPISendMail", {MAPI_E_FAILURE});
         },
         MAPI_E_FAILURE,
         {"MAPILogon", "MAPIResolveName", "MAPISendMail", "MAPIFreeBuffer", "MAPILogoff"},
         {MAPI_E_FAILURE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Mail->Clear();
        Mapi().Calls.clear();
        Errors.clear();
        c.Setup(*Mail, Mapi());
        EXPECT_EQ(Mail->SendMail(), c.Code);
        EXPECT_EQ(Functions(), c.Functions);
        EXPECT_EQ(Errors, c.Errors);
        EXPECT_EQ(Mail->Session(), 0u);
        EXPECT_EQ(Mapi().OutstandingBuffers(), 0u);
    }
}

TEST_F(EmailTest, AMessageWithoutRecipientsAlwaysShowsTheComposeWindow) {
    Mail->ShowDialog = false;
    Mail->Recipient = {"nobody"};
    Mapi().Script("MAPIResolveName", {MAPI_E_AMBIGUOUS_RECIPIENT, MAPI_E_USER_ABORT});
    EXPECT_EQ(Mail->SendMail(), SUCCESS_SUCCESS);
    const TMapiCall& send = Call("MAPISendMail");
    EXPECT_EQ(send.Flags, MAPI_DIALOG);
    EXPECT_TRUE(send.Message->RecipsNull);
    EXPECT_TRUE(send.Message->FilesNull);
    EXPECT_EQ(send.Message->Subject, std::nullopt);
    EXPECT_EQ(send.Message->NoteText, std::nullopt);

    // With a recipient and without ShowDialog the mail system sends by itself.
    Mail->Recipient = {"a@b.example"};
    Mail->SetText("Short body");
    EXPECT_EQ(Mail->SendMail(), SUCCESS_SUCCESS);
    EXPECT_EQ(Call("MAPISendMail", 1).Flags, 0u);
    EXPECT_EQ(Call("MAPISendMail", 1).Message->NoteText, "Short body");
}

TEST_F(EmailTest, WithoutAMailSystemEveryOperationRaisesBeforeItChangesAnything) {
    Mapi().Available = false;
    Mail->Recipient = {"a@b.example"};
    Mail->SetMessageId("m1");
    EXPECT_FALSE(Mail->MapiAvail());
    const std::pair<const char*, std::function<void()>> operations[] = {
        {"Logon", [&] { Mail->Logon(); }},
        {"Logoff", [&] { Mail->Logoff(); }},
        {"SendMail", [&] { Mail->SendMail(); }},
        {"SaveMail", [&] { Mail->SaveMail(); }},
        {"ReadMail", [&] { Mail->ReadMail(); }},
        {"DeleteMail", [&] { Mail->DeleteMail(); }},
        {"Address", [&] { Mail->Address(); }},
        {"CountUnread", [&] { Mail->CountUnread(); }},
        {"Next", [&] { Mail->GetNextMessageId(); }},
        {"CheckRecipient", [&] { Mail->CheckRecipient("x"); }},
    };
    for (const auto& [name, operation] : operations) {
        try {
            operation();
            ADD_FAILURE() << name << " did not raise";
        } catch (const EMapiUnavailable& error) {
            EXPECT_STREQ(error.what(), "MAPI services are not available on this system") << name;
        }
    }
    EXPECT_TRUE(Mapi().Calls.empty());
    EXPECT_EQ(Mail->Recipient, std::vector<std::string>{"a@b.example"});
    EXPECT_EQ(Mail->MessageId(), "m1");
    EXPECT_TRUE(Events.empty());
}

TEST_F(EmailTest, TextsAreCutAtCharactersAndPathsNever) {
    const std::string e = "\xc3\xa9"; // é in UTF-8
    std::string es, es255;
    for (int i = 0; i < 300; ++i)
        es += e;
    for (int i = 0; i < 255; ++i)
        es255 += e;
    const std::pair<std::string, std::string> cases[] = {
        {std::string(300, 'a'), std::string(255, 'a')},
        {es, es255},                                            // never inside a sequence
        {std::string(254, 'a') + e, std::string(254, 'a') + e}, // 255 characters stay
        {std::string(255, 'a') + e, std::string(255, 'a')},     // the 256th goes whole
        {std::string(300, '\xe9'), std::string(255, '\xe9')},   // Windows-1252: bytes
        {"", ""},
    };
    for (const auto& [given, expected] : cases) {
        Mail->SetSubject(given);
        Mail->SetText(given);
        Mail->SetProfile(given);
        EXPECT_EQ(Mail->Subject(), expected);
        EXPECT_EQ(Mail->Text(), expected);
        EXPECT_EQ(Mail->Profile(), expected);
    }

    // A long path that exists is attached whole, and the long body is sent
    // whole in place of the text.
    std::string folder = "Snapglass";
    while (folder.size() < 300)
        folder += "/a-rather-long-folder-name";
    const std::string deep = Dir.Write(folder + "/Snapglass_Deutsch.ini", "x");
    ASSERT_GT(deep.size(), 300u);
    Mail->Recipient = {"a@b.example"};
    Mail->Attachment = {deep};
    Mail->SetText("short");
    Mail->SetLongText(es.c_str());
    EXPECT_EQ(Mail->Text(), "");
    EXPECT_EQ(Mail->SendMail(), SUCCESS_SUCCESS);
    EXPECT_EQ(Call("MAPISendMail").Message->Files.at(0).PathName, deep);
    EXPECT_EQ(Call("MAPISendMail").Message->NoteText, es);
    EXPECT_EQ(Mail->SetLongText(nullptr), 0u);
    EXPECT_EQ(Mail->GetLongText(), nullptr);
}

TEST_F(EmailTest, AttachmentNamesAreShortenedTowardEightDotThree) {
    const std::pair<const char*, const char*> cases[] = {
        {"Short.ini", "Short.ini"},
        {"Languages.ini", "anguages.ini"},
        {"VeryLongFileName.ini", "FileName.ini"},
        {"ABCDEFGHIJKLMNOP", "EFGHIJKLMNOP"},
        {"Abc.defghijklmnop", "efghijklmnop"},
        {"abcdefghij............x.ini", "x.ini"},
        {"\xc3\x84\xc3\x96\xc3\x9c\xc3\xa4\xc3\xb6\xc3\xbc\xc3\x9f\xc3\x89\xc3\x88"
         "abc.ini",
         "\xc3\xb6\xc3\xbc\xc3\x9f\xc3\x89\xc3\x88"
         "abc.ini"},
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(Mail->TruncAttachmentFN(given), expected) << given;

    // Used for the attachments' names when asked for (the default).
    EXPECT_TRUE(Mail->TruncAttFN);
    Mail->Attachment = {Translation};
    Mail->SendMail();
    EXPECT_EQ(Call("MAPISendMail").Message->Files, std::vector{File(Translation, "_Deutsch.ini")});
}

TEST_F(EmailTest, SavingReadingAndSteppingThroughMessages) {
    // Save: the current identifier goes in, the new one comes back.
    Mail->SetMessageId("old-7");
    Mail->SetSubject("Draft");
    EXPECT_EQ(Mail->SaveMail(), SUCCESS_SUCCESS);
    EXPECT_EQ(Call("MAPISaveMail").MessageId, "old-7");
    EXPECT_EQ(Call("MAPISaveMail").Flags, 0u);
    EXPECT_EQ(Call("MAPISaveMail").Message->Subject, "Draft");
    EXPECT_EQ(Mail->MessageId(), "saved-1");
    EXPECT_EQ(Events, (std::vector<std::string>{"BeforeLogon", "AfterLogon", "BeforeSaveMail",
                                                "AfterSaveMail", "BeforeLogoff", "AfterLogoff"}));

    // Stepping: from the start, one message after the other, then none.
    Mapi().MessageIds = {"m1", "m2"};
    Mail->SetMessageId("");
    Mail->UnreadOnly = true;
    EXPECT_EQ(Mail->GetNextMessageId(), "m1");
    EXPECT_EQ(Call("MAPIFindNext").Flags, MAPI_UNREAD_ONLY | MAPI_LONG_MSGID);
    EXPECT_EQ(Mail->GetNextMessageId(), "m2");
    EXPECT_EQ(Call("MAPIFindNext", 1).MessageId, "m1");
    EXPECT_EQ(Mail->GetNextMessageId(), "");
    EXPECT_EQ(Errors, std::vector<ULONG>{MAPI_E_NO_MESSAGES});
    EXPECT_EQ(Mail->CountUnread(), 2u);
    Mapi().Script("MAPILogon", {MAPI_E_FAILURE, MAPI_E_FAILURE});
    EXPECT_EQ(Mail->CountUnread(), TEmail::ErrLogon);

    // Reading: the lists by class, the attachments' names, a long body.
    Errors.clear();
    EXPECT_EQ(Mail->ReadMail(), TEmail::ErrNoMessage);
    EXPECT_EQ(Errors, std::vector<ULONG>{TEmail::ErrNoMessage});
    TMessageCopy m;
    m.Subject = "Re: Translation";
    m.NoteText = std::string(300, 'b');
    m.MessageType = "IPM.Note";
    m.DateReceived = "2016/09/01 10:00";
    m.Flags = MAPI_UNREAD;
    m.Originator = TRecipCopy{MAPI_ORIG, "Brightmoor", "SMTP:info@brightmoor.example", ""};
    m.Recips = {{MAPI_TO, "Me", "SMTP:me@b.example", ""},
                {MAPI_CC, std::nullopt, "SMTP:cc@b.example", ""},
                {MAPI_BCC, "Hidden", "", ""}};
    m.Files = {{0, 0, "/tmp/x1.tmp", "Snapglass_Deutsch.ini"}, {0, 0, "/tmp/x2.tmp", ""}};
    Mapi().Mailbox["m2"] = m;
    Mail->SetMessageId("m2");
    Mail->NoAttachments = true;
    EXPECT_EQ(Mail->ReadMail(), SUCCESS_SUCCESS);
    const TMapiCall& read = Call("MAPIReadMail");
    EXPECT_EQ(read.MessageId, "m2");
    EXPECT_EQ(read.Flags, MAPI_PEEK | MAPI_SUPPRESS_ATTACH);
    EXPECT_EQ(Mail->Recipient, std::vector<std::string>{"Me"});
    EXPECT_EQ(Mail->CC, std::vector<std::string>{"SMTP:cc@b.example"});
    EXPECT_EQ(Mail->Bcc, std::vector<std::string>{"Hidden"});
    EXPECT_EQ(Mail->Attachment, (std::vector<std::string>{"Snapglass_Deutsch.ini", "/tmp/x2.tmp"}));
    EXPECT_EQ(Mail->AttachmentPaths(), (std::vector<std::string>{"/tmp/x1.tmp", "/tmp/x2.tmp"}));
    EXPECT_EQ(Mail->Subject(), "Re: Translation");
    EXPECT_EQ(Mail->Text(), "");
    EXPECT_EQ(std::string(Mail->GetLongText()), std::string(300, 'b'));
    EXPECT_TRUE(Mail->Unread());
    EXPECT_EQ(Mail->SenderName(), "Brightmoor");
    EXPECT_EQ(Mail->SenderAddress(), "SMTP:info@brightmoor.example");
    EXPECT_EQ(Mail->DateReceived(), "2016/09/01 10:00");
    EXPECT_EQ(Mail->MessageType(), "IPM.Note");

    // Deleting: the current message, which is then forgotten.
    EXPECT_EQ(Mail->DeleteMail(), SUCCESS_SUCCESS);
    EXPECT_EQ(Call("MAPIDeleteMail").MessageId, "m2");
    EXPECT_EQ(Mail->MessageId(), "");
    EXPECT_EQ(Mail->DeleteMail(), TEmail::ErrNoMessage);
}

TEST_F(EmailTest, TheAddressBookReplacesTheListsByClass) {
    Mail->Recipient = {"a@b.example"};
    Mail->Bcc = {"c@b.example"};
    Mapi().Chosen = {{MAPI_CC, "Carla", "SMTP:carla@b.example", "E1"},
                     {MAPI_TO, std::nullopt, "SMTP:to@b.example", ""},
                     {MAPI_TO, "Tom", "SMTP:tom@b.example", ""}};
    EXPECT_EQ(Mail->Address(), SUCCESS_SUCCESS);
    const TMapiCall& address = Call("MAPIAddress");
    EXPECT_EQ(address.EditFields, 4u);
    EXPECT_EQ(address.Recips,
              (std::vector<TRecipCopy>{{MAPI_TO, "a@b.example", std::nullopt, ""},
                                       {MAPI_BCC, "c@b.example", std::nullopt, ""}}));
    EXPECT_EQ(Mail->Recipient, (std::vector<std::string>{"SMTP:to@b.example", "Tom"}));
    EXPECT_EQ(Mail->CC, std::vector<std::string>{"Carla"});
    EXPECT_TRUE(Mail->Bcc.empty());

    Mapi().Script("MAPIAddress", {MAPI_E_USER_ABORT});
    EXPECT_EQ(Mail->Address(), MAPI_E_USER_ABORT);
    EXPECT_EQ(Mail->CC, std::vector<std::string>{"Carla"});
    EXPECT_EQ(Errors, std::vector<ULONG>{MAPI_E_USER_ABORT});

    Mapi().Script("MAPIResolveName", {MAPI_E_UNKNOWN_RECIPIENT, MAPI_E_USER_ABORT});
    EXPECT_EQ(Mail->CheckRecipient("nobody"), "");
}

TEST_F(EmailTest, ReceivedAttachmentsAreCopiedOrTheFailureNamed) {
    TMessageCopy m;
    m.Files = {{0, 0, Translation, "T.ini"}, {0, 0, Dir / "gone.tmp", "G.ini"}};
    Mapi().Mailbox["m1"] = m;
    Mail->SetMessageId("m1");
    ASSERT_EQ(Mail->ReadMail(), SUCCESS_SUCCESS);

    const std::string target = Dir / "copy.ini";
    Mail->CopyAttachment(0, target);
    EXPECT_EQ(TempDir::Read(target), TempDir::Read(Translation));

    const std::pair<std::function<void()>, const char*> failures[] = {
        {[&] { Mail->CopyAttachment(2, target); },
         "CopyAttachment : index for pathnames stringlist is out of bounds"},
        {[&] { Mail->CopyAttachment(1, target); }, "CopyAttachment : attachment not found !!"},
        {[&] { Mail->CopyAttachment(0, Dir / "no/folder/copy.ini"); },
         "CopyAttachment : Input-Output error on copy operation"},
        {[&] {
             Mail->NoAttachments = true;
             Mail->CopyAttachment(0, target);
         },
         "CopyAttachment called when NoAttachments = True !!"},
    };
    for (const auto& [copy, message] : failures) {
        try {
            copy();
            ADD_FAILURE() << message;
        } catch (const EMapiAttachmentError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
    EXPECT_EQ(Mail->CheckAttachment(Translation), Translation);
    EXPECT_EQ(Mail->CheckAttachment(Dir / "gone.tmp"), "");
    EXPECT_EQ(Mail->CheckAttachment(Dir / "Snapglass"), "");
}

TEST_F(EmailTest, LogonOptionsAndTheDefaultProfile) {
    Mail->SetNewSession(true);
    Mail->SetDownLoadFirst(true);
    EXPECT_EQ(Mail->LogonFlags(), MAPI_NEW_SESSION | MAPI_FORCE_DOWNLOAD);
    Mail->SetNewSession(false);
    EXPECT_EQ(Mail->LogonFlags(), MAPI_FORCE_DOWNLOAD);
    Mail->SetDownLoadFirst(false);
    EXPECT_EQ(Mail->LogonFlags(), 0u);

    // The system's default profile replaces the one given, when it keeps one.
    Mail->UseDefProfile = true;
    Mail->SetProfile("Test");
    Mail->SetPassword("secret");
    Mail->Logon();
    EXPECT_EQ(Call("MAPILogon").Profile, "Test");
    EXPECT_EQ(Call("MAPILogon").Password, "secret");
    CurrentFake()->MailProfile = "Outlook";
    EXPECT_EQ(Mail->DownLoad(), SUCCESS_SUCCESS);
    EXPECT_EQ(Mail->Profile(), "Outlook");
    EXPECT_EQ(Call("MAPILogon", 1).Profile, "Outlook");
    EXPECT_EQ(Call("MAPILogon", 1).Flags, MAPI_FORCE_DOWNLOAD);
    EXPECT_EQ(Functions(), (std::vector<std::string>{"MAPILogon", "MAPILogoff", "MAPILogon"}));
    EXPECT_EQ(Mail->Logon(), SUCCESS_SUCCESS); // already open: no call
    EXPECT_EQ(Mapi().Calls.size(), 3u);
    EXPECT_EQ(Mail->Version(), "2.09.02");
}

TEST_F(EmailTest, TheDestructorLogsOffAndNeverRaises) {
    Mail->Logon();
    const LHANDLE session = Mail->Session();
    // The mail system refuses, and meanwhile the platform offers none.
    Mapi().Script("MAPILogoff", {MAPI_E_FAILURE});
    Mapi().Available = false;
    Mail->OnBeforeLogoff = [](TEmail&) { throw std::runtime_error("event"); };
    EXPECT_NO_THROW(Mail.reset());
    EXPECT_EQ(Functions(), (std::vector<std::string>{"MAPILogon", "MAPILogoff"}));
    EXPECT_EQ(Call("MAPILogoff").Session, session);
}

} // namespace
