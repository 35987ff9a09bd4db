// The user's own copy of an installed program's translation: the folder's name
// made safe, the folder made and found again by the installed catalogue it
// belongs to, and the files the copy lacks read from the installation.
#include "initfile/UserCopyFolder.h"

#include "encoding/TextEncoding.h"
#include "platform/Platform.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const char Delim = platform::PathDelim;

TEST(UserCopyFolderTest, NamesAreMadeSafeAsFolderNames) {
    const struct {
        std::string Name, Safe;
    } cases[] = {
        {"Snapglass", "Snapglass"},
        {"Snap/glass\\2: the <best>|\"one\"?*", "Snap_glass_2_ the _best___one___"},
        {"  ..hidden..  ", "hidden"},
        {"tab\there\nand\x7f", "tab_here_and_"},
        {"", "Program"},
        {" . ", "Program"},
        {"CON", "_CON"},
        {"nul.txt", "_nul.txt"},
        {"com7", "_com7"},
        {"Lpt1 .ini", "_Lpt1 .ini"},
        {"CONSOLE", "CONSOLE"},
        {"COM", "COM"},
        {"Fran\xc3\xa7"
         "ais",
         "Fran\xc3\xa7"
         "ais"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SafeFolderName(c.Name), c.Safe) << c.Name;

    // A long name is cut to 64 bytes, never within a letter.
    std::string umlauts;
    for (int i = 0; i < 40; ++i)
        umlauts += "\xc3\xa4"; // ä, two bytes each
    const std::string cut = SafeFolderName("x" + umlauts);
    EXPECT_EQ(cut.size(), 63u);
    EXPECT_TRUE(IsValidUtf8(cut));
    EXPECT_EQ(SafeFolderName(std::string(63, 'a') + ". b").size(), 63u) << "no point at the end";
}

class UserCopyFolderFiles : public ::testing::Test {
protected:
    // The data folder and an installed program with its catalogue and two
    // translations.
    UserCopyFolderFiles()
        : Data(Dir / "data/"),
          Installed(Dir.Write("usr/lib/snapglass/Languages.ini", "LanguageName=\"English\"\r\n")) {
        fs::create_directories(Data);
        Dir.Write("usr/lib/snapglass/Snapglass_English.ini", "A=\"a\"\r\n");
        Dir.Write("usr/lib/snapglass/Snapglass_Deutsch.ini", "A=\"b\"\r\n");
    }

    std::string CopyFolder(const std::string& name) const {
        return Data + "Translations" + Delim + name + Delim;
    }

    TempDir Dir;
    std::string Data, Installed;
};

TEST_F(UserCopyFolderFiles, ACopyIsMadeNamedAfterTheProgramAndFoundByItsCatalogue) {
    EXPECT_TRUE(FindUserCopy(Data, Installed).Empty());
    const TUserCopyFolder planned = PlannedUserCopy(Data, Installed, "Snap:glass");
    EXPECT_EQ(planned.Folder, CopyFolder("Snap_glass"));
    EXPECT_FALSE(fs::exists(planned.Folder)) << "planning makes nothing";

    std::string error;
    const TUserCopyFolder copy = MakeUserCopy(Data, Installed, "Snap:glass", error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(copy, planned);
    EXPECT_EQ(copy.InstalledCatalogue, Installed);
    EXPECT_EQ(copy.Catalogue(), CopyFolder("Snap_glass") + "Languages.ini");
    EXPECT_EQ(TempDir::Read(copy.Folder + UserCopyRecordName), Installed + "\n");

    // Found again only once its catalogue is saved there, by the catalogue it
    // belongs to, whatever the folder is called.
    EXPECT_TRUE(FindUserCopy(Data, Installed).Empty());
    Dir.Write("data/Translations/Snap_glass/Languages.ini", "LanguageName=\"Polski\"\r\n");
    EXPECT_EQ(FindUserCopy(Data, Installed), copy);
    EXPECT_TRUE(FindUserCopy(Data, Dir / "elsewhere/Languages.ini").Empty());
    EXPECT_EQ(UserCopyHolding(copy.Catalogue()), copy);
    EXPECT_TRUE(UserCopyHolding(Installed).Empty());

    // Made again, under any name, the same folder is used.
    EXPECT_EQ(PlannedUserCopy(Data, Installed, "Other name"), copy);
    EXPECT_EQ(MakeUserCopy(Data, Installed, "Snap:glass", error), copy);
    EXPECT_FALSE(fs::exists(CopyFolder("Other name")));
}

TEST_F(UserCopyFolderFiles, AFolderOfAnotherCopyOrOfTheUsersOwnIsLeftAlone) {
    std::string error;
    const std::string other = Dir.Write("opt/snapglass/Languages.ini", "");
    const TUserCopyFolder first = MakeUserCopy(Data, other, "Glass", error);
    EXPECT_EQ(first.Folder, CopyFolder("Glass"));
    Dir.Write("data/Translations/Glass 2/notes.txt", "mine");
    // Without a program name, the installation folder names the copy.
    const TUserCopyFolder second = MakeUserCopy(Data, Installed, "", error);
    EXPECT_EQ(second.Folder, CopyFolder("snapglass"));
    const TUserCopyFolder third =
        MakeUserCopy(Data, Dir / "usr/lib/glass/Languages.ini", "Glass", error);
    EXPECT_EQ(third.Folder, CopyFolder("Glass 3"));
    EXPECT_EQ(TempDir::Read(Dir / "data/Translations/Glass 2/notes.txt"), "mine");
    EXPECT_EQ(TempDir::Read(first.Folder + UserCopyRecordName), other + "\n");
}

TEST_F(UserCopyFolderFiles, TheCopysFilesComeFirstTheOthersFromTheInstallation) {
    std::string error;
    const TUserCopyFolder copy = MakeUserCopy(Data, Installed, "Snapglass", error);
    // Named as the program names them, with the system's separators.
    Dir.Write("data/Translations/Snapglass/Snapglass_Polski.ini", "");
    Dir.Write("data/Translations/Snapglass/Snapglass_Deutsch.ini", "");
    const std::string polski = copy.Folder + "Snapglass_Polski.ini";
    const std::string deutsch = copy.Folder + "Snapglass_Deutsch.ini";
    const std::vector<TCatalogueEntry> read = {
        {"English", copy.Folder + "Snapglass_English.ini"},
        {"Deutsch", copy.Folder + "Snapglass_Deutsch.ini"},
        {"Polski", copy.Folder + "Snapglass_Polski.ini"},
        {"Dansk", copy.Folder + "Snapglass_Dansk.ini"}, // nowhere yet
    };
    const std::vector<TCatalogueEntry> expected = {
        {"English", Dir / "usr/lib/snapglass/Snapglass_English.ini"},
        {"Deutsch", deutsch},
        {"Polski", polski},
        {"Dansk", copy.Folder + "Snapglass_Dansk.ini"},
    };
    EXPECT_EQ(copy.Resolved(read), expected);
    EXPECT_EQ(TUserCopyFolder().Resolved(read), read);

    EXPECT_EQ(copy.CopyPath(Dir / "usr/lib/snapglass/Snapglass_Dansk.ini"),
              copy.Folder + "Snapglass_Dansk.ini");
    EXPECT_TRUE(copy.Holds(polski));
    EXPECT_FALSE(copy.Holds(Installed));
    EXPECT_EQ(copy.InstalledFolder(), Dir / "usr/lib/snapglass/");
    EXPECT_EQ(TUserCopyFolder().CopyPath(Installed), Installed);
}

TEST_F(UserCopyFolderFiles, ADataFolderThatCannotHoldTheCopyIsSaid) {
    // A file where the folder of the copies should be.
    Dir.Write("data/Translations", "not a folder");
    std::string error;
    EXPECT_TRUE(MakeUserCopy(Data, Installed, "Snapglass", error).Empty());
    EXPECT_NE(error.find("Translations"), std::string::npos) << error;
}

} // namespace
