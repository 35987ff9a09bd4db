// The checks of a translation line against the reference line of its key.
// Each problem carries a reason and the parameters its message needs; the
// messages themselves come from the interface language files, looked up by the
// reason's name.
#pragma once

#include "initfile/KeyValueLine.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TReason : std::uint8_t {
    NotQuoted,           // the value is not in double quotes (the reference's is)
    OddQuotes,           // the value holds an odd number of double quotes; {count}
    PlaceholderMissing,  // placeholders of the reference that the phrase lacks; {list}
    PlaceholderExtra,    // placeholders the reference does not have; {list}
    PlaceholderOrder,    // the same %s-style placeholders in another order; {expected, found}
    LeadingBlanks,       // the blanks before the phrase differ; {expected, found}
    TrailingBlanks,      // the blanks after the phrase differ; {expected, found}
    LineBreaks,          // line breaks escaped differently; {expected forms, found forms}
    KeyNotInReference,   // the reference has no such key; {key}
    DuplicateKey,        // the key is on an earlier line, the one read; {its number, from 1}
    MissingKey,          // a key of the reference the translation lacks; {key}
    TextAfterQuote,      // text after the value's closing quote; {that text}
    NotAnEntry,          // neither an entry, a section, a comment nor blank
    TrailingPunctuation, // the punctuation that ends the phrase differs; {expected, found}
    AccessKeyMissing,    // the reference has an access key ("&"), the phrase none
    AccessKeyExtra,      // the phrase has an access key, the reference none
    AccessKeyTwice,      // more than one access key; {count}
    Tabs,                // tabs differ (a tab given as "→"); {expected, found}
    DoubleSpace,         // two blanks in a row, where the reference has none
    DoubledWord,         // a word written twice in a row; {word}
    TranslatedTwoWays,   // another key of the same reference phrase reads
                         // otherwise; {its line, from 1}
    LongPhrase,          // much longer than the reference's; {its characters, ours}
};
// How many reasons there are; TReason(0) to TReason(ReasonCount - 1) are all of them.
constexpr std::size_t ReasonCount = static_cast<std::size_t>(TReason::LongPhrase) + 1;

// "NotQuoted", "OddQuotes", ...: the stable name of a reason, for the keys of
// its message in the language files.
std::string_view ReasonName(TReason reason);
// The reason's message in English, with %1 and %2 for its parameters.
std::string_view ReasonDefaultText(TReason reason);

// The checks a translator may switch off; the others always run.
enum class TCheck : std::uint8_t {
    TrailingPunctuation,
    AccessKey,
    Tabs,
    DoubleSpace,
    DoubledWord,
    TranslatedTwoWays,
    LongPhrase,
};
constexpr std::size_t CheckCount = static_cast<std::size_t>(TCheck::LongPhrase) + 1;
// "TrailingPunctuation", "AccessKey", ...: the stable name of a check, for the
// choices file and the keys of its caption in the language files.
std::string_view CheckName(TCheck check);
std::optional<TCheck> CheckFromName(std::string_view name);
// The check's caption in English ("Punctuation at the end", ...).
std::string_view CheckDefaultCaption(TCheck check);
// The check that finds the reason, none for a reason that is always looked for.
std::optional<TCheck> CheckOfReason(TReason reason);

// The checks switched on.
class TCheckSet {
public:
    static TCheckSet All() { return TCheckSet((1u << CheckCount) - 1); }
    static TCheckSet None() { return TCheckSet(0); }
    bool Has(TCheck check) const { return (FBits & Bit(check)) != 0; }
    void Set(TCheck check, bool on) { FBits = on ? FBits | Bit(check) : FBits & ~Bit(check); }
    // Whether problems of this reason are reported.
    bool Reports(TReason reason) const {
        const std::optional<TCheck> check = CheckOfReason(reason);
        return !check || Has(*check);
    }
    bool operator==(const TCheckSet&) const = default;

private:
    explicit TCheckSet(std::uint32_t bits) : FBits(bits) {}
    static std::uint32_t Bit(TCheck check) { return 1u << static_cast<unsigned>(check); }
    std::uint32_t FBits;
};

struct TProblem {
    TReason Reason;
    // Lists are joined by single blanks; blanks are given as they are.
    std::vector<std::string> Params;
    bool operator==(const TProblem&) const = default;
};

// The problem's message: `text` (the reason's message in some language, UTF-8)
// with %1 and %2 replaced by its parameters in one pass. Where blanks are the
// subject, a blank is shown as "·" and a tab as "→"; an empty parameter of
// any other reason is shown as "–".
std::string ProblemMessage(std::string_view text, const TProblem& problem);

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
// reference), every check included: the caller leaves out the reasons of the
// checks switched off. The checks that need the whole text (duplicate keys,
// keys the reference lacks, one phrase translated two ways) are not made here.
std::vector<TProblem> CheckEntry(std::string_view line, const TKeyValueLine& parsed,
                                 std::string_view referenceLine, const TKeyValueLine* reference);

// Whether a line that is neither an entry, a section, a comment nor blank is
// a stray one (a byte order mark before a comment or section makes none).
bool IsStrayLine(std::string_view line, const TKeyValueLine& parsed);

// Whether an entry counts as translated: its phrase is quoted, not empty and
// neither the reference's phrase for the key (`reference` as above) nor the
// phrase of the translation it was copied from (`masterPhrase`, none when it
// was not copied or that one lacks the key).
bool IsTranslated(std::string_view line, const TKeyValueLine& parsed,
                  std::string_view referenceLine, const TKeyValueLine* reference,
                  std::optional<std::string_view> masterPhrase = std::nullopt);

// The number of characters of UTF-8 text: the bytes that start one.
std::size_t CharacterCount(std::string_view text);
