// Enumerating every LanguageName/LanguageFile pair of a catalogue document:
// the cost must grow linearly with the document (read cursor, no rescans).
#include "initfile/InitFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {
std::string CatalogueText(int pairs) {
    std::string text;
    for (int i = 0; i < pairs; ++i) {
        text += "LanguageName=\"Language" + std::to_string(i) + "\"\r\n";
        text += "LanguageFile=\"Program_Language" + std::to_string(i) + ".ini\"\r\n";
    }
    text += "LanguageDefault=\"Language0\"\r\n";
    return text;
}

void BM_EnumeratePairs(benchmark::State& state) {
    const int pairs = static_cast<int>(state.range(0));
    TInitFile doc(TInitFile::TForm::Ini);
    const std::string text = CatalogueText(pairs);
    doc.Parse(text);
    for (auto _ : state) {
        int found = 0;
        std::string name = doc.GetString("LanguageName", "");
        std::string file = doc.GetString("LanguageFile", "");
        while (!name.empty() && !file.empty()) {
            ++found;
            name = doc.GetNextString("LanguageName");
            file = doc.GetNextString("LanguageFile");
        }
        if (found != pairs)
            state.SkipWithError("not every pair was found");
        benchmark::DoNotOptimize(found);
    }
    state.SetComplexityN(pairs);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    state.SetLabel("baseline: linear in the pairs (the fitted complexity below says N)");
}
// WORDLARK_BENCH_SMALL=1 (CI) keeps to the two smaller documents.
void Sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000);
    if (!std::getenv("WORDLARK_BENCH_SMALL"))
        b->Arg(100000);
}
BENCHMARK(BM_EnumeratePairs)->Apply(Sizes)->Complexity();
} // namespace

BENCHMARK_MAIN();
