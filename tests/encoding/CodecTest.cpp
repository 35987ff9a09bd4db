// "Show as": the same bytes as the letters of each encoding, saved back byte
// for byte whatever they hold, and typed letters refused where they cannot be
// held.
#include "encoding/Codec.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

std::string Encoded(TEncoding encoding, const std::string& text) {
    std::string bytes;
    const auto failure = TCodec::Of(encoding).Encode(text, bytes);
    EXPECT_FALSE(failure) << EncodingName(encoding) << ": " << text;
    return bytes;
}

TEST(CodecTest, EveryByteComesBackInEveryEncoding) {
    for (TEncoding encoding : AllEncodings) {
        const TCodec& codec = TCodec::Of(encoding);
        std::string all;
        for (int b = 0; b < 256; ++b) {
            // Each byte alone, and between letters so no neighbour helps it.
            const std::string alone(1, static_cast<char>(b));
            const std::string between = "a" + alone + "b";
            for (const std::string& bytes : {alone, between}) {
                const std::string text = codec.Decode(bytes);
                EXPECT_EQ(Encoded(encoding, text), bytes) << EncodingName(encoding) << " " << b;
            }
            all += alone;
        }
        // All 256 bytes at once show as 256 different characters.
        const std::string text = codec.Decode(all);
        EXPECT_EQ(Encoded(encoding, text), all) << EncodingName(encoding);
        if (encoding != TEncoding::Utf8) {
            std::set<std::string> shown;
            for (int b = 0; b < 256; ++b)
                shown.insert(codec.Decode(std::string(1, static_cast<char>(b))));
            EXPECT_EQ(shown.size(), 256u) << EncodingName(encoding);
        }
    }
}

TEST(CodecTest, AnyByteStringComesBack) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(0, 255);
    // Valid UTF-8 and the byte escapes' own characters mixed into random bytes.
    const std::string pieces[] = {"é",
                                  "€",
                                  "\xEF\x9E\x80",
                                  "\xEF\x9F\xBF",
                                  "\xED\xA0\x80",
                                  "\xC0\xAF",
                                  "\xF4\x90\x80\x80",
                                  std::string(1, '\0')};
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        for (int i = 0; i < 40; ++i)
            bytes += byte(random) < 200 ? std::string(1, static_cast<char>(byte(random)))
                                        : pieces[byte(random) % std::size(pieces)];
        for (TEncoding encoding : AllEncodings)
            ASSERT_EQ(Encoded(encoding, TCodec::Of(encoding).Decode(bytes)), bytes)
                << EncodingName(encoding) << " round " << round;
    }
}

TEST(CodecTest, TheSameBytesShowAsEachLanguagesLetters) {
    const struct {
        TEncoding encoding;
        std::string bytes;
        std::string text;
    } cases[] = {
        {TEncoding::Windows1250, Bytes({0xA3, 0xF3, 0x64, 0xBF}), "Łódż"},
        {TEncoding::Windows1251, Bytes({0xCA, 0xE8, 0xE5, 0xE2}), "Киев"},
        {TEncoding::Windows1252, Bytes({0x80, 0x20, 0xC9, 0x74, 0xE9}), "€ Été"},
        {TEncoding::Windows1253, Bytes({0xC1, 0xE8, 0xDE, 0xED, 0xE1}), "Αθήνα"},
        {TEncoding::Windows1254, Bytes({0xDD, 0x73, 0x74, 0x61, 0x6E, 0x62, 0x75, 0x6C}),
         "İstanbul"},
        {TEncoding::Windows1257, Bytes({0xC0, 0xFE, 0x75, 0x6F, 0x6C, 0x61, 0x73}), "Ąžuolas"},
        {TEncoding::Utf8, "Łódż", "Łódż"},
        // Undefined bytes: controls of the same number, or private use.
        {TEncoding::Windows1252, Bytes({0x81, 0x00}), std::string("\xC2\x81\0", 3)},
        {TEncoding::Windows1253, Bytes({0xAA}), "\xEF\x9E\xAA"},
        {TEncoding::Utf8, Bytes({0xFF, 0x41}),
         "\xEF\x9F\xBF"
         "A"},
        // A file's own U+F780 shows as its three bytes.
        {TEncoding::Utf8, "\xEF\x9E\x80", "\xEF\x9F\xAF\xEF\x9E\x9E\xEF\x9E\x80"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TCodec::Of(c.encoding).Decode(c.bytes), c.text) << EncodingName(c.encoding);
}

TEST(CodecTest, TypedLettersAnEncodingCannotHoldAreNamed) {
    const struct {
        TEncoding encoding;
        const char* typed;
        std::optional<TUnencodable> refused;
    } cases[] = {
        {TEncoding::Windows1252, "Grüße €", std::nullopt},
        {TEncoding::Windows1252, "Łódż", TUnencodable{0, U'Ł'}},
        {TEncoding::Windows1250, "Łódż", std::nullopt},
        {TEncoding::Windows1251, "abc Ω", TUnencodable{4, U'Ω'}},
        {TEncoding::Windows1253, "Ω", std::nullopt},
        {TEncoding::Utf8, "Łódż Ω 🦜", std::nullopt},
        // The characters that stand for stray bytes are no letters to type.
        {TEncoding::Utf8, "a\xEF\x9E\x80", TUnencodable{1, 0xF780}},
        {TEncoding::Windows1253, "\xEF\x9E\xAA", TUnencodable{0, 0xF7AA}},
        {TEncoding::Windows1252, "ab\xFF", TUnencodable{2, 0xFFFD}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TCodec::Of(c.encoding).FirstUnholdable(c.typed), c.refused)
            << EncodingName(c.encoding) << ": " << c.typed;

    std::string bytes = "left over";
    EXPECT_EQ(TCodec::Of(TEncoding::Windows1252).Encode("ok Ł", bytes), (TUnencodable{3, U'Ł'}));
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(
        EncodingsHolding("ł"),
        (std::vector<TEncoding>{TEncoding::Utf8, TEncoding::Windows1250, TEncoding::Windows1257}));
    EXPECT_EQ(EncodingsHolding("Ж"),
              (std::vector<TEncoding>{TEncoding::Utf8, TEncoding::Windows1251}));
}

TEST(CodecTest, NamesReadBackInAnyCase) {
    for (TEncoding encoding : AllEncodings)
        EXPECT_EQ(EncodingFromName(EncodingName(encoding)), encoding);
    EXPECT_EQ(EncodingFromName("windows-1251"), TEncoding::Windows1251);
    EXPECT_EQ(EncodingFromName("utf-8"), TEncoding::Utf8);
    EXPECT_EQ(EncodingFromName("Windows-1255"), std::nullopt);
    EXPECT_EQ(EncodingFromName(""), std::nullopt);
}

} // namespace
