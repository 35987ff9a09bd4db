#include "encoding/TextEncoding.h"

#include "encoding/Utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <stdexcept>

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Runs of ASCII need no decoding.
        i = AsciiRunEnd(bytes, i);
        if (i == bytes.size())
            break;
        const TUtf8Char c = NextUtf8(bytes, i);
        if (!c.Valid)
            return false;
        i += c.Length;
    }
    return true;
}

std::string DecodeText(std::string_view bytes, TTextEncoding encoding) {
    return TCodec::Of(encoding).Decode(bytes);
}

std::string TakeDecoded(std::string bytes, TTextEncoding encoding) {
    const TCodec& codec = TCodec::Of(encoding);
    if (codec.DecodesAsIs(bytes))
        return bytes;
    return codec.Decode(bytes);
}

std::string EncodeText(std::string_view utf8, TTextEncoding encoding) {
    std::string bytes;
    if (const auto failure = TCodec::Of(encoding).Encode(utf8, bytes)) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(failure->Character));
        throw std::runtime_error("The character " + std::string(code) + " cannot be stored in " +
                                 std::string(EncodingName(encoding)) + ".");
    }
    return bytes;
}

std::optional<char32_t> FirstUnencodable(std::string_view utf8, TTextEncoding encoding) {
    if (const auto failure = TCodec::Of(encoding).FirstUnholdable(utf8))
        return failure->Character;
    return std::nullopt;
}
