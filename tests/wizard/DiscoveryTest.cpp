// Finding the installed programs on folder trees made for each test: which
// registrations give a row, which settings file a row carries, which of
// several maker folders wins, and what the scan passes over.
#include "wizard/Discovery.h"

#include "support/FakePlatform.h"
#include "support/TempDir.h"
#include "texts/Registration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class DiscoveryTest : public ::testing::Test {
protected:
    DiscoveryTest() {
        for (const char* folder : {"local", "roaming", "common"})
            fs::create_directories(Dir / folder);
    }

    // A program installed in <temp>/<folder>/ with its catalogue; returns the
    // installation folder.
    std::string Install(const std::string& folder) {
        Dir.Write(folder + "/Languages.ini", "LanguageName=\"English\"\r\n");
        return Dir / (folder + "/");
    }

    // Writes <root>/Brightmoor/<name>/Installation.ini.
    std::string Register(const std::string& root, const std::string& name,
                         const std::string& bytes) {
        return Dir.Write(root + "/Brightmoor/" + name + "/Installation.ini", bytes);
    }

    static std::string Registration(const std::string& folder,
                                    const std::string& languageFile = "Languages.ini",
                                    const std::string& iniFile = "Program.ini",
                                    const std::string& version = "Version 2.4") {
        return "InstallationDirectory=\"" + folder + "\"\r\nLanguageFile=\"" + languageFile +
               "\"\r\nIniFile=\"" + iniFile + "\"\r\nVersion=\"" + version + "\"\r\n";
    }

    // The folders as the wizard forms them.
    TDiscoveryFolders Folders() const {
        return {MakerFolders(platform::Get().CommonAppDataRoots()), Dir / "local/Brightmoor/",
                Dir / "roaming/Brightmoor/"};
    }

    // The path with one kind of separator, for paths joined on Windows.
    static std::string Slashes(std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TInstalledProgram& row : FindInstalledPrograms(Folders()))
            names.push_back(row.Name);
        return names;
    }

    TempDir Dir;
    ScopedFakePlatform Fake{Dir.Path()};
};

TEST_F(DiscoveryTest, OnlyReadableRegistrationsOfExistingCataloguesGiveRows) {
    const std::string folder = Install("Program");
    // Files a registration value must never reach: the parent of the
    // installation folder, a sub-folder, and a name holding a backslash.
    Install("Program/Sub");
    Dir.Write("Languages.ini", "LanguageName=\"English\"\r\n");
    Dir.Write("Program/..\\Languages.ini", "LanguageName=\"English\"\r\n");
    struct Case {
        const char* name;
        std::function<void(const std::string& name)> make;
        bool listed;
    };
    std::vector<Case> cases = {
        {"Plain", [&](auto& n) { Register("common", n, Registration(folder)); }, true},
        {"Snap glass", [&](auto& n) { Register("common", n, Registration(folder)); }, true},
        {"\xc3\x9c"
         "bersetzer",
         [&](auto& n) { Register("common", n, Registration(folder)); }, true},
        {"NoTrailingSeparator",
         [&](auto& n) { Register("common", n, Registration(Dir / "Program")); }, false},
        {"CatalogueGone", [&](auto& n) { Register("common", n, Registration(Dir / "Removed/")); },
         false},
        {"NoLanguageFile", [&](auto& n) { Register("common", n, Registration(folder, "")); },
         false},
        {"ParentCatalogue",
         [&](auto& n) { Register("common", n, Registration(folder, "../Languages.ini")); }, false},
        {"SubFolderCatalogue",
         [&](auto& n) { Register("common", n, Registration(folder, "Sub/Languages.ini")); }, false},
        {"BackslashCatalogue",
         [&](auto& n) { Register("common", n, Registration(folder, "..\\Languages.ini")); }, false},
        {"DotDot",
         [&](auto& n) { Register("common", n, Registration(Dir / "Program/Sub/", "..")); }, false},
        {"Empty", [&](auto& n) { Register("common", n, ""); }, false},
        {"Binary", [&](auto& n) { Register("common", n, std::string("\0\xff\x01\"=", 5)); }, false},
        {"FolderInstead",
         [&](auto& n) {
             fs::create_directories(Dir / ("common/Brightmoor/" + n + "/Installation.ini"));
         },
         false},
        {"PlainFile", [&](auto& n) { Dir.Write("common/Brightmoor/" + n, Registration(folder)); },
         false},
    };
#ifndef _WIN32
    // A name in Windows-1252 bytes, and a registration that is a FIFO (reading
    // it would wait for a writer).
    cases.push_back(
        {"Caf\xe9", [&](auto& n) { Register("common", n, Registration(folder)); }, true});
    cases.push_back({"Fifo",
                     [&](auto& n) {
                         fs::create_directories(Dir / ("common/Brightmoor/" + n));
                         const std::string fifo =
                             Dir / ("common/Brightmoor/" + n + "/Installation.ini");
                         ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
                     },
                     false});
#endif
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        c.make(c.name);
        if (c.listed)
            expected.push_back(c.name);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names(), expected);

#ifndef _WIN32
    // A registration nobody may read (root may read anything).
    if (geteuid() != 0) {
        const std::string file = Register("common", "Unreadable", Registration(folder));
        fs::permissions(file, fs::perms::none);
        EXPECT_EQ(Names(), expected);
    }
#endif
}

TEST_F(DiscoveryTest, ARowCarriesTheRegisteredValuesAndTheLocalSettingsFileFirst) {
    const std::string folder = Install("Program");
    struct Case {
        const char* iniFile;
        std::vector<const char*> settingsFiles; // under <temp>/
        const char* expected;                   // under <temp>/, or "" for none
    };
    const Case cases[] = {
        {"P.ini",
         {"local/Brightmoor/P/P.ini", "roaming/Brightmoor/P/P.ini"},
         "local/Brightmoor/P/P.ini"},
        {"P.ini", {"roaming/Brightmoor/P/P.ini"}, "roaming/Brightmoor/P/P.ini"},
        {"P.ini", {}, ""},
        // No IniFile: the paths name folders, which are no settings files.
        {"", {"local/Brightmoor/P/x"}, ""},
        // Names that would lead out of the program's folders.
        {"../P.ini", {"local/Brightmoor/P.ini"}, ""},
        {"..", {"local/Brightmoor/P/x"}, ""},
        {"Sub/P.ini", {"local/Brightmoor/P/Sub/P.ini"}, ""},
    };
    for (const Case& c : cases) {
        for (const char* folderName : {"local/Brightmoor", "roaming/Brightmoor"})
            fs::remove_all(Dir / folderName);
        for (const char* file : c.settingsFiles)
            Dir.Write(file, "Language=\"English\"\r\n");
        Register("common", "P", Registration(folder, "Languages.ini", c.iniFile, "Version 3"));
        const std::vector<TInstalledProgram> rows = FindInstalledPrograms(Folders());
        ASSERT_EQ(rows.size(), 1u) << c.iniFile;
        EXPECT_EQ(rows[0].Name, "P");
        EXPECT_EQ(rows[0].Version, "Version 3");
        EXPECT_EQ(rows[0].InstallationDirectory, folder);
        EXPECT_EQ(rows[0].LanguageFile, "Languages.ini");
        EXPECT_EQ(Slashes(rows[0].SettingsPath), Slashes(*c.expected ? Dir / c.expected : ""))
            << c.iniFile;
    }
}

TEST_F(DiscoveryTest, TheFirstMakerFolderHoldingARegistrationWinsItsName) {
    const std::string mine = Install("Mine");
    const std::string shared = Install("Shared");
    Register("local", "Both", Registration(mine, "Languages.ini", "B.ini", "Mine"));
    Register("common", "Both", Registration(shared, "Languages.ini", "B.ini", "Shared"));
    Register("common", "OnlyShared", Registration(shared));
    // A settings folder of the same name holds no registration: it hides nothing.
    Dir.Write("local/Brightmoor/OnlyShared/Program.ini", "");
    // A registration whose catalogue is gone still takes its name.
    Register("local", "Stale", Registration(Dir / "Removed/"));
    Register("common", "Stale", Registration(shared));

    const std::vector<TInstalledProgram> rows = FindInstalledPrograms(Folders());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Name, "Both");
    EXPECT_EQ(rows[0].Version, "Mine");
    EXPECT_EQ(rows[0].InstallationDirectory, mine);
    EXPECT_EQ(rows[1].Name, "OnlyShared");
    EXPECT_EQ(Slashes(rows[1].SettingsPath),
              Slashes(Dir / "local/Brightmoor/OnlyShared/Program.ini"));
}

// A listing as Windows gives it, with "." and "..", in which a folder vanishes
// between the listing and its reading, and maker folders that cannot be listed.
class WindowsLikeListing : public FakePlatform {
public:
    using FakePlatform::FakePlatform;
    std::vector<std::string> ListFolder(const std::string& path) override {
        std::vector<std::string> names = FakePlatform::ListFolder(path);
        names.insert(names.begin(), {".", ".."});
        std::error_code ec;
        fs::remove_all(path + "Vanishing", ec);
        return names;
    }
};

TEST_F(DiscoveryTest, DotEntriesVanishedFoldersAndUnlistableRootsGiveNoRows) {
    const std::string folder = Install("Program");
    auto previous = platform::Install(std::make_unique<WindowsLikeListing>(Dir.Path()));
    auto& fake = static_cast<FakePlatform&>(platform::Get());
    // The maker folder itself and its parent hold registrations that "." and
    // ".." would reach.
    Dir.Write("common/Brightmoor/Installation.ini", Registration(folder));
    Dir.Write("common/Installation.ini", Registration(folder));
    Register("common", "Vanishing", Registration(folder));
    Register("common", "Kept", Registration(folder));
    Dir.Write("file-root", "not a folder");
    fake.CommonRoots = {Dir / "missing", Dir / "file-root", Dir / "common"};

    EXPECT_EQ(Names(), std::vector<std::string>{"Kept"});
    platform::Install(std::move(previous));
}

TEST_F(DiscoveryTest, RowsComeInByteOrderWhateverTheListingOrder) {
    const std::string folder = Install("Program");
    for (const char* name : {"b", "\xc3\x84", "C", "a", "a b"})
        Register("common", name, Registration(folder));
    EXPECT_EQ(Names(), (std::vector<std::string>{"C", "a", "a b", "b", "\xc3\x84"}));
}

} // namespace
