// The parts a memory of translations is made of: the phrases of each
// program's reference and of its other languages, and the index built from
// them. The memory and its cache file work on them.
#pragma once
#include "workbench/PhraseDistance.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The phrases of a program's reference translation: the first entry of each
// key whose value is a quoted, non-empty phrase.
// What a file was when it was read: a file whose size, time or "Show as"
// choice changed is read again.
struct TMemoryFileStamp {
    std::int64_t Size = -1;
    std::int64_t Time = 0;
    std::uint8_t Encoding = 0;
    bool operator==(const TMemoryFileStamp&) const = default;
};

struct TMemoryReferencePart {
    struct TEntry {
        std::uint32_t KeyOffset, KeyLength, PhraseOffset, PhraseLength;
    };
    std::string Path;
    TMemoryFileStamp Stamp;
    // The keys and phrases, one after the other, in Storage: a text of the
    // part's own, or the whole cache file it was read from.
    std::shared_ptr<const std::string> Storage;
    std::string_view Text;
    std::vector<TEntry> Entries;

    std::string_view Key(std::size_t i) const {
        return Text.substr(Entries[i].KeyOffset, Entries[i].KeyLength);
    }
    std::string_view Phrase(std::size_t i) const {
        return Text.substr(Entries[i].PhraseOffset, Entries[i].PhraseLength);
    }
};

// The translations of one other language of the program: per reference entry
// whose key the file has, quoted, non-empty and not the reference's phrase.
struct TMemoryLanguagePart {
    struct TPair {
        std::uint32_t Entry, Offset, Length;
    };
    std::string Language; // as the catalogue names it, UTF-8
    std::string Path;
    TMemoryFileStamp Stamp;
    std::shared_ptr<const std::string> Storage;
    std::string_view Text;
    std::vector<TPair> Pairs;

    std::string_view Translation(const TPair& pair) const {
        return Text.substr(pair.Offset, pair.Length);
    }
};

struct TMemoryProgram {
    std::string Name;
    std::string CataloguePath;
    std::shared_ptr<const TMemoryReferencePart> Reference;
    std::vector<std::shared_ptr<const TMemoryLanguagePart>> Languages;
    std::vector<std::uint32_t> LanguageIds; // per part, set by BuildIndex
};

struct TMemoryIndex {
    struct THit {
        std::uint32_t Program;
        std::uint32_t Part;
        std::uint32_t Pair;
        std::uint32_t Language;
    };
    struct TPhraseRef {
        std::uint32_t Program, Entry; // where the phrase is read from
    };
    std::vector<std::string_view> Phrases;
    std::vector<TPhraseRef> PhraseRefs;
    std::vector<std::uint32_t> Slots; // open addressing: phrase id + 1, 0 free
    std::vector<std::uint32_t> HitStart;
    std::vector<THit> Hits;
    std::vector<std::uint32_t> Lengths; // in characters, a placeholder as one
    std::vector<phrase_distance::TCharCounts> Counts;
    std::vector<std::uint32_t> LengthStart;
    std::vector<std::uint32_t> ByLength;
    std::uint32_t GramMask = 0;
    std::vector<std::uint32_t> GramStart;
    std::vector<std::uint32_t> Grams;

    std::optional<std::uint32_t> Find(std::string_view phrase) const {
        if (Slots.empty())
            return std::nullopt;
        const std::size_t mask = Slots.size() - 1;
        for (std::size_t i = phrase_distance::HashBytes(phrase) & mask;; i = (i + 1) & mask) {
            const std::uint32_t slot = Slots[i];
            if (slot == 0)
                return std::nullopt;
            if (Phrases[slot - 1] == phrase)
                return slot - 1;
        }
    }
    std::uint32_t Intern(std::string_view phrase, TPhraseRef ref) {
        const std::size_t mask = Slots.size() - 1;
        for (std::size_t i = phrase_distance::HashBytes(phrase) & mask;; i = (i + 1) & mask) {
            const std::uint32_t slot = Slots[i];
            if (slot == 0) {
                Phrases.push_back(phrase);
                PhraseRefs.push_back(ref);
                Slots[i] = static_cast<std::uint32_t>(Phrases.size());
                return Slots[i] - 1;
            }
            if (Phrases[slot - 1] == phrase)
                return slot - 1;
        }
    }
    std::uint32_t Gram(const std::vector<char32_t>& units, std::size_t i) const {
        const std::uint64_t h =
            phrase_distance::Mix((static_cast<std::uint64_t>(units[i]) << 42) ^
                                 (static_cast<std::uint64_t>(units[i + 1]) << 21) ^ units[i + 2]);
        return static_cast<std::uint32_t>(h) & GramMask;
    }
};
