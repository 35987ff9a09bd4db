// The checks of a translation line against the reference line of its key.
// Each problem carries a reason and the parameters its message needs; the
// messages themselves come from the interface language files, looked up by the
// reason's name.
#pragma once

#include "initfile/KeyValueLine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TReason : std::uint8_t {
    NotQuoted,          // the value is not in double quotes (the reference's is)
    OddQuotes,          // the value holds an odd number of double quotes; {count}
    PlaceholderMissing, // placeholders of the reference that the phrase lacks; {list}
    PlaceholderExtra,   // placeholders the reference does not have; {list}
    PlaceholderOrder,   // the same %s-style placeholders in another order; {expected, found}
    LeadingBlanks,      // the blanks before the phrase differ; {expected, found}
    TrailingBlanks,     // the blanks after the phrase differ; {expected, found}
    LineBreaks,         // line breaks escaped differently; {expected forms, found forms}
    KeyNotInReference,  // the reference has no such key; {key}
    DuplicateKey,       // the key is on an earlier line, the one read; {its number, from 1}
    MissingKey,         // a key of the reference the translation lacks; {key}
};
// How many reasons there are; TReason(0) to TReason(ReasonCount - 1) are all of them.
constexpr std::size_t ReasonCount = static_cast<std::size_t>(TReason::MissingKey) + 1;

// "NotQuoted", "OddQuotes", ...: the stable name of a reason, for the keys of
// its message in the language files.
std::string_view ReasonName(TReason reason);
// The reason's message in English, with %1 and %2 for its parameters.
std::string_view ReasonDefaultText(TReason reason);

struct TProblem {
    TReason Reason;
    // Lists are joined by single blanks; blanks are given as they are.
    std::vector<std::string> Params;
    bool operator==(const TProblem&) const = default;
};

// A placeholder of a phrase: "%s", "%d", "%.2f", "%0:s" (Delphi's Format),
// "%1" ... "%99" and "{0}", "{1:N2}" ... . Sequential placeholders (those of
// Format without an index) take their values in order, so their order is part
// of the phrase; the others name their value and may move.
struct TPlaceholder {
    std::string_view Text; // a part of the phrase searched
    bool Sequential;
    bool operator==(const TPlaceholder&) const = default;
};
std::vector<TPlaceholder> FindPlaceholders(std::string_view phrase);

// The escaped line breaks of a phrase in the order they occur: "\n", "\r",
// "\r\n", "#13", "#10", "#13#10" and "<br>" (any case, "<br/>" and "<br />"
// too, all given as "<br>").
std::vector<std::string> FindLineBreaks(std::string_view phrase);

// The problems of one entry line found by its text and the reference line of
// its key (`reference` null when the reference has no such key or there is no
// reference). The key checks (duplicates, keys the reference lacks) need the
// whole text and are not made here.
std::vector<TProblem> CheckEntry(std::string_view line, const TKeyValueLine& parsed,
                                 std::string_view referenceLine, const TKeyValueLine* reference);

// Whether an entry counts as translated: its phrase is quoted, not empty and
// not the reference's phrase for the key (`reference` as above).
bool IsTranslated(std::string_view line, const TKeyValueLine& parsed,
                  std::string_view referenceLine, const TKeyValueLine* reference);
