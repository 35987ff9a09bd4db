// The reference translation a translation is checked against and shown beside:
// another translation of the same program, read once and never edited.
#pragma once

#include "initfile/KeyValueLine.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TReferenceText {
public:
    // `text` as shown: UTF-8, whatever the file's own encoding, less than
    // 4 GiB (a larger one throws std::length_error).
    explicit TReferenceText(std::string text);
    // The same for text kept by `owner` (a file's bytes as they were read),
    // which the reference holds on to instead of a copy.
    TReferenceText(std::string_view text, std::shared_ptr<const void> owner);
    TReferenceText(const TReferenceText&) = delete;
    TReferenceText& operator=(const TReferenceText&) = delete;

    std::size_t LineCount() const { return FLines.size(); }
    std::string_view Line(std::size_t line) const {
        return FText.substr(FLines[line].Begin, FLines[line].Length);
    }
    TKeyValueLine Parsed(std::size_t line) const;
    std::string_view Key(std::size_t line) const {
        const TLine& l = FLines[line];
        if (l.KeyBegin == LongLine) [[unlikely]]
            return FLongLines.at(static_cast<std::uint32_t>(line)).Key(Line(line));
        return FText.substr(l.Begin + l.KeyBegin, l.KeyEnd - l.KeyBegin);
    }
    std::string_view Phrase(std::size_t line) const {
        const TLine& l = FLines[line];
        if (l.KeyBegin == LongLine) [[unlikely]]
            return FLongLines.at(static_cast<std::uint32_t>(line)).Value(Line(line));
        return FText.substr(l.Begin + l.ValueBegin, l.ValueEnd - l.ValueBegin);
    }

    // The line of the first entry with `key`: the one a program reads.
    std::optional<std::size_t> LineOfKey(std::string_view key) const;
    // Whether `line` is the first entry of its key.
    bool IsFirstOfKey(std::size_t line) const { return FFirstOfKey[line]; }

    // The keys, numbered from 0 in the order of their first entries.
    static constexpr std::uint32_t NoKey = UINT32_MAX;
    std::size_t KeyCount() const { return FKeyLines.size(); }
    // The number of `key` (NoKey: the reference lacks it).
    std::uint32_t KeyNumber(std::string_view key) const;
    // The line of the first entry of key number `key`.
    std::size_t KeyLine(std::uint32_t key) const { return FKeyLines[key]; }

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
    // A line read: where it is in the text (32 bits: a text of 4 GiB or more
    // throws std::length_error) and what it holds, by offsets into the line
    // in 16 bits, so that a reference of a million lines keeps them in 20 MB.
    // A line of 64 KiB or more has LongLine there and is kept whole in
    // FLongLines.
    static constexpr std::uint16_t LongLine = UINT16_MAX;
    struct TLine {
        std::uint32_t Begin = 0;
        std::uint32_t Length = 0;
        TLineKind Kind = TLineKind::Blank;
        TQuoting Quoting = TQuoting::None;
        std::uint16_t KeyBegin = 0;
        std::uint16_t KeyEnd = 0;
        std::uint16_t ValueBegin = 0;
        std::uint16_t ValueEnd = 0;
        std::uint16_t Quotes = 0;
    };
    void Index();

    std::string FOwnText;
    std::shared_ptr<const void> FOwner;
    std::string_view FText; // FOwnText's or FOwner's
    std::vector<TLine> FLines;
    std::unordered_map<std::uint32_t, TKeyValueLine> FLongLines;
    // The first line of each key by number, and the numbers in a table of
    // open addressing at most half full, each beside a part of its key's hash
    // (so that a probe seldom compares keys): two allocations however many
    // keys there are, and no copy of a key.
    struct TSlot {
        std::uint32_t Key = NoKey;
        std::uint32_t Tag = 0;
    };
    std::vector<std::uint32_t> FKeyLines;
    std::vector<TSlot> FKeySlots;
    std::vector<bool> FFirstOfKey;
    std::vector<std::uint32_t> FPhraseGroups;
    std::size_t FPhraseGroupCount = 0;
    std::unordered_set<std::string_view> FOtherLines;
};
