// The program's own catalogue and language files as they ship beside the
// executable.
#include "encoding/TextEncoding.h"
#include "initfile/InitFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string DataDir = std::string(WORDLARK_DATA_DIR) + "/";

struct Entry {
    std::string Key;
    std::string Value;
};

// Splits a shipped file into its Key="Value" lines, failing on any line of
// another shape or with another line end.
std::vector<Entry> ReadEntries(const std::string& name) {
    const std::string bytes = TempDir::Read(DataDir + name);
    std::vector<Entry> entries;
    EXPECT_FALSE(bytes.empty()) << name;
    EXPECT_TRUE(IsValidUtf8(bytes)) << name;
    EXPECT_NE(bytes.rfind("\xEF\xBB\xBF", 0), 0u) << name << " starts with a byte order mark";
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << name << ": last line does not end in CR LF";
            break;
        }
        const std::string line = bytes.substr(start, end - start);
        start = end + 2;
        const size_t eq = line.find("=\"");
        if (eq == std::string::npos || eq == 0 || line.back() != '"' || line.size() < eq + 3) {
            ADD_FAILURE() << name << ": not a Key=\"Value\" line: " << line;
            continue;
        }
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << name << ": " << line;
        entries.push_back({line.substr(0, eq), line.substr(eq + 2, line.size() - eq - 3)});
    }
    return entries;
}

const char* const LanguageFiles[] = {"Wordlark_English.ini", "Wordlark_Deutsch.ini",
                                     "Wordlark_Francais.ini"};

TEST(ShippedLanguagesTest, CatalogueListsTheThreeLanguagesWithTheirFiles) {
    const std::vector<Entry> entries = ReadEntries("Languages.ini");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"LanguageName", "English"},   {"LanguageFile", "Wordlark_English.ini"},
        {"LanguageName", "Deutsch"},   {"LanguageFile", "Wordlark_Deutsch.ini"},
        {"LanguageName", "Français"},  {"LanguageFile", "Wordlark_Francais.ini"},
        {"LanguageDefault", "English"}};
    ASSERT_EQ(entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(entries[i].Key, expected[i].first) << i;
        EXPECT_EQ(entries[i].Value, expected[i].second) << i;
        if (entries[i].Key == "LanguageFile") {
            EXPECT_TRUE(fs::is_regular_file(DataDir + entries[i].Value)) << entries[i].Value;
        }
    }

    // Read as the program reads it: each name paired with the file after it.
    TInitFile catalogue(TInitFile::TForm::Ini);
    ASSERT_TRUE(catalogue.Load(DataDir + "Languages.ini"));
    EXPECT_EQ(catalogue.GetString("LanguageDefault", ""), "English");
    std::vector<std::pair<std::string, std::string>> pairs;
    std::string name = catalogue.GetString("LanguageName", "");
    std::string file = catalogue.GetString("LanguageFile", "");
    while (!name.empty() && !file.empty()) {
        pairs.emplace_back(name, file);
        name = catalogue.GetNextString("LanguageName");
        file = catalogue.GetNextString("LanguageFile");
    }
    EXPECT_EQ(pairs, (std::vector<std::pair<std::string, std::string>>{
                         {"English", "Wordlark_English.ini"},
                         {"Deutsch", "Wordlark_Deutsch.ini"},
                         {"Français", "Wordlark_Francais.ini"}}));
}

// The English file leaves its step-3 text empty: the built-in text holds a
// double quote, which no value in a language file can hold.
bool IsLeftToTheBuiltInText(const std::string& file, const std::string& key) {
    return file == "Wordlark_English.ini" && key == "FrmWordlark.LblTranslations";
}

TEST(ShippedLanguagesTest, EveryLanguageHoldsEveryKeyOnceWithAUsableValue) {
    const std::vector<Entry> english = ReadEntries("Wordlark_English.ini");
    ASSERT_GT(english.size(), 80u);
    for (const char* name : LanguageFiles) {
        const std::vector<Entry> entries = ReadEntries(name);
        // Same keys, same order, so the files can be compared line by line.
        ASSERT_EQ(entries.size(), english.size()) << name;
        TInitFile doc(TInitFile::TForm::Ini);
        ASSERT_TRUE(doc.Load(DataDir + name));
        for (size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            EXPECT_EQ(e.Key, english[i].Key) << name;
            if (IsLeftToTheBuiltInText(name, e.Key))
                continue;
            EXPECT_FALSE(e.Value.empty()) << name << ": " << e.Key;
            EXPECT_EQ(e.Value.find('"'), std::string::npos) << name << ": " << e.Key;
            // The program finds the value it is meant to, not one of a key that
            // merely ends the same way.
            EXPECT_EQ(doc.GetString(e.Key, ""), e.Value) << name << ": " << e.Key;
        }
    }
}

TEST(ShippedLanguagesTest, TheKeysCoverEveryWindow) {
    const std::vector<Entry> english = ReadEntries("Wordlark_English.ini");
    for (const char* prefix :
         {"FrmWordlark.", "FrmWiz.", "FrmSend.", "FrmAddLang.", "FrmIniFile.", "FrmInfo."}) {
        const auto count = std::count_if(english.begin(), english.end(), [&](const Entry& e) {
            return e.Key.rfind(prefix, 0) == 0;
        });
        EXPECT_GT(count, 0) << prefix;
    }
    for (const Entry& e : english)
        EXPECT_EQ(std::count_if(english.begin(), english.end(),
                                [&](const Entry& other) { return other.Key == e.Key; }),
                  1)
            << e.Key;
}

TEST(ShippedLanguagesTest, TranslationsKeepTheMakersAddressesAndLeadingBlanks) {
    const std::vector<Entry> english = ReadEntries("Wordlark_English.ini");
    for (const char* name : LanguageFiles) {
        const std::vector<Entry> entries = ReadEntries(name);
        ASSERT_EQ(entries.size(), english.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            if (IsLeftToTheBuiltInText("Wordlark_English.ini", english[i].Key))
                continue;
            const std::string& en = english[i].Value;
            const std::string& tr = entries[i].Value;
            for (const char* host :
                 {"www.brightmoor.example", "brightmoor.example", "%s", "%1", "%2"})
                EXPECT_EQ(en.find(host) != std::string::npos, tr.find(host) != std::string::npos)
                    << name << ": " << english[i].Key << " and " << host;
            // Messages shown right behind a quoted name start with a blank.
            EXPECT_EQ(en.front() == ' ', tr.front() == ' ') << name << ": " << english[i].Key;
        }
    }
}

} // namespace
