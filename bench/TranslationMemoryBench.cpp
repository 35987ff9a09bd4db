// The memory of the maker's translations: building it from 100 programs of
// English and three translations of 2,000 phrases each, building it again
// from its cache, and the suggestions for one phrase among the 200,000 pairs
// of a language, beside every phrase compared one by one in the same run.
//
// WORDLARK_BENCH_SMALL=1 (CI) uses 10 programs of 200 phrases.

#include "workbench/TranslationMemory.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TranslationText.h"

namespace {

namespace fs = std::filesystem;

bool Small() {
    return bench::TextSize() < (2u << 20);
}
std::size_t ProgramCount() {
    return Small() ? 10 : 100;
}
std::size_t PhraseCount() {
    return Small() ? 200 : 2000;
}
const char* const Languages[] = {"Deutsch", "Français", "Polski"};

// The words of the phrases: the common words of a program's interface, then
// 3,000 words of their own made of syllables, each picked less often the
// further down the list it is (as in the texts of real programs, where a few
// words come back all the time and most are rare).
const std::vector<std::string>& Vocabulary() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> w = {
            "the", "file",   "open",  "save",    "picture", "print", "page",   "copy",
            "to",  "delete", "new",   "folder",  "name",    "size",  "close",  "window",
            "of",  "help",   "about", "zoom",    "colour",  "undo",  "redo",   "paste",
            "a",   "cut",    "find",  "replace", "cannot",  "be",    "for",    "settings",
            "all", "is",     "not",   "found",   "please",  "enter", "select", "options"};
        static const char* const Syllables[] = {"ra",  "ton", "mi",  "ke",  "lor", "van", "es",
                                                "tri", "po",  "dal", "sen", "qu",  "bel", "fi",
                                                "nar", "go",  "tel", "wu",  "zen", "ax"};
        bench::Lcg rng;
        while (w.size() < 3000) {
            std::string word;
            for (std::uint32_t k = 0, n = 2 + rng.Next(3); k < n; ++k)
                word += Syllables[rng.Next(std::size(Syllables))];
            w.push_back(word);
        }
        return w;
    }();
    return words;
}

// An English phrase of 2 to 7 words.
std::string Phrase(bench::Lcg& rng) {
    const std::vector<std::string>& words = Vocabulary();
    std::string phrase;
    const std::uint32_t count = 2 + rng.Next(6);
    for (std::uint32_t w = 0; w < count; ++w) {
        // The square of a uniform pick: the first words far more often.
        const std::uint32_t r = rng.Next(1u << 12);
        const auto at =
            static_cast<std::size_t>((static_cast<std::uint64_t>(r) * r * words.size()) >> 24);
        phrase += w ? " " : "";
        phrase += words[at];
    }
    if (rng.Next(4) == 0)
        phrase += " %s";
    return phrase;
}

// The same phrase gets the same translation in every program, as a maker's
// translators keep to their words.
std::string Translate(const std::string& phrase, const char* language) {
    std::string out = std::string(language).substr(0, 2) + ":";
    for (auto it = phrase.rbegin(); it != phrase.rend(); ++it)
        out += *it;
    return out;
}

struct TInstallation {
    fs::path Root;
    TMemorySettings Settings;
    std::vector<std::string> Phrases; // every reference phrase, for the lookups
    ~TInstallation() {
        std::error_code ignored;
        fs::remove_all(Root, ignored);
    }
};

// 100 programs: a third of each one's phrases from a pool the programs share,
// the rest their own; each file on disk as a program ships it.
const TInstallation& Installation() {
    static const TInstallation installation = [] {
        TInstallation t;
        t.Root = fs::temp_directory_path() / "wordlark-memory-bench";
        fs::remove_all(t.Root);
        bench::Lcg rng;
        std::vector<std::string> pool;
        for (int i = 0; i < 600; ++i)
            pool.push_back(Phrase(rng));
        for (std::size_t p = 0; p < ProgramCount(); ++p) {
            const std::string name = "Program" + std::to_string(p);
            const fs::path folder = t.Root / name;
            fs::create_directories(folder);
            std::string catalogue;
            std::vector<std::string> files(1 + std::size(Languages));
            for (std::size_t k = 0; k < PhraseCount(); ++k) {
                const std::string phrase =
                    rng.Next(3) == 0 ? pool[rng.Next(static_cast<std::uint32_t>(pool.size()))]
                                     : Phrase(rng);
                t.Phrases.push_back(phrase);
                const std::string key =
                    "Form" + std::to_string(k / 50) + ".Text" + std::to_string(k) + "=\"";
                files[0] += key + phrase + "\"\r\n";
                for (std::size_t l = 0; l < std::size(Languages); ++l)
                    files[l + 1] += key + Translate(phrase, Languages[l]) + "\"\r\n";
            }
            for (std::size_t f = 0; f < files.size(); ++f) {
                const std::string language = f == 0 ? "English" : Languages[f - 1];
                const std::string file = name + "_" + std::to_string(f) + ".ini";
                std::ofstream(folder / file, std::ios::binary) << files[f];
                catalogue +=
                    "LanguageName=\"" + language + "\"\r\nLanguageFile=\"" + file + "\"\r\n";
            }
            std::ofstream(folder / "Languages.ini", std::ios::binary) << catalogue;
            t.Settings.Sources.push_back({name, (folder / "Languages.ini").string()});
        }
        return t;
    }();
    return installation;
}

void Report(benchmark::State& state, const TTranslationMemory& memory) {
    state.counters["pairs"] = static_cast<double>(memory.PairCount());
    state.counters["files"] = static_cast<double>(memory.Stats().Files);
}

void BM_BuildMemory(benchmark::State& state) {
    const TInstallation& installation = Installation();
    std::shared_ptr<const TTranslationMemory> memory;
    for (auto _ : state) {
        memory = TTranslationMemory::Build(installation.Settings);
        benchmark::DoNotOptimize(memory.get());
    }
    Report(state, *memory);
    state.SetLabel("baseline: < 1 s for 100 programs x 3 languages x 2,000 phrases");
}
BENCHMARK(BM_BuildMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every file read into memory, nothing else: the floor under a build.
void BM_ReadFilesOnly(benchmark::State& state) {
    const TInstallation& installation = Installation();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        for (const auto& entry : fs::recursive_directory_iterator(installation.Root)) {
            if (!entry.is_regular_file() || entry.path().extension() != ".ini")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::string data((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
            bytes += data.size();
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetLabel("reading the same files alone (the floor, same run)");
}
BENCHMARK(BM_ReadFilesOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildFromCache(benchmark::State& state) {
    const TInstallation& installation = Installation();
    TMemorySettings settings = installation.Settings;
    settings.CachePath = (installation.Root / "Memory.cache").string();
    std::remove(settings.CachePath.c_str());
    TTranslationMemory::Build(settings); // writes the cache
    std::shared_ptr<const TTranslationMemory> memory;
    for (auto _ : state) {
        memory = TTranslationMemory::Build(settings);
        if (memory->Stats().FilesRead != 0)
            state.SkipWithError("files were read again");
        benchmark::DoNotOptimize(memory.get());
    }
    Report(state, *memory);
    state.counters["MB"] = static_cast<double>(fs::file_size(settings.CachePath)) / 1e6;
    state.SetLabel("baseline: < 100 ms for a later start (the build above: the first)");
}
BENCHMARK(BM_BuildFromCache)->Unit(benchmark::kMillisecond)->UseRealTime();

const TTranslationMemory& Memory() {
    static const auto memory = TTranslationMemory::Build(Installation().Settings);
    return *memory;
}

// Phrases to look up: a third as they are, a third with a letter changed
// (close matches), a third of words of their own (close matches or nothing).
std::vector<std::string> Queries() {
    const TInstallation& installation = Installation();
    std::vector<std::string> queries;
    bench::Lcg rng;
    for (int i = 0; i < 300; ++i) {
        std::string q =
            installation.Phrases[rng.Next(static_cast<std::uint32_t>(installation.Phrases.size()))];
        if (i % 3 == 1)
            q[rng.Next(static_cast<std::uint32_t>(q.size()))] = 'x';
        else if (i % 3 == 2)
            q = Phrase(rng);
        queries.push_back(q);
    }
    return queries;
}

void BM_Lookup(benchmark::State& state) {
    const TTranslationMemory& memory = Memory();
    const std::vector<std::string> queries = Queries();
    std::size_t i = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        const auto suggestions = memory.Lookup(queries[i++ % queries.size()], "Deutsch");
        found += suggestions.size();
        benchmark::DoNotOptimize(suggestions.data());
    }
    state.counters["pairs_in_language"] = static_cast<double>(memory.PairCount()) / 3;
    state.counters["suggestions"] = static_cast<double>(found) / static_cast<double>(i);
    state.SetLabel("baseline: < 5 ms per phrase among 200,000 pairs");
}
BENCHMARK(BM_Lookup)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same phrases compared with every reference phrase, one by one.
void BM_LookupByComparingEveryPhrase(benchmark::State& state) {
    const TInstallation& installation = Installation();
    const std::vector<std::string> queries = Queries();
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& query = queries[i++ % queries.size()];
        int best = 0;
        for (const std::string& phrase : installation.Phrases)
            best = std::max(best, PhraseSimilarity(query, phrase));
        benchmark::DoNotOptimize(best);
    }
    state.SetLabel("every phrase compared (reference for the lookup above, same run)");
}
BENCHMARK(BM_LookupByComparingEveryPhrase)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
