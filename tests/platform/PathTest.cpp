#include "platform/Platform.h"
#include "platform/Utf8.h"

#include "support/ScopedEnvironment.h"
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
namespace {
bool IsPrivateFolder(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return std::filesystem::is_directory(status) &&
           status.permissions() == std::filesystem::perms::owner_all;
}
} // namespace

// Every folder lies in the test's own temporary folder: handing out a per-user
// folder makes it when it is missing.
TEST(Path, PosixShellFoldersFollowTheXdgVariablesAndExistWhenHandedOut) {
    TempDir dir;
    const std::string home = dir / "home";
    std::filesystem::create_directories(dir / "kept");
    std::filesystem::permissions(dir / "kept", std::filesystem::perms(0755));
    const struct {
        const char* dataHome;
        const char* configHome;
        std::string dataDirs;
        std::string local, roaming, common;
    } cases[] = {
        // A fresh account: nothing under $HOME yet, not even $HOME itself.
        {nullptr, nullptr, "", home + "/.local/share", home + "/.config", "/usr/local/share"},
        // Relative values are not XDG folders; the defaults under $HOME stand.
        {"rel/data", "rel", "", home + "/.local/share", home + "/.config", "/usr/local/share"},
        // An empty or relative entry is passed over; the first absolute one counts.
        {"", "", ":rel:/second", home + "/.local/share", home + "/.config", "/second"},
        // Named folders, missing with their parents or there already.
        {"DIR/d/e/", "DIR/kept", "DIR/first:DIR/second", "DIR/d/e", "DIR/kept", "DIR/first"},
    };
    auto expand = [&](std::string text) {
        for (size_t at; (at = text.find("DIR/")) != std::string::npos;)
            text.replace(at, 4, dir.Path());
        return text;
    };
    using platform::ShellFolder;
    auto native = platform::CreateNative();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.dataHome ? c.dataHome : "unset") + " " + c.dataDirs);
        std::filesystem::remove_all(home);
        ScopedEnvironment env;
        env.Set("HOME", home.c_str());
        env.Set("XDG_DATA_HOME", c.dataHome ? expand(c.dataHome).c_str() : nullptr);
        env.Set("XDG_CONFIG_HOME", c.configHome ? expand(c.configHome).c_str() : nullptr);
        env.Set("XDG_DATA_DIRS", c.dataDirs.empty() ? nullptr : expand(c.dataDirs).c_str());
        const std::string local = native->GetShellFolder(ShellFolder::LocalAppData);
        const std::string roaming = native->GetShellFolder(ShellFolder::RoamingAppData);
        const std::string common = native->GetShellFolder(ShellFolder::CommonAppData);
        EXPECT_EQ(local, expand(c.local));
        EXPECT_EQ(roaming, expand(c.roaming));
        EXPECT_EQ(common, expand(c.common));
        // The per-user folders and every parent made for them are private.
        for (std::string folder : {local, roaming}) {
            for (; folder.size() >= dir.Path().size(); folder = folder.substr(0, folder.rfind('/')))
                EXPECT_TRUE(folder == dir / "kept" || IsPrivateFolder(folder)) << folder;
        }
        // The all-users folder is only read here, never made.
        if (common.rfind(dir.Path(), 0) == 0) {
            EXPECT_FALSE(std::filesystem::exists(common));
        }
    }
    // The maker's programs are searched for in the user's own data folder, then
    // in every absolute system data folder; this program registers itself in
    // the first system data folder, else in the user's own.
    {
        ScopedEnvironment env;
        env.Set("HOME", home.c_str());
        env.Set("XDG_DATA_HOME", expand("DIR/d").c_str());
        env.Set("XDG_DATA_DIRS", "/first/:relative::/second");
        EXPECT_EQ(native->CommonAppDataRoots(),
                  (std::vector<std::string>{dir / "d", "/first", "/second"}));
        EXPECT_EQ(native->RegistrationRoots(), (std::vector<std::string>{"/first", dir / "d"}));
        env.Set("XDG_DATA_HOME", nullptr);
        env.Set("XDG_DATA_DIRS", "relative");
        EXPECT_EQ(
            native->CommonAppDataRoots(),
            (std::vector<std::string>{home + "/.local/share", "/usr/local/share", "/usr/share"}));
        EXPECT_EQ(native->RegistrationRoots(),
                  (std::vector<std::string>{"/usr/local/share", home + "/.local/share"}));
    }
    EXPECT_EQ(std::filesystem::status(dir / "kept").permissions(), std::filesystem::perms(0755));
    EXPECT_FALSE(std::filesystem::exists("rel"));
    EXPECT_TRUE(std::filesystem::is_regular_file(native->ExecutablePath()));
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
