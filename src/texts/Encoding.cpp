#include "texts/Encoding.h"

#include <cstdint>

namespace {
// Code points of the bytes 0x80 to 0x9F in Windows-1252.
const char16_t Cp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Whether Windows-1252 has a byte for the code point (the five bytes it leaves
// undefined stand for the C1 controls of the same value).
bool InCp1252(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return true;
    for (char16_t mapped : Cp1252High)
        if (mapped == cp)
            return true;
    return false;
}

// Reads the code point at `i` of UTF-8 text and steps past it; a broken or
// overlong sequence reads as U+FFFD, one byte long.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    size_t len = 1;
    uint32_t cp = c;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07;
    } else if (c >= 0x80) {
        ++i;
        return 0xFFFD;
    }
    if (i + len > text.size()) {
        ++i;
        return 0xFFFD;
    }
    for (size_t k = 1; k < len; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += len;
    return cp;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
} // namespace

bool IsValidUtf8(std::string_view bytes) {
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF.
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else if (c < 0xA0)
            AppendUtf8(out, Cp1252High[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        uint32_t cp;
        size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0 && i + 1 < text.size()) {
            cp = ((c & 0x1F) << 6) | (text[i + 1] & 0x3F);
            len = 2;
        } else if ((c & 0xF0) == 0xE0 && i + 2 < text.size()) {
            cp = ((c & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
            len = 3;
        } else {
            cp = 0xFFFF;
            len = (c & 0xF8) == 0xF0 ? 4 : 1;
        }
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (Cp1252High[k] == cp)
                mapped = static_cast<char>(0x80 + k);
        out += mapped;
    }
    return out;
}

const char* EncodingName(TTextEncoding encoding) {
    switch (encoding) {
    case TTextEncoding::Utf8:
        return "UTF-8";
    case TTextEncoding::Windows1252:
        break;
    }
    return "Windows-1252";
}

TTextEncoding DetectEncoding(std::string_view bytes) {
    return IsValidUtf8(bytes) ? TTextEncoding::Utf8 : TTextEncoding::Windows1252;
}

std::string DecodeText(std::string_view bytes, TTextEncoding encoding) {
    if (encoding == TTextEncoding::Windows1252)
        return Cp1252ToUtf8(bytes);
    return std::string(bytes);
}

std::string EncodeText(std::string_view utf8, TTextEncoding encoding) {
    if (encoding == TTextEncoding::Windows1252)
        return Utf8ToCp1252(utf8);
    return std::string(utf8);
}

std::optional<char32_t> FirstUnencodable(std::string_view utf8, TTextEncoding encoding) {
    if (encoding == TTextEncoding::Utf8)
        return std::nullopt;
    for (size_t i = 0; i < utf8.size();) {
        const uint32_t cp = NextCodePoint(utf8, i);
        if (!InCp1252(cp))
            return static_cast<char32_t>(cp);
    }
    return std::nullopt;
}
