#include "platform/Platform.h"
#include "platform/Process.h"
#include "platform/Utf8.h"

#include "support/FakePlatform.h"
#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include "support/ChildTest.h"

#include <windows.h>

#include <shellapi.h>
#endif

using namespace std::chrono_literals;

TEST(Shell, BareHostNamesGetHttpsAndSchemesStay) {
    const std::pair<const char*, const char*> cases[] = {
        {"www.brightmoor.example", "https://www.brightmoor.example"},
        {"brightmoor.example/pages/x.php?a=1", "https://brightmoor.example/pages/x.php?a=1"},
        {"localhost:8080/x", "https://localhost:8080/x"},
        {"https://www.brightmoor.example", "https://www.brightmoor.example"},
        {"http://old.example", "http://old.example"},
        {"mailto:someone@brightmoor.example", "mailto:someone@brightmoor.example"},
        {"", ""},
    };
    for (const auto& [given, expected] : cases)
        EXPECT_EQ(platform::AddressWithScheme(given), expected) << given;
}

TEST(Shell, TheTestDoubleRecordsEveryRequest) {
    TempDir dir;
    ScopedFakePlatform fake(dir.Path());
    platform::Get().OpenDocument("/p/Wordlark_Deutsch.html");
    platform::Get().OpenFolder("/p/");
    platform::Get().OpenAddress("www.brightmoor.example");
    platform::Get().StartProgram("/p/UnInstCleanup", {"Snap glass"});
    const std::vector<ShellRequest> expected = {
        {"document", "/p/Wordlark_Deutsch.html", {}},
        {"folder", "/p/", {}},
        {"address", "www.brightmoor.example", {}},
        {"program", "/p/UnInstCleanup", {"Snap glass"}},
    };
    EXPECT_EQ(CurrentFake()->ShellRequests, expected);
}

namespace {
// Waits until a file appears (a started program runs on its own time).
bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 400; ++i) {
        if (std::filesystem::exists(platform::PathFromUtf8(path)))
            return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}
} // namespace

#ifndef _WIN32
#include <cerrno>
#include <sys/wait.h>

namespace {

// A program that writes its arguments, one per line, into the file named by
// its first argument.
std::string WriteRecorder(const TempDir& dir, const std::string& name) {
    const std::string path = dir.Write(name, "#!/bin/sh\nout=$1\nshift\n"
                                             "for a in \"$@\"; do printf '%s\\n' \"$a\"; done"
                                             " > \"$out.part\"\nmv \"$out.part\" \"$out\"\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

} // namespace

TEST(Process, ArgumentsReachTheProgramByteForByte) {
    TempDir dir;
    const std::string program = WriteRecorder(dir, "record");
    const std::string out = dir / "args";
    // Nothing here may be read by a shell: blanks, quotes, $(...), globs, and
    // bytes that are no UTF-8.
    const std::vector<std::string> args = {"two words", "it's \"quoted\"", "$(touch gotcha)", "*",
                                           "Fran\xe7"
                                           "ais"};
    std::vector<std::string> argv = {program, out};
    argv.insert(argv.end(), args.begin(), args.end());
    ASSERT_EQ(platform::StartProcess(argv), "");
    ASSERT_TRUE(WaitForFile(out));
    std::string expected;
    for (const auto& a : args)
        expected += a + "\n";
    EXPECT_EQ(TempDir::Read(out), expected);
    EXPECT_FALSE(std::filesystem::exists(dir / "gotcha"));
}

TEST(Process, RunReportsExitCodesMissingProgramsAndTimeouts) {
    TempDir dir;
    using State = platform::TProcessResult::TState;
    auto exit3 = platform::RunProcess({"/bin/sh", "-c", "exit 3"}, 5s);
    EXPECT_EQ(exit3.State, State::Exited);
    EXPECT_EQ(exit3.ExitCode, 3);
    auto missing = platform::RunProcess({dir / "no-such-program"}, 5s);
    EXPECT_EQ(missing.State, State::NotStarted);
    EXPECT_NE(missing.Error.find("no-such-program"), std::string::npos) << missing.Error;
    auto slow = platform::RunProcess({"/bin/sleep", "5"}, 50ms);
    EXPECT_EQ(slow.State, State::StillRunning);
    EXPECT_EQ(platform::StartProcess({}), "Cannot start \"\". No such file or directory");
}

TEST(Shell, PosixHandsDocumentsFoldersAndAddressesToXdgOpen) {
    TempDir dir;
    // A stand-in for xdg-open, first on PATH, that records its arguments.
    std::filesystem::create_directories(dir / "bin");
    const std::string recorder = WriteRecorder(dir, "bin/record");
    dir.Write("bin/xdg-open",
              "#!/bin/sh\nexec \"" + recorder + "\" \"" + dir.Path() + "opened-$$\" \"$@\"\n");
    std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
    ScopedEnvironment path;
    path.Set("PATH", dir / "bin:" + std::getenv("PATH"));
    auto native = platform::CreateNative();

    const std::pair<std::function<platform::THandOff()>, std::string> cases[] = {
        {[&] { return native->OpenDocument("/p/My Help.html"); }, "/p/My Help.html\n"},
        {[&] { return native->OpenFolder("-odd folder/"); }, "./-odd folder/\n"},
        {[&] { return native->OpenAddress("www.brightmoor.example"); },
         "https://www.brightmoor.example\n"},
        {[&] { return native->OpenAddress("mailto:a@b.example"); }, "mailto:a@b.example\n"},
    };
    for (const auto& [open, expected] : cases) {
        for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
            if (e.path().filename().string().rfind("opened-", 0) == 0)
                std::filesystem::remove(e.path());
        ASSERT_EQ(open(), platform::THandOff{}) << expected;
        std::string seen;
        for (int i = 0; i < 400 && seen.empty(); ++i) {
            for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
                if (e.path().filename().string().rfind("opened-", 0) == 0 &&
                    e.path().extension() != ".part")
                    seen = TempDir::Read(e.path().string());
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_EQ(seen, expected);
    }
    EXPECT_TRUE(native->OpenDocument("").Failed());
}

// Whether a child of this process is gone for good: reaped, not a zombie.
static bool Reaped(const std::string& pidFile) {
    return ::waitpid(std::stoi(TempDir::Read(pidFile)), nullptr, WNOHANG) == -1 && errno == ECHILD;
}

// A stand-in for xdg-open that waits and exits as the file named by its
// target says. What the desktop answers within the wait comes back at once, a
// later answer through the late end (from the platform's thread); no child is
// left behind either way.
TEST(Shell, PosixOpensReportTheDesktopsAnswerNowOrLater) {
    TempDir dir;
    std::filesystem::create_directories(dir / "bin");
    dir.Write("bin/xdg-open", "#!/bin/sh\ncd \"" + dir.Path() +
                                  "\"\necho $$ > \"$1.pid\"\nread delay code < \"$1\"\n"
                                  "sleep \"$delay\"\nexit \"$code\"\n");
    std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
    ScopedEnvironment path;
    path.Set("PATH", dir / "bin:" + std::getenv("PATH"));
    platform::XdgOpenTimeout = 300ms;
    auto native = platform::CreateNative();

    using State = platform::THandOff::TState;
    using Reason = platform::THandOff::TReason;
    const std::pair<int, platform::THandOff> statuses[] = {
        {0, {}},
        {1, {State::Failed, Reason::BadRequest, 1, {}}},
        {2, {State::Failed, Reason::NotFound, 2, {}}},
        {3, {State::Failed, Reason::NoHandler, 3, {}}},
        {4, {State::Failed, Reason::ActionFailed, 4, {}}},
        {5, {State::Failed, Reason::NoPermission, 5, {}}},
        {9, {State::Failed, Reason::Other, 9, {}}},
    };
    const platform::THandOff running{State::Running, Reason::None, 0, {}};
    std::mutex lock;
    std::condition_variable wake;
    std::map<std::string, platform::THandOff> late;
    for (const auto& [status, expected] : statuses) {
        for (const std::string delay : {"0", "0.8"}) {
            const std::string name = std::to_string(status) + "-after-" + delay;
            dir.Write(name, delay + " " + std::to_string(status) + "\n");
            const platform::THandOff now =
                native->OpenDocument(name, [&, name](const platform::THandOff& end) {
                    std::lock_guard<std::mutex> guard(lock);
                    late[name] = end;
                    wake.notify_all();
                });
            EXPECT_EQ(now, delay == "0" ? expected : running) << name;
        }
    }
    // Only the hand-offs still running at the limit end late, each reaped
    // before it is reported.
    std::unique_lock<std::mutex> waiting(lock);
    wake.wait_for(waiting, 5s, [&] { return late.size() >= std::size(statuses); });
    ASSERT_EQ(late.size(), std::size(statuses));
    for (const auto& [status, expected] : statuses) {
        const std::string name = std::to_string(status) + "-after-";
        EXPECT_EQ(late[name + "0.8"], expected) << name;
        EXPECT_TRUE(Reaped(dir / (name + "0.8.pid"))) << name;
        EXPECT_TRUE(Reaped(dir / (name + "0.pid"))) << name;
    }

    // Without xdg-open nothing can be handed over.
    path.Set("PATH", dir / "empty");
    EXPECT_EQ(native->OpenAddress("www.brightmoor.example").Reason, Reason::NotStarted);
    platform::XdgOpenTimeout = 2000ms;
}

// A program started without waiting for it is reaped when it ends, also when
// nothing else is started after it.
TEST(Process, ProgramsNobodyWaitsForLeaveNoZombie) {
    TempDir dir;
    const std::string pidFile = dir / "pid";
    ASSERT_EQ(platform::StartProcess({"/bin/sh", "-c",
                                      "echo $$ > \"$0.part\"; mv \"$0.part\" "
                                      "\"$0\"; exit 4",
                                      pidFile}),
              "");
    ASSERT_TRUE(WaitForFile(pidFile));
    const std::string proc = "/proc/" + std::to_string(std::stoi(TempDir::Read(pidFile)));
    for (int i = 0; i < 300 && std::filesystem::exists(proc); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(std::filesystem::exists(proc)) << proc << " is still there";
}

TEST(Shell, PosixStartsProgramsWithTheirArgumentsAndReportsMissingOnes) {
    TempDir dir;
    const std::string program = WriteRecorder(dir, "UnInstCleanup");
    auto native = platform::CreateNative();
    ASSERT_TRUE(native->StartProgram(program, {dir / "out", "Snap glass"}));
    ASSERT_TRUE(WaitForFile(dir / "out"));
    EXPECT_EQ(TempDir::Read(dir / "out"), "Snap glass\n");
    EXPECT_FALSE(native->StartProgram(dir / "missing", {}));
}
#endif

#ifdef _WIN32
// Run by WindowsStartsProgramsWithTheirArgumentsAndReportsMissingOnes: writes
// the arguments this process was given, as Windows splits its command line.
TEST(ShellChild, DISABLED_TellTheArguments) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    ASSERT_NE(args, nullptr);
    std::string seen;
    for (int i = 1; i < count; ++i)
        if (std::wcsncmp(args[i], L"--gtest_", 8) != 0)
            seen += platform::Utf8FromWide(args[i]) + "\n";
    LocalFree(args);
    const std::string report = childtest::Variable("WORDLARK_CHILD_REPORT");
    {
        std::ofstream out(platform::PathFromUtf8(report + ".part"), std::ios::binary);
        out << seen;
    }
    std::filesystem::rename(platform::PathFromUtf8(report + ".part"),
                            platform::PathFromUtf8(report));
}

TEST(Shell, WindowsStartsProgramsWithTheirArgumentsAndReportsMissingOnes) {
    TempDir dir;
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), 32768));
    // Blanks, quotes, backslashes before a quote and at the end, an empty
    // argument and a name outside the ANSI code page.
    const std::vector<std::string> args = {"Snap glass",
                                           "it's \"quoted\"",
                                           "C:\\Program Files\\",
                                           "a\\\\\"b",
                                           "Fran\xC3\xA7"
                                           "ais",
                                           ""};
    std::vector<std::string> argv = {"--gtest_also_run_disabled_tests",
                                     "--gtest_filter=ShellChild.DISABLED_TellTheArguments"};
    argv.insert(argv.end(), args.begin(), args.end());
    const std::string report = dir / "args";
    SetEnvironmentVariableW(L"WORDLARK_CHILD_REPORT", platform::WideFromUtf8(report).c_str());
    const bool started = platform::CreateNative()->StartProgram(platform::Utf8FromWide(self), argv);
    SetEnvironmentVariableW(L"WORDLARK_CHILD_REPORT", nullptr);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitForFile(report));
    std::string expected;
    for (const auto& a : args)
        expected += a + "\n";
    EXPECT_EQ(TempDir::Read(report), expected);

    EXPECT_FALSE(platform::CreateNative()->StartProgram(dir / "missing.exe", {}));
}
#endif
