// POSIX implementation of the character facilities over iconv and the C.UTF-8
// locale's character tables.
#ifndef _WIN32
#include "platform/Text.h"

#include <cwctype>
#include <iconv.h>
#include <locale.h>
#include <string>
#include <wctype.h>

namespace platform {

namespace {

// A locale whose character tables know all of Unicode, or null when the
// system has none (then only ASCII has case and class).
locale_t UnicodeLocale() {
    static const locale_t locale = [] {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
            if (locale_t l = newlocale(LC_CTYPE_MASK, name, locale_t(nullptr)))
                return l;
        return locale_t(nullptr);
    }();
    return locale;
}

bool IsAsciiWordCharacter(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

} // namespace

std::optional<char32_t> DecodeCodePageByte(unsigned codePage, unsigned char byte) {
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[8] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    const size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4)
        return std::nullopt;
    return static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) |
                                 (static_cast<char32_t>(out[3]) << 24));
}

char32_t FoldCase(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
    if (locale_t locale = UnicodeLocale())
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale));
    return c;
}

bool IsWordCharacter(char32_t c) {
    if (c < 0x80)
        return IsAsciiWordCharacter(c);
    if (locale_t locale = UnicodeLocale())
        return iswalnum_l(static_cast<wint_t>(c), locale) != 0;
    return false;
}

} // namespace platform
#endif
