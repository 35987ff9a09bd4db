// Spelling through Enchant with the dictionaries the set-up script installs;
// the personal word list goes to a folder of the test's own.
#include "workbench/Speller.h"

#include "support/ScopedEnvironment.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

class SpellerTest : public ::testing::Test {
protected:
    void SetUp() override { Environment.Set("ENCHANT_CONFIG_DIR", Dir.Path()); }
    TempDir Dir;
    ScopedEnvironment Environment;
};

TEST_F(SpellerTest, ChecksWordsOfEachShippedLanguage) {
    TSpeller speller;
    const struct {
        const char* tag;
        const char* right;
        const char* wrong;
        const char* meant;
    } cases[] = {
        {"de_DE", "Größe", "Grösse", "Größe"},
        {"de_DE", "speichern", "speichren", "speichern"},
        {"fr", "Enregistrer", "Enregistrr", "Enregistrer"},
        {"en_US", "picture", "pictrue", "picture"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(speller.SetLanguage(c.tag)) << c.tag;
        EXPECT_EQ(speller.Language(), c.tag);
        EXPECT_TRUE(speller.Check(c.right)) << c.right;
        EXPECT_FALSE(speller.Check(c.wrong)) << c.wrong;
        const std::vector<std::string> suggestions = speller.Suggest(c.wrong);
        EXPECT_LE(suggestions.size(), TSpeller::MaxSuggestions);
        EXPECT_NE(std::find(suggestions.begin(), suggestions.end(), c.meant), suggestions.end())
            << c.wrong;
    }
    const std::vector<std::string> installed = speller.Dictionaries();
    for (const char* tag : {"de_DE", "fr", "en_US"})
        EXPECT_NE(std::find(installed.begin(), installed.end(), tag), installed.end()) << tag;
}

TEST_F(SpellerTest, PersonalWordsStayIgnoredOnesDoNot) {
    {
        TSpeller speller;
        ASSERT_TRUE(speller.SetLanguage("de_DE"));
        EXPECT_FALSE(speller.Check("Snapglass"));
        EXPECT_FALSE(speller.Check("Bildlein"));
        speller.AddToPersonal("Snapglass");
        speller.Ignore("Bildlein");
        EXPECT_TRUE(speller.Check("Snapglass"));
        EXPECT_TRUE(speller.Check("Bildlein"));
    }
    TSpeller later;
    ASSERT_TRUE(later.SetLanguage("de_DE"));
    EXPECT_TRUE(later.Check("Snapglass"));
    EXPECT_FALSE(later.Check("Bildlein"));
    // Personal words are kept per language.
    ASSERT_TRUE(later.SetLanguage("fr"));
    EXPECT_FALSE(later.Check("Snapglass"));
}

TEST_F(SpellerTest, WithoutADictionaryNothingIsMarked) {
    TSpeller speller;
    EXPECT_FALSE(speller.HasDictionary("tlh_XX"));
    EXPECT_FALSE(speller.HasDictionary(""));
    ASSERT_TRUE(speller.SetLanguage("de_DE"));
    EXPECT_FALSE(speller.SetLanguage("tlh_XX"));
    EXPECT_FALSE(speller.Ready());
    EXPECT_EQ(speller.Language(), "");
    EXPECT_TRUE(speller.Check("Dtaei"));
    EXPECT_TRUE(speller.Suggest("Dtaei").empty());
    speller.AddToPersonal("Dtaei"); // nothing to add to, nothing happens
}

} // namespace
