#include "initfile/InitFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>

namespace {
TInitFile Ini(const std::string& body) {
    TInitFile doc(TInitFile::TForm::Ini);
    doc.Parse(body);
    return doc;
}

const std::string Decl = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
} // namespace

TEST(InitFile, WritesBothFormsByteForByte) {
    TempDir dir;
    TInitFile ini(TInitFile::TForm::Ini);
    TInitFile xml(TInitFile::TForm::Xml);
    for (TInitFile* doc : {&ini, &xml}) {
        doc->AddString("A", "1");
        doc->AddInt("B", -5);
        doc->AddBool("C", true);
    }
    ASSERT_TRUE(ini.Save(dir / "a.ini"));
    ASSERT_TRUE(xml.Save(dir / "a.xml"));
    EXPECT_EQ(TempDir::Read(dir / "a.ini"), "A=\"1\"\r\nB=\"-5\"\r\nC=\"1\"\r\n");
    EXPECT_EQ(TempDir::Read(dir / "a.xml"), Decl + "<InitFile>\r\n  <A>1</A>\r\n  <B>-5</B>\r\n"
                                                   "  <C>1</C>\r\n</InitFile>\r\n");

    TInitFile empty(TInitFile::TForm::Xml);
    EXPECT_EQ(empty.GetText(), Decl + "<InitFile>\r\n</InitFile>\r\n");
}

TEST(InitFile, XmlRootNameIsTakenFromTheFile) {
    TempDir dir;
    const std::string path =
        dir.Write("s.xml", Decl + "<Settings>\r\n  <K>v</K>\r\n</Settings>\r\n");
    TInitFile doc(TInitFile::TForm::Xml);
    ASSERT_TRUE(doc.Load(path));
    EXPECT_EQ(doc.RootName(), "Settings");
    EXPECT_EQ(doc.GetString("K", ""), "v");
    EXPECT_EQ(doc.GetText(), Decl + "<Settings>\r\n  <K>v</K>\r\n</Settings>\r\n");
}

TEST(InitFile, XmlLoadFailuresLeaveTheBodyAlone) {
    TempDir dir;
    // No declaration end at all.
    TInitFile a(TInitFile::TForm::Xml);
    EXPECT_FALSE(a.Load(dir.Write("a.xml", "<InitFile><K>v</K></InitFile>")));
    EXPECT_EQ(a.Body(), "");
    EXPECT_EQ(a.RootName(), "InitFile");
    // A root with attributes: its end tag is never found.
    TInitFile b(TInitFile::TForm::Xml);
    EXPECT_FALSE(b.Load(dir.Write("b.xml", Decl + "<Root a=\"1\">\r\n  <K>v</K>\r\n</Root>\r\n")));
    EXPECT_EQ(b.Body(), "");
    EXPECT_EQ(b.RootName(), "Root a=\"1\"");
    EXPECT_EQ(b.GetString("K", "dflt"), "dflt");
    // A failed parse keeps what an earlier load gave.
    TInitFile c(TInitFile::TForm::Xml);
    ASSERT_TRUE(c.Load(dir.Write("c.xml", Decl + "<InitFile>\r\n  <K>v</K>\r\n</InitFile>\r\n")));
    EXPECT_FALSE(c.Load(dir.Write("d.xml", "garbage")));
    EXPECT_EQ(c.GetString("K", ""), "v");
}

TEST(InitFile, LoadRefusesEmptyMissingAndFolders) {
    TempDir dir;
    TInitFile doc(TInitFile::TForm::Ini);
    EXPECT_FALSE(doc.Load(dir.Write("empty.ini", "")));
    EXPECT_FALSE(doc.Load(dir / "missing.ini"));
    EXPECT_FALSE(doc.Load(dir.Path()));
    EXPECT_EQ(doc.GetString("A", "d"), "d");
}

TEST(InitFile, LoadStopsAtTheFirstNulByte) {
    TempDir dir;
    TInitFile doc(TInitFile::TForm::Ini);
    ASSERT_TRUE(doc.Load(dir.Write("nulbyte.ini", std::string("A=\"1\"\r\n\0B=\"2\"\r\n", 15))));
    EXPECT_EQ(doc.GetString("A", ""), "1");
    EXPECT_EQ(doc.GetString("B", "none"), "none");
    // A file that starts with NUL has no text: parsing it gives an empty body.
    EXPECT_TRUE(doc.Load(dir.Write("nulfirst.ini", std::string("\0A=\"1\"", 6))));
    EXPECT_EQ(doc.GetString("A", "none"), "none");
}

TEST(InitFile, SearchIsPlainSubstringSearch) {
    EXPECT_EQ(Ini("XName=\"a\"\r\nName=\"b\"\r\n").GetString("Name", ""), "a");
    EXPECT_EQ(Ini("[Sec]\r\n;K=\"c\"\r\n").GetString("K", ""), "c");
    EXPECT_EQ(Ini("K = \"x\"\r\n").GetString("K", "none"), "none");
    EXPECT_EQ(Ini("   K=\"x\"\r\n").GetString("K", ""), "x");
    EXPECT_EQ(Ini("K=\"two\r\nlines\"").GetString("K", ""), "two\r\nlines");
    EXPECT_EQ(Ini("K=\"unterminated").GetString("K", "none"), "none");
    EXPECT_EQ(Ini("k=\"lower\"").GetString("K", "none"), "none");
}

TEST(InitFile, CursorEnumeratesInterleavedKeys) {
    TInitFile doc = Ini("N=\"x\"\r\nF=\"1\"\r\nN=\"y\"\r\nF=\"2\"\r\n");
    EXPECT_EQ(doc.GetString("N", ""), "x");
    EXPECT_EQ(doc.GetString("F", ""), "1");
    EXPECT_EQ(doc.GetNextString("N"), "y");
    EXPECT_EQ(doc.GetNextString("F"), "2");
    const size_t cursor = doc.ReadCursor();
    EXPECT_EQ(doc.GetNextString("N"), "");
    EXPECT_EQ(doc.ReadCursor(), cursor); // a failed find leaves the cursor
    doc.Clear();
    EXPECT_EQ(doc.ReadCursor(), 0u);
}

TEST(InitFile, NumbersAndFlags) {
    TInitFile doc = Ini("A=\"12abc\"B=\"abc\"C=\"2\"D=\"1\"E=\"\"F=\" -7\"G=\"99999999999\""
                        "H=\"-99999999999\"");
    EXPECT_EQ(doc.GetInt("A", 5), 12);
    EXPECT_EQ(doc.GetInt("B", 5), 0);
    EXPECT_FALSE(doc.GetBool("C", true));
    EXPECT_TRUE(doc.GetBool("D", false));
    EXPECT_EQ(doc.GetInt("E", 5), 5);
    EXPECT_EQ(doc.GetString("E", "d"), "d");
    EXPECT_TRUE(doc.GetBool("E", true));
    EXPECT_EQ(doc.GetInt("F", 0), -7);
    EXPECT_EQ(doc.GetInt("G", 0), INT_MAX);
    EXPECT_EQ(doc.GetInt("H", 0), INT_MIN);
    EXPECT_EQ(doc.GetInt("Missing", 42), 42);
}

TEST(InitFile, AddingNeverChangesEarlierEntries) {
    TInitFile doc(TInitFile::TForm::Xml);
    doc.AddString("K", "first");
    doc.AddString("K", "second");
    EXPECT_EQ(doc.GetString("K", ""), "first");
    EXPECT_EQ(doc.GetNextString("K"), "second");
}
