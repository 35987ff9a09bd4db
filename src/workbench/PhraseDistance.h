// The measures the memory of translations works with: a fast hash of bytes,
// a phrase as a sequence of characters (each placeholder one of them), the
// edit distance of two such sequences (banded, or bit-parallel for short
// ones), a cheap lower bound of it, and the words of a phrase for marking
// what differs between two.
#pragma once
#include "workbench/TextRange.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace phrase_distance {

// A fast hash of bytes, 8 at a time (for the phrase table, the trigram
// buckets and the cache's check sum).
inline std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return h;
}

inline std::uint64_t HashBytes(std::string_view s, std::uint64_t seed = 0x9E3779B97F4A7C15ULL) {
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

// A placeholder's stand-in: past the last code point, so no letter equals it.
constexpr char32_t PlaceholderBase = 0x110000;

struct TPlaceholderSpan {
    std::size_t Begin, End;
};

std::vector<TPlaceholderSpan> PlaceholderSpans(std::string_view phrase);

// The characters of a phrase, each placeholder as one stand-in above every
// code point.
void PhraseUnits(std::string_view phrase, std::vector<char32_t>& units);

// The edit distance of a and b, or limit + 1 when it is more than `limit`:
// only the band of cells within `limit` of the diagonal is worked out.
std::size_t EditDistance(const std::vector<char32_t>& a, const std::vector<char32_t>& b,
                         std::size_t limit);

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

TCharCounts CharCounts(const std::vector<char32_t>& units);

inline std::size_t DistanceAtLeast(const TCharCounts& a, const TCharCounts& b) {
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

inline int SimilarityOf(std::size_t distance, std::size_t longer) {
    if (longer == 0)
        return 100;
    return static_cast<int>(100 * (longer - std::min(distance, longer)) / longer);
}

struct TToken {
    std::size_t Begin, End;
};

// Words, placeholders and every other mark that is not a blank.
std::vector<TToken> Tokens(std::string_view s);

} // namespace phrase_distance

// The similarity of two phrases in percent: 100 × (1 − d / n), where d is the
// number of characters to insert, delete or replace to turn one into the
// other and n the length of the longer; a placeholder counts as one
// character. Rounded down; 100 only for equal phrases.
int PhraseSimilarity(std::string_view a, std::string_view b);

// The words of `b` (words, placeholders and single marks) that are not in `a`
// at the same place of the two phrases' common sequence of words.
std::vector<TTextRange> DifferingWords(std::string_view a, std::string_view b);
