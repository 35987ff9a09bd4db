// Reading translation lines and checking them against their reference line:
// each check on lines that must and must not be flagged.
#include "workbench/Checks.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(KeyValueLineTest, KindsKeysAndPhrases) {
    const struct {
        const char* line;
        TLineKind kind;
        const char* key;
        const char* value;
        TQuoting quoting;
        std::size_t quotes;
    } cases[] = {
        {"", TLineKind::Blank, "", "", TQuoting::None, 0},
        {" \t ", TLineKind::Blank, "", "", TQuoting::None, 0},
        {";A=\"x\"", TLineKind::Comment, "", "", TQuoting::None, 0},
        {"[Form]", TLineKind::Section, "", "", TQuoting::None, 0},
        {"no equals sign", TLineKind::Other, "", "", TQuoting::None, 0},
        {"  =\"x\"", TLineKind::Other, "", "", TQuoting::None, 0},
        {"A=\"Datei\"", TLineKind::Entry, "A", "Datei", TQuoting::Closed, 2},
        {"  Frm.Btn=\"\"", TLineKind::Entry, "Frm.Btn", "", TQuoting::Closed, 2},
        // Blanks before "=" belong to the key, as a program searching for
        // key=" sees it; blanks before the quote leave the value unquoted.
        {"A =\"x\"", TLineKind::Entry, "A ", "x", TQuoting::Closed, 2},
        {"A= \"x\"", TLineKind::Entry, "A", " \"x\"", TQuoting::None, 2},
        {"A=123", TLineKind::Entry, "A", "123", TQuoting::None, 0},
        {"A=\"open", TLineKind::Entry, "A", "open", TQuoting::Open, 1},
        {"A=\"say \"hi\"\"", TLineKind::Entry, "A", "say \"hi\"", TQuoting::Closed, 4},
        {"A=\"x\" ; note", TLineKind::Entry, "A", "x", TQuoting::Closed, 2},
        {"A=b=\"c\"", TLineKind::Entry, "A", "b=\"c\"", TQuoting::None, 2},
        {" ;A=\"x\"", TLineKind::Entry, ";A", "x", TQuoting::Closed, 2},
    };
    for (const auto& c : cases) {
        const TKeyValueLine parsed = ParseKeyValueLine(c.line);
        EXPECT_EQ(parsed.Kind, c.kind) << c.line;
        EXPECT_EQ(parsed.Key(c.line), c.key) << c.line;
        EXPECT_EQ(parsed.Value(c.line), c.value) << c.line;
        EXPECT_EQ(parsed.Quoting, c.quoting) << c.line;
        EXPECT_EQ(parsed.Quotes, c.quotes) << c.line;
    }
}

TEST(KeyValueLineTest, LinesSplitAtEveryKindOfBreak) {
    std::vector<std::string> lines;
    ForEachLine("a\r\nb\rc\n\nd\r\n", [&](std::string_view l) { lines.emplace_back(l); });
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "", "d", ""}));
    lines.clear();
    ForEachLine("", [&](std::string_view l) { lines.emplace_back(l); });
    EXPECT_EQ(lines, (std::vector<std::string>{""}));
}

TEST(PlaceholderTest, FindsFormatQtAndBracePlaceholders) {
    using P = std::vector<TPlaceholder>;
    const struct {
        const char* phrase;
        P expected;
    } cases[] = {
        {"no placeholders, 100% sure, %% and {{0}}", {}},
        {"%s of %d", {{"%s", true}, {"%d", true}}},
        {"%5.2f %-10s %x %u %.3e %g %n %m %p %S",
         {{"%5.2f", true},
          {"%-10s", true},
          {"%x", true},
          {"%u", true},
          {"%.3e", true},
          {"%g", true},
          {"%n", true},
          {"%m", true},
          {"%p", true},
          {"%S", true}}},
        {"%1:s and %0:d", {{"%1:s", false}, {"%0:d", false}}},
        {"%1 of %2, %10", {{"%1", false}, {"%2", false}, {"%10", false}}},
        {"{0} {1:N2} {12,5}", {{"{0}", false}, {"{1:N2}", false}, {"{12,5}", false}}},
        {"{name} {} %o % {0", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindPlaceholders(c.phrase), c.expected) << c.phrase;
}

// Checks the entry `line` against `reference` (none: no reference line for
// its key) and returns the problems as "Reason param|param" texts.
std::vector<std::string> Check(const std::string& line,
                               const std::optional<std::string>& reference) {
    const TKeyValueLine parsed = ParseKeyValueLine(line);
    TKeyValueLine ref;
    if (reference)
        ref = ParseKeyValueLine(*reference);
    std::vector<std::string> out;
    for (const TProblem& p :
         CheckEntry(line, parsed, reference.value_or(""), reference ? &ref : nullptr)) {
        std::string text(ReasonName(p.Reason));
        for (size_t i = 0; i < p.Params.size(); ++i)
            text += (i ? "|" : " ") + p.Params[i];
        out.push_back(text);
    }
    return out;
}

struct TCheckCase {
    const char* line;
    std::optional<std::string> reference;
    std::vector<std::string> problems;
};

void ExpectChecks(const std::vector<TCheckCase>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(Check(c.line, c.reference), c.problems)
            << c.line << "  against  " << c.reference.value_or("(none)");
}

TEST(CheckTest, Quotes) {
    ExpectChecks({
        {"A=\"Datei\"", "A=\"File\"", {}},
        {"A=\"\"", "A=\"File\"", {}},
        {"A=Datei", "A=\"File\"", {"NotQuoted"}},
        {"A= \"Datei\"", "A=\"File\"", {"NotQuoted"}},
        {"A=Datei", std::nullopt, {"NotQuoted"}},
        {"A=", "A=\"File\"", {"NotQuoted"}},
        // Unquoted like the reference: a number, say.
        {"A.Width=120", "A.Width=100", {}},
        {"A=\"Datei", "A=\"File\"", {"OddQuotes 1"}},
        {"A=\"Sag \"Hallo\"\"", "A=\"Say \"hello\"\"", {}},
        {"A=\"Sag \"Hallo\"", "A=\"Say \"hello\"\"", {"OddQuotes 3"}},
        {"A=Datei\"", "A=\"File\"", {"NotQuoted", "OddQuotes 1"}},
        // The same odd count as the reference is the reference's own way.
        {"A=\"5\" Zoll\"", "A=\"5\" inch\"", {}},
    });
}

TEST(CheckTest, Placeholders) {
    ExpectChecks({
        {"A=\"%s von %d\"", "A=\"%s of %d\"", {}},
        {"A=\"Datei\"", "A=\"File %s\"", {"PlaceholderMissing %s"}},
        {"A=\"Datei %s %s\"", "A=\"File %s\"", {"PlaceholderExtra %s"}},
        {"A=\"%d von %s\"", "A=\"%s of %d\"", {"PlaceholderOrder %s %d|%d %s"}},
        {"A=\"%d %d\"", "A=\"%s %d\"", {"PlaceholderMissing %s", "PlaceholderExtra %d"}},
        {"A=\"%s\"", "A=\"%5s\"", {"PlaceholderMissing %5s", "PlaceholderExtra %s"}},
        // Numbered placeholders name their value and may move.
        {"A=\"%2 von %1\"", "A=\"%1 of %2\"", {}},
        {"A=\"{1} von {0}\"", "A=\"{0} of {1}\"", {}},
        {"A=\"%1:s %0:s\"", "A=\"%0:s %1:s\"", {}},
        {"A=\"{0} von {0}\"",
         "A=\"{0} of {1}\"",
         {"PlaceholderMissing {1}", "PlaceholderExtra {0}"}},
        {"A=\"100%% sicher\"", "A=\"100%% sure\"", {}},
        // No reference, or nothing translated yet: nothing to compare.
        {"A=\"%d\"", std::nullopt, {}},
        {"A=\"\"", "A=\"File %s\"", {}},
    });
}

TEST(CheckTest, LeadingAndTrailingBlanks) {
    ExpectChecks({
        {"A=\" Datei: \"", "A=\" File: \"", {}},
        {"A=\"Datei: \"", "A=\" File: \"", {"LeadingBlanks  |"}},
        {"A=\"\tDatei: \"", "A=\" File: \"", {"LeadingBlanks  |\t"}},
        {"A=\" Datei:\"", "A=\" File: \"", {"TrailingBlanks  |"}},
        {"A=\"  Datei  \"", "A=\"File\"", {"LeadingBlanks |  ", "TrailingBlanks |  "}},
        {"A=\"   \"", "A=\"   \"", {}},
        {"A=\" \"", "A=\"File\"", {"LeadingBlanks | "}},
    });
}

TEST(CheckTest, EscapedLineBreaks) {
    ExpectChecks({
        {"A=\"Eins\\nZwei\\nDrei\"", "A=\"One\\nTwo\"", {}},
        {"A=\"Eins Zwei\"", "A=\"One\\nTwo\"", {"LineBreaks \\n|"}},
        {"A=\"Eins\\r\\nZwei\"", "A=\"One\\nTwo\"", {"LineBreaks \\n|\\r\\n"}},
        {"A=\"Eins#13#10Zwei\"", "A=\"One#13#10Two\"", {}},
        {"A=\"Eins#13Zwei\"", "A=\"One#13#10Two\"", {"LineBreaks #13#10|#13"}},
        {"A=\"Eins<BR/>Zwei\"", "A=\"One<br>Two\"", {}},
        {"A=\"Eins\\nZwei\"", "A=\"One Two\"", {"LineBreaks |\\n"}},
        // An escaped backslash before an n is no line break.
        {"A=\"C:\\\\new\"", "A=\"C:\\\\new\"", {}},
        {"A=\"C:\\\\neu\"", "A=\"C:\\\\new\"", {}},
    });
}

TEST(CheckTest, TextAfterTheClosingQuote) {
    ExpectChecks({
        {"A=\"Wert\"   x", "A=\"Value\"", {"TextAfterQuote x"}},
        {"A=\"Wert\" ; alt", std::nullopt, {"TextAfterQuote ; alt"}},
        {"A=\"Wert\"  \t", "A=\"Value\"", {}},
        // The reference's own way, and a quote inside the phrase.
        {"A=\"Wert\" ; x", "A=\"Value\" ; y", {}},
        {"A=\"Sag \"Hallo\" laut\"", "A=\"Say \"hello\" aloud\"", {}},
        {"A=Wert x", "A=Value", {}},
    });
}

TEST(CheckTest, PunctuationAtTheEnd) {
    ExpectChecks({
        {"A=\"Durchsuchen\"", "A=\"Browse...\"", {"TrailingPunctuation ...|"}},
        {"A=\"Durchsuchen…\"", "A=\"Browse...\"", {}},
        {"A=\"Speichern?\"", "A=\"Save?\"", {}},
        {"A=\"Speichern.\"", "A=\"Save?\"", {"TrailingPunctuation ?|."}},
        {"A=\"Name\"", "A=\"Name:\"", {"TrailingPunctuation :|"}},
        {"A=\"Fertig!\"", "A=\"Done\"", {"TrailingPunctuation |!"}},
        {"A=\"Achtung;\"", "A=\"Note:\"", {"TrailingPunctuation :|;"}},
        // Full-width marks, French spacing, other scripts' question marks.
        {"A=\"保存しますか？\"", "A=\"Save?\"", {}},
        {"A=\"完成。\"", "A=\"Done.\"", {}},
        {"A=\"Nom :\"", "A=\"Name:\"", {}},
        {"A=\"Vraiment ?\"", "A=\"Really?\"", {}},
        {"A=\"Vraiment\u202F?\"", "A=\"Really?\"", {}},
        {"A=\"Αποθήκευση;\"", "A=\"Save?\"", {}},
        {"A=\"Αποθήκευση\u037E\"", "A=\"Save?\"", {}},
        {"A=\"Speichern;\"", "A=\"Save?\"", {"TrailingPunctuation ?|;"}},
        // Blanks and escaped line breaks at the end are no part of it.
        {"A=\"Fehler:\\n\"", "A=\"Error:\\n\"", {}},
        {"A=\"Fehler\\n\"", "A=\"Error:\\n\"", {"TrailingPunctuation :|"}},
        {"A=\"Warten ... \"", "A=\"Wait... \"", {}},
        {"A=\"(Beta)\"", "A=\"(beta)\"", {}},
        // An empty reference phrase leaves nothing to compare.
        {"A=\"Text.\"", "A=\"\"", {}},
    });
}

TEST(CheckTest, AccessKeys) {
    ExpectChecks({
        {"A=\"&Datei\"", "A=\"&File\"", {}},
        {"A=\"Datei\"", "A=\"&File\"", {"AccessKeyMissing"}},
        {"A=\"&Datei\"", "A=\"File\"", {"AccessKeyExtra"}},
        {"A=\"&Datei &öffnen\"", "A=\"&Open file\"", {"AccessKeyTwice 2"}},
        // "&&" is an ampersand, and so is a character reference or one
        // before a blank.
        {"A=\"Laden && Speichern\"", "A=\"&Load && save\"", {"AccessKeyMissing"}},
        {"A=\"&Laden && Speichern\"", "A=\"&Load && save\"", {}},
        {"A=\"Tom &amp; Jerry\"", "A=\"Tom & Jerry\"", {}},
        {"A=\"Tom & Jerry\"", "A=\"Tom and Jerry\"", {}},
        {"A=\"Ende&\"", "A=\"End\"", {}},
    });
}

TEST(CheckTest, Tabs) {
    ExpectChecks({
        {"A=\"Öffnen\\tStrg+O\"", "A=\"Open\\tCtrl+O\"", {}},
        {"A=\"Öffnen Strg+O\"", "A=\"Open\\tCtrl+O\"", {"Tabs \\t|"}},
        {"A=\"Öffnen#9Strg+O\"", "A=\"Open\\tCtrl+O\"", {"Tabs \\t|#9"}},
        {"A=\"Öffnen\tStrg+O\"", "A=\"Open\tCtrl+O\"", {}},
        {"A=\"Öffnen\tStrg+O\"", "A=\"Open Ctrl+O\"", {"Tabs |→"}},
        {"A=\"a#9b#9c\"", "A=\"a#9b c\"", {"Tabs #9|#9 #9"}},
        // "#90" is another character; "\\t" an escaped backslash and a t.
        {"A=\"Nr#90\"", "A=\"No#90\"", {}},
        {"A=\"C:\\\\temp\"", "A=\"C:\\\\temp\"", {}},
        {"A=\"C:\\\\tmp\"", "A=\"C:\\\\temp\"", {}},
    });
}

TEST(CheckTest, DoubleBlanks) {
    ExpectChecks({
        {"A=\"Datei  öffnen\"", "A=\"Open file\"", {"DoubleSpace"}},
        {"A=\"Datei  öffnen\"", "A=\"Open  file\"", {}},
        {"A=\"Datei öffnen\"", "A=\"Open file\"", {}},
        // Blanks at either end are checked as such.
        {"A=\"  Datei\"", "A=\"  File\"", {}},
    });
}

TEST(CheckTest, DoubledWords) {
    ExpectChecks({
        {"A=\"Öffne die Datei Datei\"", "A=\"Open the file\"", {"DoubledWord Datei"}},
        {"A=\"Der der Datei\"", "A=\"Of the file\"", {}},
        {"A=\"Öffne die Datei datei\"", "A=\"Open the file\"", {"DoubledWord datei"}},
        {"A=\"Über über\"", "A=\"About\"", {"DoubledWord über"}},
        {"A=\"ÜBER über\"", "A=\"About\"", {"DoubledWord über"}},
        {"A=\"Datei, Datei\"", "A=\"File\"", {}},
        {"A=\"Seite 1 1\"", "A=\"Page 1\"", {}},
        {"A=\"%s s\"", "A=\"%s\"", {}},
        {"A=\"Datei Datei\"", "A=\"File file\"", {}},
        // Words some languages rightly write twice.
        {"A=\"Platzhalter, die die Referenz hat\"", "A=\"Placeholders the reference has\"", {}},
    });
}

TEST(CheckTest, MuchLongerPhrases) {
    ExpectChecks({
        // Over twice as long and over 20 characters longer.
        {"A=\"Speichern unter einem anderen Namen\"", "A=\"Save as\"", {"LongPhrase 7|35"}},
        {"A=\"Eine sehr lange Phrase mit vielen\"", "A=\"A rather long phrase here\"", {}},
        {"A=\"Abbrechen und zurück\"", "A=\"Cancel\"", {}},
        // Characters, not bytes.
        {"A=\"ÄÖÜäöüßÄÖÜäöüßÄÖÜäöü\"", "A=\"Umlauts\"", {}},
    });
}

TEST(CheckTest, StrayLines) {
    const struct {
        const char* line;
        bool stray;
    } cases[] = {
        {"Y", true},
        {"  =\"x\"", true},
        {"Key \"x\"", true},
        {"A=\"x\"", false},
        {"; note", false},
        {"[Main]", false},
        {"\xEF\xBB\xBF; note", false},
        {"", false},
        {"\xEF\xBB\xBFY", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsStrayLine(c.line, ParseKeyValueLine(c.line)), c.stray) << c.line;
}

TEST(CheckTest, MessagesShowTheirParameters) {
    const struct {
        const char* text;
        TProblem problem;
        const char* message;
    } cases[] = {
        {"'%1' there, '%2' here", {TReason::LeadingBlanks, {" \t", ""}}, "'·→' there, '' here"},
        {"'%1' there, '%2' here",
         {TReason::TrailingPunctuation, {"...", ""}},
         "'...' there, '–' here"},
        // One pass: a parameter holding %2 stays as it is.
        {"%1 / %2", {TReason::PlaceholderOrder, {"%2 %1", "%1 %2"}}, "%2 %1 / %1 %2"},
        {"%2 of %1, %3", {TReason::LongPhrase, {"7", "35"}}, "35 of 7, %3"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProblemMessage(c.text, c.problem), c.message) << c.text;
}

} // namespace
