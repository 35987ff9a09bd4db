#include "workbench/TranslationMemory.h"

#include "encoding/TextEncoding.h"
#include "encoding/Utf8.h"
#include "initfile/Catalogue.h"
#include "initfile/KeyValueLine.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"
#include "workbench/Checks.h"
#include "workbench/LanguageNames.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <unordered_set>

// ---------------------------------------------------------------------------
// The parts of the memory

// The phrases of a program's reference translation: the first entry of each
// key whose value is a quoted, non-empty phrase.
struct TTranslationMemory::TReferencePart {
    struct TEntry {
        std::uint32_t KeyOffset, KeyLength, PhraseOffset, PhraseLength;
    };
    std::string Path;
    TFileStamp Stamp;
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
struct TTranslationMemory::TLanguagePart {
    struct TPair {
        std::uint32_t Entry, Offset, Length;
    };
    std::string Language; // as the catalogue names it, UTF-8
    std::string Path;
    TFileStamp Stamp;
    std::shared_ptr<const std::string> Storage;
    std::string_view Text;
    std::vector<TPair> Pairs;

    std::string_view Translation(const TPair& pair) const {
        return Text.substr(pair.Offset, pair.Length);
    }
};

struct TTranslationMemory::TProgram {
    std::string Name;
    std::string CataloguePath;
    std::shared_ptr<const TReferencePart> Reference;
    std::vector<std::shared_ptr<const TLanguagePart>> Languages;
    std::vector<std::uint32_t> LanguageIds; // per part, set by BuildIndex
};

namespace {

// A fast hash of bytes, 8 at a time (for the phrase table, the trigram
// buckets and the cache's check sum).
std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return h;
}

std::uint64_t HashBytes(std::string_view s, std::uint64_t seed = 0x9E3779B97F4A7C15ULL) {
    std::uint64_t h = seed ^ (s.size() * 0x9E3779B97F4A7C15ULL);
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t w;
        std::memcpy(&w, s.data() + i, 8);
        h = (h ^ Mix(w)) * 0x9E3779B97F4A7C15ULL;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, s.data() + i, s.size() - i);
    return Mix(h ^ tail ^ (static_cast<std::uint64_t>(s.size() - i) << 56));
}

// The cache file's check sum: four lanes of one multiplication per 8 bytes,
// which the processor works on side by side.
std::uint64_t CheckSum(std::string_view s) {
    constexpr std::uint64_t K = 0x9E3779B97F4A7C15ULL;
    std::uint64_t lanes[4] = {K, K ^ 1, K ^ 2, K ^ 3};
    std::size_t i = 0;
    for (; i + 32 <= s.size(); i += 32)
        for (std::size_t l = 0; l < 4; ++l) {
            std::uint64_t w;
            std::memcpy(&w, s.data() + i + 8 * l, 8);
            lanes[l] = ((lanes[l] ^ w) * K);
            lanes[l] ^= lanes[l] >> 29;
        }
    std::uint64_t h = s.size();
    for (const std::uint64_t lane : lanes)
        h = Mix(h ^ lane);
    return HashBytes(s.substr(i), h);
}

// ---------------------------------------------------------------------------
// Phrases as sequences of characters, a placeholder as one

// A placeholder's stand-in: past the last code point, so no letter equals it.
constexpr char32_t PlaceholderBase = 0x110000;

struct TPlaceholderSpan {
    std::size_t Begin, End;
};

std::vector<TPlaceholderSpan> PlaceholderSpans(std::string_view phrase) {
    std::vector<TPlaceholderSpan> spans;
    if (std::none_of(phrase.begin(), phrase.end(), [](char c) { return c == '%' || c == '{'; }))
        return spans;
    for (const TPlaceholder& p : FindPlaceholders(phrase)) {
        const auto begin = static_cast<std::size_t>(p.Text.data() - phrase.data());
        spans.push_back({begin, begin + p.Text.size()});
    }
    return spans;
}

void PhraseUnits(std::string_view phrase, std::vector<char32_t>& units) {
    units.clear();
    const std::vector<TPlaceholderSpan> spans = PlaceholderSpans(phrase);
    std::size_t next = 0;
    for (std::size_t i = 0; i < phrase.size();) {
        if (next < spans.size() && spans[next].Begin == i) {
            const std::string_view text = phrase.substr(i, spans[next].End - i);
            units.push_back(PlaceholderBase + static_cast<char32_t>(HashBytes(text) & 0xFFFF));
            i = spans[next++].End;
            continue;
        }
        const auto c = static_cast<unsigned char>(phrase[i]);
        if (c < 0x80) {
            units.push_back(c);
            ++i;
            continue;
        }
        const TUtf8Char u = NextUtf8(phrase, i);
        units.push_back(u.Valid ? u.Code : 0xDC00 + c); // a stray byte stays itself
        i += u.Length;
    }
}

// The edit distance of a and b, or limit + 1 when it is more than `limit`:
// only the band of cells within `limit` of the diagonal is worked out.
std::size_t EditDistance(const std::vector<char32_t>& a, const std::vector<char32_t>& b,
                         std::size_t limit) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    const std::size_t over = limit + 1;
    if ((n > m ? n - m : m - n) > limit)
        return over;
    std::vector<std::size_t> prev(m + 1), row(m + 1);
    for (std::size_t j = 0; j <= m; ++j)
        prev[j] = j <= limit ? j : over;
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t from = i > limit ? i - limit : 1;
        const std::size_t to = std::min(m, i + limit);
        row[from - 1] = from == 1 ? std::min(i, over) : over;
        std::size_t best = row[from - 1];
        for (std::size_t j = from; j <= to; ++j) {
            const std::size_t replace = prev[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            const std::size_t erase = (j < i + limit ? prev[j] : over) + 1;
            const std::size_t insert = row[j - 1] + 1;
            row[j] = std::min({replace, erase, insert, over});
            best = std::min(best, row[j]);
        }
        if (to < m)
            row[to + 1] = over;
        if (best >= over)
            return over;
        std::swap(prev, row);
    }
    return std::min(prev[m], over);
}

// The edit distance of the phrase a pattern was made of and `text`, by
// Myers' bit-parallel algorithm: one step of a few word operations per
// character of `text`, for patterns of up to 64 characters.
class TBitPattern {
public:
    explicit TBitPattern(const std::vector<char32_t>& pattern) : FLength(pattern.size()) {
        for (std::size_t i = 0; i < pattern.size(); ++i)
            Mask(pattern[i]) |= std::uint64_t{1} << i;
    }
    static bool Fits(std::size_t length) { return length >= 1 && length <= 64; }

    std::size_t Distance(const std::vector<char32_t>& text) const {
        const std::uint64_t last = std::uint64_t{1} << (FLength - 1);
        std::uint64_t pv = ~std::uint64_t{0};
        std::uint64_t mv = 0;
        std::size_t score = FLength;
        for (const char32_t c : text) {
            const std::uint64_t eq = Find(c);
            const std::uint64_t xv = eq | mv;
            const std::uint64_t xh = (((eq & pv) + pv) ^ pv) | eq;
            std::uint64_t ph = mv | ~(xh | pv);
            std::uint64_t mh = pv & xh;
            if (ph & last)
                ++score;
            if (mh & last)
                --score;
            ph = (ph << 1) | 1;
            mh <<= 1;
            pv = mh | ~(xv | ph);
            mv = ph & xv;
        }
        return score;
    }

private:
    static constexpr std::size_t Slots = 128;
    std::uint64_t& Mask(char32_t c) {
        if (c < 128)
            return FAscii[c];
        std::size_t i = (c * 2654435761u) % Slots;
        while (FKeys[i] != 0 && FKeys[i] != c)
            i = (i + 1) % Slots;
        FKeys[i] = c;
        return FMasks[i];
    }
    std::uint64_t Find(char32_t c) const {
        if (c < 128)
            return FAscii[c];
        for (std::size_t i = (c * 2654435761u) % Slots; FKeys[i] != 0; i = (i + 1) % Slots)
            if (FKeys[i] == c)
                return FMasks[i];
        return 0;
    }

    std::size_t FLength;
    std::uint64_t FAscii[128] = {};
    char32_t FKeys[Slots] = {};
    std::uint64_t FMasks[Slots] = {};
};

// How often the characters of a phrase fall into each of 16 classes. Every
// edit changes one count by one, or two by one each, so the counts of two
// phrases bound their distance from below: a cheap test before the exact one.
using TCharCounts = std::array<std::uint8_t, 16>;

TCharCounts CharCounts(const std::vector<char32_t>& units) {
    TCharCounts counts{};
    for (const char32_t c : units) {
        std::uint8_t& count = counts[(c * 0x9E3779B1u) >> 28];
        if (count < 255)
            ++count;
    }
    return counts;
}

std::size_t DistanceAtLeast(const TCharCounts& a, const TCharCounts& b) {
    std::size_t more = 0;
    std::size_t fewer = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] > b[i])
            more += a[i] - b[i];
        else
            fewer += b[i] - a[i];
    }
    return std::max(more, fewer);
}

int SimilarityOf(std::size_t distance, std::size_t longer) {
    if (longer == 0)
        return 100;
    return static_cast<int>(100 * (longer - std::min(distance, longer)) / longer);
}

// The largest distance a similarity of at least MinSimilarity allows between
// phrases whose longer one has `longer` characters.
std::size_t AllowedDistance(std::size_t longer) {
    return longer * (100 - TTranslationMemory::MinSimilarity) / 100;
}

// ---------------------------------------------------------------------------
// Words, for marking what differs

struct TToken {
    std::size_t Begin, End;
};

bool IsWordByte(unsigned char c) {
    return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z') || c == '_';
}

// Words, placeholders and every other mark that is not a blank.
std::vector<TToken> Tokens(std::string_view s) {
    std::vector<TToken> tokens;
    const std::vector<TPlaceholderSpan> spans = PlaceholderSpans(s);
    std::size_t next = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (next < spans.size() && spans[next].Begin == i) {
            tokens.push_back({i, spans[next].End});
            i = spans[next++].End;
            continue;
        }
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        if (IsWordByte(c))
            while (end < s.size() && IsWordByte(static_cast<unsigned char>(s[end])) &&
                   !(next < spans.size() && spans[next].Begin == end))
                ++end;
        tokens.push_back({i, end});
        i = end;
    }
    return tokens;
}

// ---------------------------------------------------------------------------
// Reading the files

TTranslationMemory::TFileStamp StampOf(const std::string& path,
                                       const std::map<std::string, TEncoding>& showAs) {
    TTranslationMemory::TFileStamp stamp;
    std::error_code error;
    const std::filesystem::path p = platform::PathFromUtf8(path);
    const auto size = std::filesystem::file_size(p, error);
    if (error)
        return stamp;
    const auto time = std::filesystem::last_write_time(p, error);
    if (error)
        return stamp;
    stamp.Size = static_cast<std::int64_t>(size);
    stamp.Time = static_cast<std::int64_t>(time.time_since_epoch().count());
    const auto chosen = showAs.find(path);
    stamp.Encoding = chosen == showAs.end() ? 0xFF : static_cast<std::uint8_t>(chosen->second);
    return stamp;
}

// The file's text as UTF-8, or none when it cannot be read.
std::optional<std::string> ReadText(const std::string& path,
                                    const TTranslationMemory::TFileStamp& stamp) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        return std::nullopt;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        bytes.erase(0, 3);
    if (IsValidUtf8(bytes))
        return bytes;
    const TTextEncoding encoding = stamp.Encoding == 0xFF
                                       ? TTextEncoding::Windows1252
                                       : static_cast<TTextEncoding>(stamp.Encoding);
    return DecodeText(bytes, encoding);
}

// Calls f(key, phrase) for the first entry of each key whose value is quoted
// (the entry a program reads), whatever its phrase.
template <class F> void ForEachFirstEntry(std::string_view text, F&& f) {
    std::unordered_set<std::string_view> seen;
    ForEachLine(text, [&](std::string_view line) {
        const TKeyValueLine parsed = ParseKeyValueLine(line);
        if (!parsed.IsEntry() || !seen.insert(parsed.Key(line)).second)
            return;
        f(parsed.Key(line), parsed.Quoting == TQuoting::Closed
                                ? std::optional<std::string_view>(parsed.Value(line))
                                : std::nullopt);
    });
}

std::uint32_t Append(std::string& text, std::string_view s) {
    const auto at = static_cast<std::uint32_t>(text.size());
    text.append(s);
    return at;
}

std::shared_ptr<TTranslationMemory::TReferencePart>
ReadReference(const std::string& path, const TTranslationMemory::TFileStamp& stamp) {
    const std::optional<std::string> text = ReadText(path, stamp);
    if (!text)
        return nullptr;
    auto part = std::make_shared<TTranslationMemory::TReferencePart>();
    part->Path = path;
    part->Stamp = stamp;
    std::string own;
    own.reserve(text->size());
    ForEachFirstEntry(*text, [&](std::string_view key, std::optional<std::string_view> phrase) {
        if (!phrase || phrase->empty())
            return;
        const auto keyLength = static_cast<std::uint32_t>(key.size());
        const std::uint32_t keyAt = Append(own, key);
        const std::uint32_t phraseAt = Append(own, *phrase);
        part->Entries.push_back(
            {keyAt, keyLength, phraseAt, static_cast<std::uint32_t>(phrase->size())});
    });
    own.shrink_to_fit();
    part->Storage = std::make_shared<const std::string>(std::move(own));
    part->Text = *part->Storage;
    return part;
}

using TKeyEntries = std::unordered_map<std::string_view, std::uint32_t>;

TKeyEntries KeyEntries(const TTranslationMemory::TReferencePart& reference) {
    TKeyEntries entries;
    entries.reserve(reference.Entries.size());
    for (std::uint32_t i = 0; i < reference.Entries.size(); ++i)
        entries.emplace(reference.Key(i), i);
    return entries;
}

std::shared_ptr<TTranslationMemory::TLanguagePart>
ReadLanguage(const TCatalogueEntry& entry, const TTranslationMemory::TFileStamp& stamp,
             const TTranslationMemory::TReferencePart& reference, const TKeyEntries& keys) {
    const std::optional<std::string> text = ReadText(entry.Path, stamp);
    if (!text)
        return nullptr;
    auto part = std::make_shared<TTranslationMemory::TLanguagePart>();
    part->Language = LanguageNameText(entry.Name);
    part->Path = entry.Path;
    part->Stamp = stamp;
    std::string own;
    ForEachFirstEntry(*text, [&](std::string_view key, std::optional<std::string_view> phrase) {
        const auto hit = keys.find(key);
        if (!phrase || phrase->empty() || hit == keys.end() ||
            *phrase == reference.Phrase(hit->second))
            return;
        part->Pairs.push_back(
            {hit->second, Append(own, *phrase), static_cast<std::uint32_t>(phrase->size())});
    });
    own.shrink_to_fit();
    part->Storage = std::make_shared<const std::string>(std::move(own));
    part->Text = *part->Storage;
    return part;
}

} // namespace

// ---------------------------------------------------------------------------
// The index: the distinct reference phrases, where each is translated, and
// their trigrams and lengths for close matches.

struct TTranslationMemory::TIndex {
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
    std::vector<TCharCounts> Counts;
    std::vector<std::uint32_t> LengthStart;
    std::vector<std::uint32_t> ByLength;
    std::uint32_t GramMask = 0;
    std::vector<std::uint32_t> GramStart;
    std::vector<std::uint32_t> Grams;

    std::optional<std::uint32_t> Find(std::string_view phrase) const {
        if (Slots.empty())
            return std::nullopt;
        const std::size_t mask = Slots.size() - 1;
        for (std::size_t i = HashBytes(phrase) & mask;; i = (i + 1) & mask) {
            const std::uint32_t slot = Slots[i];
            if (slot == 0)
                return std::nullopt;
            if (Phrases[slot - 1] == phrase)
                return slot - 1;
        }
    }
    std::uint32_t Intern(std::string_view phrase, TPhraseRef ref) {
        const std::size_t mask = Slots.size() - 1;
        for (std::size_t i = HashBytes(phrase) & mask;; i = (i + 1) & mask) {
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
            Mix((static_cast<std::uint64_t>(units[i]) << 42) ^
                (static_cast<std::uint64_t>(units[i + 1]) << 21) ^ units[i + 2]);
        return static_cast<std::uint32_t>(h) & GramMask;
    }
};

// ---------------------------------------------------------------------------
// The cache file: a header (magic, version, byte-order mark, the body's length
// and check sum) and a body of the programs' parts. A file whose header, sum
// or any length does not hold up is not used at all.

struct TMemoryCache {
    static constexpr char Magic[4] = {'W', 'L', 'T', 'M'};
    static constexpr std::uint32_t Version = 1;
    static constexpr std::uint32_t ByteOrder = 0x01020304;
    static constexpr std::size_t HeaderSize = 4 + 4 + 4 + 8 + 8;

    using TReferencePart = TTranslationMemory::TReferencePart;
    using TLanguagePart = TTranslationMemory::TLanguagePart;
    using TProgram = TTranslationMemory::TProgram;

    struct TReader {
        std::string_view Data;
        std::size_t At = 0;
        bool Ok = true;

        bool Take(void* out, std::size_t n) {
            if (!Ok || Data.size() - At < n)
                return Ok = false;
            std::memcpy(out, Data.data() + At, n);
            At += n;
            return true;
        }
        template <class T> T Number() {
            T value{};
            Take(&value, sizeof value);
            return value;
        }
        std::string Text() {
            const auto n = Number<std::uint32_t>();
            if (!Ok || Data.size() - At < n) {
                Ok = false;
                return {};
            }
            std::string s(Data.substr(At, n));
            At += n;
            return s;
        }
        // A text as a part of the data, not copied.
        std::string_view View() {
            const auto n = Number<std::uint32_t>();
            if (!Ok || Data.size() - At < n) {
                Ok = false;
                return {};
            }
            const std::string_view s = Data.substr(At, n);
            At += n;
            return s;
        }
        TTranslationMemory::TFileStamp Stamp() {
            TTranslationMemory::TFileStamp stamp;
            stamp.Size = Number<std::int64_t>();
            stamp.Time = Number<std::int64_t>();
            stamp.Encoding = Number<std::uint8_t>();
            return stamp;
        }
        template <class T> bool Array(std::vector<T>& out) {
            const auto n = Number<std::uint32_t>();
            if (!Ok || (Data.size() - At) / sizeof(T) < n)
                return Ok = false;
            out.resize(n);
            return Take(out.data(), n * sizeof(T));
        }
    };

    struct TWriter {
        std::string Data;
        template <class T> void Number(T value) {
            Data.append(reinterpret_cast<const char*>(&value), sizeof value);
        }
        void Text(std::string_view s) {
            Number(static_cast<std::uint32_t>(s.size()));
            Data.append(s);
        }
        void Stamp(const TTranslationMemory::TFileStamp& stamp) {
            Number(stamp.Size);
            Number(stamp.Time);
            Number(stamp.Encoding);
        }
        template <class T> void Array(const std::vector<T>& items) {
            Number(static_cast<std::uint32_t>(items.size()));
            Data.append(reinterpret_cast<const char*>(items.data()), items.size() * sizeof(T));
        }
    };

    static bool Fits(std::size_t offset, std::size_t length, std::size_t size) {
        return offset <= size && length <= size - offset;
    }

    // The programs of the cache file at `path` that were built against
    // `referenceLanguage`. False when the file is there but cannot be used.
    using TIndex = TTranslationMemory::TIndex;

    // What a cache file holds: the programs' parts and, built from them, the
    // index and the languages.
    struct TContents {
        std::vector<TProgram> Programs;
        std::unique_ptr<TIndex> Index;
        std::vector<std::string> Languages;
    };

    template <class T> static bool Ascending(const std::vector<T>& starts, std::size_t size) {
        return !starts.empty() && starts.front() == 0 && starts.back() == size &&
               std::is_sorted(starts.begin(), starts.end());
    }

    // Whether every number of the index points where it may.
    static bool Holds(const TIndex& index, const std::vector<TProgram>& programs,
                      std::size_t languages) {
        const std::size_t phrases = index.PhraseRefs.size();
        const auto below = [](const std::vector<std::uint32_t>& ids, std::size_t limit) {
            return std::all_of(ids.begin(), ids.end(),
                               [&](std::uint32_t id) { return id < limit; });
        };
        if (index.Slots.size() < 2 * phrases || (index.Slots.size() & (index.Slots.size() - 1)) ||
            !below(index.Slots, phrases + 1) || index.HitStart.size() != phrases + 1 ||
            !Ascending(index.HitStart, index.Hits.size()) || index.Lengths.size() != phrases ||
            index.Counts.size() != phrases ||
            !Ascending(index.LengthStart, index.ByLength.size()) ||
            !below(index.ByLength, phrases) ||
            index.GramStart.size() != std::size_t{index.GramMask} + 2 ||
            ((index.GramMask + 1) & index.GramMask) != 0 ||
            !Ascending(index.GramStart, index.Grams.size()) || !below(index.Grams, phrases))
            return false;
        for (const auto& ref : index.PhraseRefs)
            if (ref.Program >= programs.size() ||
                ref.Entry >= programs[ref.Program].Reference->Entries.size())
                return false;
        for (const auto& hit : index.Hits)
            if (hit.Program >= programs.size() ||
                hit.Part >= programs[hit.Program].Languages.size() ||
                hit.Pair >= programs[hit.Program].Languages[hit.Part]->Pairs.size() ||
                hit.Language >= languages)
                return false;
        for (const TProgram& program : programs)
            if (program.LanguageIds.size() != program.Languages.size() ||
                !below(program.LanguageIds, languages))
                return false;
        return true;
    }

    static bool Read(const std::string& path, const std::string& referenceLanguage,
                     TContents& contents) {
        std::vector<TProgram>& programs = contents.Programs;
        auto storage = std::make_shared<std::string>();
        std::string& bytes = *storage;
        if (!platform::ReadFileBytes(path, bytes))
            return !platform::FileExists(path);
        TReader header{bytes};
        char magic[4] = {};
        header.Take(magic, 4);
        const auto version = header.Number<std::uint32_t>();
        const auto order = header.Number<std::uint32_t>();
        const auto length = header.Number<std::uint64_t>();
        const auto sum = header.Number<std::uint64_t>();
        if (!header.Ok || std::memcmp(magic, Magic, 4) != 0 || version != Version ||
            order != ByteOrder || length != bytes.size() - HeaderSize)
            return false;
        const std::string_view body = std::string_view(bytes).substr(HeaderSize);
        if (CheckSum(body) != sum)
            return false;
        TReader in{body};
        if (in.Text() != FoldedLanguageName(referenceLanguage))
            return in.Ok; // built against another reference: nothing to take
        const auto count = in.Number<std::uint32_t>();
        for (std::uint32_t p = 0; in.Ok && p < count; ++p) {
            TProgram program;
            program.Name = in.Text();
            program.CataloguePath = in.Text();
            auto reference = std::make_shared<TReferencePart>();
            reference->Path = in.Text();
            reference->Stamp = in.Stamp();
            reference->Storage = storage;
            reference->Text = in.View();
            in.Array(reference->Entries);
            for (const auto& e : reference->Entries)
                in.Ok = in.Ok && Fits(e.KeyOffset, e.KeyLength, reference->Text.size()) &&
                        Fits(e.PhraseOffset, e.PhraseLength, reference->Text.size());
            const auto languages = in.Number<std::uint32_t>();
            for (std::uint32_t l = 0; in.Ok && l < languages; ++l) {
                auto part = std::make_shared<TLanguagePart>();
                part->Language = in.Text();
                part->Path = in.Text();
                part->Stamp = in.Stamp();
                part->Storage = storage;
                part->Text = in.View();
                in.Array(part->Pairs);
                for (const auto& pair : part->Pairs)
                    in.Ok = in.Ok && pair.Entry < reference->Entries.size() &&
                            Fits(pair.Offset, pair.Length, part->Text.size());
                program.Languages.push_back(std::move(part));
            }
            in.Array(program.LanguageIds);
            program.Reference = std::move(reference);
            programs.push_back(std::move(program));
        }
        auto index = std::make_unique<TIndex>();
        const auto languages = in.Number<std::uint32_t>();
        for (std::uint32_t l = 0; in.Ok && l < languages; ++l)
            contents.Languages.push_back(in.Text());
        in.Array(index->PhraseRefs);
        in.Array(index->Slots);
        in.Array(index->HitStart);
        in.Array(index->Hits);
        in.Array(index->Lengths);
        in.Array(index->Counts);
        in.Array(index->LengthStart);
        in.Array(index->ByLength);
        index->GramMask = in.Number<std::uint32_t>();
        in.Array(index->GramStart);
        in.Array(index->Grams);
        if (!in.Ok || in.At != body.size() || !Holds(*index, programs, contents.Languages.size())) {
            contents = {};
            return false;
        }
        index->Phrases.reserve(index->PhraseRefs.size());
        for (const auto& ref : index->PhraseRefs)
            index->Phrases.push_back(programs[ref.Program].Reference->Phrase(ref.Entry));
        contents.Index = std::move(index);
        return true;
    }

    static std::string Write(const std::string& path, const std::string& referenceLanguage,
                             const std::vector<TProgram>& programs, const TIndex& index,
                             const std::vector<std::string>& languages) {
        TWriter out;
        out.Text(FoldedLanguageName(referenceLanguage));
        out.Number(static_cast<std::uint32_t>(programs.size()));
        for (const TProgram& program : programs) {
            out.Text(program.Name);
            out.Text(program.CataloguePath);
            out.Text(program.Reference->Path);
            out.Stamp(program.Reference->Stamp);
            out.Text(program.Reference->Text);
            out.Array(program.Reference->Entries);
            out.Number(static_cast<std::uint32_t>(program.Languages.size()));
            for (const auto& part : program.Languages) {
                out.Text(part->Language);
                out.Text(part->Path);
                out.Stamp(part->Stamp);
                out.Text(part->Text);
                out.Array(part->Pairs);
            }
            out.Array(program.LanguageIds);
        }
        out.Number(static_cast<std::uint32_t>(languages.size()));
        for (const std::string& language : languages)
            out.Text(language);
        out.Array(index.PhraseRefs);
        out.Array(index.Slots);
        out.Array(index.HitStart);
        out.Array(index.Hits);
        out.Array(index.Lengths);
        out.Array(index.Counts);
        out.Array(index.LengthStart);
        out.Array(index.ByLength);
        out.Number(index.GramMask);
        out.Array(index.GramStart);
        out.Array(index.Grams);
        TWriter file;
        file.Data.append(Magic, 4);
        file.Number(Version);
        file.Number(ByteOrder);
        file.Number(static_cast<std::uint64_t>(out.Data.size()));
        file.Number(CheckSum(out.Data));
        file.Data += out.Data;
        return platform::ReplaceFileBytes(path, file.Data);
    }
};

TTranslationMemory::TTranslationMemory() = default;
TTranslationMemory::~TTranslationMemory() = default;

void TTranslationMemory::BuildIndex() {
    auto index = std::make_unique<TIndex>();
    std::size_t entries = 0;
    std::size_t pairs = 0;
    for (const TProgram& program : FPrograms) {
        entries += program.Reference->Entries.size();
        for (const auto& part : program.Languages)
            pairs += part->Pairs.size();
    }
    std::size_t slots = 1024;
    while (slots < 2 * entries)
        slots *= 2;
    index->Slots.assign(slots, 0);

    // Each program's entries as phrase ids (numbered as first met for now);
    // the languages as ids.
    std::vector<std::vector<std::uint32_t>> phraseOf(FPrograms.size());
    for (std::size_t p = 0; p < FPrograms.size(); ++p) {
        TProgram& program = FPrograms[p];
        const TReferencePart& reference = *program.Reference;
        phraseOf[p].resize(reference.Entries.size());
        for (std::size_t e = 0; e < reference.Entries.size(); ++e)
            phraseOf[p][e] = index->Intern(reference.Phrase(e), {static_cast<std::uint32_t>(p),
                                                                 static_cast<std::uint32_t>(e)});
        program.LanguageIds.clear();
        for (const auto& part : program.Languages) {
            const std::string folded = FoldedLanguageName(part->Language);
            auto at = std::find(FLanguages.begin(), FLanguages.end(), folded);
            if (at == FLanguages.end())
                at = FLanguages.insert(FLanguages.end(), folded);
            program.LanguageIds.push_back(static_cast<std::uint32_t>(at - FLanguages.begin()));
        }
    }
    const std::size_t phrases = index->Phrases.size();

    // The phrases numbered anew from the shortest to the longest (in
    // characters, a placeholder as one), those translated nowhere last: the
    // trigram lists below then come out sorted by length, so that a lookup
    // takes only the lengths it can use.
    std::vector<std::uint32_t> hitCount(phrases, 0);
    for (std::size_t p = 0; p < FPrograms.size(); ++p)
        for (const auto& part : FPrograms[p].Languages)
            for (const auto& pair : part->Pairs)
                ++hitCount[phraseOf[p][pair.Entry]];
    std::vector<char32_t> units;
    std::vector<std::uint32_t> length(phrases, 0);
    std::uint32_t longest = 0;
    for (std::uint32_t id = 0; id < phrases; ++id)
        if (hitCount[id] != 0) {
            PhraseUnits(index->Phrases[id], units);
            length[id] = static_cast<std::uint32_t>(units.size());
            longest = std::max(longest, length[id]);
        }
    index->LengthStart.assign(longest + 2, 0);
    for (std::uint32_t id = 0; id < phrases; ++id)
        if (hitCount[id] != 0)
            ++index->LengthStart[length[id] + 1];
    for (std::size_t l = 0; l <= longest; ++l)
        index->LengthStart[l + 1] += index->LengthStart[l];
    const std::uint32_t translated = index->LengthStart.back();
    std::vector<std::uint32_t> renumbered(phrases);
    {
        std::vector<std::uint32_t> fill(index->LengthStart.begin(), index->LengthStart.end() - 1);
        std::uint32_t rest = translated;
        for (std::uint32_t id = 0; id < phrases; ++id)
            renumbered[id] = hitCount[id] != 0 ? fill[length[id]]++ : rest++;
    }
    {
        std::vector<std::string_view> phrasesByNumber(phrases);
        std::vector<TIndex::TPhraseRef> refs(phrases);
        std::vector<std::uint32_t> hits(phrases);
        for (std::uint32_t id = 0; id < phrases; ++id) {
            phrasesByNumber[renumbered[id]] = index->Phrases[id];
            refs[renumbered[id]] = index->PhraseRefs[id];
            hits[renumbered[id]] = hitCount[id];
        }
        index->Phrases = std::move(phrasesByNumber);
        index->PhraseRefs = std::move(refs);
        hitCount = std::move(hits);
        for (std::uint32_t& slot : index->Slots)
            if (slot != 0)
                slot = renumbered[slot - 1] + 1;
        for (auto& ids : phraseOf)
            for (std::uint32_t& id : ids)
                id = renumbered[id];
    }
    index->ByLength.resize(translated);
    for (std::uint32_t id = 0; id < translated; ++id)
        index->ByLength[id] = id;

    // Where each phrase is translated, grouped by phrase (counting sort).
    index->HitStart.assign(phrases + 1, 0);
    for (std::uint32_t id = 0; id < phrases; ++id)
        index->HitStart[id + 1] = index->HitStart[id] + hitCount[id];
    index->Hits.resize(pairs);
    {
        std::vector<std::uint32_t> fill(index->HitStart.begin(), index->HitStart.end() - 1);
        for (std::uint32_t p = 0; p < FPrograms.size(); ++p) {
            const TProgram& program = FPrograms[p];
            for (std::uint32_t l = 0; l < program.Languages.size(); ++l) {
                const auto& part = *program.Languages[l];
                for (std::uint32_t i = 0; i < part.Pairs.size(); ++i)
                    index->Hits[fill[phraseOf[p][part.Pairs[i].Entry]]++] = {
                        p, l, i, program.LanguageIds[l]};
            }
        }
    }

    // The lengths, character counts and trigrams of the translated phrases.
    // Few buckets keep the counting within the processor's cache; phrases
    // that share a bucket but no trigram only add candidates, never lose one.
    std::size_t buckets = 1024;
    while (buckets < translated / 8 && buckets < (1u << 14))
        buckets *= 2;
    index->GramMask = static_cast<std::uint32_t>(buckets - 1);
    index->GramStart.assign(buckets + 1, 0);
    index->Lengths.assign(phrases, 0);
    index->Counts.assign(phrases, TCharCounts{});
    std::vector<std::uint32_t> grams; // per phrase its trigrams, one after the other
    grams.reserve(entries * 24);
    for (std::uint32_t id = 0; id < translated; ++id) {
        PhraseUnits(index->Phrases[id], units);
        index->Lengths[id] = static_cast<std::uint32_t>(units.size());
        index->Counts[id] = CharCounts(units);
        for (std::size_t i = 0; i + 2 < units.size(); ++i) {
            grams.push_back(index->Gram(units, i));
            ++index->GramStart[grams.back() + 1];
        }
    }
    for (std::size_t b = 0; b < buckets; ++b)
        index->GramStart[b + 1] += index->GramStart[b];
    index->Grams.resize(grams.size());
    {
        std::vector<std::uint32_t> fill(index->GramStart.begin(), index->GramStart.end() - 1);
        std::size_t at = 0;
        for (std::uint32_t id = 0; id < translated; ++id) {
            const std::size_t count = index->Lengths[id] > 2 ? index->Lengths[id] - 2 : 0;
            for (const std::size_t end = at + count; at < end; ++at)
                index->Grams[fill[grams[at]]++] = id;
        }
    }
    FStats.Pairs = pairs;
    FIndex = std::move(index);
}

std::shared_ptr<const TTranslationMemory>
TTranslationMemory::Build(const TMemorySettings& settings) {
    std::shared_ptr<TTranslationMemory> memory(new TTranslationMemory);
    memory->FReferenceLanguage = settings.ReferenceLanguage;
    TMemoryStats& stats = memory->FStats;

    TMemoryCache::TContents cache;
    if (!settings.CachePath.empty() &&
        !TMemoryCache::Read(settings.CachePath, settings.ReferenceLanguage, cache))
        stats.CacheDamaged = true;
    const std::vector<TProgram>& cached = cache.Programs;
    std::unordered_map<std::string_view, const TProgram*> cachedByCatalogue;
    for (const TProgram& program : cached)
        cachedByCatalogue.emplace(program.CataloguePath, &program);

    const std::string reference = FoldedLanguageName(settings.ReferenceLanguage);
    for (const TMemorySource& source : settings.Sources) {
        TCatalogueContents catalogue;
        try {
            catalogue = ReadCatalogue(source.CataloguePath);
        } catch (const std::exception&) {
            catalogue = {};
        }
        const auto isReference = [&](const TCatalogueEntry& e) {
            return FoldedLanguageName(LanguageNameText(e.Name)) == reference;
        };
        const auto referenceEntry =
            std::find_if(catalogue.Entries.begin(), catalogue.Entries.end(), isReference);
        if (referenceEntry == catalogue.Entries.end()) {
            ++stats.SkippedPrograms;
            continue;
        }
        const auto hit = cachedByCatalogue.find(source.CataloguePath);
        const TProgram* old = hit == cachedByCatalogue.end() ? nullptr : hit->second;

        TProgram program;
        program.Name = source.Program;
        program.CataloguePath = source.CataloguePath;
        const TFileStamp referenceStamp = StampOf(referenceEntry->Path, settings.ShowAs);
        const bool referenceKept = old && old->Reference->Path == referenceEntry->Path &&
                                   old->Reference->Stamp == referenceStamp &&
                                   referenceStamp.Size >= 0;
        if (referenceKept) {
            program.Reference = old->Reference;
            ++stats.FilesFromCache;
        } else {
            if (referenceStamp.Size >= 0)
                program.Reference = ReadReference(referenceEntry->Path, referenceStamp);
            if (!program.Reference) {
                ++stats.SkippedPrograms;
                ++stats.SkippedFiles;
                continue;
            }
            ++stats.FilesRead;
        }
        std::optional<TKeyEntries> keys;
        for (const TCatalogueEntry& entry : catalogue.Entries) {
            if (&entry == &*referenceEntry || isReference(entry))
                continue;
            const TFileStamp stamp = StampOf(entry.Path, settings.ShowAs);
            std::shared_ptr<const TLanguagePart> part;
            if (referenceKept && stamp.Size >= 0)
                for (const auto& candidate : old->Languages)
                    if (candidate->Path == entry.Path && candidate->Stamp == stamp &&
                        candidate->Language == LanguageNameText(entry.Name))
                        part = candidate;
            if (part) {
                ++stats.FilesFromCache;
            } else {
                if (!keys)
                    keys = KeyEntries(*program.Reference);
                if (stamp.Size >= 0)
                    part = ReadLanguage(entry, stamp, *program.Reference, *keys);
                if (!part) {
                    ++stats.SkippedFiles;
                    continue;
                }
                ++stats.FilesRead;
            }
            program.Languages.push_back(std::move(part));
            ++stats.Files;
        }
        memory->FPrograms.push_back(std::move(program));
        ++stats.Programs;
    }
    // When every part comes from the cache, in the same order, the index
    // built from them comes from it too; otherwise both are made and the
    // cache is written anew.
    const auto same = [](const TProgram& a, const TProgram& b) {
        return a.Name == b.Name && a.CataloguePath == b.CataloguePath &&
               a.Reference == b.Reference && a.Languages == b.Languages;
    };
    const bool unchanged =
        cache.Index && std::equal(memory->FPrograms.begin(), memory->FPrograms.end(),
                                  cached.begin(), cached.end(), same);
    if (unchanged) {
        for (std::size_t p = 0; p < cached.size(); ++p)
            memory->FPrograms[p].LanguageIds = cached[p].LanguageIds;
        memory->FLanguages = std::move(cache.Languages);
        memory->FIndex = std::move(cache.Index);
        stats.Pairs = memory->FIndex->Hits.size();
        return memory;
    }
    memory->BuildIndex();
    if (!settings.CachePath.empty())
        stats.CacheError =
            TMemoryCache::Write(settings.CachePath, settings.ReferenceLanguage, memory->FPrograms,
                                *memory->FIndex, memory->FLanguages);
    return memory;
}

// ---------------------------------------------------------------------------
// Looking up

struct TTranslationMemory::TLookupHit {
    std::string_view Translation;
    const TIndex::THit* Hit;
};

std::optional<std::uint32_t> TTranslationMemory::LanguageId(std::string_view language) const {
    const std::string folded = FoldedLanguageName(LanguageNameText(language));
    const auto at = std::find(FLanguages.begin(), FLanguages.end(), folded);
    if (at == FLanguages.end())
        return std::nullopt;
    return static_cast<std::uint32_t>(at - FLanguages.begin());
}

namespace {
// Translations of one phrase grouped by their text, the one given most often
// first, then in the order they were found.
struct TGroup {
    std::string_view Translation;
    std::size_t Count;
    std::size_t First;
};

template <class Hits> std::vector<TGroup> Grouped(const Hits& hits) {
    std::vector<TGroup> groups;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        auto at = std::find_if(groups.begin(), groups.end(), [&](const TGroup& g) {
            return g.Translation == hits[i].Translation;
        });
        if (at == groups.end())
            groups.push_back({hits[i].Translation, 1, i});
        else
            ++at->Count;
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const TGroup& a, const TGroup& b) { return a.Count > b.Count; });
    return groups;
}

bool SamePlaceholders(std::string_view a, std::string_view b) {
    std::vector<TProblem> problems;
    const std::string lineA = "k=\"" + std::string(a) + "\"";
    const std::string lineB = "k=\"" + std::string(b) + "\"";
    const TKeyValueLine parsedA = ParseKeyValueLine(lineA);
    const TKeyValueLine parsedB = ParseKeyValueLine(lineB);
    for (const TProblem& p : CheckEntry(lineA, parsedA, lineB, &parsedB))
        if (p.Reason == TReason::PlaceholderMissing || p.Reason == TReason::PlaceholderExtra ||
            p.Reason == TReason::PlaceholderOrder)
            return false;
    return true;
}
} // namespace

std::vector<TTranslationMemory::TLookupHit>
TTranslationMemory::ExactHits(std::string_view phrase, std::uint32_t language,
                              std::string_view skipFile) const {
    std::vector<TLookupHit> hits;
    const std::optional<std::uint32_t> id = FIndex->Find(phrase);
    if (!id)
        return hits;
    for (std::uint32_t i = FIndex->HitStart[*id]; i < FIndex->HitStart[*id + 1]; ++i) {
        const TIndex::THit& hit = FIndex->Hits[i];
        if (hit.Language != language)
            continue;
        const TLanguagePart& part = *FPrograms[hit.Program].Languages[hit.Part];
        if (!skipFile.empty() && part.Path == skipFile)
            continue;
        hits.push_back({part.Translation(part.Pairs[hit.Pair]), &hit});
    }
    return hits;
}

std::optional<std::string> TTranslationMemory::ExactTranslation(std::string_view phrase,
                                                                std::string_view language,
                                                                std::string_view skipFile) const {
    const std::optional<std::uint32_t> id = LanguageId(language);
    if (!id || phrase.empty())
        return std::nullopt;
    const std::vector<TLookupHit> hits = ExactHits(phrase, *id, skipFile);
    if (hits.empty())
        return std::nullopt;
    return std::string(Grouped(hits).front().Translation);
}

std::vector<TSuggestion> TTranslationMemory::Lookup(std::string_view phrase,
                                                    std::string_view language,
                                                    std::string_view skipFile) const {
    std::vector<TSuggestion> out;
    const std::optional<std::uint32_t> languageId = LanguageId(language);
    if (!languageId || phrase.empty())
        return out;
    const auto add = [&](const std::vector<TLookupHit>& hits, int similarity) {
        for (const TGroup& group : Grouped(hits)) {
            if (out.size() >= MaxSuggestions)
                return;
            if (std::any_of(out.begin(), out.end(), [&](const TSuggestion& s) {
                    return s.Translation == group.Translation;
                }))
                continue;
            const TIndex::THit& hit = *hits[group.First].Hit;
            const TProgram& program = FPrograms[hit.Program];
            const TLanguagePart& part = *program.Languages[hit.Part];
            TSuggestion s;
            s.Translation = std::string(group.Translation);
            s.Reference = std::string(program.Reference->Phrase(part.Pairs[hit.Pair].Entry));
            s.Program = program.Name;
            s.Key = std::string(program.Reference->Key(part.Pairs[hit.Pair].Entry));
            s.Similarity = similarity;
            s.Sources = group.Count;
            if (similarity < 100) {
                s.DifferingWords = DifferingWords(phrase, s.Reference);
                s.PlaceholdersDiffer = !SamePlaceholders(phrase, s.Reference);
            }
            out.push_back(std::move(s));
        }
    };
    add(ExactHits(phrase, *languageId, skipFile), 100);
    if (out.size() >= MaxSuggestions)
        return out;

    // Close matches: the phrases whose length allows the similarity, found
    // through the trigrams they share where the count of those can rule
    // phrases out, and by their length alone where it cannot.
    const TIndex& index = *FIndex;
    std::vector<char32_t> units;
    PhraseUnits(phrase, units);
    const std::size_t n = units.size();
    const std::size_t lowest = (3 * n + 3) / 4;
    const std::size_t highest = std::min<std::size_t>(4 * n / 3, index.LengthStart.size() - 2);
    const auto needed = [n](std::size_t m) -> long {
        const std::size_t longer = std::max(n, m);
        return static_cast<long>(longer) - 2 - 3 * static_cast<long>(AllowedDistance(longer));
    };
    std::vector<std::uint32_t> candidates;
    bool countGrams = false;
    for (std::size_t m = lowest; m <= highest; ++m) {
        if (AllowedDistance(std::max(n, m)) == 0)
            continue;
        if (needed(m) > 0) {
            countGrams = true;
            continue;
        }
        for (std::uint32_t i = index.LengthStart[m]; i < index.LengthStart[m + 1]; ++i)
            candidates.push_back(index.ByLength[i]);
    }
    if (countGrams && n >= 3) {
        thread_local std::vector<std::uint32_t> counts;
        counts.resize(index.Phrases.size());
        std::vector<std::uint32_t> touched;
        std::vector<std::uint32_t> grams;
        for (std::size_t i = 0; i + 2 < n; ++i)
            grams.push_back(index.Gram(units, i));
        std::sort(grams.begin(), grams.end());
        grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
        for (const std::uint32_t gram : grams) {
            const auto first = index.Grams.begin() + index.GramStart[gram];
            const auto last = index.Grams.begin() + index.GramStart[gram + 1];
            const auto from = std::partition_point(
                first, last, [&](std::uint32_t id) { return index.Lengths[id] < lowest; });
            const auto to = std::partition_point(
                from, last, [&](std::uint32_t id) { return index.Lengths[id] <= highest; });
            for (auto it = from; it != to; ++it)
                if (counts[*it]++ == 0)
                    touched.push_back(*it);
        }
        for (const std::uint32_t id : touched) {
            const std::size_t m = index.Lengths[id];
            if (m >= lowest && m <= highest && AllowedDistance(std::max(n, m)) > 0 &&
                needed(m) > 0 && static_cast<long>(counts[id]) >= needed(m))
                candidates.push_back(id);
            counts[id] = 0;
        }
    }
    struct TClose {
        std::uint32_t Id;
        int Similarity;
    };
    std::vector<TClose> close;
    std::vector<char32_t> other;
    std::optional<TBitPattern> pattern;
    if (TBitPattern::Fits(n))
        pattern.emplace(units);
    const TCharCounts queryCounts = CharCounts(units);
    for (const std::uint32_t id : candidates) {
        const std::size_t longer = std::max<std::size_t>(n, index.Lengths[id]);
        if (DistanceAtLeast(queryCounts, index.Counts[id]) > AllowedDistance(longer) ||
            index.Phrases[id] == phrase)
            continue;
        PhraseUnits(index.Phrases[id], other);
        const std::size_t distance = pattern ? pattern->Distance(other)
                                             : EditDistance(units, other, AllowedDistance(longer));
        if (distance <= AllowedDistance(longer))
            close.push_back({id, SimilarityOf(distance, longer)});
    }
    std::sort(close.begin(), close.end(), [](const TClose& a, const TClose& b) {
        return a.Similarity != b.Similarity ? a.Similarity > b.Similarity : a.Id < b.Id;
    });
    for (const TClose& c : close) {
        if (out.size() >= MaxSuggestions)
            break;
        add(ExactHits(index.Phrases[c.Id], *languageId, skipFile), c.Similarity);
    }
    return out;
}

// ---------------------------------------------------------------------------

int PhraseSimilarity(std::string_view a, std::string_view b) {
    std::vector<char32_t> ua, ub;
    PhraseUnits(a, ua);
    PhraseUnits(b, ub);
    const std::size_t longer = std::max(ua.size(), ub.size());
    return SimilarityOf(EditDistance(ua, ub, longer), longer);
}

std::vector<TTextRange> DifferingWords(std::string_view a, std::string_view b) {
    const std::vector<TToken> ta = Tokens(a);
    const std::vector<TToken> tb = Tokens(b);
    const auto text = [](std::string_view s, const TToken& t) {
        return s.substr(t.Begin, t.End - t.Begin);
    };
    // The longest common sequence of tokens, worked out from the back.
    const std::size_t n = ta.size();
    const std::size_t m = tb.size();
    std::vector<std::uint32_t> table((n + 1) * (m + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& {
        return table[i * (m + 1) + j];
    };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) = text(a, ta[i]) == text(b, tb[j]) ? at(i + 1, j + 1) + 1
                                                        : std::max(at(i + 1, j), at(i, j + 1));
    std::vector<TTextRange> differing;
    std::size_t i = 0;
    std::size_t j = 0;
    while (j < m) {
        if (i < n && text(a, ta[i]) == text(b, tb[j])) {
            ++i;
            ++j;
        } else if (i < n && at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            differing.push_back({tb[j].Begin, tb[j].End});
            ++j;
        }
    }
    return differing;
}

// ---------------------------------------------------------------------------

std::vector<TMemorySource> SavedCopySources(const std::string& dataFolder) {
    std::vector<TMemorySource> sources;
    platform::Platform& os = platform::Get();
    const std::string root =
        platform::IncludeTrailingDelimiter(dataFolder) + "Translations" + platform::PathDelim;
    std::vector<std::string> programs = os.ListFolder(root);
    std::sort(programs.begin(), programs.end());
    for (const std::string& program : programs) {
        if (program == "." || program == "..")
            continue;
        const std::string folder = root + program + platform::PathDelim;
        std::vector<std::string> files = os.ListFolder(folder);
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) {
            const std::string path = folder + file;
            if (file.size() < 5 || file.substr(file.size() - 4) != ".ini" || !os.FileExists(path))
                continue;
            // A catalogue is small and lists its files; a translation lists none.
            std::string bytes;
            if (platform::FileSize(path) > (1 << 20) || !platform::ReadFileBytes(path, bytes) ||
                bytes.find("LanguageFile") == std::string::npos)
                continue;
            if (!ReadCatalogue(path).Entries.empty())
                sources.push_back({program, path});
        }
    }
    return sources;
}

// ---------------------------------------------------------------------------

TMemoryBuilder::~TMemoryBuilder() {
    Wait();
}

void TMemoryBuilder::Start(TMemorySettings settings) {
    Wait();
    FReady = false;
    FWorker = std::thread([this, settings = std::move(settings)] {
        std::shared_ptr<const TTranslationMemory> memory;
        try {
            memory = TTranslationMemory::Build(settings);
        } catch (...) {
            // Out of memory or the like: the memory stays as it was.
        }
        if (memory) {
            const std::lock_guard<std::mutex> lock(FMutex);
            FMemory = std::move(memory);
        }
        FReady = true;
    });
}

std::shared_ptr<const TTranslationMemory> TMemoryBuilder::Snapshot() const {
    const std::lock_guard<std::mutex> lock(FMutex);
    return FMemory;
}

void TMemoryBuilder::Wait() {
    if (FWorker.joinable())
        FWorker.join();
}
