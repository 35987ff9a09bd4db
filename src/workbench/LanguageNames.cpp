#include "workbench/LanguageNames.h"

#include "encoding/TextEncoding.h"
#include "encoding/Utf8.h"

#include <string_view>

std::string LanguageNameText(std::string_view bytes) {
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    return DecodeText(bytes, TTextEncoding::Windows1252);
}

namespace {

// The base letters of U+0100 to U+017F (Latin Extended-A), "#" where the
// letter is kept as it is (the ligatures IJ and OE).
constexpr std::string_view ExtendedA = "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii##jjkkk"
                                       "llllllllllnnnnnnnnnoooooo##rrrrrrssssssssttttttuuuuuuuuuuuu"
                                       "wwyyyzzzzzzs";
static_assert(ExtendedA.size() == 0x80);

// The base letters of U+00C0 to U+00FF (the letters of Latin-1), "#" where
// the character is kept (×, ÷, Þ, þ) and "+" for the two-letter ones.
constexpr std::string_view Latin1 = "aaaaaa+ceeeeiiiidnooooo#ouuuuy#+"
                                    "aaaaaa+ceeeeiiiidnooooo#ouuuuy#y";
static_assert(Latin1.size() == 0x40);

void AppendFolded(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
        return;
    }
    if (c >= 0xC0 && c <= 0xFF) {
        const char base = Latin1[c - 0xC0];
        if (base == '+')
            out += (c == 0xDF) ? "ss" : "ae";
        else if (base != '#')
            out += base;
        else
            AppendUtf8(out, c == 0xDE ? 0xFE : c);
        return;
    }
    if (c >= 0x100 && c <= 0x17F && ExtendedA[c - 0x100] != '#') {
        out += ExtendedA[c - 0x100];
        return;
    }
    // Greek and Cyrillic capitals to small letters.
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2)
        c += 0x20;
    else if (c >= 0x410 && c <= 0x42F)
        c += 0x20;
    else if (c >= 0x400 && c <= 0x40F)
        c += 0x50;
    AppendUtf8(out, c);
}

bool IsBlankByte(char c) {
    return c == ' ' || c == '\t';
}

struct TDictionaryName {
    std::string_view Folded;
    std::string_view Tag;
};

// Each language under its own name and its English one, folded. Variants
// written with the country in brackets come first where a dictionary of their
// own exists.
constexpr TDictionaryName Dictionaries[] = {
    {"english", "en_US"},
    {"english (us)", "en_US"},
    {"english (usa)", "en_US"},
    {"american", "en_US"},
    {"english (uk)", "en_GB"},
    {"english (gb)", "en_GB"},
    {"british", "en_GB"},
    {"deutsch", "de_DE"},
    {"german", "de_DE"},
    {"deutsch (schweiz)", "de_CH"},
    {"schweizerdeutsch", "de_CH"},
    {"deutsch (osterreich)", "de_AT"},
    {"francais", "fr"},
    {"french", "fr"},
    {"francais (canada)", "fr_CA"},
    {"francais (belgique)", "fr_BE"},
    {"francais (suisse)", "fr_CH"},
    {"polski", "pl_PL"},
    {"polish", "pl_PL"},
    {"espanol", "es_ES"},
    {"castellano", "es_ES"},
    {"spanish", "es_ES"},
    {"italiano", "it_IT"},
    {"italian", "it_IT"},
    {"nederlands", "nl_NL"},
    {"dutch", "nl_NL"},
    {"portugues", "pt_PT"},
    {"portuguese", "pt_PT"},
    {"portugues (brasil)", "pt_BR"},
    {"brasileiro", "pt_BR"},
    {"cestina", "cs_CZ"},
    {"czech", "cs_CZ"},
    {"slovencina", "sk_SK"},
    {"slovak", "sk_SK"},
    {"slovenscina", "sl_SI"},
    {"slovenian", "sl_SI"},
    {"magyar", "hu_HU"},
    {"hungarian", "hu_HU"},
    {"dansk", "da_DK"},
    {"danish", "da_DK"},
    {"svenska", "sv_SE"},
    {"swedish", "sv_SE"},
    {"norsk", "nb_NO"},
    {"norsk bokmal", "nb_NO"},
    {"norwegian", "nb_NO"},
    {"suomi", "fi_FI"},
    {"finnish", "fi_FI"},
    {"eesti", "et_EE"},
    {"estonian", "et_EE"},
    {"lietuviu", "lt_LT"},
    {"lithuanian", "lt_LT"},
    {"latviesu", "lv_LV"},
    {"latvian", "lv_LV"},
    {"romana", "ro_RO"},
    {"romanian", "ro_RO"},
    {"hrvatski", "hr_HR"},
    {"croatian", "hr_HR"},
    {"turkce", "tr_TR"},
    {"turkish", "tr_TR"},
    {"catala", "ca_ES"},
    {"catalan", "ca_ES"},
    {"galego", "gl_ES"},
    {"galician", "gl_ES"},
    {"euskara", "eu_ES"},
    {"basque", "eu_ES"},
    {"islenska", "is_IS"},
    {"icelandic", "is_IS"},
    {"русский", "ru_RU"},
    {"russian", "ru_RU"},
    {"українська", "uk_UA"},
    {"ukrainian", "uk_UA"},
    {"български", "bg_BG"},
    {"bulgarian", "bg_BG"},
    {"ελληνικά", "el_GR"},
    {"ελληνικα", "el_GR"},
    {"greek", "el_GR"},
};

std::optional<std::string> Lookup(std::string_view folded) {
    for (const TDictionaryName& d : Dictionaries)
        if (d.Folded == folded)
            return std::string(d.Tag);
    return std::nullopt;
}

} // namespace

std::string FoldedLanguageName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    bool blank = false;
    for (std::size_t i = 0; i < name.size();) {
        const TUtf8Char c = NextUtf8(name, i);
        i += c.Length;
        if (c.Code < 0x80 && IsBlankByte(static_cast<char>(c.Code))) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        AppendFolded(out, c.Code);
    }
    return out;
}

std::optional<std::string> DictionaryForLanguage(std::string_view name) {
    const std::string folded = FoldedLanguageName(name);
    if (auto tag = Lookup(folded))
        return tag;
    // "Deutsch (Schweiz)" without a variant of its own: the language alone.
    const std::size_t bracket = folded.find('(');
    if (bracket != std::string::npos && bracket > 0) {
        std::string base = folded.substr(0, bracket);
        while (!base.empty() && base.back() == ' ')
            base.pop_back();
        return Lookup(base);
    }
    return std::nullopt;
}
