// "Fill from memory" on a translation file as it is on disk: only the phrases
// change, every other byte stays, in the file's own encoding.
#include "workbench/FillFromMemory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class FillFromMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Another program of the maker, translated into German.
        const std::string english = "A=\"Save picture\"\r\nB=\"Cancel\"\r\nC=\"Size\"\r\n"
                                    "D=\"Next\"\r\nE=\"Close\"\r\nF=\"Zoom\"\r\n";
        const std::string german = "A=\"Bild speichern\"\r\nB=\"Abbrechen\"\r\nC=\"Größe\"\r\n"
                                   "D=\"Weiter →\"\r\nE=\"Schließen\"\r\nF=\"Zoom\"\r\n";
        Dir.Write("Other/Other_English.ini", english);
        Dir.Write("Other/Other_Deutsch.ini", german);
        TMemorySettings settings;
        settings.Sources = {
            {"Other", Dir.Write("Other/Languages.ini", "LanguageName=\"English\"\r\n"
                                                       "LanguageFile=\"Other_English.ini\"\r\n"
                                                       "LanguageName=\"Deutsch\"\r\n"
                                                       "LanguageFile=\"Other_Deutsch.ini\"\r\n")}};
        Memory = TTranslationMemory::Build(settings);
    }

    TempDir Dir;
    std::shared_ptr<const TTranslationMemory> Memory;
};

TEST_F(FillFromMemoryTest, FillsUntranslatedPhrasesByteForByte) {
    const auto reference = std::make_shared<const TReferenceText>(
        "[Main]\r\nK.Save=\"Save picture\"\r\nK.Cancel=\"Cancel\"\r\nK.Size=\"Size\"\r\n"
        "K.Next=\"Next\"\r\nK.Close=\"Close\"\r\nK.Zoom=\"Zoom\"\r\nK.Width=\"Width\"\r\n"
        "K.Quit=\"Quit\"");
    // Windows-1252 bytes, CR LF and lone LF line ends, a comment after a
    // phrase, a key written twice, an unquoted value and no break at the end.
    const std::string bytes = "[Main]\r\n"
                              "K.Save=\"Save picture\"  ; to do\r\n" // untranslated
                              "K.Cancel=\"Cancel\"\n"                // untranslated, LF
                              "K.Cancel=\"Cancel\"\r\n"              // a duplicate: left
                              "K.Size=\"\"\r\n"                      // empty: untranslated
                              "K.Next=\"Next\"\r\n"                  // "→" not in 1252
                              "K.Close=\"Zumachen\"\r\n"             // translated: left
                              "K.Zoom=\"Zoom\"\r\n"                  // nothing in memory
                              "K.Width=Width\r\n"                    // unquoted: left
                              "K.Quit=\"Quit\"";                     // nothing in memory
    const std::string text = DecodeText(bytes, TTextEncoding::Windows1252);
    const TFillResult result =
        FillFromMemory(text, reference, *Memory, "Deutsch", TTextEncoding::Windows1252);
    EXPECT_EQ(result.FilledKeys, (std::vector<std::string>{"K.Save", "K.Cancel", "K.Size"}));
    EXPECT_EQ(result.Unencodable, (std::vector<TFillSkipped>{{"K.Next", U'→'}}));
    const std::string filled =
        EncodeText(ApplyFillEdits(text, result.Edits), TTextEncoding::Windows1252);
    EXPECT_EQ(filled, "[Main]\r\n"
                      "K.Save=\"Bild speichern\"  ; to do\r\n"
                      "K.Cancel=\"Abbrechen\"\n"
                      "K.Cancel=\"Cancel\"\r\n"
                      "K.Size=\"Gr\xF6\xDF"
                      "e\"\r\n"
                      "K.Next=\"Next\"\r\n"
                      "K.Close=\"Zumachen\"\r\n"
                      "K.Zoom=\"Zoom\"\r\n"
                      "K.Width=Width\r\n"
                      "K.Quit=\"Quit\"");
    ASSERT_EQ(result.Edits.size(), 3u);
    EXPECT_EQ(result.Edits[1].Line, 2u);
    EXPECT_EQ(text.substr(result.Edits[1].Begin, result.Edits[1].End - result.Edits[1].Begin),
              "Cancel");

    // In UTF-8 the arrow fits; the translation's own file gives nothing.
    const TFillResult utf8 =
        FillFromMemory(text, reference, *Memory, "Deutsch", TTextEncoding::Utf8);
    EXPECT_EQ(utf8.FilledKeys,
              (std::vector<std::string>{"K.Save", "K.Cancel", "K.Size", "K.Next"}));
    EXPECT_TRUE(utf8.Unencodable.empty());
    EXPECT_TRUE(FillFromMemory(text, reference, *Memory, "Deutsch", TTextEncoding::Utf8,
                               Dir / "Other/Other_Deutsch.ini")
                    .Edits.empty());
    EXPECT_TRUE(
        FillFromMemory(text, reference, *Memory, "Polski", TTextEncoding::Utf8).Edits.empty());
}

} // namespace
