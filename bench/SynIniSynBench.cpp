// Scanning speed of the INI highlighter over a large translation file, the way
// the editor drives it: each line handed over NUL-terminated, then SetLine and
// Next until GetEol, through the base-class interface.
//
// About 50 MB by default; WORDLARK_BENCH_SMALL=1 uses about 1 MB.

#include "editor/SynIniSyn.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "TranslationText.h"

namespace {

struct Corpus {
    std::string text;                  // lines ended by LF, as in the file
    std::vector<char> lines;           // the same bytes with every LF replaced by NUL
    std::vector<std::uint32_t> starts; // offset of each line in `lines`
};

const Corpus& GetCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        c.text = bench::TranslationText(bench::TextSize(), "\n");
        c.lines.assign(c.text.begin(), c.text.end());
        std::uint32_t start = 0;
        for (std::uint32_t i = 0; i < c.lines.size(); ++i) {
            if (c.lines[i] == '\n') {
                c.lines[i] = '\0';
                c.starts.push_back(start);
                start = i + 1;
            }
        }
        return c;
    }();
    return corpus;
}

// bytes_per_second is printed in binary units (M = 2^20); the MB counter is the
// same rate in decimal megabytes, the unit of the baselines.
void ReportBytes(benchmark::State& state, size_t bytesPerIteration, const char* baseline) {
    const double bytes = static_cast<double>(state.iterations()) * bytesPerIteration;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["MB"] = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsRate);
    state.SetLabel(baseline);
}

void BM_SynIniSynScan(benchmark::State& state) {
    const Corpus& corpus = GetCorpus();
    TSynIniSyn concrete;
    // The editor only knows the base class; keep the compiler from knowing more.
    TSynCustomHighlighter* hl = &concrete;
    benchmark::DoNotOptimize(hl);
    const char* base = corpus.lines.data();
    for (auto _ : state) {
        std::uint64_t sum = 0;
        int index = 0;
        for (std::uint32_t start : corpus.starts) {
            hl->SetLine(base + start, index++);
            while (!hl->GetEol()) {
                sum += static_cast<std::uint64_t>(hl->GetTokenPos() + hl->GetTokenKind());
                hl->Next();
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["lines"] = static_cast<double>(corpus.starts.size());
    ReportBytes(state, corpus.text.size(), "baseline: >= 700 MB/s");
}
BENCHMARK(BM_SynIniSynScan)->Unit(benchmark::kMillisecond);

// The floor: finding the line ends alone, with nothing scanned.
void BM_MemchrLineSplit(benchmark::State& state) {
    const Corpus& corpus = GetCorpus();
    for (auto _ : state) {
        const char* p = corpus.text.data();
        const char* end = p + corpus.text.size();
        std::uint64_t lines = 0;
        while (const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p))) {
            p = static_cast<const char*>(nl) + 1;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    ReportBytes(state, corpus.text.size(), "floor for the scan above, no baseline");
}
BENCHMARK(BM_MemchrLineSplit)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
