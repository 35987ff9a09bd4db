#include "encoding/Codec.h"

#include "encoding/Utf8.h"
#include "platform/Text.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {

// The private-use characters that stand for single bytes: U+F700 + byte.
constexpr char32_t ByteEscape = 0xF700;
bool IsByteEscape(char32_t c) {
    return c >= ByteEscape + 0x80 && c <= ByteEscape + 0xFF;
}

// The length of the part of `bytes` from the start that UTF-8 decoding keeps
// as it is: valid sequences, none of them a byte escape. Runs of ASCII are
// skipped eight bytes at a time.
std::size_t AsIsPrefix(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        i = AsciiRunEnd(bytes, i);
        if (i == bytes.size())
            break;
        const TUtf8Char c = NextUtf8(bytes, i);
        if (!c.Valid || IsByteEscape(c.Code))
            break;
        i += c.Length;
    }
    return i;
}

unsigned CodePageOf(TEncoding encoding) {
    switch (encoding) {
    case TEncoding::Windows1250:
        return 1250;
    case TEncoding::Windows1251:
        return 1251;
    case TEncoding::Windows1252:
        return 1252;
    case TEncoding::Windows1253:
        return 1253;
    case TEncoding::Windows1254:
        return 1254;
    case TEncoding::Windows1257:
        return 1257;
    case TEncoding::Utf8:
        break;
    }
    return 0;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

std::string_view EncodingName(TEncoding encoding) {
    switch (encoding) {
    case TEncoding::Utf8:
        return "UTF-8";
    case TEncoding::Windows1250:
        return "Windows-1250";
    case TEncoding::Windows1251:
        return "Windows-1251";
    case TEncoding::Windows1252:
        return "Windows-1252";
    case TEncoding::Windows1253:
        return "Windows-1253";
    case TEncoding::Windows1254:
        return "Windows-1254";
    case TEncoding::Windows1257:
        return "Windows-1257";
    }
    return "";
}

std::optional<TEncoding> EncodingFromName(std::string_view name) {
    for (TEncoding encoding : AllEncodings)
        if (SameLetters(name, EncodingName(encoding)))
            return encoding;
    return std::nullopt;
}

// Each codec is made the first time it is asked for, so that the tables of a
// code page are built only when a file is shown in it.
const TCodec& TCodec::Of(TEncoding encoding) {
    switch (encoding) {
    case TEncoding::Utf8:
        break;
    case TEncoding::Windows1250: {
        static const TCodec codec(TEncoding::Windows1250);
        return codec;
    }
    case TEncoding::Windows1251: {
        static const TCodec codec(TEncoding::Windows1251);
        return codec;
    }
    case TEncoding::Windows1252: {
        static const TCodec codec(TEncoding::Windows1252);
        return codec;
    }
    case TEncoding::Windows1253: {
        static const TCodec codec(TEncoding::Windows1253);
        return codec;
    }
    case TEncoding::Windows1254: {
        static const TCodec codec(TEncoding::Windows1254);
        return codec;
    }
    case TEncoding::Windows1257: {
        static const TCodec codec(TEncoding::Windows1257);
        return codec;
    }
    }
    static const TCodec utf8(TEncoding::Utf8);
    return utf8;
}

TCodec::TCodec(TEncoding encoding) : FEncoding(encoding) {
    if (encoding == TEncoding::Utf8)
        return;
    FLowBytes.fill(-1);
    const unsigned codePage = CodePageOf(encoding);
    std::array<char32_t, 256> characters{};
    std::array<bool, 256> defined{};
    for (unsigned b = 0; b < 256; ++b) {
        const std::optional<char32_t> c =
            platform::DecodeCodePageByte(codePage, static_cast<unsigned char>(b));
        // Some converters give bytes the code page leaves undefined a
        // private-use character of their own; such a byte has no meaning, and
        // is shown the same way everywhere.
        defined[b] = c && !(*c >= 0xE000 && *c <= 0xF8FF);
        characters[b] = c.value_or(0);
    }
    // Each character may stand for one byte only, so that every byte comes
    // back as it was: the defined bytes first, then the undefined ones (and any
    // byte whose character an earlier byte has taken) get characters of
    // their own.
    const auto take = [this](unsigned b, char32_t c) {
        if (ByteOf(c))
            return false;
        if (c < FLowBytes.size())
            FLowBytes[c] = static_cast<short>(b);
        else
            FHighBytes.emplace(c, static_cast<unsigned char>(b));
        FDecoded[b].clear();
        AppendUtf8(FDecoded[b], c);
        return true;
    };
    std::array<bool, 256> taken{};
    for (unsigned b = 0; b < 256; ++b)
        if (defined[b])
            taken[b] = take(b, characters[b]);
    for (unsigned b = 0; b < 256; ++b)
        if (!taken[b] && !(b >= 0x80 && b < 0xA0 && take(b, b)))
            take(b, ByteEscape + b);
}

std::optional<unsigned char> TCodec::ByteOf(char32_t c) const {
    if (c < FLowBytes.size()) {
        if (FLowBytes[c] < 0)
            return std::nullopt;
        return static_cast<unsigned char>(FLowBytes[c]);
    }
    const auto hit = FHighBytes.find(c);
    if (hit == FHighBytes.end())
        return std::nullopt;
    return hit->second;
}

bool TCodec::DecodesAsIs(std::string_view bytes) const {
    return FEncoding == TEncoding::Utf8 && AsIsPrefix(bytes) == bytes.size();
}

std::string TCodec::Decode(std::string_view bytes) const {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    if (FEncoding != TEncoding::Utf8) {
        for (char byte : bytes)
            text += FDecoded[static_cast<unsigned char>(byte)];
        return text;
    }
    // Text shown as it is (nearly every UTF-8 file) is copied in one piece.
    std::size_t i = AsIsPrefix(bytes);
    text.append(bytes.substr(0, i));
    while (i < bytes.size()) {
        const TUtf8Char c = NextUtf8(bytes, i);
        if (c.Valid && !IsByteEscape(c.Code)) {
            text.append(bytes.substr(i, c.Length));
        } else {
            // A stray byte, or the bytes of a character that would read as
            // one: each shown as the character that stands for it.
            for (std::size_t k = 0; k < c.Length; ++k)
                AppendUtf8(text, ByteEscape + static_cast<unsigned char>(bytes[i + k]));
        }
        i += c.Length;
    }
    return text;
}

std::optional<TUnencodable> TCodec::Encode(std::string_view text, std::string& bytes) const {
    bytes.clear();
    bytes.reserve(text.size());
    std::size_t i = 0;
    if (FEncoding == TEncoding::Utf8) {
        // Up to the first character that stands for a stray byte (U+F780 to
        // U+F7FF: EF 9E xx or EF 9F xx), the text is its own bytes.
        for (;;) {
            i = text.find('\xEF', i);
            if (i == std::string_view::npos || i + 1 >= text.size()) {
                i = text.size();
                break;
            }
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next == 0x9E || next == 0x9F)
                break;
            ++i;
        }
        bytes.append(text.substr(0, i));
    }
    while (i < text.size()) {
        const TUtf8Char c = NextUtf8(text, i);
        if (FEncoding == TEncoding::Utf8) {
            if (c.Valid && IsByteEscape(c.Code))
                bytes += static_cast<char>(c.Code - ByteEscape);
            else
                bytes.append(text.substr(i, c.Length));
        } else {
            const std::optional<unsigned char> byte =
                c.Valid ? ByteOf(c.Code) : std::optional<unsigned char>();
            if (!byte) {
                bytes.clear();
                return TUnencodable{i, c.Code};
            }
            bytes += static_cast<char>(*byte);
        }
        i += c.Length;
    }
    return std::nullopt;
}

std::optional<TUnencodable> TCodec::FirstUnholdable(std::string_view text) const {
    std::size_t i = 0;
    while (i < text.size()) {
        const TUtf8Char c = NextUtf8(text, i);
        const bool holds = c.Valid && !IsByteEscape(c.Code) &&
                           (FEncoding == TEncoding::Utf8 || ByteOf(c.Code).has_value());
        if (!holds)
            return TUnencodable{i, c.Code};
        i += c.Length;
    }
    return std::nullopt;
}

std::vector<TEncoding> EncodingsHolding(std::string_view text) {
    std::vector<TEncoding> out;
    for (TEncoding encoding : AllEncodings)
        if (!TCodec::Of(encoding).FirstUnholdable(text))
            out.push_back(encoding);
    return out;
}
