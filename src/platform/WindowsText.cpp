// Windows implementation of the character facilities over the code page and
// character calls of the system.
#ifdef _WIN32
#include "platform/Text.h"

#include <windows.h>

namespace platform {

std::optional<char32_t> DecodeCodePageByte(unsigned codePage, unsigned char byte) {
    const char in = static_cast<char>(byte);
    wchar_t out[2] = {};
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, &in, 1, out, 2);
    if (n != 1)
        return std::nullopt;
    return static_cast<char32_t>(out[0]);
}

// The one-character forms of CharLowerW and IsCharAlphaNumericW know the
// characters of the Basic Multilingual Plane; the others are left as they are.
char32_t FoldCase(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
    if (c > 0xFFFF)
        return c;
    const auto lowered = reinterpret_cast<ULONG_PTR>(
        CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c))));
    return static_cast<char32_t>(lowered & 0xFFFF);
}

bool IsWordCharacter(char32_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '_';
    if (c > 0xFFFF)
        return false;
    return IsCharAlphaNumericW(static_cast<WCHAR>(c)) != 0;
}

} // namespace platform
#endif
