// Finding and replacing: case, whole words, phrases only, and a replacement
// that leaves everything outside the phrases alone.
#include "workbench/Find.h"

#include "initfile/KeyValueLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The matched texts, in order.
std::vector<std::string> Found(std::string_view text, std::string_view pattern,
                               TFindOptions options) {
    std::vector<std::string> out;
    for (const TTextRange& r : FindAll(text, pattern, options))
        out.emplace_back(text.substr(r.Begin, r.End - r.Begin));
    return out;
}

const std::string Text = "; Open files here\r\n"
                         "Main.Open=\"Open file\"\r\n"
                         "Main.OpenFile=\"Öffnen, ÖFFNEN, reopen\"\r\n"
                         "Main.Width=\"open\"\n"
                         "open=\"x\"\r"
                         "Main.Bad=\"open";

TEST(FindTest, CaseWholeWordsAndPhrases) {
    using V = std::vector<std::string>;
    const struct {
        const char* pattern;
        TFindOptions options;
        V found;
    } cases[] = {
        {"open", {}, {"Open", "Open", "Open", "Open", "open", "open", "open", "open"}},
        {"Open", {.MatchCase = true}, {"Open", "Open", "Open", "Open"}},
        {"open", {.WholeWord = true}, {"Open", "Open", "Open", "open", "open", "open"}},
        {"open", {.PhrasesOnly = true}, {"Open", "open", "open"}},
        {"open", {.WholeWord = true, .PhrasesOnly = true}, {"Open", "open"}},
        // Letters beyond ASCII change case too.
        {"öffnen", {}, {"Öffnen", "ÖFFNEN"}},
        {"Öffnen", {.MatchCase = true}, {"Öffnen"}},
        {"ffnen", {.WholeWord = true}, {}},
        // Matches never run over a line break, nor out of a phrase.
        {"here\r\nMain", {}, {}},
        {"file\"", {.PhrasesOnly = true}, {}},
        {"", {}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Found(Text, c.pattern, c.options), c.found) << c.pattern;
}

TEST(FindTest, NextAndPreviousFromAPosition) {
    const std::string text = "A=\"ab ab\"\nB=\"ab\"";
    const TFindOptions phrases{.PhrasesOnly = true};
    EXPECT_EQ(FindNext(text, "ab", phrases, 0), (TTextRange{3, 5}));
    EXPECT_EQ(FindNext(text, "ab", phrases, 4), (TTextRange{6, 8}));
    EXPECT_EQ(FindNext(text, "ab", phrases, 7), (TTextRange{13, 15}));
    EXPECT_EQ(FindNext(text, "ab", phrases, 14), std::nullopt);
    EXPECT_EQ(FindNext(text, "ab", phrases, 14, false), (TTextRange{6, 8}));
    EXPECT_EQ(FindNext(text, "ab", phrases, 15, false), (TTextRange{13, 15}));
    EXPECT_EQ(FindNext(text, "ab", phrases, 7, false), (TTextRange{3, 5}));
    EXPECT_EQ(FindNext(text, "ab", phrases, 4, false), std::nullopt);
    EXPECT_EQ(FindNext(text, "ab", phrases, 999), std::nullopt);
    EXPECT_EQ(FindNext(text, "ab", phrases, 999, false), (TTextRange{13, 15}));
}

// Each phrase of `text` passed through f, everything else kept, line breaks
// included.
template <class F> std::string WithPhrases(std::string_view text, F&& f) {
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        const std::string_view line = text.substr(start, end - start);
        const TKeyValueLine parsed = ParseKeyValueLine(line);
        if (parsed.IsEntry() && parsed.Quoting == TQuoting::Closed)
            out += std::string(line.substr(0, parsed.ValueBegin)) + f(parsed.Value(line)) +
                   std::string(line.substr(parsed.ValueEnd));
        else
            out += line;
        std::size_t next = end + 1;
        if (end < text.size() && text[end] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        out += text.substr(end, next - end);
        if (end >= text.size())
            break;
        start = next;
    }
    return out;
}

TEST(FindTest, ReplacingInPhrasesLeavesTheRestAlone) {
    const TReplaceResult result = ReplaceAll(Text, "open", "Öffne", {.PhrasesOnly = true});
    EXPECT_EQ(result.Count, 3u);
    EXPECT_EQ(result.Text, "; Open files here\r\n"
                           "Main.Open=\"Öffne file\"\r\n"
                           "Main.OpenFile=\"Öffnen, ÖFFNEN, reÖffne\"\r\n"
                           "Main.Width=\"Öffne\"\n"
                           "open=\"x\"\r"
                           "Main.Bad=\"open");

    // Whatever is replaced, and with whatever (quotes and line breaks
    // included), the result is each phrase replaced on its own and
    // everything around the phrases as it was.
    const char* const patterns[] = {"a", "\"", "e", "=", "A", "x\"", "Main", "ä"};
    const char* const replacements[] = {"", "\"", "\r\n", "=", "zz", "\"k=\""};
    const std::string text =
        "A=\"a \"e\" x\"\nMain.A=\"Main = \"\r\n;A=\"a\"\n[A]\rB=a\nC=\"Ä a\r\nD=\"ä\"";
    for (const char* pattern : patterns)
        for (const char* replacement : replacements)
            for (const bool matchCase : {false, true})
                for (const bool wholeWord : {false, true}) {
                    TFindOptions options{matchCase, wholeWord, false};
                    const std::string expected = WithPhrases(text, [&](std::string_view phrase) {
                        return ReplaceAll(phrase, pattern, replacement, options).Text;
                    });
                    options.PhrasesOnly = true;
                    EXPECT_EQ(ReplaceAll(text, pattern, replacement, options).Text, expected)
                        << pattern << " -> " << replacement << " case " << matchCase << " word "
                        << wholeWord;
                }
}

} // namespace
