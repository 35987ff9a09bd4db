// Reading and writing UTF-8 one character at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

struct TUtf8Char {
    char32_t Code;      // U+FFFD when not valid
    std::size_t Length; // bytes taken: 1 for a byte that starts no valid sequence
    bool Valid;
};

// The character starting at s[i] (i < s.size()). Overlong forms, surrogates and
// code points past U+10FFFF are not valid; an invalid sequence takes one byte.
// The end of the run of ASCII bytes from `i`, tested eight at a time.
inline std::size_t AsciiRunEnd(std::string_view s, std::size_t i) {
    for (; s.size() - i >= 8; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if ((word & 0x8080808080808080ULL) != 0)
            break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i;
}

inline TUtf8Char NextUtf8(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80)
        return {c, 1, true};
    std::size_t length;
    char32_t code;
    char32_t least;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
        least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
        least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
        least = 0x10000;
    } else {
        return {0xFFFD, 1, false};
    }
    if (s.size() - i < length)
        return {0xFFFD, 1, false};
    for (std::size_t k = 1; k < length; ++k) {
        const auto cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80)
            return {0xFFFD, 1, false};
        code = (code << 6) | (cc & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {0xFFFD, 1, false};
    return {code, length, true};
}

inline void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
