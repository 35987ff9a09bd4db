#include "editor/SynIniSyn.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

void PrintTo(TtkTokenKind kind, std::ostream* os) {
    static const char* const names[] = {"Comment", "Text",  "Section", "Key",    "Null",
                                        "Number",  "Space", "String",  "Symbol", "Unknown"};
    *os << "tk" << (kind <= tkUnknown ? names[kind] : "?");
}

namespace {

using Tokens = std::vector<std::pair<TtkTokenKind, std::string>>;

struct Row {
    std::string line;
    Tokens tokens;
};

// A line in a heap block of exactly its length plus the NUL, so that a scanner
// reading past the end trips the address sanitizer.
std::unique_ptr<char[]> ExactCopy(const std::string& text) {
    auto block = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(block.get(), text.c_str(), text.size() + 1);
    return block;
}

// Walks a line as the editor does. The tokens must follow one another without
// gaps and cover the line up to its NUL.
Tokens Scan(TSynIniSyn& hl, const std::string& line) {
    auto block = ExactCopy(line);
    const int length = static_cast<int>(std::strlen(block.get()));
    hl.SetLine(block.get(), 7);
    Tokens tokens;
    int pos = 0;
    for (; !hl.GetEol() && pos <= length; hl.Next()) {
        EXPECT_EQ(hl.GetTokenPos(), pos);
        EXPECT_EQ(hl.GetTokenKind(), static_cast<int>(hl.GetTokenID()));
        tokens.emplace_back(hl.GetTokenID(), hl.GetToken());
        pos += std::max<int>(1, static_cast<int>(tokens.back().second.size()));
    }
    EXPECT_TRUE(hl.GetEol()) << "no end after " << tokens.size() << " tokens";
    EXPECT_EQ(hl.GetTokenPos(), length);
    return tokens;
}

Tokens Scan(const std::string& line) {
    TSynIniSyn hl;
    return Scan(hl, line);
}

void CheckRows(std::initializer_list<Row> rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(Scan(row.line), row.tokens);
    }
}

TEST(SynIniSynScan, EdgeCaseLines) {
    CheckRows({
        {"", {}},
        {"[Section]", {{tkSection, "[Section]"}}},
        {"[Section", {{tkSection, "[Section"}}},
        {"[Sec] x", {{tkSection, "[Sec]"}, {tkSpace, " "}, {tkText, "x"}}},
        {" [Sec]", {{tkSpace, " "}, {tkText, "["}, {tkText, "Sec"}, {tkText, "]"}}},
        {";note", {{tkComment, ";note"}}},
        {" ;note", {{tkSpace, " "}, {tkText, ";"}, {tkText, "note"}}},
        {"Key = Value", {{tkKey, "Key "}, {tkSymbol, "="}, {tkSpace, " "}, {tkText, "Value"}}},
        {"Hello world", {{tkKey, "Hello world"}}},
        {"123=x", {{tkKey, "123"}, {tkSymbol, "="}, {tkText, "x"}}},
        {"=x", {{tkSymbol, "="}, {tkText, "x"}}},
        {"N=123456", {{tkKey, "N"}, {tkSymbol, "="}, {tkNumber, "123456"}}},
        {"N=1.5E3", {{tkKey, "N"}, {tkSymbol, "="}, {tkNumber, "1.5E3"}}},
        {"N=12ab", {{tkKey, "N"}, {tkSymbol, "="}, {tkText, "12ab"}}},
        {"N=12:30", {{tkKey, "N"}, {tkSymbol, "="}, {tkNumber, "12"}, {tkText, ":30"}}},
        {"Key=Don't", {{tkKey, "Key"}, {tkSymbol, "="}, {tkText, "Don"}, {tkString, "'t"}}},
        {"Key=\"abc def", {{tkKey, "Key"}, {tkSymbol, "="}, {tkString, "\"abc def"}}},
        {"Key=\"\"", {{tkKey, "Key"}, {tkSymbol, "="}, {tkString, "\"\""}}},
        {"Key=\"\"\"abc\"\"\"",
         {{tkKey, "Key"}, {tkSymbol, "="}, {tkString, "\"\"\"abc\""}, {tkString, "\"\""}}},
        {"Key\t=v", {{tkKey, "Key\t"}, {tkSymbol, "="}, {tkText, "v"}}},
    });
}

TEST(SynIniSynScan, LineBreaksAndControlsInsideALine) {
    CheckRows({
        {"a=\r\r\n\nb",
         {{tkKey, "a"},
          {tkSymbol, "="},
          {tkSpace, "\r"},
          {tkSpace, "\r\n"},
          {tkSpace, "\n"},
          {tkText, "b"}}},
        // Comments, sections and keys stop before a CR or LF.
        {";c\rx", {{tkComment, ";c"}, {tkSpace, "\r"}, {tkText, "x"}}},
        {"[s\n]", {{tkSection, "[s"}, {tkSpace, "\n"}, {tkText, "]"}}},
        {"k\r=v", {{tkKey, "k"}, {tkSpace, "\r"}, {tkSymbol, "="}, {tkText, "v"}}},
        // A string cut short by a line break takes the break in.
        {"k=\"ab\r\nx",
         {{tkKey, "k"}, {tkSymbol, "="}, {tkString, "\"ab\r"}, {tkSpace, "\n"}, {tkText, "x"}}},
        {"k=\x01\t\x0b\x0c\x1f x",
         {{tkKey, "k"}, {tkSymbol, "="}, {tkSpace, "\x01\t\x0b\x0c\x1f "}, {tkText, "x"}}},
    });
}

TEST(SynIniSynScan, HighBytesPunctuationAndQuotes) {
    CheckRows({
        // Bytes 0x80 and above never join a text token: UTF-8 splits per byte.
        {"k=caf\xc3\xa9s",
         {{tkKey, "k"}, {tkSymbol, "="}, {tkText, "caf"}, {tkText, "\xc3"}, {tkText, "\xa9s"}}},
        {"\xe9t\xe9=\xff", {{tkKey, "\xe9t\xe9"}, {tkSymbol, "="}, {tkText, "\xff"}}},
        {"k=a_b!7", {{tkKey, "k"}, {tkSymbol, "="}, {tkText, "a"}, {tkText, "_b"}, {tkText, "!7"}}},
        {"k=12e", {{tkKey, "k"}, {tkSymbol, "="}, {tkNumber, "12e"}}},
        {"\"q\"=1", {{tkString, "\"q\""}, {tkSymbol, "="}, {tkNumber, "1"}}},
        {"k='it''s'", {{tkKey, "k"}, {tkSymbol, "="}, {tkString, "'it'"}, {tkString, "'s'"}}},
        {"k=\"\"\"", {{tkKey, "k"}, {tkSymbol, "="}, {tkString, "\"\"\""}}},
    });
}

TEST(SynIniSynScan, EveryByteEndsCleanly) {
    for (int c = 1; c < 256; ++c) {
        const std::string ch(1, static_cast<char>(c));
        for (const std::string& line :
             {ch, ch + "x", "k=" + ch, "k=" + ch + ch + ch, "k=\"" + ch, "[" + ch}) {
            SCOPED_TRACE(testing::Message() << "byte " << c << " in " << line);
            std::string joined;
            for (const auto& token : Scan(line))
                joined += token.second;
            EXPECT_EQ(joined, line);
        }
    }
}

TEST(SynIniSynScan, SampleSourceOneLineAtATime) {
    TSynIniSyn hl;
    const std::string sample = hl.GetSampleSource();
    EXPECT_EQ(sample, "; Syntax highlighting\r\n[Section]\r\nKey=value\r\nString=\"Arial\"\r\n"
                      "Number=123456");
    const Tokens expected[] = {
        {{tkComment, "; Syntax highlighting"}},
        {{tkSection, "[Section]"}},
        {{tkKey, "Key"}, {tkSymbol, "="}, {tkText, "value"}},
        {{tkKey, "String"}, {tkSymbol, "="}, {tkString, "\"Arial\""}},
        {{tkKey, "Number"}, {tkSymbol, "="}, {tkNumber, "123456"}},
    };
    // One highlighter for all lines: nothing may carry over between them.
    size_t start = 0;
    for (const Tokens& tokens : expected) {
        const size_t end = std::min(sample.find("\r\n", start), sample.size());
        EXPECT_EQ(Scan(hl, sample.substr(start, end - start)), tokens);
        start = end + 2;
    }
    EXPECT_EQ(start, sample.size() + 2);
}

TEST(SynIniSynScan, EndOfLineIsStickyAndNulEndsTheLine) {
    TSynIniSyn hl;
    EXPECT_TRUE(hl.GetEol()) << "before any line";
    // After the NUL lies a closing quote that must not be looked at.
    const char line[] = "k=\"\0\"\"x\"";
    hl.SetLine(line, 0);
    hl.Next();
    hl.Next();
    EXPECT_EQ(hl.GetToken(), "\"");
    for (int i = 0; i < 3; ++i) {
        hl.Next();
        EXPECT_TRUE(hl.GetEol());
        EXPECT_EQ(hl.GetTokenPos(), 3);
        EXPECT_EQ(hl.GetToken(), "");
        EXPECT_EQ(hl.GetTokenAttribute(), nullptr);
    }
    hl.SetLine(nullptr, 1);
    EXPECT_TRUE(hl.GetEol());
}

TEST(SynIniSynAttributes, DefaultsListAndTokenMapping) {
    TSynIniSyn hl;
    struct Expected {
        TSynHighlighterAttributes* attr;
        const char* name;
        TFontStyles style;
        TColor foreground;
    } const expected[] = {
        {hl.CommentAttri(), "Comment", fsItalic, 0x008000},
        {hl.TextAttri(), "Text", 0, clNone},
        {hl.SectionAttri(), "Section", fsBold, clNone},
        {hl.KeyAttri(), "Key", 0, clNone},
        {hl.NumberAttri(), "Number", 0, clNone},
        {hl.SpaceAttri(), "Space", 0, clNone},
        {hl.StringAttri(), "String", 0, clNone},
        {hl.SymbolAttri(), "Symbol", 0, clNone},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.attr->Name(), e.name);
        EXPECT_EQ(e.attr->Style(), e.style);
        EXPECT_EQ(e.attr->Foreground(), e.foreground);
        EXPECT_EQ(e.attr->Background(), clNone);
    }
    std::vector<std::string> names;
    for (int i = 0; i < hl.AttrCount(); ++i)
        names.push_back(hl.Attribute(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Comment", "Key", "Number", "Section", "Space",
                                               "String", "Symbol", "Text"}));

    std::vector<TSynHighlighterAttributes*> painted;
    for (const char* text : {";c", "[s]", "k=1 x\"s\""}) {
        auto line = ExactCopy(text);
        for (hl.SetLine(line.get(), 0); !hl.GetEol(); hl.Next())
            painted.push_back(hl.GetTokenAttribute());
    }
    EXPECT_EQ(painted, (std::vector<TSynHighlighterAttributes*>{
                           hl.CommentAttri(), hl.SectionAttri(), hl.KeyAttri(), hl.SymbolAttri(),
                           hl.NumberAttri(), hl.SpaceAttri(), hl.TextAttri(), hl.StringAttri()}));

    EXPECT_EQ(hl.GetDefaultAttribute(sarComment), hl.CommentAttri());
    EXPECT_EQ(hl.GetDefaultAttribute(sarIdentifier), nullptr);
    EXPECT_EQ(hl.GetDefaultAttribute(sarKeyword), hl.KeyAttri());
    EXPECT_EQ(hl.GetDefaultAttribute(sarString), hl.StringAttri());
    EXPECT_EQ(hl.GetDefaultAttribute(sarWhitespace), hl.SpaceAttri());
    EXPECT_EQ(hl.GetDefaultAttribute(sarSymbol), hl.SymbolAttri());
    EXPECT_EQ(hl.GetDefaultAttribute(-1), nullptr);
    EXPECT_EQ(hl.GetDefaultAttribute(6), nullptr);
}

TEST(SynIniSynAttributes, DuplicateNamesRefusedAndChangesReported) {
    TSynIniSyn hl;
    int first = 0;
    int second = 0;
    const int id = hl.AddChangeListener([&] { ++first; });
    hl.AddChangeListener([&] { ++second; });

    TSynHighlighterAttributes again("Key");
    TSynHighlighterAttributes otherCase("sTRING");
    TSynHighlighterAttributes extra("Label");
    EXPECT_FALSE(hl.AddAttribute(&again));
    EXPECT_FALSE(hl.AddAttribute(&otherCase));
    EXPECT_TRUE(hl.AddAttribute(&extra));
    EXPECT_FALSE(hl.AddAttribute(&extra));
    ASSERT_EQ(hl.AttrCount(), 9);
    EXPECT_EQ(hl.Attribute(2), &extra) << "sorted in between Key and Number";
    again.SetStyle(fsBold);
    EXPECT_EQ(first, 0) << "a refused attribute is not hooked";
    extra.SetStyle(fsBold);
    EXPECT_EQ(first, 1);

    // The main window's marking of quoted phrases.
    hl.StringAttri()->SetBackground(10354687);
    hl.StringAttri()->SetForeground(8388672);
    hl.StringAttri()->SetBackground(10354687);
    EXPECT_EQ(hl.StringAttri()->Background(), 0x009DFFFF);
    EXPECT_EQ(first, 3) << "setting the same value again is no change";
    EXPECT_EQ(second, 3);

    hl.RemoveChangeListener(id);
    hl.CommentAttri()->SetStyle(fsItalic | fsUnderline);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 4);
}

TEST(SynIniSynFixedValues, IdentCharsAndNames) {
    const TSynIniSyn hl;
    const TSynIdentChars ident = hl.GetIdentChars();
    EXPECT_EQ(ident.count(), 10u + 52u + 1u + 62u);
    for (int c : std::initializer_list<int>{'0', '9', 'A', 'Z', 'a', 'z', '_', 0xC0, 0xD6, 0xD8,
                                            0xF6, 0xF8, 0xFF})
        EXPECT_TRUE(ident[c]) << c;
    for (int c : std::initializer_list<int>{0, ' ', '-', '=', '@', '[', '`', '{', 0x7F, 0x80, 0xBF,
                                            0xD7, 0xF7})
        EXPECT_FALSE(ident[c]) << c;

    const TSynCustomHighlighter& base = hl;
    EXPECT_EQ(base.GetLanguageName(), "INI File");
    EXPECT_EQ(TSynIniSyn::LanguageName(), "INI File");
    EXPECT_EQ(base.DefaultFilter(), "INI Files (*.ini)|*.ini");
}

} // namespace
