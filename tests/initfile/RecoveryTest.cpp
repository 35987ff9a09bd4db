// Unsaved work written to the data folder and found again after a crash.
#include "initfile/Recovery.h"
#include "platform/FileIO.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Our own id with another start: a process that no longer runs.
platform::TProcessIdentity Gone() {
    platform::TProcessIdentity self = platform::CurrentProcess();
    ++self.Started;
    return self;
}

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

TRecoveredWork AwkwardWork() {
    TRecoveredWork work;
    work.ProgramName = "Brightmoor Photo";
    work.CataloguePath = "/opt/Bright moor/Languages.ini";
    work.TranslationPath = "/opt/Bright moor/Photo_Espa\xc3\xb1ol.ini";
    work.SettingsFilePath = "/home/u/.config/Photo.ini";
    work.Entries = {{"English", "/opt/Bright moor/Photo_English.ini"},
                    {"odd\nname 3\n", ""},
                    {"Espa\xc3\xb1ol", work.TranslationPath}};
    work.DefaultLanguage = "English";
    work.SelectedEntry = 2;
    // NUL, invalid UTF-8, a bare CR, a line like the end, no final break.
    static const char text[] = "Key=\"a\0b\"\r\nBad=\"\xff\xfe\xc3\"\rend 0\ntext 5";
    work.Text.assign(text, sizeof text - 1);
    return work;
}

} // namespace

TEST(Recovery, WorkComesBackByteForByteAndOnlyWhole) {
    TempDir dir;
    const TRecoveryStore crashed(dir.Path(), Gone());
    const std::int64_t before = Now();
    ASSERT_EQ(crashed.Write(AwkwardWork()), "");
    // Beside it, damaged files and others named like recovery files.
    const std::string bytes = TempDir::Read(crashed.Path());
    const std::string name = fs::path(crashed.Path()).filename().string();
    const std::string stem = name.substr(0, name.size() - std::strlen(TRecoveryStore::Suffix));
    for (const std::string& junk :
         {bytes.substr(0, bytes.size() - 1), std::string(), std::string(5000, '\xff'),
          std::string("Wordlark recovery 1\ntext 18446744073709551615\nx")})
        dir.Write(stem + std::to_string(junk.size()) + ".recovery", junk);
    dir.Write("Recovery-x-y-z.recovery", bytes);
    fs::create_directories(dir / (stem + "0a.recovery"));

    const std::vector<TRecoveryFile> found = TRecoveryStore(dir.Path()).LeftBehind();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Path, crashed.Path());
    EXPECT_GE(found[0].Work.SavedAt, before);
    EXPECT_LE(found[0].Work.SavedAt, Now());
    TRecoveredWork back = found[0].Work;
    back.SavedAt = 0;
    EXPECT_TRUE(back == AwkwardWork());

    // Cut short anywhere, or one byte changed anywhere, it is no work.
    ASSERT_TRUE(ParseRecovery(bytes));
    for (size_t at = 0; at < bytes.size(); ++at) {
        std::string damaged = bytes;
        damaged[at] = static_cast<char>(damaged[at] ^ 0x01);
        EXPECT_FALSE(ParseRecovery(bytes.substr(0, at)) || ParseRecovery(damaged)) << at;
    }
}

TEST(Recovery, EachWindowKeepsItsOwnFileAndLeftWorkIsTakenOnce) {
    TempDir dir;
    const TRecoveryStore first(dir.Path()), second(dir.Path());
    EXPECT_NE(first.Path(), second.Path());
    ASSERT_EQ(first.Write(AwkwardWork()), "");
    ASSERT_EQ(second.Write(TRecoveredWork()), "");
    std::vector<std::string> gone;
    for (std::int64_t saved : {1700000100, 1700000300, 1700000200}) {
        TRecoveredWork work;
        work.SavedAt = saved;
        work.Text = std::to_string(saved);
        gone.push_back(TRecoveryStore(dir.Path(), Gone()).Path());
        ASSERT_EQ(platform::ReplaceFileBytes(gone.back(), RecoveryBytes(work)), "");
    }
    // The running windows' files are not offered; the others are, newest first.
    std::vector<std::string> offered;
    for (const TRecoveryFile& file : first.LeftBehind())
        offered.push_back(file.Path);
    EXPECT_EQ(offered, (std::vector<std::string>{gone[1], gone[2], gone[0]}));

    // Restored: now the first window's own file, offered to nobody else.
    const std::optional<TRecoveredWork> adopted = first.Adopt(gone[1]);
    EXPECT_EQ(adopted.value_or(TRecoveredWork()).Text, "1700000300");
    EXPECT_EQ(second.Adopt(gone[1]), std::nullopt);
    EXPECT_EQ(TRecoveryStore::Discard(gone[2]), "");
    EXPECT_EQ(TRecoveryStore::Discard(gone[2]), "");
    EXPECT_EQ(first.Remove(), "");
    EXPECT_EQ(first.Remove(), "");
    ASSERT_EQ(second.LeftBehind().size(), 1u);
    EXPECT_EQ(second.LeftBehind()[0].Path, gone[0]);
    EXPECT_GT(platform::FileSize(second.Path()), 0);
}
