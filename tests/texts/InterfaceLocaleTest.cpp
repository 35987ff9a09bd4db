// The locale an interface language stands for.
#include "texts/InterfaceLocale.h"

#include <gtest/gtest.h>

namespace {

TEST(InterfaceLocaleTest, DeclaredLocaleElseTheShippedLanguagesElseNone) {
    const struct {
        const char* declared;
        const char* name;
        const char* locale;
    } cases[] = {
        {"de", "Deutsch", "de"},
        {"pt_BR", "Português", "pt_BR"},
        {"pt-BR", "Português", "pt_BR"},
        {"", "Deutsch", "de"},
        {"",
         "Fran\xC3\xA7"
         "ais",
         "fr"},
        {"", "English", "en"},
        // Nothing that could name another file, nor any other junk.
        {"../../x", "Deutsch", "de"},
        {"de/../fr", "Polski", ""},
        {"d", "Polski", ""},
        {"de_", "Polski", ""},
        {"de__AT", "Polski", ""},
        {"", "deutsch", ""},
        {"", "Polski", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InterfaceLocale(c.declared, c.name), c.locale) << c.declared << " " << c.name;
}

} // namespace
