#include "initfile/Catalogue.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {
const std::string Pairs = "LanguageName=\"English\"\r\nLanguageFile=\"App_English.ini\"\r\n"
                          "LanguageName=\"Deutsch\"\r\nLanguageFile=\"App_Deutsch.ini\"\r\n";

std::vector<std::string> Names(const TCatalogueContents& c) {
    std::vector<std::string> names;
    for (const auto& e : c.Entries)
        names.push_back(e.Name);
    return names;
}

using Strings = std::vector<std::string>;
} // namespace

TEST(Catalogue, ListsPairsAndTheDefaultUnderEitherKey) {
    TempDir dir;
    for (const std::string key : {"LanguageDefault", "DefautltLanguage"}) {
        const auto c = ReadCatalogue(dir.Write("Languages.ini", Pairs + key + "=\"Deutsch\"\r\n"));
        EXPECT_EQ(Names(c), (Strings{"English", "Deutsch"}));
        EXPECT_EQ(c.Entries[1].Path, dir / "App_Deutsch.ini");
        EXPECT_EQ(c.DefaultChoices, (Strings{"English", "Deutsch"}));
        EXPECT_EQ(c.SelectedChoice, 1);
        EXPECT_EQ(c.DefaultLanguageIndex, 1);
        EXPECT_EQ(c.UsesMisspelledDefaultKey, key == std::string("DefautltLanguage"));
    }
}

TEST(Catalogue, MisspelledDefaultWinsUnlessEmpty) {
    TempDir dir;
    auto c = ReadCatalogue(
        dir.Write("Languages.ini",
                  Pairs + "LanguageDefault=\"English\"\r\nDefautltLanguage=\"Deutsch\"\r\n"));
    EXPECT_EQ(c.DefaultChoices[static_cast<size_t>(c.SelectedChoice)], "Deutsch");
    EXPECT_TRUE(c.UsesMisspelledDefaultKey);
    c = ReadCatalogue(dir.Write(
        "Languages.ini", Pairs + "DefautltLanguage=\"\"\r\nLanguageDefault=\"Deutsch\"\r\n"));
    EXPECT_EQ(c.DefaultChoices[static_cast<size_t>(c.SelectedChoice)], "Deutsch");
    EXPECT_FALSE(c.UsesMisspelledDefaultKey);
}

TEST(Catalogue, WithoutEnglishTheOfferedEnglishStaysFirst) {
    TempDir dir;
    const auto c = ReadCatalogue(dir.Write(
        "Languages.ini", "LanguageName=\"Deutsch\"\r\nLanguageFile=\"App_Deutsch.ini\"\r\n"));
    EXPECT_EQ(c.DefaultChoices, (Strings{"English", "Deutsch"}));
    EXPECT_EQ(c.SelectedChoice, 0);
    EXPECT_EQ(c.DefaultLanguageIndex, -1);
}

TEST(Catalogue, DefaultIndexIsKeptAsStoredWhenALaterEnglishRemovesItemZero) {
    TempDir dir;
    const auto c = ReadCatalogue(
        dir.Write("Languages.ini", "LanguageName=\"Deutsch\"\r\nLanguageFile=\"A_Deutsch.ini\"\r\n"
                                   "LanguageName=\"English\"\r\nLanguageFile=\"A_English.ini\"\r\n"
                                   "LanguageDefault=\"Deutsch\"\r\n"));
    EXPECT_EQ(c.DefaultChoices, (Strings{"Deutsch", "English"}));
    EXPECT_EQ(c.DefaultChoices[static_cast<size_t>(c.SelectedChoice)], "Deutsch");
    EXPECT_EQ(c.DefaultLanguageIndex, 1);
}

TEST(Catalogue, FilesAreAlwaysTakenFromTheCataloguesFolder) {
    TempDir dir;
    const auto c = ReadCatalogue(
        dir.Write("P/Languages.ini",
                  "LanguageName=\"Deutsch\"\r\nLanguageFile=\"C:\\Other\\App_Deutsch.ini\"\r\n"
                  "LanguageName=\"Svenska\"\r\nLanguageFile=\"../up/App_Svenska.ini\"\r\n"));
    ASSERT_EQ(c.Entries.size(), 2u);
    EXPECT_EQ(c.Entries[0].Path, dir / "P/App_Deutsch.ini");
    EXPECT_EQ(c.Entries[1].Path, dir / "P/App_Svenska.ini");
}

TEST(Catalogue, EnumerationStopsAtTheFirstIncompletePair) {
    TempDir dir;
    const auto c = ReadCatalogue(dir.Write(
        "Languages.ini", "LanguageName=\"English\"\r\nLanguageFile=\"A_English.ini\"\r\n"
                         "LanguageName=\"Deutsch\"\r\nLanguageFile=\"\"\r\n"
                         "LanguageName=\"Svenska\"\r\nLanguageFile=\"A_Svenska.ini\"\r\n"));
    EXPECT_EQ(Names(c), (Strings{"English"}));
}

TEST(Catalogue, BadFilesListNothing) {
    TempDir dir;
    // Missing: not even the offered English.
    auto c = ReadCatalogue(dir / "missing.ini");
    EXPECT_FALSE(c.FileFound);
    EXPECT_TRUE(c.DefaultChoices.empty());
    // A folder is no file.
    c = ReadCatalogue(dir.Path());
    EXPECT_FALSE(c.FileFound);
    // Empty, binary and NUL-filled files list nothing but keep the offered English.
    for (const std::string& bytes :
         {std::string(),
          std::string("\x7f"
                      "ELF\x02\x01\x01\0\0\0",
                      10),
          std::string(4096, '\0'), std::string("LanguageName=\"En\0glish\"", 23)}) {
        c = ReadCatalogue(dir.Write("Languages.ini", bytes));
        EXPECT_TRUE(c.FileFound);
        EXPECT_TRUE(c.Entries.empty());
        EXPECT_EQ(c.DefaultChoices, (Strings{"English"}));
    }
}

TEST(Catalogue, BuildsTheGeneratedLayout) {
    const std::vector<TCatalogueEntry> entries = {{"English", "/p/App_English.ini"},
                                                  {"Deutsch", "C:\\P\\App_Deutsch.ini"}};
    EXPECT_EQ(BuildCatalogueText("Snapglass", entries, "Deutsch", false),
              "[SNAPGLASS_WORDLARK_GENERATED_FILE]\r\nLanguageName=\"English\"\r\n"
              "LanguageFile=\"App_English.ini\"\r\nLanguageName=\"Deutsch\"\r\n"
              "LanguageFile=\"App_Deutsch.ini\"\r\nLanguageDefault=\"Deutsch\"\r\n");
    EXPECT_EQ(BuildCatalogueText("", entries, "", true).substr(0, 28),
              "[_WORDLARK_GENERATED_FILE]\r\n");
    EXPECT_EQ(BuildCatalogueText("x", {}, "English", true), "\r\nDefautltLanguage=\"English\"\r\n");
    EXPECT_EQ(BuildCatalogueText("x", {}, "English", false), "LanguageDefault=\"English\"\r\n");
    // Only the letters a to z are raised; other bytes stay.
    EXPECT_EQ(GeneratedFileMarker("snap-1\xe4x"), "[SNAP-1\xe4X_WORDLARK_GENERATED_FILE]");
    EXPECT_THROW(BuildCatalogueText("x", {{"Deutsch", ""}}, "", false), std::runtime_error);
}

TEST(Catalogue, WrittenCatalogueReadsBackTheSameList) {
    TempDir dir;
    const std::vector<TCatalogueEntry> entries = {{"English", dir / "S_English.ini"},
                                                  {"Fran\xc3\xa7"
                                                   "ais",
                                                   dir / "S_Fran\xc3\xa7"
                                                         "ais.ini"}};
    for (bool misspelled : {false, true}) {
        const auto c = ReadCatalogue(dir.Write("Languages.ini", BuildCatalogueText("S", entries,
                                                                                   "Fran\xc3\xa7"
                                                                                   "ais",
                                                                                   misspelled)));
        ASSERT_EQ(c.Entries.size(), 2u);
        EXPECT_EQ(c.Entries[1].Name, entries[1].Name);
        EXPECT_EQ(c.Entries[1].Path, entries[1].Path);
        EXPECT_EQ(c.DefaultLanguageIndex, 1);
        EXPECT_EQ(c.UsesMisspelledDefaultKey, misspelled);
    }
}

TEST(Catalogue, NewFilePathFollowsTheFirstFilesName) {
    EXPECT_EQ(NewTranslationPath("C:\\Programs\\Snapglass\\Snapglass_English.ini",
                                 "Fran\xc3\xa7"
                                 "ais",
                                 "C:\\Programs\\Snapglass\\"),
              "C:\\Programs\\Snapglass\\Snapglass_Fran\xc3\xa7"
              "ais.ini");
    // Only the file name is searched for "_", never its folders.
    EXPECT_EQ(NewTranslationPath("/opt/My_Apps/Snap/Snapglass_English.ini", "Dansk",
                                 "/opt/My_Apps/Snap/"),
              "/opt/My_Apps/Snap/Snapglass_Dansk.ini");
    // A file name without "_" puts the new file into the catalogue's folder.
    EXPECT_EQ(NewTranslationPath("/opt/My_Apps/English.ini", "Dansk", "/opt/My_Apps/"),
              "/opt/My_Apps/_Dansk.ini");
    EXPECT_EQ(NewTranslationPath("/p/A_B_English.ini", "Dansk", "/p/"), "/p/A_Dansk.ini");
}

TEST(Catalogue, LanguageNamesThatCannotNameAFileAreRefused) {
    for (const std::string ok : {"Deutsch",
                                 "Fran\xc3\xa7"
                                 "ais",
                                 "Portugu\xeas (Brasil)", "deutsch"})
        EXPECT_EQ(LanguageNameProblem(ok), "") << ok;
    for (const std::string bad : {"../etc", "a/b", "a\\b", "..", "Say \"hi\"", "two\r\nlines",
                                  "tab\there", "C:", "a*", "what?", "pipe|", "dot.", "blank "})
        EXPECT_NE(LanguageNameProblem(bad), "") << bad;
}

TEST(Catalogue, AHugeFileWithoutPairsListsNothingQuickly) {
    TempDir dir;
    // 200 MB of text with one key that never gets its value closed.
    std::string bytes(200u << 20, 'A');
    bytes.replace(1000, 14, "LanguageName=\"");
    const auto c = ReadCatalogue(dir.Write("Languages.ini", bytes));
    EXPECT_TRUE(c.FileFound);
    EXPECT_TRUE(c.Entries.empty());
}

// A catalogue never names as default a language it does not list.
TEST(Catalogue, TheSavedDefaultIsAlwaysAListedLanguage) {
    const std::vector<TCatalogueEntry> listed = {{"English", "/p/App_English.ini"},
                                                 {"Deutsch", "/p/App_Deutsch.ini"}};
    EXPECT_EQ(ListedDefault("Deutsch", "English", listed), "Deutsch");
    // A deleted language gives way to the default the catalogue had when
    // opened, while that is listed, else to the first listed language.
    EXPECT_EQ(ListedDefault("Cestina", "Deutsch", listed), "Deutsch");
    EXPECT_EQ(ListedDefault("Cestina", "Dansk", listed), "English");
    EXPECT_EQ(ListedDefault("Cestina", "", listed), "English");
    EXPECT_EQ(ListedDefault("", "", {{"Deutsch", "/p/App_Deutsch.ini"}}), "Deutsch");
    // Nothing listed: nothing to choose from.
    EXPECT_EQ(ListedDefault("English", "Deutsch", {}), "English");
}
