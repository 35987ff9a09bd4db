// Which bytes show as UTF-8 and how the others travel through the Western code
// page and back.
#include "encoding/TextEncoding.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

TEST(Utf8ValidityTest, AcceptsWellFormedText) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII\r\n"));
    EXPECT_TRUE(IsValidUtf8(std::string("with\0NUL", 8)));
    EXPECT_TRUE(
        IsValidUtf8("Übersetzung, Français, Ελληνικά, Русский, 日本語, 🦜"));
    // The edges of each length.
    EXPECT_TRUE(IsValidUtf8(Bytes({0x7F})));
    EXPECT_TRUE(IsValidUtf8(Bytes({0xC2, 0x80})));             // U+0080
    EXPECT_TRUE(IsValidUtf8(Bytes({0xDF, 0xBF})));             // U+07FF
    EXPECT_TRUE(IsValidUtf8(Bytes({0xE0, 0xA0, 0x80})));       // U+0800
    EXPECT_TRUE(IsValidUtf8(Bytes({0xED, 0x9F, 0xBF})));       // U+D7FF
    EXPECT_TRUE(IsValidUtf8(Bytes({0xEE, 0x80, 0x80})));       // U+E000
    EXPECT_TRUE(IsValidUtf8(Bytes({0xEF, 0xBF, 0xBF})));       // U+FFFF
    EXPECT_TRUE(IsValidUtf8(Bytes({0xF0, 0x90, 0x80, 0x80}))); // U+10000
    EXPECT_TRUE(IsValidUtf8(Bytes({0xF4, 0x8F, 0xBF, 0xBF}))); // U+10FFFF
}

TEST(Utf8ValidityTest, RejectsOverlongFormsSurrogatesAndOutOfRange) {
    // Overlong encodings of "/" and of U+07FF, U+FFFF.
    EXPECT_FALSE(IsValidUtf8(Bytes({0xC0, 0xAF})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xC1, 0xBF})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xE0, 0x80, 0xAF})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xE0, 0x9F, 0xBF})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xF0, 0x80, 0x80, 0xAF})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xF0, 0x8F, 0xBF, 0xBF})));
    // UTF-16 surrogates, alone and as a pair.
    EXPECT_FALSE(IsValidUtf8(Bytes({0xED, 0xA0, 0x80})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xED, 0xBF, 0xBF})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xED, 0xA0, 0xBD, 0xED, 0xB2, 0xA9})));
    // Past U+10FFFF and lead bytes that never occur.
    EXPECT_FALSE(IsValidUtf8(Bytes({0xF4, 0x90, 0x80, 0x80})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xF5, 0x80, 0x80, 0x80})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xF8, 0x88, 0x80, 0x80, 0x80})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xFE})));
    EXPECT_FALSE(IsValidUtf8(Bytes({0xFF})));
}

TEST(Utf8ValidityTest, RejectsBrokenSequencesAnywhereInTheText) {
    EXPECT_FALSE(IsValidUtf8(Bytes({0x80})));             // lone continuation
    EXPECT_FALSE(IsValidUtf8("ok" + Bytes({0xC3})));      // cut at the end
    EXPECT_FALSE(IsValidUtf8(Bytes({0xE2, 0x82})));       // cut at the end
    EXPECT_FALSE(IsValidUtf8(Bytes({0xC3, 0x41})));       // continuation missing
    EXPECT_FALSE(IsValidUtf8(Bytes({0xE2, 0x28, 0xA1}))); // second byte wrong
    EXPECT_FALSE(IsValidUtf8(Bytes({0xE2, 0x82, 0x28}))); // third byte wrong
    // Windows-1252 German as the demo program's language files hold it.
    EXPECT_FALSE(IsValidUtf8("Bild \xF6"
                             "ffnen"));
    EXPECT_FALSE(IsValidUtf8("Gr\xF6\xDF"
                             "e"));
}

// A broken byte found wherever it falls against the eight-byte steps over
// ASCII; text taken for decoding comes back as DecodeText gives it.
TEST(Utf8ValidityTest, FindsABrokenByteAtEveryPlaceInLongAscii) {
    for (std::size_t at = 0; at < 24; ++at) {
        std::string text(24, 'a');
        text[at] = static_cast<char>(0xC3);
        EXPECT_FALSE(IsValidUtf8(text)) << at;
        text.insert(at + 1, 1, static_cast<char>(0xA4)); // completes it: "ä"
        EXPECT_TRUE(IsValidUtf8(text)) << at;
    }
}

TEST(TakeDecodedTest, GivesWhatDecodeTextGives) {
    const std::string ascii(40, 'x');
    const struct {
        std::string Bytes;
        TTextEncoding Encoding;
        bool AsIs;
    } cases[] = {
        {"", TTextEncoding::Utf8, true},
        {ascii, TTextEncoding::Utf8, true},
        {ascii +
             "Gr\xC3\xB6\xC3\x9F"
             "e" +
             ascii,
         TTextEncoding::Utf8, true},
        // A stray byte, after and inside a run of ASCII.
        {ascii + "\xF6", TTextEncoding::Utf8, false},
        {"abcdefg\xF6hijklmnop", TTextEncoding::Utf8, false},
        // A character that stands for a stray byte is shown byte by byte.
        {ascii + "\xEF\x9E\x80" + ascii, TTextEncoding::Utf8, false},
        // A code page always decodes.
        {ascii, TTextEncoding::Windows1252, false},
        {"Gr\xF6\xDF"
         "e",
         TTextEncoding::Windows1252, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TCodec::Of(c.Encoding).DecodesAsIs(c.Bytes), c.AsIs) << c.Bytes;
        EXPECT_EQ(TakeDecoded(c.Bytes, c.Encoding), DecodeText(c.Bytes, c.Encoding)) << c.Bytes;
    }
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    return DecodeText(bytes, TTextEncoding::Windows1252);
}
std::string Utf8ToCp1252(std::string_view text) {
    return EncodeText(text, TTextEncoding::Windows1252);
}

TEST(Cp1252Test, DecodesTheWesternCodePage) {
    EXPECT_EQ(Cp1252ToUtf8("Gr\xF6\xDF"
                           "e \x80 \x84"
                           "x\x93"),
              "Größe € „x“");
    EXPECT_EQ(Cp1252ToUtf8("\x8A\x9A\x9F\xFF"), "ŠšŸÿ");
    // Bytes the code page leaves undefined become the C1 controls of the same value.
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(Cp1252Test, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string shown = Cp1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(shown));
    EXPECT_EQ(Utf8ToCp1252(shown), all);
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(one)), one) << b;
    }
}

// A character the code page lacks is never written as "?": encoding fails.
TEST(Cp1252Test, CharactersOutsideTheCodePageAreNeverWritten) {
    EXPECT_EQ(Utf8ToCp1252("€ Größe"), "\x80 Gr\xF6\xDF"
                                       "e");
    for (const char* text : {"Ελ", "a日b", "a🦜b", "Ā"}) // U+0100: just past Latin-1
        EXPECT_THROW(Utf8ToCp1252(text), std::runtime_error) << text;
}

TEST(TextEncodingTest, FirstCharacterTheEncodingCannotHold) {
    using E = TTextEncoding;
    const struct {
        E encoding;
        std::string text;
        std::optional<char32_t> refused;
    } cases[] = {
        {E::Windows1252, "", std::nullopt},
        {E::Windows1252, "é€„Ÿ ÿ\t", std::nullopt},
        // The bytes the code page leaves undefined read as these C1 controls.
        {E::Windows1252, "\u0081\u008D\u008F\u0090\u009D", std::nullopt},
        {E::Windows1252, "a\u0080", U'\u0080'}, // € has the byte 0x80, U+0080 none
        {E::Windows1252, "aΩbł", U'Ω'},
        {E::Windows1252, "łść", U'ł'},
        {E::Windows1252, "Ā", U'Ā'},
        {E::Windows1252, "x🦜", U'🦜'},
        {E::Windows1252, "ok" + Bytes({0xC3}), U'\uFFFD'},
        {E::Utf8, "łΩ🦜", std::nullopt},
        // In UTF-8 the characters that stand for stray bytes are no letters.
        {E::Utf8, "a\uF7E4", U'\uF7E4'},
        {E::Windows1251, "Жж", std::nullopt},
        {E::Windows1251, "Жä", U'ä'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FirstUnencodable(c.text, c.encoding), c.refused);
        // What is refused is exactly what could not be saved.
        if (c.encoding != E::Utf8) {
            if (c.refused)
                EXPECT_THROW(EncodeText(c.text, c.encoding), std::runtime_error);
            else
                EXPECT_NO_THROW(EncodeText(c.text, c.encoding));
        }
    }
}

} // namespace
