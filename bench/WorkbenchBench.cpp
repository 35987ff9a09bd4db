// The translator's workbench without windows: checking a 10,000-line
// translation against its reference, and bringing checks and progress up to
// date after one keystroke.

#include "workbench/TranslationChecker.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Lines = 10000;

struct TTexts {
    std::string Reference;
    std::string Translation;
    std::vector<std::string> TranslationLines;
};

// A reference of sections, comments and phrases (some with placeholders and
// escaped line breaks), and a translation of it as one in the middle of the
// work: most phrases translated, some still as the reference has them, a few
// with a lost placeholder, a few keys missing and a few added.
const TTexts& Texts() {
    static const TTexts texts = [] {
        TTexts t;
        std::uint32_t state = 12345;
        const auto next = [&state](std::uint32_t bound) {
            state = state * 1103515245u + 12345u;
            return (state >> 16) % bound;
        };
        static const char* const Words[] = {"Open", "the", "file", "Save", "all",     "changes",
                                            "Quit", "now", "page", "of",   "Picture", "size"};
        static const char* const GermanWords[] = {"Öffne", "die",        "Datei", "Speichere",
                                                  "alle",  "Änderungen", "Ende",  "jetzt",
                                                  "Seite", "von",        "Bild",  "Größe"};
        for (int i = 0; t.TranslationLines.size() < static_cast<size_t>(Lines); ++i) {
            const std::uint32_t kind = next(100);
            if (kind < 2) {
                const std::string section = "[Form" + std::to_string(i) + "]";
                t.Reference += section + "\r\n";
                t.TranslationLines.push_back(section);
                continue;
            }
            if (kind < 4) {
                t.Reference += "; keep the %s markers\r\n";
                t.TranslationLines.push_back("; die %s-Marken behalten");
                continue;
            }
            const std::string key =
                "Form" + std::to_string(i / 40) + ".Control" + std::to_string(i);
            std::string english;
            std::string german;
            const std::uint32_t words = 2 + next(6);
            for (std::uint32_t w = 0; w < words; ++w) {
                const std::uint32_t pick = next(std::size(Words));
                english += (w ? " " : "") + std::string(Words[pick]);
                german += (w ? " " : "") + std::string(GermanWords[pick]);
            }
            const bool placeholder = next(3) == 0;
            if (placeholder)
                english += " %s";
            const bool lineBreak = next(10) == 0;
            if (lineBreak)
                english += "\\n%d";
            t.Reference += key + "=\"" + english + "\"\r\n";
            const std::uint32_t fate = next(100);
            if (fate < 2)
                continue; // missing
            if (fate < 4)
                t.TranslationLines.push_back(key + "Extra=\"" + german + "\"");
            if (fate < 25)
                t.TranslationLines.push_back(key + "=\"" + english + "\""); // untranslated
            else if (fate < 28)
                t.TranslationLines.push_back(key + "=\"" + german + "\""); // lost placeholders
            else
                t.TranslationLines.push_back(key + "=\"" + german + (placeholder ? " %s" : "") +
                                             (lineBreak ? "\\n%d" : "") + "\"");
        }
        for (const std::string& line : t.TranslationLines)
            t.Translation += line + "\r\n";
        return t;
    }();
    return texts;
}

void BM_CheckTranslation(benchmark::State& state) {
    const TTexts& texts = Texts();
    TTranslationChecker checker;
    for (auto _ : state) {
        checker.Reset(texts.Translation, std::make_shared<const TReferenceText>(texts.Reference));
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
    checker.Reset(texts.Translation, std::make_shared<const TReferenceText>(texts.Reference));
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
    const auto ownKey = [](std::string line, std::size_t copy) {
        return line.rfind("Form", 0) == 0 ? "C" + std::to_string(copy) + line : line;
    };
    for (std::size_t copy = 0; copy < copies; ++copy) {
        for (const std::string& line : texts.TranslationLines) {
            lines.push_back(ownKey(line, copy));
            translation += lines.back() + "\r\n";
        }
        std::size_t at = 0;
        while (at < texts.Reference.size()) {
            const std::size_t end = texts.Reference.find("\r\n", at);
            reference += ownKey(texts.Reference.substr(at, end - at), copy) + "\r\n";
            at = end + 2;
        }
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
