// The translator's workbench without windows: checking a 10,000-line
// translation against its reference, and bringing checks and progress up to
// date after one keystroke.

#include "workbench/TranslationChecker.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "TranslationText.h"

namespace {

constexpr std::size_t Lines = 10000;

// The lines of `text`, each ended by CR LF there.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

struct TTexts {
    bench::TTranslationPair Pair;
    std::vector<std::string> TranslationLines;
};

// A reference and a translation of 10,000 lines, the translation also by line.
const TTexts& Texts() {
    static const TTexts texts = [] {
        TTexts t{bench::MakeTranslationPair(0, Lines), {}};
        t.TranslationLines = SplitLines(t.Pair.Translation);
        return t;
    }();
    return texts;
}

void BM_CheckTranslation(benchmark::State& state) {
    const TTexts& texts = Texts();
    TTranslationChecker checker;
    for (auto _ : state) {
        checker.Reset(texts.Pair.Translation,
                      std::make_shared<const TReferenceText>(texts.Pair.Reference));
        benchmark::DoNotOptimize(checker.ProblemCount());
    }
    state.counters["lines"] = static_cast<double>(checker.LineCount());
    state.counters["problems"] = static_cast<double>(checker.ProblemCount());
    state.counters["translated"] = static_cast<double>(checker.Progress().Translated);
    state.counters["phrases"] = static_cast<double>(checker.Progress().Total);
    state.SetLabel("baseline: < 30 ms for 10,000 lines, reference read included");
}
BENCHMARK(BM_CheckTranslation)->Unit(benchmark::kMillisecond)->UseRealTime();

// One letter typed into a phrase in the middle and taken back, each brought up
// to date on its own.
void BM_CheckAfterKeystroke(benchmark::State& state) {
    const TTexts& texts = Texts();
    TTranslationChecker checker;
    checker.Reset(texts.Pair.Translation,
                  std::make_shared<const TReferenceText>(texts.Pair.Reference));
    std::size_t line = texts.TranslationLines.size() / 2;
    while (texts.TranslationLines[line].find("=\"") == std::string::npos)
        ++line;
    const std::string& original = texts.TranslationLines[line];
    std::string typed = original;
    typed.insert(typed.find("=\"") + 3, "x");
    std::size_t reported = 0;
    std::int64_t keys = 0;
    for (auto _ : state) {
        const TTranslationChecker::TUpdate update =
            checker.SetLine(line, (keys % 2) ? original : typed);
        reported += update.Lines.size();
        ++keys;
        benchmark::DoNotOptimize(checker.Progress());
    }
    if (keys % 2)
        checker.SetLine(line, original);
    state.counters["lines_rechecked_per_key"] =
        static_cast<double>(reported) / static_cast<double>(keys);
    state.SetLabel("baseline: the edited line only, < 0.1 ms");
}
BENCHMARK(BM_CheckAfterKeystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Return in the middle of a phrase and Backspace joining the line again, in a
// translation of a million lines (about 50 MB): every line behind the edit
// moves, which the checker must follow without touching each of them.
void BM_LineBreakInLargeTranslation(benchmark::State& state) {
    const TTexts& texts = Texts();
    // Copies of the 10,000 lines, the keys of each copy its own.
    std::string translation;
    std::string reference;
    std::vector<std::string> lines;
    const auto copies = static_cast<std::size_t>(state.range(0)) / texts.TranslationLines.size();
    const std::vector<std::string> referenceLines = SplitLines(texts.Pair.Reference);
    const auto ownKey = [](std::string line, std::size_t copy) {
        return line.rfind("Form", 0) == 0 ? "C" + std::to_string(copy) + line : line;
    };
    for (std::size_t copy = 0; copy < copies; ++copy) {
        for (const std::string& line : texts.TranslationLines) {
            lines.push_back(ownKey(line, copy));
            translation += lines.back() + "\r\n";
        }
        for (const std::string& line : referenceLines)
            reference += ownKey(line, copy) + "\r\n";
    }
    TTranslationChecker checker;
    checker.Reset(translation, std::make_shared<const TReferenceText>(reference));
    std::size_t line = lines.size() / 2;
    while (lines[line].find("=\"") == std::string::npos)
        ++line;
    const std::string& whole = lines[line];
    const std::size_t split = whole.find("=\"") + 3;
    const std::string head = whole.substr(0, split);
    const std::string tail = whole.substr(split);
    std::int64_t keys = 0;
    for (auto _ : state) {
        const TTranslationChecker::TUpdate update =
            (keys % 2) ? checker.ReplaceLines(line, 2, {whole})
                       : checker.ReplaceLines(line, 1, {head, tail});
        ++keys;
        benchmark::DoNotOptimize(update.Lines.data());
    }
    if (keys % 2)
        checker.ReplaceLines(line, 2, {whole});
    state.counters["lines"] = static_cast<double>(checker.LineCount());
    state.SetLabel("baseline: well under the 16 ms of a keystroke (before: 7 ms at 1M lines)");
}
BENCHMARK(BM_LineBreakInLargeTranslation)
    ->Arg(10000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
