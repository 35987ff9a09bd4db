// Telling whether a file changed on disk since it was read, and whether a
// process still runs.
#include "platform/FileStamp.h"
#include "platform/ProcessIdentity.h"
#include "platform/Utf8.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using platform::TFileChange;

TEST(FileStamp, HashIsFnv1a64) {
    EXPECT_EQ(platform::HashBytes(""), 0xcbf29ce484222325ull);
    EXPECT_EQ(platform::HashBytes("a"), 0xaf63dc4c8601ec8cull);
    EXPECT_EQ(platform::HashBytes("foobar"), 0x85944171f73967e8ull);
}

TEST(FileStamp, TellsWhatHappenedToTheFile) {
    const std::string Old = "Key1=\"one\"\r\nKey2=\"two\"\r\n";
    const std::string Other = "Key1=\"eno\"\r\nKey2=\"owt\"\r\n"; // same size
    TempDir dir;
    const std::string path = dir / "Deutsch.ini";
    const fs::path where = platform::PathFromUtf8(path);
    // Writes into the same file, keeping its time.
    auto rewrite = [&](const std::string& bytes) {
        const auto time = fs::last_write_time(where);
        std::ofstream(where, std::ios::binary | std::ios::trunc) << bytes;
        fs::last_write_time(where, time);
    };
    // Puts another file in its place, with the same time.
    auto replace = [&](const std::string& bytes) {
        const auto time = fs::last_write_time(where);
        const std::string other = dir.Write("other.ini", bytes);
        fs::last_write_time(platform::PathFromUtf8(other), time);
        fs::rename(platform::PathFromUtf8(other), where);
    };
    struct Case {
        const char* What;
        bool ExistsAtFirst;
        std::function<void()> Change;
        TFileChange Expected;
    };
    const Case cases[] = {
        {"left alone", true, [] {}, TFileChange::Unchanged},
        {"other bytes, same size and time", true, [&] { rewrite(Other); }, TFileChange::Changed},
        {"grown", true, [&] { rewrite(Old + "Key3=\"\"\r\n"); }, TFileChange::Changed},
        {"touched", true,
         [&] { fs::last_write_time(where, fs::last_write_time(where) + std::chrono::seconds(5)); },
         TFileChange::Touched},
        {"replaced by another", true, [&] { replace(Other); }, TFileChange::Changed},
        {"replaced by a copy", true, [&] { replace(Old); }, TFileChange::Touched},
        {"deleted", true, [&] { fs::remove(where); }, TFileChange::Vanished},
        {"made meanwhile", false, [&] { dir.Write("Deutsch.ini", Old); }, TFileChange::Changed},
        {"still not there", false, [] {}, TFileChange::Unchanged},
    };
    for (const Case& c : cases) {
        fs::remove(where);
        if (c.ExistsAtFirst)
            dir.Write("Deutsch.ini", Old);
        const platform::TFileStamp stamp = platform::StampFile(path);
        EXPECT_EQ(stamp.Exists, c.ExistsAtFirst) << c.What;
        // Stamping the bytes just read is stamping the path.
        EXPECT_EQ(platform::StampFile(path, c.ExistsAtFirst ? Old : ""), stamp) << c.What;
        c.Change();
        EXPECT_EQ(platform::CompareWithDisk(stamp, path), c.Expected) << c.What;
    }
}

TEST(ProcessIdentity, TellsWhetherAProcessRuns) {
    const platform::TProcessIdentity self = platform::CurrentProcess();
    EXPECT_TRUE(platform::ProcessRunning(self));
    EXPECT_FALSE(platform::ProcessRunning({}));
    // A later process that got the id of a finished one is told apart by its start.
    ASSERT_NE(self.Started, 0u);
    EXPECT_FALSE(platform::ProcessRunning({self.Id, self.Started + 1}));
#ifndef _WIN32
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    const platform::TProcessIdentity ended{static_cast<std::uint64_t>(child), 0};
    // Ended but not yet reaped counts as ended.
    for (int i = 0; i < 500 && platform::ProcessRunning(ended); ++i)
        ::usleep(10000);
    EXPECT_FALSE(platform::ProcessRunning(ended));
    ::waitpid(child, nullptr, 0);
#endif
}
