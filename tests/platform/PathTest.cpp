#include "platform/Platform.h"
#include "platform/Utf8.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include "support/ChildTest.h"

#include <windows.h>
#endif

using platform::ExtractFileName;
using platform::ExtractFilePath;

TEST(Path, FileNamePartReadsWindowsAndPosixPathsAlike) {
    EXPECT_EQ(ExtractFileName("C:\\Other\\App_Deutsch.ini"), "App_Deutsch.ini");
    EXPECT_EQ(ExtractFileName("/opt/app/App_Deutsch.ini"), "App_Deutsch.ini");
    EXPECT_EQ(ExtractFileName("App_Deutsch.ini"), "App_Deutsch.ini");
    EXPECT_EQ(ExtractFileName("/opt/app/"), "");
    EXPECT_EQ(ExtractFilePath("/opt/app/Languages.ini"), "/opt/app/");
    EXPECT_EQ(ExtractFilePath("C:\\P\\Languages.ini"), "C:\\P\\");
    EXPECT_EQ(ExtractFilePath("Languages.ini"), "");
    EXPECT_EQ(platform::IncludeTrailingDelimiter("/opt"),
              std::string("/opt") + platform::PathDelim);
    EXPECT_EQ(platform::IncludeTrailingDelimiter(std::string("/opt") + platform::PathDelim),
              std::string("/opt") + platform::PathDelim);
}

TEST(Path, FileExistsOnlyForFiles) {
    TempDir dir;
    const std::string file = dir.Write("a.ini", "x");
    EXPECT_TRUE(platform::FileExists(file));
    EXPECT_FALSE(platform::FileExists(dir.Path()));
    EXPECT_FALSE(platform::FileExists(dir / "missing"));
    EXPECT_FALSE(platform::FileExists(""));
    EXPECT_TRUE(platform::DirectoryExists(dir.Path()));
    EXPECT_FALSE(platform::DirectoryExists(file));
    EXPECT_FALSE(platform::DirectoryExists(""));
    EXPECT_TRUE(platform::CreateDir(dir / "new"));
    EXPECT_FALSE(platform::CreateDir(dir / "new"));      // exists already
    EXPECT_FALSE(platform::CreateDir(dir / "no/such/")); // parent missing
}

#ifndef _WIN32
TEST(Path, PosixShellFoldersFollowTheXdgVariables) {
    auto native = platform::CreateNative();
    const char* names[] = {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS", "HOME"};
    std::string saved[4];
    bool had[4];
    for (int i = 0; i < 4; ++i) {
        const char* v = std::getenv(names[i]);
        had[i] = v != nullptr;
        saved[i] = v ? v : "";
    }
    setenv("HOME", "/home/u", 1);
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_DIRS");
    using platform::ShellFolder;
    EXPECT_EQ(native->GetShellFolder(ShellFolder::LocalAppData), "/home/u/.local/share");
    EXPECT_EQ(native->GetShellFolder(ShellFolder::RoamingAppData), "/home/u/.config");
    EXPECT_EQ(native->GetShellFolder(ShellFolder::CommonAppData), "/usr/local/share");
    setenv("XDG_DATA_HOME", "/d/", 1);
    setenv("XDG_CONFIG_HOME", "/c", 1);
    setenv("XDG_DATA_DIRS", "/first:/second", 1);
    EXPECT_EQ(native->GetShellFolder(ShellFolder::LocalAppData), "/d");
    EXPECT_EQ(native->GetShellFolder(ShellFolder::RoamingAppData), "/c");
    EXPECT_EQ(native->GetShellFolder(ShellFolder::CommonAppData), "/first");
    EXPECT_TRUE(std::filesystem::is_regular_file(native->ExecutablePath()));
    for (int i = 0; i < 4; ++i) {
        if (had[i])
            setenv(names[i], saved[i].c_str(), 1);
        else
            unsetenv(names[i]);
    }
}
#endif

#ifdef _WIN32
TEST(Path, WindowsShellFoldersAndExecutableComeThroughTheWideCalls) {
    auto native = platform::CreateNative();
    using platform::ShellFolder;
    for (ShellFolder folder :
         {ShellFolder::LocalAppData, ShellFolder::RoamingAppData, ShellFolder::CommonAppData}) {
        const std::string path = native->GetShellFolder(folder);
        EXPECT_TRUE(platform::DirectoryExists(path)) << path;
        EXPECT_NE(path.back(), '\\') << path;
    }
    const std::string exe = native->ExecutablePath();
    EXPECT_TRUE(platform::FileExists(exe)) << exe;
    EXPECT_EQ(platform::ExtractFileName(exe), "wordlark_tests.exe");
}

// Run by AnExecutableInAFolderOutsideAsciiKnowsItsWholePath from a copy of this
// binary.
TEST(PathChild, DISABLED_TellTheExecutablePath) {
    std::ofstream out(platform::PathFromUtf8(childtest::Variable("WORDLARK_CHILD_REPORT")),
                      std::ios::binary);
    out << platform::CreateNative()->ExecutablePath();
}

TEST(Path, AnExecutableInAFolderOutsideAsciiKnowsItsWholePath) {
    // A deep program folder with names outside the ANSI code page, as close to
    // MAX_PATH (260) as a program can be started from.
    TempDir dir;
    std::string folder = dir.Path();
    const std::string part =
        "Programme f\xC3\xBCr \xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 ";
    for (int i = 0; folder.size() + part.size() + 25 < MAX_PATH; ++i) {
        folder += part + std::to_string(i) + "\\";
        ASSERT_TRUE(CreateDirectoryW(platform::WideFromUtf8(folder).c_str(), nullptr)) << folder;
    }
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), 32768));
    const std::string copy = folder + "wordlark_tests.exe";
    ASSERT_TRUE(CopyFileW(self.c_str(), platform::WideFromUtf8(copy).c_str(), TRUE));

    TempDir side;
    ASSERT_EQ(childtest::Run("PathChild.DISABLED_TellTheExecutablePath",
                             {{"WORDLARK_CHILD_REPORT", side / "exe.txt"}}, copy),
              0);
    EXPECT_EQ(TempDir::Read(side / "exe.txt"), copy);
}
#endif
