// Paths are UTF-8 inside the program whatever the system's code page: names
// outside ASCII reach the file system with their own characters, and come back
// from it unchanged.
#include "initfile/InitFile.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(platform::PathFromUtf8(folder)))
        names.push_back(platform::Utf8FromPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(Utf8Path, NamesOutsideAsciiKeepTheirCharacters) {
    struct Case {
        std::string Utf8;
        std::wstring Wide; // as Windows names it (UTF-16)
    };
    const std::vector<Case> cases = {
        {"Fran\xC3\xA7"
         "ais.ini",
         L"Fran\u00e7ais.ini"},
        {"\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC.ini",
         L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac.ini"},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.ini", L"\u65e5\u672c\u8a9e.ini"},
        {"Smile \xF0\x9F\x98\x80.ini", L"Smile \U0001F600.ini"}, // beyond 16 bits
    };
    TempDir dir;
    const std::string folder = dir / "\xC3\x9C"
                                     "bersetzungen" +
                               platform::PathDelim;
    ASSERT_TRUE(platform::CreateDir(folder));
    EXPECT_TRUE(platform::DirectoryExists(folder));

    std::vector<std::string> names;
    for (const Case& c : cases) {
        const std::string path = folder + c.Utf8;
        TInitFile doc(TInitFile::TForm::Ini);
        doc.AddString("LanguageName", c.Utf8);
        ASSERT_TRUE(doc.Save(path)) << c.Utf8;
        EXPECT_TRUE(platform::FileExists(path)) << c.Utf8;
        TInitFile back(TInitFile::TForm::Ini);
        ASSERT_TRUE(back.Load(path)) << c.Utf8;
        EXPECT_EQ(back.GetString("LanguageName", ""), c.Utf8);
        names.push_back(c.Utf8);
#ifdef _WIN32
        EXPECT_EQ(platform::WideFromUtf8(c.Utf8), c.Wide);
        EXPECT_EQ(platform::Utf8FromWide(c.Wide), c.Utf8);
        // The name the system itself holds.
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(platform::WideFromUtf8(path).c_str(), &found);
        ASSERT_NE(search, INVALID_HANDLE_VALUE) << c.Utf8;
        FindClose(search);
        EXPECT_EQ(std::wstring(found.cFileName), c.Wide);
#endif
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(Entries(folder), names);

    // The current folder and absolute paths go through the same conversion.
    const std::string before = platform::Get().GetCurrentDir();
    ASSERT_TRUE(platform::Get().SetCurrentDir(folder));
    EXPECT_EQ(platform::IncludeTrailingDelimiter(platform::Get().GetCurrentDir()), folder);
    EXPECT_EQ(platform::ExpandFileName(cases[0].Utf8), folder + cases[0].Utf8);
    EXPECT_TRUE(platform::FileExists(cases[0].Utf8));
    platform::Get().SetCurrentDir(before);
}

TEST(Utf8Path, BytesThatAreNoUtf8) {
#ifdef _WIN32
    // Windows names are UTF-16: such bytes name no file anyone could mean.
    EXPECT_EQ(platform::WideFromUtf8("a\xFF"
                                     "b"),
              L"a\uFFFDb");
    EXPECT_EQ(platform::WideFromUtf8(""), L"");
    EXPECT_EQ(platform::Utf8FromWide(L""), "");
#else
    // POSIX names are bytes: they pass unchanged both ways.
    TempDir dir;
    const std::string name = "Fran\xE7"
                             "ais.ini"; // Windows-1252, not UTF-8
    EXPECT_EQ(platform::ReplaceFileBytes(dir / name, "K=\"v\"\r\n"), "");
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{name});
    EXPECT_TRUE(platform::FileExists(dir / name));
    EXPECT_EQ(platform::Utf8FromPath(platform::PathFromUtf8(name)), name);
#endif
}
