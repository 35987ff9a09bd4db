// The language tag that names the help file of an interface language.
#include "texts/HelpFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HelpFileTest, TheTagIsTheTextBehindTheLastUnderscoreBeforeTheFirstPoint) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"/p/Wordlark_Deutsch.ini", "Deutsch"},
        {"Wordlark_German.ini", "German"},
        {"Lang_De_Neu.ini", "Neu"},
        {"German.ini", ""},          // no "_"
        {"/p/Wordlark_English", ""}, // no "."
        {"a.b_c.ini", ""},           // the first "." comes before the "_"
        {"Wordlark_.ini", ""},
        {"Wordlark_Francais.ini.bak", "Francais"},
        {"/my_folder/German.ini", ""},        // folders do not count
        {"C:\\Pro_gramme\\Wordlark.ini", ""}, // nor Windows folders
    };
    for (const auto& [path, tag] : cases)
        EXPECT_EQ(HelpLanguageTag(path), tag) << path;
}

} // namespace
