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
        {"pt-BR", "Deutsch", "pt_BR"}, // declared wins
        {"",
         "Fran\xC3\xA7"
         "ais",
         "fr"},
        {"../x", "Deutsch", "de"}, // nothing that could name another file
        {"de_", "Polski", ""},
        {"", "deutsch", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InterfaceLocale(c.declared, c.name), c.locale) << c.declared << " " << c.name;
}

} // namespace
