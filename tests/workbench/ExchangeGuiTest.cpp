// XLIFF out and back through Qt's XML reader, and XLIFF as other tools write
// it: entities, CDATA, inline elements, groups, states.
#include "workbench/ExchangeFixtures.h"
#include "workbench/PoFile.h"
#include "workbench/XliffReader.h"
#include "workbench/XliffWriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ExchangeGuiTest, AnXliffRoundTripGivesBackEveryByte) {
    const TExchangeHeader header{"T.ini", "de", "English", "Wordlark 1.700", ""};
    for (const TExchangeFixture& f : ExchangeFixtures()) {
        SCOPED_TRACE(f.Name);
        const std::vector<TExchangeUnit> units = TranslationUnits(
            {f.Translation, f.Encoding, "T.ini"}, {f.Reference, TEncoding::Utf8, "R.ini"});
        const std::string xliff = WriteXliff(header, units);
        const TExchangeDocument read = ReadExchangeFile(xliff);
        EXPECT_EQ(read.Header.Original, "T.ini");
        EXPECT_EQ(read.Header.Language, "de");
        ASSERT_EQ(read.Units.size(), units.size());
        for (std::size_t i = 0; i < units.size(); ++i) {
            EXPECT_EQ(read.Units[i].Key, units[i].Key);
            EXPECT_EQ(read.Units[i].Source, units[i].Source);
            EXPECT_EQ(read.Units[i].Target, units[i].Target);
            EXPECT_EQ(read.Units[i].Fuzzy, units[i].Fuzzy && !units[i].Target.empty());
            EXPECT_EQ(read.Units[i].Comments, units[i].Comments);
        }
        const TImportResult back = ImportExchangeFile(f.Translation, f.Encoding, xliff);
        EXPECT_EQ(back.Text, f.Translation);
        EXPECT_TRUE(back.Changed.empty());
        EXPECT_TRUE(back.Notes.empty());
        // The same file as PO comes back the same way.
        EXPECT_EQ(ImportExchangeFile(f.Translation, f.Encoding, WritePo(header, units)).Text,
                  f.Translation);
    }
}

TEST(ExchangeGuiTest, ReadsXliffAsOtherToolsWriteIt) {
    const std::string xliff =
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<xliff version=\"1.1\" xmlns=\"urn:oasis:names:tc:xliff:document:1.1\">\n"
        "<file original=\"T.ini\" source-language=\"en\" target-language=\"cs\" "
        "datatype=\"plaintext\"><header><note>not a unit</note></header><body>\n"
        "<trans-unit id=\"1\" resname=\"Entities\"><source>a</source>"
        "<target>Fish &amp; chips &#x4E2D; &lt;b&gt;</target></trans-unit>\n"
        "<trans-unit id=\"Cdata\"><source>a</source>"
        "<target state=\"final\"><![CDATA[<b>bold</b> & more]]></target></trans-unit>\n"
        "<group id=\"g\"><trans-unit id=\"Inline\"><source>a</source>"
        "<target>Open <g id=\"1\">the <mrk mtype=\"term\">file</mrk></g> <ph id=\"2\">%s</ph>"
        "</target><alt-trans><target>other</target></alt-trans></trans-unit></group>\n"
        "<trans-unit id=\"Placeholder\"><source>a</source>"
        "<target>Open <x id=\"1\"/> now</target></trans-unit>\n"
        "<trans-unit id=\"New\"><source>a</source><target state=\"new\">a</target></trans-unit>\n"
        "<trans-unit id=\"Review\"><source>a</source>"
        "<target state=\"needs-review-translation\">b</target></trans-unit>\n"
        "<trans-unit id=\"Fixed\" translate=\"no\"><source>a</source><target>c</target>"
        "<note from=\"developer\">do not</note></trans-unit>\n"
        "<trans-unit id=\"NoTarget\"><source>a</source></trans-unit>\n"
        "<trans-unit><source>no key</source></trans-unit>\n"
        "</body></file></xliff>\n";
    const TExchangeDocument document = ReadExchangeFile(xliff);
    EXPECT_EQ(document.Header.Language, "cs");
    struct TExpected {
        const char* Key;
        const char* Target;
        bool Fuzzy;
        bool Locked;
        std::size_t Line;
    };
    const TExpected expected[] = {
        {"Entities", "Fish & chips 中 <b>", false, false, 4},
        {"Cdata", "<b>bold</b> & more", false, false, 5},
        {"Inline", "Open the file %s", false, false, 6},
        {"Placeholder", "Open  now", false, true, 7},
        {"New", "", false, false, 8},
        {"Review", "b", true, false, 9},
        {"Fixed", "c", false, true, 10},
        {"NoTarget", "", false, false, 11},
    };
    ASSERT_EQ(document.Units.size(), std::size(expected));
    for (std::size_t i = 0; i < document.Units.size(); ++i) {
        SCOPED_TRACE(expected[i].Key);
        EXPECT_EQ(document.Units[i].Key, expected[i].Key);
        EXPECT_EQ(document.Units[i].Target, expected[i].Target);
        EXPECT_EQ(document.Units[i].Fuzzy, expected[i].Fuzzy);
        EXPECT_EQ(document.Units[i].Locked, expected[i].Locked);
        EXPECT_EQ(document.Units[i].Line, expected[i].Line);
    }
    EXPECT_EQ(document.Units[6].Comments, std::vector<std::string>{"do not"});
    EXPECT_EQ(document.Unkeyed, std::vector<std::size_t>{12});

    struct TBad {
        const char* Xml;
        std::size_t Line;
    };
    std::string deep = "<xliff version=\"1.2\"><file><body><trans-unit id=\"a\"><target>";
    for (int i = 0; i < 100000; ++i)
        deep += "<g>";
    const TBad bad[] = {
        {deep.c_str(), 1},
        {"<xliff version=\"1.2\">\n<file><body>\n<trans-unit id=\"a\"><source>x</target>", 3},
        {"<xliff version=\"2.0\"><file/></xliff>", 1},
        {"<html/>", 1},
    };
    for (const TBad& b : bad) {
        SCOPED_TRACE(b.Xml);
        try {
            ReadExchangeFile(b.Xml);
            ADD_FAILURE() << "read";
        } catch (const TExchangeFileError& error) {
            EXPECT_EQ(error.Line(), b.Line) << error.what();
        }
    }
}

} // namespace
