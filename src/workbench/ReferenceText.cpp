#include "workbench/ReferenceText.h"

#include <cstdint>
#include <functional>
#include <stdexcept>

namespace {
// Whether a phrase holds two letters or more (a letter beyond ASCII counted
// by its first byte). A phrase of one letter, such as an access key of its
// own, or of signs only is rightly translated in more than one way.
bool HasWords(std::string_view phrase) {
    int letters = 0;
    for (char c : phrase) {
        const auto b = static_cast<unsigned char>(c);
        letters += (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b >= 0xC0;
        if (letters >= 2)
            return true;
    }
    return false;
}

// Asks for the cache line at `p` ahead of its use.
inline void Prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// The smallest power of two at least 4/3 of `count`: a table of open
// addressing that size stays at most three quarters full.
std::size_t TableSize(std::size_t count) {
    std::size_t capacity = 16;
    while (capacity < count + count / 3)
        capacity *= 2;
    return capacity;
}
} // namespace

TReferenceText::TReferenceText(std::string text) : FOwnText(std::move(text)), FText(FOwnText) {
    Index();
}

TReferenceText::TReferenceText(std::string_view text, std::shared_ptr<const void> owner)
    : FOwner(std::move(owner)), FText(text) {
    Index();
}

void TReferenceText::Index() {
    if (FText.size() >= UINT32_MAX)
        throw std::length_error("TReferenceText: a text of 4 GiB or more");
    std::size_t entries = 0;
    FLines.reserve(CountLines(FText));
    ForEachLine(FText, [&](std::string_view line) {
        const TKeyValueLine parsed = ParseKeyValueLine(line);
        const auto u32 = [](std::size_t n) { return static_cast<std::uint32_t>(n); };
        const auto u16 = [](std::size_t n) { return static_cast<std::uint16_t>(n); };
        // Every offset into the line is at most its length.
        if (line.size() >= LongLine) {
            FLongLines.emplace(u32(FLines.size()), parsed);
            FLines.push_back({u32(line.data() - FText.data()), u32(line.size()), parsed.Kind,
                              parsed.Quoting, LongLine});
        } else {
            FLines.push_back({u32(line.data() - FText.data()), u32(line.size()), parsed.Kind,
                              parsed.Quoting, u16(parsed.KeyBegin), u16(parsed.KeyEnd),
                              u16(parsed.ValueBegin), u16(parsed.ValueEnd), u16(parsed.Quotes)});
        }
        entries += parsed.IsEntry();
    });
    FPhraseGroups.assign(FLines.size(), NoGroup);
    FFirstOfKey.assign(FLines.size(), false);
    FKeyLines.reserve(entries);
    const std::size_t keyMask = TableSize(entries) - 1;
    FKeySlots.assign(keyMask + 1, TSlot{});
    // The first line of each phrase (in the slot's Key), in a table of the
    // same kind.
    const std::size_t phraseMask = TableSize(entries) - 1;
    std::vector<TSlot> firstWithPhrase(phraseMask + 1);
    // Both tables are far larger than the processor's caches, and nearly
    // every probe would wait for memory: the hashes of the lines a little
    // ahead are taken first and their slots fetched meanwhile.
    constexpr std::size_t Ahead = 16;
    struct THashes {
        std::size_t Key = 0;
        std::size_t Phrase = 0;
        bool HasPhrase = false;
    } ahead[Ahead];
    const auto look = [&](std::size_t i) {
        if (i >= FLines.size() || FLines[i].Kind != TLineKind::Entry)
            return;
        THashes& h = ahead[i % Ahead];
        h.Key = std::hash<std::string_view>()(Key(i));
        Prefetch(&FKeySlots[h.Key & keyMask]);
        h.HasPhrase = FLines[i].Quoting != TQuoting::None && HasWords(Phrase(i));
        if (h.HasPhrase) {
            h.Phrase = std::hash<std::string_view>()(Phrase(i));
            Prefetch(&firstWithPhrase[h.Phrase & phraseMask]);
        }
    };
    for (std::size_t i = 0; i < Ahead; ++i)
        look(i);
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const TLine& parsed = FLines[i];
        const THashes hashes = ahead[i % Ahead];
        look(i + Ahead);
        if (parsed.Kind == TLineKind::Other)
            FOtherLines.insert(Line(i));
        if (parsed.Kind != TLineKind::Entry)
            continue;
        const std::string_view key = Key(i);
        const std::size_t hash = hashes.Key;
        const auto tag = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
        std::size_t slot = hash & keyMask;
        bool seen = false;
        for (; FKeySlots[slot].Key != NoKey; slot = (slot + 1) & keyMask) {
            const TSlot& s = FKeySlots[slot];
            if (s.Tag == tag && Key(FKeyLines[s.Key]) == key) {
                seen = true;
                break;
            }
        }
        if (seen)
            continue;
        FKeySlots[slot] = {static_cast<std::uint32_t>(FKeyLines.size()), tag};
        FKeyLines.push_back(static_cast<std::uint32_t>(i));
        FFirstOfKey[i] = true;
        if (!hashes.HasPhrase)
            continue;
        const std::string_view phrase = Phrase(i);
        const std::size_t phraseHash = hashes.Phrase;
        const auto phraseTag =
            static_cast<std::uint32_t>(static_cast<std::uint64_t>(phraseHash) >> 32);
        std::size_t phraseSlot = phraseHash & phraseMask;
        while (firstWithPhrase[phraseSlot].Key != NoKey &&
               (firstWithPhrase[phraseSlot].Tag != phraseTag ||
                Phrase(firstWithPhrase[phraseSlot].Key) != phrase))
            phraseSlot = (phraseSlot + 1) & phraseMask;
        if (firstWithPhrase[phraseSlot].Key == NoKey) {
            firstWithPhrase[phraseSlot] = {static_cast<std::uint32_t>(i), phraseTag};
            continue;
        }
        std::uint32_t& group = FPhraseGroups[firstWithPhrase[phraseSlot].Key];
        if (group == NoGroup)
            group = static_cast<std::uint32_t>(FPhraseGroupCount++);
        FPhraseGroups[i] = group;
    }
}

TKeyValueLine TReferenceText::Parsed(std::size_t line) const {
    const TLine& l = FLines[line];
    if (l.KeyBegin == LongLine)
        return FLongLines.at(static_cast<std::uint32_t>(line));
    TKeyValueLine parsed;
    parsed.Kind = l.Kind;
    parsed.Quoting = l.Quoting;
    parsed.KeyBegin = l.KeyBegin;
    parsed.KeyEnd = l.KeyEnd;
    parsed.ValueBegin = l.ValueBegin;
    parsed.ValueEnd = l.ValueEnd;
    parsed.Quotes = l.Quotes;
    return parsed;
}

std::uint32_t TReferenceText::KeyNumber(std::string_view key) const {
    const std::size_t mask = FKeySlots.size() - 1;
    const std::size_t hash = std::hash<std::string_view>()(key);
    const auto tag = static_cast<std::uint32_t>(static_cast<std::uint64_t>(hash) >> 32);
    for (std::size_t slot = hash & mask; FKeySlots[slot].Key != NoKey; slot = (slot + 1) & mask) {
        const TSlot& s = FKeySlots[slot];
        if (s.Tag == tag && Key(FKeyLines[s.Key]) == key)
            return s.Key;
    }
    return NoKey;
}

std::optional<std::size_t> TReferenceText::LineOfKey(std::string_view key) const {
    const std::uint32_t number = KeyNumber(key);
    if (number == NoKey)
        return std::nullopt;
    return FKeyLines[number];
}
