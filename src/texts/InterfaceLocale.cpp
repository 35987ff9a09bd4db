#include "texts/InterfaceLocale.h"

#include <cctype>

namespace {
// A language code of two or three letters, then optional parts of letters and
// digits: nothing that could name another file.
bool IsLocaleName(const std::string& text) {
    size_t letters = 0;
    while (letters < text.size() && std::isalpha(static_cast<unsigned char>(text[letters])))
        ++letters;
    if (letters < 2 || letters > 3)
        return false;
    bool partStart = false;
    for (size_t i = letters; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '_' || c == '-') {
            if (partStart)
                return false;
            partStart = true;
        } else if (std::isalnum(c)) {
            partStart = false;
        } else {
            return false;
        }
    }
    return !partStart;
}
} // namespace

std::string InterfaceLocale(const std::string& declared, const std::string& languageName) {
    if (IsLocaleName(declared)) {
        std::string locale = declared;
        for (char& c : locale)
            if (c == '-')
                c = '_';
        return locale;
    }
    // Language files written before they declared a locale.
    static const struct {
        const char* name;
        const char* locale;
    } shipped[] = {{"English", "en"},
                   {"Deutsch", "de"},
                   {"Fran\xC3\xA7"
                    "ais",
                    "fr"}};
    for (const auto& language : shipped)
        if (languageName == language.name)
            return language.locale;
    return std::string();
}
