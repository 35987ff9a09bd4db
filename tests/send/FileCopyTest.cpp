// The byte-exact copy of the send dialog.
#include "send/FileCopy.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace std::string_literals;

// CR LF, UTF-8, a NUL byte, a byte that is no UTF-8, no final line end.
const std::string Bytes = "LanguageName=\"Fran\xc3\xa7"
                          "ais\"\r\n\0NUL\xff\r\nlast"s;

TEST(FileCopy, TheTargetHoldsExactlyTheSourcesBytes) {
    TempDir dir;
    const std::string source = dir.Write("Snapglass/Languages.ini", Bytes);
    // A fresh target, an older and longer copy, and an empty one.
    fs::create_directories(dir / "out");
    const std::pair<const char*, std::optional<std::string>> targets[] = {
        {"out/new.ini", std::nullopt},
        {"out/longer.ini", std::string(100000, 'x')},
        {"out/empty.ini", ""},
    };
    for (const auto& [name, old] : targets) {
        if (old)
            dir.Write(name, *old);
        EXPECT_EQ(CopyFileBytes(source, dir / name), "") << name;
        EXPECT_EQ(TempDir::Read(dir / name), Bytes) << name;
    }
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), fs::directory_iterator()), 3);
}

TEST(FileCopy, AFileCopiedOntoItselfStaysAsItIs) {
    TempDir dir;
    const std::string source = dir.Write("Snapglass/Snapglass_Deutsch.ini", Bytes);
    std::vector<std::string> targets = {source, dir / "Snapglass/./Snapglass_Deutsch.ini",
                                        dir / "Snapglass/../Snapglass/Snapglass_Deutsch.ini"};
#ifdef _WIN32
    targets.push_back(dir / "SNAPGLASS/snapglass_deutsch.INI");
#endif
    // Links, where the system lets us make them.
    std::error_code ec;
    fs::create_directory_symlink(dir / "Snapglass", dir / "link", ec);
    if (!ec)
        targets.push_back(dir / "link/Snapglass_Deutsch.ini");
    fs::create_symlink(source, dir / "Snapglass/alias.ini", ec);
    if (!ec)
        targets.push_back(dir / "Snapglass/alias.ini");
    // Read-only, so a rewrite would be refused rather than go unnoticed.
    fs::permissions(source, fs::perms::owner_read);
    const auto before = fs::last_write_time(source);
    for (const std::string& target : targets) {
        EXPECT_EQ(CopyFileBytes(source, target), "") << target;
        EXPECT_EQ(TempDir::Read(source), Bytes) << target;
    }
    EXPECT_EQ(fs::last_write_time(source), before);
    fs::permissions(source, fs::perms::owner_all);
}

TEST(FileCopy, AFailedCopySaysWhyAndLeavesTheOldCopyWhole) {
    TempDir dir;
    const std::string source = dir.Write("Snapglass/Languages.ini", Bytes);
    const std::string old = dir.Write("out/Languages.ini", "older copy");
    fs::permissions(old, fs::perms::owner_read | fs::perms::group_read);
    const std::string problem = CopyFileBytes(source, old);
    EXPECT_NE(problem.find(old), std::string::npos) << problem;
    EXPECT_EQ(TempDir::Read(old), "older copy");
    fs::permissions(old, fs::perms::owner_all);

    EXPECT_NE(CopyFileBytes(dir / "Snapglass/missing.ini", dir / "out/missing.ini"), "");
    EXPECT_FALSE(fs::exists(dir / "out/missing.ini"));
    EXPECT_NE(CopyFileBytes(source, dir / "no/such/folder/Languages.ini"), "");
}

} // namespace
