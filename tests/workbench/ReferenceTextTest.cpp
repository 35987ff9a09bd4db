// The reference's index of keys and its lines read in compact form, against
// a plain reading of the same random texts: which key each line has, which
// line is the first of its key, and the numbers and lines of the keys.
#include "workbench/ReferenceText.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// Lines of every kind; keys repeat, so that some lines are later entries of
// a key, and line breaks vary. Now and then a line is longer than 64 KiB, its
// phrase or its key (blanks before the "=" are the key's) reaching past it.
std::string RandomText(std::mt19937& random, int lines) {
    const std::string longPhrase = "K%=\"" + std::string(70000, 'a') + "\"";
    const std::string longKey = "K%" + std::string(66000, ' ') + "=\"v\"";
    const std::string forms[] = {"K%=\"v%\"", "K%=w%", "K% =\"open", "; K%=\"c\"", "[S%]",
                                 "",          "  ",    "=\"x\"",     "stray %"};
    const char* const breaks[] = {"\r\n", "\n", "\r"};
    std::string text;
    for (int i = 0; i < lines; ++i) {
        const std::size_t form = random() % (std::size(forms) * 20 + 2);
        std::string line = form < std::size(forms) * 20 ? forms[form % std::size(forms)]
                           : form % 2                   ? longPhrase
                                                        : longKey;
        const std::string number = std::to_string(random() % 40);
        for (std::size_t at; (at = line.find('%')) != std::string::npos;)
            line.replace(at, 1, number);
        text += line + breaks[random() % std::size(breaks)];
    }
    return text;
}

TEST(ReferenceTextTest, KeysAndLinesAgreeWithAPlainReading) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const std::string text = RandomText(random, static_cast<int>(random() % 200));
        const TReferenceText reference(text);
        std::vector<std::string_view> lines;
        ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
        ASSERT_EQ(reference.LineCount(), lines.size());
        std::map<std::string_view, std::size_t> firstLine;
        std::vector<std::size_t> keyLines;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const TKeyValueLine parsed = ParseKeyValueLine(lines[i]);
            const TKeyValueLine compact = reference.Parsed(i);
            EXPECT_EQ(reference.Line(i), lines[i]);
            EXPECT_EQ(compact.Kind, parsed.Kind);
            EXPECT_EQ(compact.Quoting, parsed.Quoting);
            EXPECT_EQ(compact.Quotes, parsed.Quotes);
            EXPECT_EQ(compact.Key(lines[i]), parsed.Key(lines[i]));
            EXPECT_EQ(compact.Value(lines[i]), parsed.Value(lines[i]));
            const bool first =
                parsed.IsEntry() && firstLine.emplace(parsed.Key(lines[i]), i).second;
            EXPECT_EQ(reference.IsFirstOfKey(i), first) << lines[i];
            if (!parsed.IsEntry())
                continue;
            EXPECT_EQ(reference.Key(i), parsed.Key(lines[i]));
            EXPECT_EQ(reference.Phrase(i), parsed.Value(lines[i]));
            if (first)
                keyLines.push_back(i);
        }
        ASSERT_EQ(reference.KeyCount(), keyLines.size());
        for (std::uint32_t key = 0; key < keyLines.size(); ++key) {
            EXPECT_EQ(reference.KeyLine(key), keyLines[key]);
            EXPECT_EQ(reference.KeyNumber(reference.Key(keyLines[key])), key);
            EXPECT_EQ(reference.LineOfKey(reference.Key(keyLines[key])), keyLines[key]);
        }
        for (const char* absent : {"K40", "K", "", "k1", "K1 "})
            if (!firstLine.contains(absent)) {
                EXPECT_EQ(reference.KeyNumber(absent), TReferenceText::NoKey) << absent;
                EXPECT_EQ(reference.LineOfKey(absent), std::nullopt) << absent;
            }
    }
}

} // namespace
