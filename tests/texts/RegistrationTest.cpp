// The registration file in the common maker folder: written once per version,
// replaced whole when another version left it.
#include "texts/Registration.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <regex>

namespace fs = std::filesystem;

namespace {

class RegistrationTest : public ::testing::Test {
protected:
    std::string Maker() const { return Dir / "common/Brightmoor/"; }
    std::string File() const { return Maker() + "Wordlark/Installation.ini"; }

    static std::string Expected(const std::string& folder, const std::string& date) {
        return "InstallationDirectory=\"" + folder +
               "\"\r\n"
               "LanguageFile=\"Languages.ini\"\r\n"
               "IniFile=\"Wordlark.ini\"\r\n"
               "Version=\"Version 1.700 (01.09.2016)\"\r\n"
               "InstallDate=\"" +
               date + "\"\r\n";
    }

    TempDir Dir;
};

TEST_F(RegistrationTest, FirstStartMakesTheFoldersAndWritesTheFiveKeys) {
    fs::create_directories(Dir / "common");
    WriteRegistration(Maker(), "/opt/wordlark/", "2016-09-01 14:05:09");
    EXPECT_EQ(TempDir::Read(File()), Expected("/opt/wordlark/", "2016-09-01 14:05:09"));
}

TEST_F(RegistrationTest, SameVersionIsNotRewrittenEvenFromAnotherFolder) {
    fs::create_directories(Dir / "common");
    WriteRegistration(Maker(), "/opt/wordlark/", "2016-09-01 14:05:09");
    // A user's own addition must survive too: the file is not touched at all.
    const std::string kept = TempDir::Read(File()) + "Comment=\"mine\"\r\n";
    Dir.Write("common/Brightmoor/Wordlark/Installation.ini", kept);
    const auto stamp = fs::last_write_time(File());

    WriteRegistration(Maker(), "/home/me/wordlark/", "2020-01-02 03:04:05");
    EXPECT_EQ(TempDir::Read(File()), kept);
    EXPECT_EQ(fs::last_write_time(File()), stamp);
}

TEST_F(RegistrationTest, OtherVersionOrNoVersionIsReplacedByExactlyTheFiveKeys) {
    const std::string others[] = {
        "Version=\"Version 1.600 (01.01.2015)\"\r\nInstallationDirectory=\"C:\\Old\\\"\r\n"
        "Extra=\"gone\"\r\n",
        "InstallationDirectory=\"C:\\Old\\\"\r\nLanguageFile=\"Languages.ini\"\r\n",
        // Same text with different case or an extra blank is another version.
        "Version=\"version 1.700 (01.09.2016)\"\r\n",
        "Version=\"Version 1.700 (01.09.2016) \"\r\n",
        "",
        std::string("\0\xff\x01garbage", 10),
    };
    for (const std::string& old : others) {
        Dir.Write("common/Brightmoor/Wordlark/Installation.ini", old);
        WriteRegistration(Maker(), "/opt/wordlark/", "2016-09-01 14:05:09");
        EXPECT_EQ(TempDir::Read(File()), Expected("/opt/wordlark/", "2016-09-01 14:05:09")) << old;
    }
}

TEST_F(RegistrationTest, FailuresPassSilently) {
    // The common maker folder is a file: nothing can be written, nothing thrown.
    Dir.Write("common/Brightmoor", "not a folder");
    EXPECT_NO_THROW(WriteRegistration(Maker(), "/opt/wordlark/", "2016-09-01 14:05:09"));
    EXPECT_FALSE(fs::exists(File()));
    // A folder where the file should be.
    fs::remove(Dir / "common/Brightmoor");
    fs::create_directories(File());
    EXPECT_NO_THROW(WriteRegistration(Maker(), "/opt/wordlark/", "2016-09-01 14:05:09"));
    EXPECT_TRUE(fs::is_directory(File()));
    // and no half-written file is left behind beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(Maker() + "Wordlark"), fs::directory_iterator()),
              1);
}

TEST_F(RegistrationTest, AnyRootOfThisVersionKeepsItElseTheFirstWritableRootIsWritten) {
    const std::string a = Dir / "a/Brightmoor/", b = Dir / "b/Brightmoor/",
                      c = Dir / "c/Brightmoor/";
    const std::string ours = Expected("/opt/wordlark/", "2016-09-01 14:05:09");
    const std::string older = "Version=\"Version 1.600 (01.01.2015)\"\r\n";
    struct Case {
        const char* what;
        std::function<void()> prepare;
        const char* written; // "a", "b" or "" for none
    };
    const Case cases[] = {
        {"nothing anywhere", [] {}, "a"},
        {"first root unusable", [&] { Dir.Write("a/Brightmoor", "a file"); }, "b"},
        {"no root usable",
         [&] {
             Dir.Write("a/Brightmoor", "a file");
             Dir.Write("b/Brightmoor", "a file");
         },
         ""},
        {"this version in a root only searched",
         [&] { Dir.Write("c/Brightmoor/Wordlark/Installation.ini", ours); }, ""},
        {"another version in a root only searched",
         [&] { Dir.Write("c/Brightmoor/Wordlark/Installation.ini", older); }, "a"},
        {"this version in the second root",
         [&] { Dir.Write("b/Brightmoor/Wordlark/Installation.ini", ours); }, ""},
    };
    for (const Case& k : cases) {
        for (const char* root : {"a", "b", "c"}) {
            fs::remove_all(Dir / root);
            fs::create_directories(Dir / root);
        }
        k.prepare();
        const auto before = [&](const std::string& maker) {
            return TempDir::Read(maker + "Wordlark/Installation.ini");
        };
        const std::string oldA = before(a), oldB = before(b), oldC = before(c);
        WriteRegistration({c, a, b}, {a, b}, "/opt/wordlark/", "2016-09-01 14:05:09");
        const std::string w = k.written;
        EXPECT_EQ(before(a), w == "a" ? ours : oldA) << k.what;
        EXPECT_EQ(before(b), w == "b" ? ours : oldB) << k.what;
        EXPECT_EQ(before(c), oldC) << k.what;
    }
}

TEST(InstallDateTest, LocalTimeInTheRegistrationFormat) {
    const std::time_t before = std::time(nullptr);
    const std::string date = CurrentInstallDate();
    const std::time_t after = std::time(nullptr);
    ASSERT_TRUE(std::regex_match(date, std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})")))
        << date;
    std::tm parsed{};
    parsed.tm_isdst = -1;
    ASSERT_EQ(std::sscanf(date.c_str(), "%d-%d-%d %d:%d:%d", &parsed.tm_year, &parsed.tm_mon,
                          &parsed.tm_mday, &parsed.tm_hour, &parsed.tm_min, &parsed.tm_sec),
              6);
    parsed.tm_year -= 1900;
    parsed.tm_mon -= 1;
    const std::time_t back = std::mktime(&parsed);
    EXPECT_GE(back, before - 1);
    EXPECT_LE(back, after + 1);
}

} // namespace
