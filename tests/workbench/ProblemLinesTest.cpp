// The problems list's lines kept up to date edit by edit agree with finding
// them all again, and an edit that leaves them as they were says so.
#include "workbench/ProblemLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(ProblemLinesTest, EditsAgreeWithFindingAllAgain) {
    const auto reference = std::make_shared<const TReferenceText>("A=\"Open %s\"\r\n"
                                                                  "B=\"Save\"\r\n"
                                                                  "C=\" Quit\"\r\n");
    const std::vector<std::string> pool = {
        "A=\"Öffne %s\"", "A=\"Öffne\"", "B=\"Speichern\"",
        "B=\"Sichern",    "C=\" Ende\"", "C=\"Ende\"",
        "D=\"Neu\"",      "; comment",   "",
        "[Main]",
    };
    std::mt19937 random(15);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    std::vector<std::string> lines = {pool[0], pool[2], pool[4]};
    const auto joined = [&] {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i)
            text += (i ? "\n" : "") + lines[i];
        return text;
    };
    TTranslationChecker checker;
    checker.Reset(joined(), reference);
    TProblemLines problems;
    problems.Reset(checker);

    for (int round = 0; round < 2000; ++round) {
        // As the editor reports edits: one line becomes one or more, or
        // several become one.
        const std::size_t first = pick(lines.size());
        const bool insert = pick(2) == 0;
        const std::size_t removed =
            insert ? 1 : 1 + pick(std::min<std::size_t>(3, lines.size() - first));
        std::vector<std::string> fresh(insert ? 1 + pick(3) : 1);
        for (std::string& line : fresh)
            line = pool[pick(pool.size())];
        lines.erase(lines.begin() + static_cast<long>(first),
                    lines.begin() + static_cast<long>(first + removed));
        lines.insert(lines.begin() + static_cast<long>(first), fresh.begin(), fresh.end());

        const std::vector<std::size_t> before = problems.Lines();
        const TTranslationChecker::TUpdate update = checker.ReplaceLines(
            first, removed, std::vector<std::string_view>(fresh.begin(), fresh.end()));
        const bool changed = problems.Apply(checker, {first, removed, fresh.size()}, update);

        TTranslationChecker whole;
        whole.Reset(joined(), reference);
        TProblemLines all;
        all.Reset(whole);
        ASSERT_EQ(problems.Lines(), all.Lines()) << "round " << round;
        if (!changed) {
            ASSERT_EQ(problems.Lines(), before) << "round " << round;
        }
    }
}

} // namespace
