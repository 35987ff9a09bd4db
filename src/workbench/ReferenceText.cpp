#include "workbench/ReferenceText.h"

TReferenceText::TReferenceText(std::string text) : FText(std::move(text)) {
    ForEachLine(FText, [this](std::string_view line) {
        FLines.push_back({line, ParseKeyValueLine(line)});
    });
    for (std::size_t i = 0; i < FLines.size(); ++i)
        if (FLines[i].Parsed.IsEntry())
            FFirstLineOfKey.try_emplace(Key(i), i);
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
