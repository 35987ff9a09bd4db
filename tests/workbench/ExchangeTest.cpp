// A translation carried out as PO and its translations brought back: byte for
// byte where nothing changed, only the changed phrases otherwise, and what
// cannot be stored reported per entry.
#include "workbench/Exchange.h"
#include "initfile/InitFile.h"
#include "workbench/ExchangeFixtures.h"
#include "workbench/PoFile.h"
#include "workbench/XliffWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TExchangeHeader Header() {
    return {"Snapglass_Deutsch.ini", "de", "English", "Wordlark 1.700", "2024-05-01 12:00+0000"};
}

TEST(ExchangeTest, APoRoundTripGivesBackEveryByte) {
    for (const TExchangeFixture& f : ExchangeFixtures()) {
        SCOPED_TRACE(f.Name);
        const TExchangeText translation{f.Translation, f.Encoding, "Snapglass_Deutsch.ini"};
        const TExchangeText reference{f.Reference, TEncoding::Utf8, "Snapglass_English.ini"};
        const std::vector<TExchangeUnit> units = TranslationUnits(translation, reference);
        const TExchangeDocument read = ReadPo(WritePo(Header(), units));
        ASSERT_EQ(read.Units.size(), units.size());
        for (std::size_t i = 0; i < units.size(); ++i) {
            EXPECT_EQ(read.Units[i].Key, units[i].Key);
            EXPECT_EQ(read.Units[i].Source, units[i].Source);
            EXPECT_EQ(read.Units[i].Target, units[i].Target);
            EXPECT_EQ(read.Units[i].Fuzzy, units[i].Fuzzy);
            EXPECT_EQ(read.Units[i].Comments, units[i].Comments);
        }
        const TImportResult back = ImportUnits(f.Translation, f.Encoding, read.Units);
        EXPECT_EQ(back.Text, f.Translation);
        EXPECT_TRUE(back.Changed.empty());
        EXPECT_TRUE(back.Notes.empty());
        EXPECT_TRUE(back.MissingKeys.empty());
    }
}

TEST(ExchangeTest, UnitsFollowTheTranslationWithMissingKeysWhereTheyWouldGo) {
    const TExchangeFixture f = ExchangeFixtures().front();
    const TExchangeText translation{f.Translation, f.Encoding, "T.ini"};
    const TExchangeText reference{f.Reference, TEncoding::Utf8, "R.ini"};
    TExportChoices choices;
    choices.ToBeChecked = {"Main.Count"};
    choices.MarkedTranslated = {"Main.Same"};
    struct TExpected {
        const char* Key;
        const char* Source;
        const char* Target;
        bool Fuzzy;
        std::vector<std::string> Comments;
    };
    const TExpected expected[] = {
        {"Missing.First",
         "Only in the reference, at the top",
         "",
         false,
         {"R.ini:3", "Not in T.ini yet"}},
        {"Main.Open", "Open %s", "%s öffnen – 開く", false, {"T.ini:4"}},
        {"Main.Empty", "Close", "", false, {"T.ini:5"}},
        {"Main.Lines",
         "Line one\\nLine two#13#10three<br>four",
         "Zeile eins\\nZeile zwei#13#10drei<br>vier",
         false,
         {"T.ini:6"}},
        {"Main.Count",
         "%d of %d files, {0} in %1",
         "%d von %d Dateien, {0} in %1",
         true,
         {"T.ini:7", "Marked as to be checked"}},
        {"Main.Tab", "a\\tb\tc", "", false, {"T.ini:8"}},
        {"Main.Path", "C:\\new\\file.txt", "C:\\neu\\datei.txt", false, {"T.ini:9"}},
        {"Main.Quoted", "say \"hi\" now", "sag \"hallo\" jetzt", false, {"T.ini:10"}},
        {"Main.Missing",
         "Only in the reference, in the middle",
         "",
         false,
         {"R.ini:11", "Not in T.ini yet"}},
        {"Main.Same", "Zoom", "Zoom", false, {"T.ini:11"}},
        {"Main.Other", "Letters", "Ünïcödé ✓ 😀", false, {"T.ini:12"}},
        {"Main.Width", "400", "", false, {"T.ini:13"}},
        {"Main.Unclosed",
         "no closing quote",
         "no closing quote",
         true,
         {"T.ini:14", "Not in R.ini"}},
        {"Main.Spaced ",
         "blanks around the key",
         "blanks around the key",
         true,
         {"T.ini:15", "Not in R.ini"}},
        {"Main.Extra",
         "Only in the translation",
         "Only in the translation",
         true,
         {"T.ini:16", "Not in R.ini"}},
        {"Main.Last", "Last", "Letzte", false, {"T.ini:19"}},
        {"Missing.End",
         "Only in the reference, at the end",
         "",
         false,
         {"R.ini:17", "Not in T.ini yet"}},
    };
    const std::vector<TExchangeUnit> units = TranslationUnits(translation, reference, choices);
    ASSERT_EQ(units.size(), std::size(expected));
    for (std::size_t i = 0; i < units.size(); ++i) {
        SCOPED_TRACE(expected[i].Key);
        EXPECT_EQ(units[i].Key, expected[i].Key);
        EXPECT_EQ(units[i].Source, expected[i].Source);
        EXPECT_EQ(units[i].Target, expected[i].Target);
        EXPECT_EQ(units[i].Fuzzy, expected[i].Fuzzy);
        EXPECT_EQ(units[i].Comments, expected[i].Comments);
    }

    // A template: every key of the reference once, nothing translated.
    const std::vector<TExchangeUnit> keys = TemplateUnits(reference);
    ASSERT_EQ(keys.size(), 14u);
    EXPECT_EQ(keys[1].Key, "Main.Open");
    EXPECT_EQ(keys[1].Source, "Open %s");
    EXPECT_EQ(keys[1].Comments, std::vector<std::string>{"R.ini:4"});
    for (const TExchangeUnit& unit : keys)
        EXPECT_TRUE(unit.Target.empty() && !unit.Fuzzy) << unit.Key;
}

TEST(ExchangeTest, ACopysPhrasesStillItsMastersTravelUntranslated) {
    // Polski copied from Deutsch: a phrase still the German one is not yet
    // translated, one changed since is; "OK" marked as translated stays so.
    const TExchangeText copy{"A=\"Öffnen\"\nB=\"Otwórz\"\nC=\"OK\"\n", TEncoding::Utf8, "P.ini"};
    const TExchangeText reference{"A=\"Open\"\nB=\"Open\"\nC=\"OK\"\n", TEncoding::Utf8, "E.ini"};
    TExportChoices choices;
    choices.Master = std::make_shared<const TReferenceText>(
        std::string("A=\"Öffnen\"\nB=\"Öffnen\"\nC=\"OK\"\n"));
    choices.MarkedTranslated = {"C"};
    const std::vector<TExchangeUnit> units = TranslationUnits(copy, reference, choices);
    ASSERT_EQ(units.size(), 3u);
    EXPECT_EQ(units[0].Target, "");
    EXPECT_EQ(units[1].Target, "Otwórz");
    EXPECT_EQ(units[2].Target, "OK");
    choices.Master = nullptr;
    EXPECT_EQ(TranslationUnits(copy, reference, choices)[0].Target, "Öffnen");
}

TEST(ExchangeTest, APoFileAsGettextWantsIt) {
    TExchangeUnit fuzzy{"K\"2", "Tab\there \\n", "x", true, false, {"T.ini:2", "Not in R.ini"}};
    const std::string po =
        WritePo(Header(), {{"K1", "Open", "", false, false, {"T.ini:1"}}, fuzzy});
    EXPECT_EQ(po, "# Translation of Snapglass_Deutsch.ini\n"
                  "msgid \"\"\n"
                  "msgstr \"\"\n"
                  "\"Project-Id-Version: Snapglass_Deutsch.ini\\n\"\n"
                  "\"POT-Creation-Date: 2024-05-01 12:00+0000\\n\"\n"
                  "\"PO-Revision-Date: 2024-05-01 12:00+0000\\n\"\n"
                  "\"Last-Translator: \\n\"\n"
                  "\"Language-Team: \\n\"\n"
                  "\"Language: de\\n\"\n"
                  "\"MIME-Version: 1.0\\n\"\n"
                  "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                  "\"Content-Transfer-Encoding: 8bit\\n\"\n"
                  "\"X-Generator: Wordlark 1.700\\n\"\n"
                  "\n"
                  "#. T.ini:1\n"
                  "msgctxt \"K1\"\n"
                  "msgid \"Open\"\n"
                  "msgstr \"\"\n"
                  "\n"
                  "#. T.ini:2\n"
                  "#. Not in R.ini\n"
                  "#, fuzzy\n"
                  "msgctxt \"K\\\"2\"\n"
                  "msgid \"Tab\\there \\\\n\"\n"
                  "msgstr \"x\"\n");
    // A template has no language, no translations and no flags but the header's.
    const std::string pot = WritePo(Header(), {fuzzy}, true);
    EXPECT_NE(pot.find("\"Language: \\n\""), std::string::npos);
    EXPECT_NE(pot.find("#, fuzzy\nmsgid \"\""), std::string::npos);
    EXPECT_NE(pot.find("msgid \"Tab\\there \\\\n\"\nmsgstr \"\"\n"), std::string::npos);
    EXPECT_EQ(pot.find("#, fuzzy\nmsgctxt"), std::string::npos);
}

TEST(ExchangeTest, ReadsPoFilesAsTheToolsWriteThem) {
    const std::string header =
        "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    struct TUnit {
        std::string Key, Source, Target;
        bool Fuzzy = false;
    };
    struct TCase {
        const char* Name;
        std::string Po;
        std::vector<TUnit> Units;
        std::vector<std::size_t> Unkeyed = {};
    };
    const TCase cases[] = {
        {"wrapped strings and escapes",
         header + "msgctxt \"A\"\nmsgid \"\"\n\"One \"\n\"two\"\nmsgstr "
                  "\"\"\n\"\\t\\\\\\\"\\101\\x42\\n\"\n",
         {{"A", "One two", "\t\\\"AB\n"}}},
        {"flags among others, no blank line between entries",
         header + "#, c-format, fuzzy\nmsgctxt \"A\"\nmsgid \"a\"\nmsgstr \"b\"\n"
                  "msgctxt \"B\"\nmsgid \"c\"\nmsgstr \"d\"\n",
         {{"A", "a", "b", true}, {"B", "c", "d"}}},
        {"CR LF, a byte order mark and obsolete entries",
         "\xEF\xBB\xBF" + header +
             "#~ msgctxt \"Old\"\r\n#~ msgid \"x\"\r\n#~ msgstr \"y\"\r\n\r\n"
             "msgctxt \"A\"\r\nmsgid \"a\"\r\nmsgstr \"b\"\r\n",
         {{"A", "a", "b"}}},
        {"plural forms: the first is the target",
         header + "msgctxt \"A\"\nmsgid \"file\"\nmsgid_plural \"files\"\n"
                  "msgstr[0] \"Datei\"\nmsgstr[1] \"Dateien\"\n",
         {{"A", "file", "Datei"}}},
        {"a Windows code page",
         "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=CP1250\\n\"\n\n"
         "msgctxt \"A\"\nmsgid \"a\"\nmsgstr \"\xF8\"\n",
         {{"A", "a", "ř"}}},
        {"entries without a key are left out",
         header + "msgid \"a\"\nmsgstr \"b\"\n\nmsgctxt \"A\"\nmsgid \"c\"\nmsgstr \"d\"\n",
         {{"A", "c", "d"}},
         {4}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TExchangeDocument document = ReadPo(c.Po);
        ASSERT_EQ(document.Units.size(), c.Units.size());
        for (std::size_t i = 0; i < c.Units.size(); ++i) {
            EXPECT_EQ(document.Units[i].Key, c.Units[i].Key);
            EXPECT_EQ(document.Units[i].Source, c.Units[i].Source);
            EXPECT_EQ(document.Units[i].Target, c.Units[i].Target);
            EXPECT_EQ(document.Units[i].Fuzzy, c.Units[i].Fuzzy);
        }
        EXPECT_EQ(document.Unkeyed, c.Unkeyed);
    }

    struct TBad {
        std::string Po;
        std::size_t Line;
    };
    const TBad bad[] = {
        {header + "msgctxt \"A\"\nmsgid \"a\nmsgstr \"\"\n", 5},       // unclosed string
        {header + "msgctxt \"A\"\nmsgid \"a\"\nmsgtxt \"\"\n", 6},     // unknown keyword
        {header + "msgctxt \"A\"\nmsgid \"a\"\nmsgstr \"\\q\"\n", 6},  // unknown escape
        {header + "msgctxt \"A\"\nmsgid \"a\"\nmsgstr \"\xFF\"\n", 4}, // not UTF-8
        {header + "msgctxt \"A\"\nmsgid \"a\"\n\nmsgstr \"b\"\n", 4},  // entry cut in two
        {"msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=KOI8-R\\n\"\n", 1},
    };
    for (const TBad& b : bad) {
        SCOPED_TRACE(b.Po);
        try {
            ReadPo(b.Po);
            ADD_FAILURE() << "read";
        } catch (const TExchangeFileError& error) {
            EXPECT_EQ(error.Line(), b.Line) << error.what();
        }
    }
}

TEST(ExchangeTest, ImportChangesOnlyWhatItCanStore) {
    // Windows-1250 with CR LF; the second Open is never read.
    const std::string translation = EncodeText("; Snapglass\r\n"
                                               "Open=\"Otevřít %s\"\r\n"
                                               "\r\n"
                                               "Close=\"Zavřít\"\r\n"
                                               "Open=\"druhý\"\r\n"
                                               "Width=420\r\n"
                                               "Last=\"\"",
                                               TEncoding::Windows1250);
    const auto with = [&](std::string utf8) { return EncodeText(utf8, TEncoding::Windows1250); };
    struct TCase {
        const char* Name;
        std::vector<TExchangeUnit> Units;
        std::string Expected; // UTF-8; empty: unchanged
        std::vector<std::string> Changed;
        std::vector<TImportNote> Notes = {};
        std::vector<std::string> Missing = {};
        std::vector<std::string> ToBeChecked = {};
    };
    const auto unit = [](std::string key, std::string target, bool fuzzy = false,
                         std::size_t line = 0) {
        TExchangeUnit u;
        u.Key = std::move(key);
        u.Target = std::move(target);
        u.Fuzzy = fuzzy;
        u.Line = line;
        return u;
    };
    const TCase cases[] = {
        {"one phrase, in the file's code page",
         {unit("Close", "Zavřít okno"), unit("Open", "Otevřít %s")},
         "; Snapglass\r\nOpen=\"Otevřít %s\"\r\n\r\nClose=\"Zavřít okno\"\r\nOpen=\"druhý\"\r\n"
         "Width=420\r\nLast=\"\"",
         {"Close"}},
        {"the first of a repeated key, an empty phrase filled, to be checked",
         {unit("Open", "Otevři %s", true), unit("Last", "Poslední")},
         "; Snapglass\r\nOpen=\"Otevři %s\"\r\n\r\nClose=\"Zavřít\"\r\nOpen=\"druhý\"\r\n"
         "Width=420\r\nLast=\"Poslední\"",
         {"Open", "Last"},
         {},
         {},
         {"Open"}},
        {"untranslated units change nothing", {unit("Close", ""), unit("Last", "")}, "", {}},
        {"what cannot be stored is reported, never written",
         {unit("Close", "Закрыть", false, 10), unit("Open", "a\nb", false, 11),
          unit("Last", "say \"x\"", false, 12), unit("Width", "500", false, 13)},
         "",
         {},
         {{TImportNoteKind::Unencodable, "Close", 10, {"З", "U+0417", "Windows-1250"}},
          {TImportNoteKind::LineBreak, "Open", 11, {}},
          {TImportNoteKind::DoubleQuote, "Last", 12, {}},
          {TImportNoteKind::NotQuoted, "Width", 13, {}}}},
        {"keys the translation lacks are listed, a repeated unit and a locked one left out",
         {unit("New", "Nový", false, 5), unit("Close", "Zavři", false, 6),
          unit("Close", "Zavřete", false, 9),
          [&] {
              TExchangeUnit locked = unit("Open", "x", false, 12);
              locked.Locked = true;
              return locked;
          }()},
         "; Snapglass\r\nOpen=\"Otevřít %s\"\r\n\r\nClose=\"Zavři\"\r\nOpen=\"druhý\"\r\n"
         "Width=420\r\nLast=\"\"",
         {"Close"},
         {{TImportNoteKind::Repeated, "Close", 9, {"6"}},
          {TImportNoteKind::Locked, "Open", 12, {}}},
         {"New"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TImportResult result = ImportUnits(translation, TEncoding::Windows1250, c.Units);
        EXPECT_EQ(result.Text, c.Expected.empty() ? translation : with(c.Expected));
        EXPECT_EQ(result.Changed, c.Changed);
        EXPECT_EQ(result.Notes, c.Notes);
        std::vector<std::string> missing;
        for (const TExchangeUnit& u : result.MissingKeys)
            missing.push_back(u.Key);
        EXPECT_EQ(missing, c.Missing);
        EXPECT_EQ(result.ToBeChecked, c.ToBeChecked);
    }
    EXPECT_EQ(
        ImportNoteText({TImportNoteKind::Unencodable, "K", 0, {"З", "U+0417", "Windows-1250"}}),
        "The letter З (U+0417) cannot be stored in Windows-1250: the phrase was left as it was");
}

TEST(ExchangeTest, LanguageCodesAndTags) {
    struct TCase {
        const char* Name;
        std::optional<std::string> Code;
        const char* Tag;
    };
    const TCase cases[] = {
        {"Deutsch", "de", "de"},        {"français", "fr", "fr"},
        {"Francais", "fr", "fr"},       {"Čeština", "cs", "cs"},
        {"Russian", "ru", "ru"},        {"pt_BR", "pt_BR", "pt-BR"},
        {"sr@latin", "sr@latin", "sr"}, {"Klingon Empire", std::nullopt, "x-klingone"},
        {"", std::nullopt, "und"},      {"DE", std::nullopt, "x-de"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(LanguageCode(c.Name), c.Code) << c.Name;
        EXPECT_EQ(LanguageTag(c.Name), c.Tag) << c.Name;
    }
}

TEST(ExchangeTest, XliffEscapesWhatXmlReservesAndLocksWhatItCannotCarry) {
    TExchangeHeader header = Header();
    header.Original = "a&b\".ini";
    const std::string xliff =
        WriteXliff(header, {{"K<1>", "Fish & <chips>", "\"Fisch\"", false, false, {"x"}},
                            {"K2", "bell\x07", "", false, false, {}},
                            {"K3", "a", "b", true, false, {}}});
    EXPECT_NE(xliff.find("original=\"a&amp;b&quot;.ini\""), std::string::npos);
    EXPECT_NE(xliff.find("source-language=\"en\" target-language=\"de\""), std::string::npos);
    EXPECT_NE(xliff.find("<trans-unit id=\"K&lt;1&gt;\" resname=\"K&lt;1&gt;\" approved=\"yes\""),
              std::string::npos);
    EXPECT_NE(xliff.find("<source>Fish &amp; &lt;chips&gt;</source>\n"
                         "        <target state=\"translated\">\"Fisch\"</target>"),
              std::string::npos);
    EXPECT_NE(xliff.find("id=\"K2\" resname=\"K2\" translate=\"no\""), std::string::npos);
    EXPECT_NE(xliff.find("<source>bell</source>"), std::string::npos);
    EXPECT_NE(xliff.find("approved=\"no\" xml:space=\"preserve\">\n        <source>a</source>\n"
                         "        <target state=\"needs-review-translation\">b</target>"),
              std::string::npos);
}

TEST(ExchangeTest, EveryLanguageFileSaysWhyAPhraseWasNotStored) {
    const auto placeholders = [](std::string_view text) {
        std::string found;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
                found += text[i + 1];
        std::sort(found.begin(), found.end());
        return found;
    };
    for (const char* file :
         {"Wordlark_English.ini", "Wordlark_Deutsch.ini", "Wordlark_Francais.ini"}) {
        TInitFile texts(TInitFile::TForm::Ini);
        ASSERT_TRUE(texts.Load(std::string(WORDLARK_DATA_DIR) + "/" + file)) << file;
        for (std::size_t i = 0; i < ImportNoteKindCount; ++i) {
            const auto kind = static_cast<TImportNoteKind>(i);
            const std::string key = "FrmWordlark.m_aMImport" + std::string(ImportNoteName(kind));
            const std::string text = texts.GetString(key, "");
            EXPECT_FALSE(text.empty()) << file << ": " << key;
            EXPECT_EQ(placeholders(text), placeholders(ImportNoteDefaultText(kind)))
                << file << ": " << key;
        }
    }
}

} // namespace
