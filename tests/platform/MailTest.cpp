// The platform's mail system: on POSIX desktops the one built into the
// program, against a stand-in for xdg-email placed first on PATH; on Windows
// the loader of the system's library.
#include "platform/Platform.h"
#include "platform/SimpleMapi.h"
#include "send/Email.h"

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>

#ifndef _WIN32
#include <sys/wait.h>
#endif

using namespace smapi;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
// Whatever the system has (the entry points are never called here: a real
// mail client might ask the user something).
TEST(WindowsMapi, TheLoaderOffersAllTenEntryPointsOrNone) {
    auto native = platform::CreateNative();
    const TMapiFunctions* table = nullptr;
    try {
        table = native->SimpleMapi();
    } catch (const EMapiDllError& error) {
        EXPECT_STREQ(error.what(), "GetProcAddress for MAPI.DLL function(s) failed");
        EXPECT_FALSE(TEmail().MapiAvail());
        return;
    }
    EXPECT_EQ(TEmail().MapiAvail(), table != nullptr);
    if (!table)
        return;
    EXPECT_TRUE(table->FindNext && table->Logoff && table->Logon && table->SendMail &&
                table->ReadMail && table->DeleteMail && table->ResolveName && table->FreeBuffer &&
                table->Address && table->SaveMail);
    // Loaded once, at the first request.
    EXPECT_EQ(native->SimpleMapi(), table);
}
#else

class XdgEmailTest : public ::testing::Test {
protected:
    XdgEmailTest() {
        // The stand-in's folder first on PATH.
        Path.Set("PATH", Dir / "bin:" + std::getenv("PATH"));
        fs::create_directories(Dir / "bin");
        // Writes its process id and its arguments, each ended by a NUL byte,
        // waits the seconds in the file "slow" if there is one and exits with
        // the code in the file "code" (0 without it).
        const std::string script = "#!/bin/sh\ncd \"" + Dir.Path() + "\"\necho $$ > pid\n" +
                                   "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > args\n" +
                                   "[ -f slow ] && sleep \"$(cat slow)\"\n" +
                                   "exit $(cat code 2>/dev/null || echo 0)\n";
        fs::permissions(Dir.Write("bin/xdg-email", script), fs::perms::owner_all);
        Mapi = platform::CreateNative()->SimpleMapi();
    }
    ~XdgEmailTest() override {
        platform::XdgEmailTimeout = 5000ms;
        platform::CreateNative()->SetMailLateEnd({});
    }

    // Whether the last stand-in is gone for good: reaped, not a zombie.
    bool Reaped() const {
        const pid_t pid = std::stoi(TempDir::Read(Dir / "pid"));
        return ::waitpid(pid, nullptr, WNOHANG) == -1 && errno == ECHILD;
    }

    std::vector<std::string> Arguments() const {
        const std::string bytes = TempDir::Read(Dir / "args");
        std::vector<std::string> args;
        size_t start = 0;
        for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1)
            args.push_back(bytes.substr(start, end - start));
        return args;
    }

    TempDir Dir;
    ScopedEnvironment Path;
    const TMapiFunctions* Mapi = nullptr;
};

MapiRecipDesc Recip(ULONG recipClass, const char* name, const char* address) {
    MapiRecipDesc r{};
    r.ulRecipClass = recipClass;
    r.lpszName = const_cast<char*>(name);
    r.lpszAddress = const_cast<char*>(address);
    return r;
}

TEST_F(XdgEmailTest, TheMessageBecomesOneArgumentVector) {
    ASSERT_NE(Mapi, nullptr);
    LHANDLE session = 0;
    ASSERT_EQ(Mapi->Logon(0, nullptr, nullptr, MAPI_NEW_SESSION, 0, &session), SUCCESS_SUCCESS);
    EXPECT_NE(session, 0u);

    const std::string t = Dir.Write("My Folder/Snapglass_Fran\xc3\xa7"
                                    "ais.ini",
                                    "x");
    const std::string c = Dir.Write("-odd/Languages.ini", "y");
    MapiRecipDesc recips[] = {
        Recip(MAPI_TO, "Brightmoor", "SMTP:translations@brightmoor.example"),
        Recip(MAPI_CC, "cc@b.example", nullptr),
        Recip(MAPI_TO, "Odd, Name?&x", "odd, name?&x%@b.example"),
        Recip(MAPI_BCC, "Hidden", "smtp:bcc@b.example"),
    };
    MapiFileDesc files[2] = {};
    files[0].nPosition = files[1].nPosition = 0xFFFFFFFF;
    files[0].lpszPathName = const_cast<char*>(t.c_str());
    files[1].lpszPathName = const_cast<char*>(c.c_str());
    char subject[] = "Translation of Snapglass_Fran\xc3\xa7"
                     "ais.ini";
    char body[] = "Line one\nLine \"two\" $(no shell)";
    MapiMessage message{};
    message.lpszSubject = subject;
    message.lpszNoteText = body;
    message.nRecipCount = 4;
    message.lpRecips = recips;
    message.nFileCount = 2;
    message.lpFiles = files;
    message.flFlags = MAPI_RECEIPT_REQUESTED;

    EXPECT_EQ(Mapi->SendMail(session, 0, &message, MAPI_DIALOG, 0), SUCCESS_SUCCESS);
    const std::vector<std::string> expected = {
        "--utf8",
        "--cc",
        "cc@b.example",
        "--bcc",
        "bcc@b.example",
        "--subject",
        subject,
        "--body",
        body,
        "--attach",
        t,
        "--attach",
        c,
        "mailto:translations@brightmoor.example,odd%2C%20name%3F%26x%25@b.example"};
    EXPECT_EQ(Arguments(), expected);

    // Nothing but the text: no empty options, no address part.
    MapiMessage bare{};
    EXPECT_EQ(Mapi->SendMail(0, 0, &bare, MAPI_DIALOG, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(Arguments(), std::vector<std::string>{"--utf8"});

    EXPECT_EQ(Mapi->Logoff(session, 0, 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(Mapi->Logoff(session, 0, 0, 0), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(Mapi->SendMail(session, 0, &bare, 0, 0), MAPI_E_INVALID_SESSION);
}

TEST_F(XdgEmailTest, ExitCodesBecomeTheMailSystemsCodes) {
    ASSERT_NE(Mapi, nullptr);
    const std::pair<int, ULONG> cases[] = {
        {0, SUCCESS_SUCCESS},
        {1, MAPI_E_FAILURE},                 // syntax
        {2, MAPI_E_ATTACHMENT_NOT_FOUND},    // a file does not exist
        {3, MAPI_E_FAILURE},                 // no mail client found
        {4, MAPI_E_FAILURE},                 // the client failed
        {5, MAPI_E_ATTACHMENT_OPEN_FAILURE}, // a file cannot be read
        {77, MAPI_E_FAILURE},
    };
    MapiMessage message{};
    for (const auto& [exitCode, mapiCode] : cases) {
        Dir.Write("code", std::to_string(exitCode));
        EXPECT_EQ(Mapi->SendMail(0, 0, &message, MAPI_DIALOG, 0), mapiCode) << exitCode;
        EXPECT_TRUE(Reaped()) << exitCode;
    }
    using State = platform::THandOff::TState;
    using Reason = platform::THandOff::TReason;
    auto native = platform::CreateNative();
    EXPECT_EQ(native->LastMailHandOff(),
              (platform::THandOff{State::Failed, Reason::Other, 77, {}}));

    // A mail client that keeps xdg-email waiting has the message: the window
    // goes on after the wait, and hears later that no mail client was found.
    std::mutex lock;
    std::condition_variable wake;
    std::optional<platform::THandOff> late;
    native->SetMailLateEnd([&](const platform::THandOff& end) {
        std::lock_guard<std::mutex> guard(lock);
        late = end;
        wake.notify_all();
    });
    Dir.Write("code", "3");
    Dir.Write("slow", "0.8");
    platform::XdgEmailTimeout = 100ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Mapi->SendMail(0, 0, &message, MAPI_DIALOG, 0), SUCCESS_SUCCESS);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 800ms);
    EXPECT_EQ(native->LastMailHandOff()->State, State::Running);
    std::unique_lock<std::mutex> waiting(lock);
    ASSERT_TRUE(wake.wait_for(waiting, 5s, [&] { return late.has_value(); }));
    EXPECT_EQ(*late, (platform::THandOff{State::Failed, Reason::NoHandler, 3, {}}));
    EXPECT_TRUE(Reaped());

    // A message that never reaches xdg-email fails without a status.
    EXPECT_EQ(Mapi->SendMail(12345, 0, &message, 0, 0), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(native->LastMailHandOff(),
              (platform::THandOff{State::Failed, Reason::Unknown, -1, {}}));
}

TEST_F(XdgEmailTest, NamesResolveToThemselvesAndTheRestIsNotThere) {
    ASSERT_NE(Mapi, nullptr);
    char name[] = "translations@brightmoor.example";
    lpMapiRecipDesc recip = nullptr;
    ASSERT_EQ(Mapi->ResolveName(0, 0, name, 0, 0, &recip), SUCCESS_SUCCESS);
    ASSERT_NE(recip, nullptr);
    EXPECT_STREQ(recip->lpszName, name);
    EXPECT_STREQ(recip->lpszAddress, name);
    EXPECT_EQ(recip->ulRecipClass, MAPI_TO);
    Mapi->FreeBuffer(recip); // the leak checker sees a block left behind
    char empty[] = "";
    EXPECT_EQ(Mapi->ResolveName(0, 0, empty, 0, 0, &recip), MAPI_E_UNKNOWN_RECIPIENT);
    EXPECT_EQ(recip, nullptr);

    char id[MessageIdBufferSize] = "";
    lpMapiMessage read = nullptr;
    ULONG count = 7;
    lpMapiRecipDesc chosen = nullptr;
    MapiMessage message{};
    EXPECT_EQ(Mapi->FindNext(0, 0, nullptr, id, 0, 0, id), MAPI_E_NO_MESSAGES);
    EXPECT_EQ(Mapi->ReadMail(0, 0, id, 0, 0, &read), MAPI_E_INVALID_MESSAGE);
    EXPECT_EQ(read, nullptr);
    EXPECT_EQ(Mapi->DeleteMail(0, 0, id, 0, 0), MAPI_E_INVALID_MESSAGE);
    EXPECT_EQ(Mapi->SaveMail(0, 0, &message, 0, 0, id), MAPI_E_NOT_SUPPORTED);
    EXPECT_EQ(Mapi->Address(0, 0, nullptr, 4, nullptr, 0, nullptr, 0, 0, &count, &chosen),
              MAPI_E_NOT_SUPPORTED);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(fs::exists(Dir / "args")) << "xdg-email started for no message";
}

TEST(XdgEmail, WithoutXdgEmailThereIsNoMailSystem) {
    TempDir empty;
    ScopedEnvironment path;
    path.Set("PATH", empty.Path());
    EXPECT_EQ(platform::CreateNative()->SimpleMapi(), nullptr);
    // The component says so before it changes anything.
    TEmail mail;
    mail.Recipient = {"a@b.example"};
    EXPECT_FALSE(mail.MapiAvail());
    try {
        mail.SendMail();
        FAIL() << "no exception";
    } catch (const EMapiUnavailable& error) {
        EXPECT_STREQ(error.what(), "MAPI services are not available on this system");
    }
    EXPECT_EQ(mail.Recipient, std::vector<std::string>{"a@b.example"});
}

#endif
} // namespace
