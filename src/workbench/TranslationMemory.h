// The memory of the maker's translations: every phrase of the reference
// language (English by default) found in the catalogues of the maker's
// programs, paired with its translation in each other language of the same
// catalogue, with the program and key it came from. The workbench asks it for
// suggestions for the phrase under the caret and fills untranslated phrases
// from it.
//
// Building reads every catalogue and its files; a cache file in the data
// folder keeps what was read, per file, so that a later start reads only the
// files whose size or time changed. Catalogues and files that cannot be read
// are skipped and counted, never fatal; a damaged cache is read as no cache.
// TMemoryBuilder builds on a worker thread of its own, so the window never
// waits for it.
#pragma once

#include "encoding/Codec.h"
#include "workbench/MemoryParts.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

// Where the memory's phrases come from: a program's catalogue.
struct TMemorySource {
    std::string Program;       // as shown beside a suggestion
    std::string CataloguePath; // its Languages.ini (or however it is named)
};

// The catalogues among the user's own saved copies of translations: every
// catalogue in a folder <data folder>/Translations/<program>/, named after
// its folder. A file counts as a catalogue when it lists translation files.
std::vector<TMemorySource> SavedCopySources(const std::string& dataFolder);

struct TMemorySettings {
    std::vector<TMemorySource> Sources;
    std::string ReferenceLanguage = "English";
    // The cache file (in the data folder); empty: no cache.
    std::string CachePath;
    // How files that are not UTF-8 are read ("Show as"); any other such file
    // as Windows-1252.
    std::map<std::string, TEncoding> ShowAs;
};

// What a build found, for the status line and the tests.
struct TMemoryStats {
    std::size_t Programs = 0;        // catalogues that gave phrases
    std::size_t SkippedPrograms = 0; // unreadable catalogues, or without the reference
    std::size_t Files = 0;           // translation files that gave pairs
    std::size_t SkippedFiles = 0;    // listed files that could not be read
    std::size_t FilesFromCache = 0;  // of Files and the references: taken from the cache
    std::size_t FilesRead = 0;       // of Files and the references: read from disk
    std::size_t Pairs = 0;
    bool CacheDamaged = false; // a cache file was there but could not be used
    std::string CacheError;    // why the cache could not be written, or empty
};

struct TSuggestion {
    std::string Translation; // the phrase to put between the quotes (UTF-8)
    std::string Reference;   // the reference phrase it translates
    std::string Program;
    std::string Key;
    // 100 for the same reference phrase; else the similarity of the two
    // reference phrases in percent (at least MinSimilarity).
    int Similarity = 100;
    // Close matches: the words of Reference that the phrase looked up does not
    // have, or has in other places, for the window to mark.
    std::vector<TTextRange> DifferingWords;
    // The reference phrases differ in their placeholders (as the checks
    // compare them), so the translation's placeholders need a look.
    bool PlaceholdersDiffer = false;
    // How many programs' files give this same translation for this phrase.
    std::size_t Sources = 1;
};

class TTranslationMemory {
public:
    static constexpr int MinSimilarity = 75;
    static constexpr std::size_t MaxSuggestions = 3;

    // Reads every source (and the cache, when named) and builds the memory.
    // Never throws for a file or a catalogue; writes the cache anew when
    // anything was read from disk.
    static std::shared_ptr<const TTranslationMemory> Build(const TMemorySettings& settings);

    // Up to MaxSuggestions translations into `language` (a catalogue's name
    // for it, compared as FoldedLanguageName does) of the reference phrase
    // `phrase`: first those of the same phrase, the one given most often
    // first, then close matches, the most similar first. Translations repeated
    // word for word are given once. Pairs from `skipFile` (the translation
    // being edited) are left out.
    std::vector<TSuggestion> Lookup(std::string_view phrase, std::string_view language,
                                    std::string_view skipFile = {}) const;

    // The translation to fill an untranslated phrase with: the one given most
    // often for exactly this phrase in `language` (the first found among
    // equals), or none.
    std::optional<std::string> ExactTranslation(std::string_view phrase, std::string_view language,
                                                std::string_view skipFile = {}) const;

    const std::string& ReferenceLanguage() const { return FReferenceLanguage; }
    const TMemoryStats& Stats() const { return FStats; }
    std::size_t PairCount() const { return FStats.Pairs; }

    // Parts of the memory as the cache keeps them; public for the builder.
    using TFileStamp = TMemoryFileStamp;
    using TReferencePart = TMemoryReferencePart;
    using TLanguagePart = TMemoryLanguagePart;
    using TProgram = TMemoryProgram;

    ~TTranslationMemory();

private:
    TTranslationMemory();
    using TIndex = TMemoryIndex;
    struct TLookupHit;

    void BuildIndex();
    std::vector<TLookupHit> ExactHits(std::string_view phrase, std::uint32_t language,
                                      std::string_view skipFile) const;
    std::optional<std::uint32_t> LanguageId(std::string_view language) const;

    std::string FReferenceLanguage;
    TMemoryStats FStats;
    std::vector<TProgram> FPrograms;
    std::vector<std::string> FLanguages; // folded names, by id
    std::unique_ptr<TIndex> FIndex;
};

// Builds a memory on a worker thread: Start returns at once; Ready and
// Snapshot may be asked from any thread at any time.
class TMemoryBuilder {
public:
    TMemoryBuilder() = default;
    TMemoryBuilder(const TMemoryBuilder&) = delete;
    TMemoryBuilder& operator=(const TMemoryBuilder&) = delete;
    // Waits for a build still running.
    ~TMemoryBuilder();

    // Starts a build; a build still running is waited for first. The memory
    // built before stays the snapshot until the new one is ready.
    void Start(TMemorySettings settings);
    // Whether the last build started has finished.
    bool Ready() const { return FReady.load(); }
    // The memory last built, or null before the first build has finished.
    std::shared_ptr<const TTranslationMemory> Snapshot() const;
    // Blocks until the last build started has finished (tests, benchmarks).
    void Wait();

private:
    std::thread FWorker;
    std::atomic<bool> FReady{false};
    mutable std::mutex FMutex;
    std::shared_ptr<const TTranslationMemory> FMemory;
};
