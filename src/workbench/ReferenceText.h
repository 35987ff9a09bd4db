// The reference translation a translation is checked against and shown beside:
// another translation of the same program, read once and never edited.
#pragma once

#include "initfile/KeyValueLine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TReferenceText {
public:
    // `text` as shown: UTF-8, whatever the file's own encoding.
    explicit TReferenceText(std::string text);
    TReferenceText(const TReferenceText&) = delete;
    TReferenceText& operator=(const TReferenceText&) = delete;

    std::size_t LineCount() const { return FLines.size(); }
    std::string_view Line(std::size_t line) const { return FLines[line].Text; }
    const TKeyValueLine& Parsed(std::size_t line) const { return FLines[line].Parsed; }
    std::string_view Key(std::size_t line) const { return Parsed(line).Key(Line(line)); }
    std::string_view Phrase(std::size_t line) const { return Parsed(line).Value(Line(line)); }

    // The line of the first entry with `key`: the one a program reads.
    std::optional<std::size_t> LineOfKey(std::string_view key) const;
    // Whether `line` is the first entry of its key.
    bool IsFirstOfKey(std::size_t line) const;

    // Keys that share a phrase: the first entries of keys whose quoted phrase
    // holds words (two letters or more) and is the same as another such
    // entry's have a group number, the same for the same phrase (from 0);
    // every other line has NoGroup.
    static constexpr std::uint32_t NoGroup = UINT32_MAX;
    std::uint32_t PhraseGroup(std::size_t line) const { return FPhraseGroups[line]; }
    std::size_t PhraseGroupCount() const { return FPhraseGroupCount; }

    // Whether the reference holds this line, and it is neither an entry, a
    // section, a comment nor blank.
    bool HasOtherLine(std::string_view line) const { return FOtherLines.contains(line); }

private:
    struct TLine {
        std::string_view Text;
        TKeyValueLine Parsed;
    };
    std::string FText;
    std::vector<TLine> FLines;
    std::unordered_map<std::string_view, std::size_t> FFirstLineOfKey;
    std::vector<std::uint32_t> FPhraseGroups;
    std::size_t FPhraseGroupCount = 0;
    std::unordered_set<std::string_view> FOtherLines;
};
