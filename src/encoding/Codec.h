// The encodings a translation can be shown as ("Show as"): how its bytes turn
// into the UTF-8 text the editor shows, and how that text turns back into
// bytes.
//
// Every byte string can be shown in every encoding and saved back unchanged:
// a byte the code page leaves undefined, and in UTF-8 a byte that is no part
// of a valid sequence, is shown as a character of its own and written back as
// that byte. In a Windows code page an undefined byte 0x80 to 0x9F is shown as
// the control character of the same number (U+0080 to U+009F), as Windows
// shows it; any other undefined byte b, and in UTF-8 every stray byte b, as
// the private-use character U+F700 + b. A UTF-8 file that holds one of those
// private-use characters itself has its bytes shown the same way, one by one,
// so they too come back as they were.
//
// What each byte of a code page means comes from the system's converter
// (platform::DecodeCodePageByte: iconv, or MultiByteToWideChar on Windows);
// a byte it leaves undefined or gives a private-use character counts as
// undefined.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum class TEncoding {
    Utf8,
    Windows1250, // Central European
    Windows1251, // Cyrillic
    Windows1252, // Western
    Windows1253, // Greek
    Windows1254, // Turkish
    Windows1257, // Baltic
};

// Every encoding, in the order a choice offers them.
inline constexpr TEncoding AllEncodings[] = {
    TEncoding::Utf8,        TEncoding::Windows1250, TEncoding::Windows1251, TEncoding::Windows1252,
    TEncoding::Windows1253, TEncoding::Windows1254, TEncoding::Windows1257,
};

// "UTF-8", "Windows-1250", ...
std::string_view EncodingName(TEncoding encoding);
// The encoding of a name as EncodingName gives it, in any case.
std::optional<TEncoding> EncodingFromName(std::string_view name);

// A character an encoding cannot hold: where it starts in the UTF-8 text, and
// which it is (U+FFFD for bytes that are no valid UTF-8).
struct TUnencodable {
    std::size_t Offset;
    char32_t Character;
    bool operator==(const TUnencodable&) const = default;
};

class TCodec {
public:
    // The codec of an encoding; made once, shared by every caller.
    static const TCodec& Of(TEncoding encoding);

    // The bytes as the text to show, in UTF-8. Never fails.
    // Whether Decode gives `bytes` back as they are: UTF-8 that is valid and
    // holds none of the private-use characters that stand for bytes.
    bool DecodesAsIs(std::string_view bytes) const;
    std::string Decode(std::string_view bytes) const;

    // The shown text back as bytes, into `bytes`. Fails, leaving `bytes`
    // empty, at the first character the encoding cannot hold.
    std::optional<TUnencodable> Encode(std::string_view text, std::string& bytes) const;

    // The first character of text being typed or pasted that this encoding
    // cannot hold; the characters that stand for stray bytes count among them,
    // since they are no letters anyone types.
    std::optional<TUnencodable> FirstUnholdable(std::string_view text) const;

private:
    explicit TCodec(TEncoding encoding);
    std::optional<unsigned char> ByteOf(char32_t c) const;

    TEncoding FEncoding;
    // Windows code pages: each byte's character as UTF-8, and back.
    std::array<std::string, 256> FDecoded;
    std::array<short, 0x800> FLowBytes{}; // characters below U+0800: byte, or -1
    std::unordered_map<char32_t, unsigned char> FHighBytes;
};

// The encodings that can hold all of `text` (typed or pasted), in the order of
// AllEncodings: what "Show as" can offer when the current one cannot.
std::vector<TEncoding> EncodingsHolding(std::string_view text);
