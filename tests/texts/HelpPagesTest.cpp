// The help pages shipped beside the executable: one per interface language,
// each with every section and every picture it shows.
#include "encoding/TextEncoding.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string DataDir = std::string(WORDLARK_DATA_DIR) + "/";

std::set<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it)
        found.insert((*it)[1].str());
    return found;
}

TEST(HelpPagesTest, EveryLanguageHasAWholeHelpPageWithItsPictures) {
    const std::regex id("id=\"([a-z]+)\"");
    const std::regex picture("src=\"([^\"]+)\"");
    const std::regex link("href=\"#([a-z]+)\"");
    std::set<std::string> englishSections;
    for (const char* tag : {"English", "Deutsch", "Francais"}) {
        SCOPED_TRACE(tag);
        // The help command finds the page by the language file's tag.
        const std::string name = std::string("Wordlark_") + tag + ".html";
        ASSERT_TRUE(fs::is_regular_file(DataDir + name));
        ASSERT_TRUE(fs::is_regular_file(DataDir + "Wordlark_" + tag + ".ini"));
        const std::string page = TempDir::Read(DataDir + name);
        EXPECT_TRUE(IsValidUtf8(page));
        EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);

        const std::set<std::string> sections = Matches(page, id);
        if (englishSections.empty())
            englishSections = sections;
        EXPECT_EQ(sections, englishSections);
        for (const std::string& target : Matches(page, link))
            EXPECT_EQ(sections.count(target), 1u) << "#" << target;

        // Pictures are found beside the page, also where it is installed.
        const std::set<std::string> pictures = Matches(page, picture);
        EXPECT_GE(pictures.size(), 4u);
        for (const std::string& src : pictures) {
            EXPECT_EQ(src.rfind("help/", 0), 0u) << src;
            EXPECT_TRUE(fs::is_regular_file(DataDir + src)) << src;
        }
    }
    EXPECT_EQ(englishSections.size(), 12u);
}

} // namespace
