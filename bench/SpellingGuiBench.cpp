// Spelling while typing in a 50 MB translation: what one keystroke costs when
// the words of the visible lines and of the edited line are checked, with
// the answers for words seen before remembered (typing) and with none
// remembered (a page scrolled into view), beside finding the words alone.
//
// The editor keeps its lines indexed, so the lines are taken by their
// starts here too. WORDLARK_BENCH_SMALL=1 uses about 1 MB.

#include "workbench/Speller.h"
#include "workbench/SpellingWords.h"

#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "TranslationText.h"

namespace {

constexpr std::size_t VisibleLines = 60;

struct TText {
    std::string Text;
    std::vector<std::size_t> LineStarts;
    std::string_view Line(std::size_t i) const {
        const std::size_t end = i + 1 < LineStarts.size() ? LineStarts[i + 1] - 2 : Text.size();
        return std::string_view(Text).substr(LineStarts[i], end - LineStarts[i]);
    }
};

const TText& Text() {
    static const TText text = [] {
        TText t{bench::TranslationText(bench::TextSize(), "\r\n"), {0}};
        for (std::size_t i = t.Text.find("\r\n"); i != std::string::npos;
             i = t.Text.find("\r\n", i + 2))
            t.LineStarts.push_back(i + 2);
        t.LineStarts.pop_back(); // the empty line after the last break
        return t;
    }();
    return text;
}

// One keystroke: a letter typed at the end of the phrase of the edited line
// (a new word each time), then the words of that line and of the visible
// lines around it checked.
template <class Check>
std::size_t Keystroke(const TText& text, std::size_t first, std::int64_t n, Check&& check) {
    std::size_t words = 0;
    const std::size_t edited = first + VisibleLines / 2;
    std::string typed(text.Line(edited));
    const std::size_t quote = typed.rfind('"');
    if (quote != std::string::npos && quote > 0)
        typed.insert(quote,
                     "Wort" + std::string(1, static_cast<char>('a' + n % 26)) + std::to_string(n));
    for (const TSpellingWord& w : WordsToCheck(typed))
        words += check(w.Word);
    for (std::size_t line = first; line < first + VisibleLines; ++line)
        if (line != edited)
            for (const TSpellingWord& w : WordsToCheck(text.Line(line)))
                words += check(w.Word);
    return words;
}

void Run(benchmark::State& state, bool remember, bool spell) {
    const TText& text = Text();
    TSpeller speller;
    if (spell && !speller.SetLanguage("de_DE")) {
        state.SkipWithError("no de_DE dictionary (scripts/setup.sh installs it)");
        return;
    }
    const std::size_t pages = (text.LineStarts.size() - VisibleLines) / VisibleLines;
    std::int64_t n = 0;
    std::size_t words = 0;
    std::size_t misspelled = 0;
    for (auto _ : state) {
        // Typing stays on one page; without remembered answers every
        // keystroke is on a page of its own.
        const std::size_t page = remember ? pages / 2 : static_cast<std::size_t>(n) % pages;
        if (!remember)
            speller.ForgetAnswers();
        words += Keystroke(text, page * VisibleLines, n++, [&](const std::string& word) {
            misspelled += spell && !speller.Check(word);
            return 1;
        });
    }
    state.counters["words_per_key"] = static_cast<double>(words) / static_cast<double>(n);
    state.counters["misspelled_per_key"] = static_cast<double>(misspelled) / static_cast<double>(n);
    state.counters["MB"] = static_cast<double>(text.Text.size()) / 1e6;
}

void BM_SpellingKeystroke_Typing(benchmark::State& state) {
    Run(state, true, true);
    state.SetLabel("baseline: < 16 ms per keystroke, visible and edited lines");
}
BENCHMARK(BM_SpellingKeystroke_Typing)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SpellingKeystroke_NewPage(benchmark::State& state) {
    Run(state, false, true);
    state.SetLabel("baseline: < 16 ms per keystroke, no answer remembered");
}
BENCHMARK(BM_SpellingKeystroke_NewPage)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SpellingKeystroke_WordsOnly(benchmark::State& state) {
    Run(state, false, false);
    state.SetLabel("the same words found, not spelled (the floor, same run)");
}
BENCHMARK(BM_SpellingKeystroke_WordsOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
