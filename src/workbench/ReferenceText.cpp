#include "workbench/ReferenceText.h"

#include <cstdint>

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
} // namespace

TReferenceText::TReferenceText(std::string text) : FText(std::move(text)) {
    ForEachLine(FText, [this](std::string_view line) {
        FLines.push_back({line, ParseKeyValueLine(line)});
    });
    FPhraseGroups.assign(FLines.size(), NoGroup);
    // The first line of each phrase, in a table of open addressing at most
    // half full: one allocation however many phrases there are.
    constexpr std::size_t Empty = SIZE_MAX;
    std::size_t capacity = 16;
    while (capacity < 2 * FLines.size())
        capacity *= 2;
    std::vector<std::size_t> firstWithPhrase(capacity, Empty);
    for (std::size_t i = 0; i < FLines.size(); ++i) {
        const TKeyValueLine& parsed = FLines[i].Parsed;
        if (parsed.Kind == TLineKind::Other)
            FOtherLines.insert(FLines[i].Text);
        if (!parsed.IsEntry() || !FFirstLineOfKey.try_emplace(Key(i), i).second ||
            parsed.Quoting == TQuoting::None || !HasWords(Phrase(i)))
            continue;
        std::size_t slot = std::hash<std::string_view>()(Phrase(i)) & (capacity - 1);
        while (firstWithPhrase[slot] != Empty && Phrase(firstWithPhrase[slot]) != Phrase(i))
            slot = (slot + 1) & (capacity - 1);
        if (firstWithPhrase[slot] == Empty) {
            firstWithPhrase[slot] = i;
            continue;
        }
        std::uint32_t& group = FPhraseGroups[firstWithPhrase[slot]];
        if (group == NoGroup)
            group = static_cast<std::uint32_t>(FPhraseGroupCount++);
        FPhraseGroups[i] = group;
    }
}

std::optional<std::size_t> TReferenceText::LineOfKey(std::string_view key) const {
    const auto hit = FFirstLineOfKey.find(key);
    if (hit == FFirstLineOfKey.end())
        return std::nullopt;
    return hit->second;
}

bool TReferenceText::IsFirstOfKey(std::size_t line) const {
    return Parsed(line).IsEntry() && LineOfKey(Key(line)) == line;
}
