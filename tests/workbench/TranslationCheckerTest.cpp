// A translation checked against its reference: key problems, progress,
// navigation, and updates edit by edit that agree with checking everything
// again.
#include "workbench/TranslationChecker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using TChecker = TTranslationChecker;

std::shared_ptr<const TReferenceText> Reference(std::string text) {
    return std::make_shared<const TReferenceText>(std::move(text));
}

const char* const English = "; Texts\r\n"
                            "[Main]\r\n"
                            "Main.Caption=\"Snapglass\"\r\n"
                            "Main.Open=\"Open %s\"\r\n"
                            "Main.Width=400\r\n"
                            "Main.Save=\"Save\"\r\n"
                            "Main.Quit=\"Quit\"\r\n"
                            "Main.Save=\"Ignored second Save\"\r\n";

std::vector<std::string> Reasons(const TChecker& checker, std::size_t line) {
    std::vector<std::string> out;
    for (const TProblem& p : checker.Problems(line)) {
        std::string text(ReasonName(p.Reason));
        for (const std::string& param : p.Params)
            text += " " + param;
        out.push_back(text);
    }
    return out;
}

// Keys that share their phrases.
const char* const Shared = "Main.Open=\"Open\"\r\n"
                           "File.Open=\"Open\"\r\n"
                           "Tool.Open=\"Open\"\r\n"
                           "Main.Save=\"Save\"\r\n"
                           "File.Save=\"Save\"\r\n"
                           "Tool.Save=\"Save\"\r\n"
                           "Main.Key=\"O\"\r\n"
                           "File.Key=\"O\"\r\n";

TEST(TranslationCheckerTest, KeysAgainstTheReference) {
    TChecker checker;
    checker.Reset("Main.Caption=\"Snapglass\"\n" // 0: the same as the reference
                  "Main.Open=\"Öffnen\"\n"       // 1: lost its %s
                  "Main.Extra=\"Neu\"\n"         // 2: the reference has no such key
                  "Main.Open=\"%s öffnen\"\n"    // 3: a second Open, never read
                  "Main.Width=420\n"             // 4: unquoted like the reference
                  "Main.Save=\"Speichern\"",     // 5
                  Reference(English));
    EXPECT_EQ(Reasons(checker, 0), std::vector<std::string>{});
    EXPECT_EQ(Reasons(checker, 1), std::vector<std::string>{"PlaceholderMissing %s"});
    EXPECT_EQ(Reasons(checker, 2), std::vector<std::string>{"KeyNotInReference Main.Extra"});
    EXPECT_EQ(Reasons(checker, 3), std::vector<std::string>{"DuplicateKey 2"});
    EXPECT_EQ(Reasons(checker, 4), std::vector<std::string>{});
    EXPECT_EQ(checker.ReferenceLine(1), 3u);
    EXPECT_EQ(checker.ReferenceLine(2), std::nullopt);
    EXPECT_EQ(checker.Key(3), "Main.Open");

    const std::vector<TChecker::TMissingKey> missing = {{"Main.Quit", 6, 5}};
    EXPECT_EQ(checker.MissingKeys(), missing);
    EXPECT_EQ(checker.ProblemCount(), 4u);
    // Phrases: Caption, Open, Save and Quit (Width is no phrase); Open and
    // Save are translated, Caption is the reference's and Quit is missing.
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{2, 4}));

    // Without a reference nothing is missing or foreign, and every quoted
    // entry read is a phrase.
    checker.Reset("A=\"x\"\nB=\"\"\nA=\"y\"\nW=3\n", nullptr);
    EXPECT_EQ(Reasons(checker, 0), std::vector<std::string>{});
    EXPECT_EQ(Reasons(checker, 2), std::vector<std::string>{"DuplicateKey 1"});
    EXPECT_EQ(Reasons(checker, 3), std::vector<std::string>{"NotQuoted"});
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{1, 2}));
    EXPECT_TRUE(checker.MissingKeys().empty());
}

// Keys in another order than the reference's, and many keys it lacks, some
// coming with edits: each line keeps its key's name and reference line.
TEST(TranslationCheckerTest, KeysInAnyOrderAndKeysTheReferenceLacks) {
    TChecker checker;
    checker.Reset("Main.Quit=\"Ende\"\nX0=\"a\"\nMain.Save=\"S\"\nMain.Open=\"%s\"\nX0=\"b\"\n"
                  "Main.Caption=\"C\"",
                  Reference(English));
    const struct {
        std::size_t Line;
        const char* Key;
        std::optional<std::size_t> ReferenceLine;
    } expected[] = {{0, "Main.Quit", 6}, {1, "X0", std::nullopt}, {2, "Main.Save", 5},
                    {3, "Main.Open", 3}, {4, "X0", std::nullopt}, {5, "Main.Caption", 2}};
    for (int round = 0; round < 2; ++round) {
        for (const auto& e : expected) {
            EXPECT_EQ(checker.Key(e.Line), e.Key) << e.Line;
            EXPECT_EQ(checker.ReferenceLine(e.Line), e.ReferenceLine) << e.Line;
        }
        EXPECT_EQ(Reasons(checker, 4),
                  (std::vector<std::string>{"KeyNotInReference X0", "DuplicateKey 2"}));
        // Many more keys the reference lacks, added and taken away again.
        std::vector<std::string> added;
        for (int i = 1; i <= 300; ++i)
            added.push_back("X" + std::to_string(i) + "=\"n\"");
        const std::vector<std::string_view> views(added.begin(), added.end());
        checker.ReplaceLines(6, 0, views);
        EXPECT_EQ(checker.Key(6 + 299), "X300");
        EXPECT_EQ(Reasons(checker, 6), std::vector<std::string>{"KeyNotInReference X1"});
        checker.ReplaceLines(6, 300, {});
        EXPECT_EQ(checker.LineCount(), 6u);
    }
}

TEST(TranslationCheckerTest, ProgressFollowsEachEdit) {
    TChecker checker;
    checker.Reset("Main.Caption=\"Snapglass\"\n"
                  "Main.Open=\"Open %s\"\n"
                  "Main.Save=\"Save\"\n"
                  "Main.Quit=\"Quit\"",
                  Reference(English));
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{0, 4}));
    EXPECT_TRUE(checker.IsUntranslated(1));

    TChecker::TUpdate update = checker.SetLine(1, "Main.Open=\"%s öffnen\"");
    EXPECT_EQ(update.Lines, std::vector<std::size_t>{1});
    EXPECT_FALSE(update.MissingKeysChanged);
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{1, 4}));
    EXPECT_FALSE(checker.IsUntranslated(1));

    // A translated copy above the untranslated first entry takes over.
    update = checker.ReplaceLines(2, 0, {"Main.Save=\"Speichern\""});
    EXPECT_EQ(update.Lines, (std::vector<std::size_t>{2, 3}));
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{2, 4}));
    EXPECT_EQ(Reasons(checker, 3), std::vector<std::string>{"DuplicateKey 3"});
    EXPECT_FALSE(checker.IsUntranslated(3));

    // Removing the Quit line: missing now (as Width is), still untranslated.
    EXPECT_EQ(checker.MissingKeyCount(), 1u);
    update = checker.ReplaceLines(4, 1, {});
    EXPECT_TRUE(update.MissingKeysChanged);
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{2, 4}));
    EXPECT_EQ(checker.MissingKeyCount(), 2u);

    // Emptying a translated phrase makes it untranslated again.
    checker.SetLine(1, "Main.Open=\"\"");
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{1, 4}));
    EXPECT_THROW(checker.ReplaceLines(4, 2, {}), std::out_of_range);
}

TEST(TranslationCheckerTest, NavigationGoesRoundOnce) {
    TChecker checker;
    checker.Reset("Main.Caption=\"Snapglass\"\n" // 0 untranslated
                  "Main.Open=\"Öffnen %s\"\n"    // 1
                  "; note\n"                     // 2
                  "Main.Save=\"\"\n"             // 3 untranslated
                  "Main.Extra=\"x\"\n",          // 4 foreign key; 5 is empty
                  Reference(English));
    EXPECT_EQ(checker.NextUntranslated(0), 3u);
    EXPECT_EQ(checker.NextUntranslated(3), 0u);
    EXPECT_EQ(checker.NextUntranslated(3, true, false), std::nullopt);
    EXPECT_EQ(checker.NextUntranslated(2, false), 0u);
    EXPECT_EQ(checker.NextUntranslated(0, false), 3u);
    EXPECT_EQ(checker.NextUntranslated(0, false, false), std::nullopt);

    // Problems: Width missing after Open (1), Quit missing after Save (3)
    // and the foreign key (4).
    EXPECT_EQ(checker.NextProblem(0), 1u);
    EXPECT_EQ(checker.NextProblem(1), 3u);
    EXPECT_EQ(checker.NextProblem(3), 4u);
    EXPECT_EQ(checker.NextProblem(4), 1u);
    EXPECT_EQ(checker.NextProblem(4, false), 3u);

    TChecker one;
    one.Reset("A=\"\"", nullptr);
    EXPECT_EQ(one.NextUntranslated(0), 0u) << "the line itself, last";
    EXPECT_EQ(one.NextUntranslated(0, true, false), std::nullopt);
}

TEST(TranslationCheckerTest, OneReferencePhraseTranslatedTwoWays) {
    using TLines = std::vector<std::vector<std::string>>;
    const struct {
        const char* translation;
        TLines problems;
    } cases[] = {
        {"Main.Open=\"Öffnen\"\nFile.Open=\"Öffnen\"\nTool.Open=\"Aufmachen\"",
         {{"TranslatedTwoWays 3"}, {"TranslatedTwoWays 3"}, {"TranslatedTwoWays 1"}}},
        {"Main.Open=\"Öffnen\"\nFile.Open=\"Öffnen\"\nTool.Open=\"Öffnen\"", {{}, {}, {}}},
        // Phrases still to translate do not count, nor does a key's later
        // line, which the program never reads.
        {"Main.Open=\"Öffnen\"\nFile.Open=\"Open\"\nTool.Open=\"\"", {{}, {}, {}}},
        {"Main.Open=\"Öffnen\"\nFile.Open=\"Öffnen\"\nFile.Open=\"Auf\"",
         {{}, {}, {"DuplicateKey 2"}}},
        // A single letter (here an access key) is rightly written many ways.
        {"Main.Key=\"Ö\"\nFile.Key=\"D\"", {{}, {}}},
        {"Main.Save=\"Speichern\"\nMain.Open=\"Öffnen\"\nFile.Save=\"Sichern\"",
         {{"TranslatedTwoWays 3"}, {}, {"TranslatedTwoWays 1"}}},
    };
    for (const auto& c : cases) {
        TChecker checker;
        checker.Reset(c.translation, Reference(Shared));
        TLines problems;
        for (std::size_t line = 0; line < checker.LineCount(); ++line)
            problems.push_back(Reasons(checker, line));
        EXPECT_EQ(problems, c.problems) << c.translation;
    }
}

TEST(TranslationCheckerTest, ChecksSwitchedOffAreNeitherListedNorCounted) {
    TChecker checker;
    checker.Reset("Main.Open=\"Öffnen\"\nFile.Open=\"Auf\"\nMain.Save=\"Speichern...\"\nY",
                  Reference("Main.Open=\"Open\"\nFile.Open=\"Open\"\nMain.Save=\"Save\"\n"));
    EXPECT_EQ(checker.ProblemCount(), 4u);
    TCheckSet checks = TCheckSet::All();
    checks.Set(TCheck::TranslatedTwoWays, false);
    checks.Set(TCheck::TrailingPunctuation, false);
    checker.SetChecks(checks);
    EXPECT_EQ(Reasons(checker, 0), std::vector<std::string>{});
    EXPECT_EQ(Reasons(checker, 2), std::vector<std::string>{});
    EXPECT_EQ(Reasons(checker, 3), std::vector<std::string>{"NotAnEntry"}) << "always checked";
    EXPECT_EQ(checker.ProblemCount(), 1u);
    // Edits keep to the checks switched on.
    checker.SetLine(1, "File.Open=\"Aufmachen.\"");
    EXPECT_EQ(checker.ProblemCount(), 1u);
    checker.SetChecks(TCheckSet::All());
    EXPECT_EQ(Reasons(checker, 1),
              (std::vector<std::string>{"TrailingPunctuation  .", "TranslatedTwoWays 1"}));
    EXPECT_EQ(checker.ProblemCount(), 5u);
}

TEST(TranslationCheckerTest, StrayLinesUnlessTheReferenceHasThem) {
    TChecker checker;
    checker.Reset("Y\n# generated\nMain.Save=\"Speichern\"\n\xEF\xBB\xBF; c",
                  Reference("# generated\nMain.Save=\"Save\"\n"));
    EXPECT_EQ(Reasons(checker, 0), std::vector<std::string>{"NotAnEntry"});
    EXPECT_EQ(Reasons(checker, 1), std::vector<std::string>{});
    EXPECT_EQ(Reasons(checker, 3), std::vector<std::string>{});
}

TEST(TranslationCheckerTest, MarkedPhrasesCountAsTranslatedUntilTheReferenceChanges) {
    const std::string text = "Main.Caption=\"Snapglass\"\n" // the same in German
                             "Main.Open=\"%s öffnen\"\n"
                             "Main.Save=\"Save\"\n"
                             "Main.Quit=\"Beenden\"";
    TChecker checker;
    checker.Reset(text, Reference(English));
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{2, 4}));

    TChecker::TUpdate update = checker.SetMark("Main.Caption", TPhraseStatus::Translated);
    EXPECT_EQ(update.Lines, std::vector<std::size_t>{0});
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{3, 4}));
    EXPECT_FALSE(checker.IsUntranslated(0));
    EXPECT_EQ(checker.Status(0), TPhraseStatus::Translated);
    EXPECT_EQ(checker.Mark("Main.Caption"), (TPhraseMark{TPhraseStatus::Translated, "Snapglass"}));

    // To be checked: found by its own navigation, no change in progress.
    update = checker.SetMark("Main.Quit", TPhraseStatus::ToBeChecked);
    EXPECT_EQ(update.Lines, std::vector<std::size_t>{3});
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{3, 4}));
    EXPECT_EQ(checker.NextToBeChecked(0), 3u);
    EXPECT_EQ(checker.NextToBeChecked(3), 3u);
    EXPECT_EQ(checker.NextToBeChecked(3, true, false), std::nullopt);

    // The marks outlive checking the text again; an empty phrase is no
    // translation, marked or not.
    checker.Reset(text, Reference(English));
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{3, 4}));
    checker.SetLine(0, "Main.Caption=\"\"");
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{2, 4}));
    checker.SetLine(0, "Main.Caption=\"Snapglass\"");
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{3, 4}));

    // A new reference phrase: the phrase as marked waits again, until edited.
    std::string changed = English;
    changed.replace(changed.find("\"Snapglass\""), 11, "\"Snapglass Pro\"");
    checker.Reset(text, Reference(changed));
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{2, 4}));
    EXPECT_TRUE(checker.IsUntranslated(0));
    EXPECT_EQ(checker.Status(0), TPhraseStatus::None);
    checker.SetLine(0, "Main.Caption=\"Snapglass Pro\"");
    EXPECT_TRUE(checker.IsUntranslated(0));
    checker.SetLine(0, "Main.Caption=\"Schnappglas Pro\"");
    EXPECT_FALSE(checker.IsUntranslated(0));

    checker.SetMarks({});
    EXPECT_EQ(checker.NextToBeChecked(0), std::nullopt);
}

TEST(TranslationCheckerTest, PhrasesOfTheMasterAreUntranslated) {
    // Polski, made as a copy of Deutsch, with one phrase translated so far.
    const char* const deutsch = "Main.Caption=\"Schnappglas\"\n"
                                "Main.Open=\"%s öffnen\"\n"
                                "Main.Save=\"Speichern\"\n";
    const char* const polski = "Main.Caption=\"Schnappglas\"\n"
                               "Main.Open=\"%s öffnen\"\n"
                               "Main.Save=\"Zapisz\"\n"
                               "Main.Quit=\"Quit\"";
    TChecker checker;
    checker.Reset(polski, Reference(English), Reference(deutsch));
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{1, 4}));
    EXPECT_TRUE(checker.IsUntranslated(0));
    EXPECT_TRUE(checker.IsUntranslated(1));
    EXPECT_EQ(checker.NextUntranslated(2), 3u);
    checker.SetLine(1, "Main.Open=\"Otwórz %s\"");
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{2, 4}));
    // Rightly the same as the master's: marked.
    checker.SetMark("Main.Caption", TPhraseStatus::Translated);
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{3, 4}));
    checker.SetMarks({});
    checker.Reset(polski, Reference(English));
    EXPECT_EQ(checker.Progress(), (TChecker::TProgress{3, 4})) << "without the master";
}

// The editor reports an edit by its position and the lines it added; the
// splice made of that must turn the old lines into the new ones, line breaks
// of every kind joining and parting included.
TEST(TranslationCheckerTest, SplicesOfEditsAsTheEditorReportsThem) {
    const auto linesOf = [](std::string_view text) {
        std::vector<std::string> lines;
        ForEachLine(text, [&](std::string_view l) { lines.emplace_back(l); });
        return lines;
    };
    // The line holding `position`, as the editor counts: a position inside a
    // CR LF belongs to the line the pair ends.
    const auto lineOf = [](std::string_view text, std::size_t position) {
        std::size_t line = 0;
        for (std::size_t i = 0; i < position; ++i)
            if (text[i] == '\n' ||
                (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                ++line;
        return line;
    };
    const struct {
        const char* before;
        std::size_t position;
        const char* inserted; // else `removed` bytes go
        std::size_t removed;
    } cases[] = {
        {"a=\"1\"\nb=\"2\"", 3, "x", 0},
        {"a=\"1\"\nb=\"2\"", 3, "x\ny\n", 0},
        {"a=\"1\"\nb=\"2\"", 5, nullptr, 1},
        {"a=\"1\"\nb=\"2\"\nc", 2, nullptr, 8},
        {"a\rb", 2, "\n", 0},
        {"a\r\nb", 2, nullptr, 1},
        {"a\r\nb", 1, nullptr, 1},
        {"a\nb", 1, "\r", 0},
        {"a\rb", 1, "\n", 0},
        {"a\n\nb", 0, nullptr, 3},
        {"", 0, "x\r\ny", 0},
        {"a\r\n", 3, "b", 0},
    };
    for (const auto& c : cases) {
        const std::string before = c.before;
        std::string after = before;
        if (c.inserted)
            after.insert(c.position, c.inserted);
        else
            after.erase(c.position, c.removed);
        const std::vector<std::string> oldLines = linesOf(before);
        const std::vector<std::string> newLines = linesOf(after);
        const long added = static_cast<long>(newLines.size()) - static_cast<long>(oldLines.size());
        const TLineSplice splice = SpliceOfEdit(lineOf(after, c.position), added);
        std::vector<std::string> spliced(oldLines.begin(), oldLines.begin() + splice.First);
        spliced.insert(spliced.end(), newLines.begin() + splice.First,
                       newLines.begin() + splice.First + splice.Added);
        spliced.insert(spliced.end(), oldLines.begin() + splice.First + splice.Removed,
                       oldLines.end());
        EXPECT_EQ(spliced, newLines) << "\"" << c.before << "\" at " << c.position;
    }
}

// Random edits, each checked line by line and key by key against a checker
// that is given the whole new text; with `markKeys`, some rounds mark a
// phrase instead, and the whole checker is given the same marks.
void ExpectEditsAgreeWithCheckingEverythingAgain(const char* referenceText,
                                                 const std::vector<std::string>& pool,
                                                 const std::vector<std::string>& markKeys,
                                                 std::uint32_t seed) {
    std::mt19937 random(seed);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const auto reference = Reference(referenceText);
    std::vector<std::string> lines = {pool[0], pool[2], pool[5]};
    const auto joined = [&] {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i)
            text += (i ? "\r\n" : "") + lines[i];
        return text;
    };
    TChecker checker;
    checker.Reset(joined(), reference);
    std::vector<std::pair<std::string, TPhraseMark>> marks;

    struct TLineState {
        std::vector<TProblem> problems;
        bool untranslated;
        TPhraseStatus status;
        bool operator==(const TLineState&) const = default;
    };
    // With `marks`, the line numbers problems name are left out: they move
    // with the lines, and the edit reports the lines whose marks change.
    const auto states = [](const TChecker& c, bool marks = false) {
        std::vector<TLineState> out;
        for (std::size_t line = 0; line < c.LineCount(); ++line) {
            out.push_back({c.Problems(line), c.IsUntranslated(line), c.Status(line)});
            for (TProblem& p : out.back().problems)
                if (marks &&
                    (p.Reason == TReason::DuplicateKey || p.Reason == TReason::TranslatedTwoWays))
                    p.Params.clear();
        }
        return out;
    };

    for (int round = 0; round < 1500; ++round) {
        const std::vector<TLineState> before = states(checker, true);
        const std::vector<TChecker::TMissingKey> missingBefore = checker.MissingKeys();
        std::size_t first = 0;
        std::size_t removed = 0;
        std::vector<std::string> fresh;
        TChecker::TUpdate update;
        if (!markKeys.empty() && pick(5) == 0) {
            const std::string& key = markKeys[pick(markKeys.size())];
            const auto status = static_cast<TPhraseStatus>(pick(3));
            update = checker.SetMark(key, status);
            std::erase_if(marks, [&](const auto& m) { return m.first == key; });
            if (const std::optional<TPhraseMark> mark = checker.Mark(key))
                marks.emplace_back(key, *mark);
        } else {
            first = pick(lines.size() + 1);
            removed = first == lines.size()
                          ? 0
                          : pick(std::min<std::size_t>(3, lines.size() - first) + 1);
            fresh.resize(pick(4));
            for (std::string& line : fresh)
                line = pool[pick(pool.size())];
            if (removed == lines.size() && fresh.empty())
                fresh.push_back(pool[pick(pool.size())]);
            lines.erase(lines.begin() + static_cast<long>(first),
                        lines.begin() + static_cast<long>(first + removed));
            lines.insert(lines.begin() + static_cast<long>(first), fresh.begin(), fresh.end());
            update = checker.ReplaceLines(
                first, removed, std::vector<std::string_view>(fresh.begin(), fresh.end()));
        }

        TChecker whole;
        whole.SetMarks(marks);
        whole.Reset(joined(), reference);
        const std::vector<TLineState> after = states(checker);
        ASSERT_EQ(after, states(whole)) << "round " << round;
        ASSERT_EQ(checker.Progress(), whole.Progress()) << "round " << round;
        ASSERT_EQ(checker.ProblemCount(), whole.ProblemCount()) << "round " << round;
        ASSERT_EQ(checker.MissingKeys(), whole.MissingKeys()) << "round " << round;
        for (std::size_t line = 0; line < after.size(); ++line) {
            ASSERT_EQ(checker.ReferenceLine(line), whole.ReferenceLine(line));
            ASSERT_EQ(checker.Key(line), whole.Key(line));
        }

        // Every line whose marks changed is reported; the missing keys too.
        const std::vector<TLineState> marked = states(checker, true);
        for (std::size_t line = 0; line < after.size(); ++line) {
            const bool edited = line >= first && line < first + fresh.size();
            const std::size_t old = line < first ? line : line - fresh.size() + removed;
            if (edited || marked[line] == before[old])
                continue;
            ASSERT_TRUE(std::binary_search(update.Lines.begin(), update.Lines.end(), line))
                << "round " << round << ", line " << line << ": " << lines[line];
        }
        for (std::size_t line = first; line < first + fresh.size(); ++line)
            ASSERT_TRUE(std::binary_search(update.Lines.begin(), update.Lines.end(), line));
        // Unless told otherwise, the missing keys only moved with the lines.
        if (!update.MissingKeysChanged) {
            std::vector<TChecker::TMissingKey> moved = missingBefore;
            TChecker::ShiftMissingKeys(moved, first, removed, fresh.size());
            ASSERT_EQ(checker.MissingKeys(), moved) << "round " << round;
        }
    }
}

TEST(TranslationCheckerTest, EditsAgreeWithCheckingEverythingAgain) {
    ExpectEditsAgreeWithCheckingEverythingAgain(English,
                                                {
                                                    "Main.Caption=\"Snapglass\"",
                                                    "Main.Caption=\"Schnappglas\"",
                                                    "Main.Open=\"Öffne %s\"",
                                                    "Main.Open=\"Öffne\"",
                                                    "Main.Open=\"\"",
                                                    "Main.Save=\"Speichern\"",
                                                    "Main.Save=\"Save\"",
                                                    "Main.Quit=\"Beenden \"",
                                                    "Main.Width=420",
                                                    "Main.Other=\"Anders\"",
                                                    "Main.Other=\"Anders\\n\"",
                                                    "Main.Quit=\"Ende",
                                                    "; comment",
                                                    "[Main]",
                                                    "",
                                                    "garbage",
                                                },
                                                {}, 20261208);
}

// Keys sharing a reference phrase, some of them marked: the phrases read
// two ways or one, and count as translated or not, edit by edit and mark by
// mark as when checking everything again.
TEST(TranslationCheckerTest, EditsAndMarksAgreeWithCheckingEverythingAgain) {
    ExpectEditsAgreeWithCheckingEverythingAgain(
        Shared,
        {
            "Main.Open=\"Öffnen\"",
            "Main.Open=\"Auf\"",
            "File.Open=\"Öffnen\"",
            "File.Open=\"Open\"",
            "File.Open=\"Auf\"",
            "Main.Save=\"Speichern\"",
            "Main.Save=\"Save\"",
            "File.Save=\"Sichern\"",
            "File.Save=\"Save\"",
            "Tool.Save=\"Speichern\"",
            "Main.Key=\"Ö\"",
            "File.Key=\"D\"",
            "Main.Other=\"x\"",
            "Y",
            "",
        },
        {"Main.Open", "File.Open", "Main.Save", "File.Save", "Tool.Save"}, 20261209);
}
// A text long enough to be checked in two halves at once, its lines broken
// every way (so that the count of lines it starts from is off), gives each
// line what checking it line by line gives.
TEST(TranslationCheckerTest, ALongTextCheckedInHalvesAgreesWithCheckingLineByLine) {
    const std::vector<std::string> pool = {
        "Main.Caption=\"Schnappglas\"",
        "Main.Open=\"Öffne %s\"",
        "Main.Open=\"Öffne\"",
        "Main.Save=\"Save\"",
        "Main.Quit=\"Beenden \"",
        "Main.Other=\"Anders\"",
        "Main.Quit=\"Ende",
        "; comment",
        "garbage",
        "",
    };
    const char* const breaks[] = {"\r\n", "\n", "\r"};
    std::mt19937 random(20261209);
    std::string text;
    for (std::size_t i = 0; i < TChecker::ParallelFrom + 999; ++i)
        text += pool[random() % pool.size()] +
                breaks[i < TChecker::ParallelFrom / 2 ? 0 : random() % 3];
    std::vector<std::string_view> lines;
    ForEachLine(text, [&](std::string_view line) { lines.push_back(line); });
    const auto reference = Reference(English);
    TChecker halves;
    halves.Reset(text, reference);
    TChecker lineByLine;
    lineByLine.Reset("", reference);
    lineByLine.ReplaceLines(0, 1, lines);
    ASSERT_EQ(halves.LineCount(), lines.size());
    ASSERT_EQ(lineByLine.LineCount(), lines.size());
    for (std::size_t line = 0; line < lines.size(); ++line) {
        ASSERT_EQ(halves.Problems(line), lineByLine.Problems(line)) << line;
        ASSERT_EQ(halves.IsUntranslated(line), lineByLine.IsUntranslated(line)) << line;
        ASSERT_EQ(halves.Key(line), lineByLine.Key(line)) << line;
    }
    EXPECT_EQ(halves.Progress(), lineByLine.Progress());
    EXPECT_EQ(halves.ProblemCount(), lineByLine.ProblemCount());
    EXPECT_EQ(halves.MissingKeys(), lineByLine.MissingKeys());
}
} // namespace
