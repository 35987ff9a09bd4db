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

// The items of an array of the memory: its own, or items kept elsewhere (the
// cache file read into memory, which the holder of the array keeps alive),
// taken as they are, without a copy. Read through the const members; an own
// array is made through Items().
template <class T> class TMemoryArray {
public:
    TMemoryArray() = default;
    TMemoryArray(std::vector<T> items) : FOwn(std::move(items)) {}
    static TMemoryArray View(const T* items, std::size_t count) {
        TMemoryArray array;
        array.FView = items;
        array.FCount = count;
        return array;
    }

    // The own items, to be made or changed (an array that is a view becomes
    // an empty own one).
    std::vector<T>& Items() {
        FView = nullptr;
        FCount = 0;
        return FOwn;
    }
    TMemoryArray& operator=(std::vector<T> items) {
        Items() = std::move(items);
        return *this;
    }

    const T* data() const { return FView ? FView : FOwn.data(); }
    std::size_t size() const { return FView ? FCount : FOwn.size(); }
    bool empty() const { return size() == 0; }
    const T* begin() const { return data(); }
    const T* end() const { return data() + size(); }
    const T& operator[](std::size_t i) const { return data()[i]; }
    const T& front() const { return data()[0]; }
    const T& back() const { return data()[size() - 1]; }

private:
    std::vector<T> FOwn;
    const T* FView = nullptr;
    std::size_t FCount = 0;
};

// What a file was when it was read: a file whose size, time or "Show as"
// choice changed is read again.
struct TMemoryFileStamp {
    std::int64_t Size = -1;
    std::int64_t Time = 0;
    std::uint8_t Encoding = 0;
    bool operator==(const TMemoryFileStamp&) const = default;
};

// The phrases of a program's reference translation: the first entry of each
// key whose value is a quoted, non-empty phrase.
struct TMemoryReferencePart {
    struct TEntry {
        std::uint32_t KeyOffset, KeyLength, PhraseOffset, PhraseLength;
    };
    std::string Path;
    TMemoryFileStamp Stamp;
    // The keys and phrases, one after the other, in Storage: a text of the
    // part's own, or the whole cache file it was read from (which Entries
    // then views too).
    std::shared_ptr<const void> Storage;
    std::string_view Text;
    TMemoryArray<TEntry> Entries;

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
    std::shared_ptr<const void> Storage;
    std::string_view Text;
    TMemoryArray<TPair> Pairs;

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
    // What the arrays view, when they were read from the cache file.
    std::shared_ptr<const void> Storage;
    std::vector<std::string_view> Phrases;
    TMemoryArray<TPhraseRef> PhraseRefs;
    TMemoryArray<std::uint32_t> Slots; // open addressing: phrase id + 1, 0 free
    TMemoryArray<std::uint32_t> HitStart;
    TMemoryArray<THit> Hits;
    TMemoryArray<std::uint32_t> Lengths; // in characters, a placeholder as one
    TMemoryArray<phrase_distance::TCharCounts> Counts;
    TMemoryArray<std::uint32_t> LengthStart;
    TMemoryArray<std::uint32_t> ByLength;
    std::uint32_t GramMask = 0;
    TMemoryArray<std::uint32_t> GramStart;
    TMemoryArray<std::uint32_t> Grams;

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
    // While the index is made: the phrase's id, a new one when it is new.
    std::uint32_t Intern(std::string_view phrase, TPhraseRef ref) {
        std::vector<std::uint32_t>& items = Slots.Items();
        const std::size_t mask = items.size() - 1;
        for (std::size_t i = phrase_distance::HashBytes(phrase) & mask;; i = (i + 1) & mask) {
            const std::uint32_t slot = items[i];
            if (slot == 0) {
                Phrases.push_back(phrase);
                PhraseRefs.Items().push_back(ref);
                items[i] = static_cast<std::uint32_t>(Phrases.size());
                return items[i] - 1;
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
