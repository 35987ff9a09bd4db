// Bringing a translation up to date with a newer reference: the keys it
// lacks go in at the places the reference's order gives, the keys the
// reference lost can go; every other byte stays as it was.
#include "workbench/KeyUpdates.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The text with each "\n" written as `lineBreak`, in `encoding`.
std::string Bytes(std::string text, std::string_view lineBreak, TTextEncoding encoding) {
    for (std::size_t at = 0; (at = text.find('\n', at)) != std::string::npos;
         at += lineBreak.size())
        text.replace(at, 1, lineBreak);
    return EncodeText(text, encoding);
}

// Keys added to the reference at its start, in its middle and at its end;
// one it lost (Old.Key).
const char* const Reference = "; Snapglass\n"
                              "New.First=\"First\"\n"
                              "Main.Caption=\"Snapglass\"\n"
                              "New.Middle=\"Middle\"\n"
                              "New.Middle2=\"Middle two\"\n"
                              "Main.Open=\"Open %s\"\n"
                              "Main.Quit=\"Quit\"\n"
                              "New.End=\"End é\"\n";

TEST(KeyUpdatesTest, MissingKeysGoWhereTheReferenceOrderPutsThem) {
    const TReferenceText reference(Reference);
    const struct {
        const char* translation;
        const char* updated;
    } cases[] = {
        // After the nearest key before them that both have; before the
        // first entry when there is none.
        {"; Schnappglas\n[Main]\nMain.Caption=\"Schnappglas\"\nMain.Quit=\"Beenden\"\n"
         "Main.Open=\"%s öffnen\"\nOld.Key=\"Alt\"\n",
         "; Schnappglas\n[Main]\nNew.First=\"First\"\nMain.Caption=\"Schnappglas\"\n"
         "New.Middle=\"Middle\"\nNew.Middle2=\"Middle two\"\nMain.Quit=\"Beenden\"\n"
         "New.End=\"End é\"\nMain.Open=\"%s öffnen\"\nOld.Key=\"Alt\"\n"},
        // At the very end, without a last line break.
        {"New.First=\"Erste\"\nMain.Caption=\"Schnappglas\"\nNew.Middle=\"Mitte\"\n"
         "New.Middle2=\"Mitte zwei\"\nMain.Open=\"%s öffnen\"\nMain.Quit=\"Beenden\"",
         "New.First=\"Erste\"\nMain.Caption=\"Schnappglas\"\nNew.Middle=\"Mitte\"\n"
         "New.Middle2=\"Mitte zwei\"\nMain.Open=\"%s öffnen\"\nMain.Quit=\"Beenden\"\n"
         "New.End=\"End é\""},
        // No entries at all.
        {"; leer\n",
         "; leer\nNew.First=\"First\"\nMain.Caption=\"Snapglass\"\nNew.Middle=\"Middle\"\n"
         "New.Middle2=\"Middle two\"\nMain.Open=\"Open %s\"\nMain.Quit=\"Quit\"\n"
         "New.End=\"End é\"\n"},
        {"", "New.First=\"First\"\nMain.Caption=\"Snapglass\"\nNew.Middle=\"Middle\"\n"
             "New.Middle2=\"Middle two\"\nMain.Open=\"Open %s\"\nMain.Quit=\"Quit\"\n"
             "New.End=\"End é\"\n"},
    };
    for (const auto& c : cases)
        for (const TTextEncoding encoding : {TTextEncoding::Utf8, TTextEncoding::Windows1252})
            for (const char* lineBreak : {"\r\n", "\n"}) {
                const std::string translation = Bytes(c.translation, lineBreak, encoding);
                const TMissingKeyInsertions result =
                    MissingKeyInsertions(translation, encoding, reference);
                EXPECT_TRUE(result.Unencodable.empty());
                // An empty text has no line break of its own: CR LF.
                const std::string_view expectedBreak = *c.translation ? lineBreak : "\r\n";
                EXPECT_EQ(WithInsertions(translation, result.Insertions),
                          Bytes(c.updated, expectedBreak, encoding))
                    << c.translation << " in " << EncodingName(encoding) << ", "
                    << (lineBreak[0] == '\r' ? "CR LF" : "LF");
            }

    // The places by line, as an editor applies them, and the keys each adds.
    const TMissingKeyInsertions first = MissingKeyInsertions(
        Bytes(cases[0].translation, "\r\n", TTextEncoding::Utf8), TTextEncoding::Utf8, reference);
    ASSERT_EQ(first.Insertions.size(), 3u);
    EXPECT_EQ(first.Insertions[0].Line, 2u);
    EXPECT_TRUE(first.Insertions[0].BeforeLine);
    EXPECT_EQ(first.Insertions[0].Keys, std::vector<std::string>{"New.First"});
    EXPECT_EQ(first.Insertions[1].Line, 2u);
    EXPECT_FALSE(first.Insertions[1].BeforeLine);
    EXPECT_EQ(first.Insertions[1].Text, "\r\nNew.Middle=\"Middle\"\r\nNew.Middle2=\"Middle two\"");
    EXPECT_EQ(first.Insertions[2].Line, 3u);
    EXPECT_EQ(first.Insertions[2].Keys, std::vector<std::string>{"New.End"});
}

TEST(KeyUpdatesTest, ALetterTheEncodingCannotHoldIsReportedNotReplaced) {
    const TReferenceText reference("A=\"a\"\nB=\"Złoty\"\nC=\"Café\"\n");
    const std::string translation = "A=\"\xE4\"\r\n"; // Windows-1252
    const TMissingKeyInsertions result =
        MissingKeyInsertions(translation, TTextEncoding::Windows1252, reference);
    EXPECT_EQ(result.Unencodable, (std::vector<TUnencodableKey>{{"B", U'\u0142'}}));
    EXPECT_EQ(WithInsertions(translation, result.Insertions), "A=\"\xE4\"\r\nC=\"Caf\xE9\"\r\n");
}

TEST(KeyUpdatesTest, KeysTheReferenceLostGoWithTheirLines) {
    const TReferenceText reference(Reference);
    const struct {
        const char* translation;
        const char* updated;
    } cases[] = {
        {"Old.A=\"x\"\nMain.Quit=\"Beenden\"\nOld.B=\"y\"\nOld.C=\"z\"\n; end\nOld.D=\"w\"",
         "Main.Quit=\"Beenden\"\n; end"},
        {"Main.Quit=\"Beenden\"\nOld.B=\"y\"\n", "Main.Quit=\"Beenden\"\n"},
        {"Old.A=\"x\"", ""},
        {"Main.Quit=\"Beenden\"", "Main.Quit=\"Beenden\""},
    };
    for (const auto& c : cases)
        for (const char* lineBreak : {"\r\n", "\n"}) {
            const std::string translation = Bytes(c.translation, lineBreak, TTextEncoding::Utf8);
            EXPECT_EQ(WithRemovals(translation, ObsoleteKeyRemovals(
                                                    translation, TTextEncoding::Utf8, reference)),
                      Bytes(c.updated, lineBreak, TTextEncoding::Utf8))
                << c.translation;
        }
    const std::vector<TKeyRemoval> removals = ObsoleteKeyRemovals(
        Bytes(cases[0].translation, "\n", TTextEncoding::Utf8), TTextEncoding::Utf8, reference);
    ASSERT_EQ(removals.size(), 3u);
    EXPECT_EQ(removals[1].FirstLine, 2u);
    EXPECT_EQ(removals[1].EndLine, 4u);
    EXPECT_EQ(removals[1].Keys, (std::vector<std::string>{"Old.B", "Old.C"}));
}

} // namespace
