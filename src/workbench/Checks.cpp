#include "workbench/Checks.h"

#include "encoding/Utf8.h"
#include "platform/Text.h"
#include "workbench/PhraseChecks.h"

#include <algorithm>
#include <array>
#include <iterator>

using namespace phrase_checks;

namespace {

bool IsFormatType(char c) {
    switch (Lower(c)) {
    case 'd':
    case 'u':
    case 'e':
    case 'f':
    case 'g':
    case 'n':
    case 'm':
    case 'p':
    case 's':
    case 'x':
        return true;
    default:
        return false;
    }
}

std::size_t SkipDigits(std::string_view s, std::size_t i) {
    while (i < s.size() && IsDigit(s[i]))
        ++i;
    return i;
}

// The length of a Format specifier at s[i] == '%': "%" [index ":"] ["-"]
// [width] ["." precision] type; 0 when there is none. `indexed` tells whether
// it names its argument.
std::size_t FormatSpecifier(std::string_view s, std::size_t i, bool& indexed) {
    std::size_t j = i + 1;
    indexed = false;
    const std::size_t afterIndex = SkipDigits(s, j);
    if (afterIndex > j && afterIndex < s.size() && s[afterIndex] == ':') {
        indexed = true;
        j = afterIndex + 1;
    }
    if (j < s.size() && s[j] == '-')
        ++j;
    j = SkipDigits(s, j);
    if (j < s.size() && s[j] == '.')
        j = SkipDigits(s, j + 1);
    if (j < s.size() && IsFormatType(s[j]))
        return j + 1 - i;
    return 0;
}

template <class S> std::string Joined(const std::vector<S>& items) {
    std::string out;
    for (const S& item : items) {
        if (!out.empty())
            out += ' ';
        out += item;
    }
    return out;
}

// The items of `a` that `b` lacks, counting repeats, in the order of `a`.
std::vector<std::string_view> Without(const std::vector<std::string_view>& a,
                                      std::vector<std::string_view> b) {
    std::vector<std::string_view> out;
    for (std::string_view item : a) {
        const auto hit = std::find(b.begin(), b.end(), item);
        if (hit == b.end())
            out.push_back(item);
        else
            b.erase(hit);
    }
    return out;
}

std::vector<std::string_view> Texts(const std::vector<TPlaceholder>& placeholders,
                                    bool sequentialOnly) {
    std::vector<std::string_view> out;
    for (const TPlaceholder& p : placeholders)
        if (p.Sequential || !sequentialOnly)
            out.push_back(p.Text);
    return out;
}

std::vector<std::string> SortedUnique(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    items.erase(std::unique(items.begin(), items.end()), items.end());
    return items;
}

// The first of the bytes `a`, `b`, `c` at or after `i`, or npos. (The
// library's find_first_of searches its set once per byte of the text.)
std::size_t FindAny(std::string_view s, std::size_t i, char a, char b, char c) {
    for (; i < s.size(); ++i)
        if (s[i] == a || s[i] == b || s[i] == c)
            return i;
    return std::string_view::npos;
}

bool MayHoldPlaceholders(std::string_view phrase) {
    return FindAny(phrase, 0, '%', '{', '{') != std::string_view::npos;
}

void CheckPlaceholders(std::string_view phrase, std::string_view referencePhrase,
                       std::vector<TProblem>& problems) {
    if (!MayHoldPlaceholders(phrase) && !MayHoldPlaceholders(referencePhrase))
        return;
    const std::vector<TPlaceholder> ours = FindPlaceholders(phrase);
    const std::vector<TPlaceholder> theirs = FindPlaceholders(referencePhrase);
    const std::vector<std::string_view> all = Texts(ours, false);
    const std::vector<std::string_view> expected = Texts(theirs, false);
    const std::vector<std::string_view> missing = Without(expected, all);
    const std::vector<std::string_view> extra = Without(all, expected);
    if (!missing.empty())
        problems.push_back({TReason::PlaceholderMissing, {Joined(missing)}});
    if (!extra.empty())
        problems.push_back({TReason::PlaceholderExtra, {Joined(extra)}});
    if (missing.empty() && extra.empty()) {
        const std::vector<std::string_view> order = Texts(ours, true);
        const std::vector<std::string_view> expectedOrder = Texts(theirs, true);
        if (order != expectedOrder)
            problems.push_back({TReason::PlaceholderOrder, {Joined(expectedOrder), Joined(order)}});
    }
}

// The text after the closing quote of a value, without the blanks around it.
std::string_view TextAfterQuote(std::string_view line, const TKeyValueLine& parsed) {
    if (!parsed.IsEntry() || parsed.Quoting != TQuoting::Closed)
        return {};
    std::string_view rest = line.substr(parsed.ValueEnd + 1);
    while (!rest.empty() && IsBlank(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty() && IsBlank(rest.back()))
        rest.remove_suffix(1);
    return rest;
}

} // namespace

namespace {
// Each reason's name, for the keys of its message in the language files, its
// message in English, the default where a language file lacks it, and the
// check that finds it when that one may be switched off.
struct TReasonText {
    TReason Reason;
    std::string_view Name;
    std::string_view DefaultText;
    std::optional<TCheck> Check = std::nullopt;
};
constexpr TReasonText ReasonTexts[] = {
    {TReason::NotQuoted, "NotQuoted", "The phrase is not in double quotes as in the reference"},
    {TReason::OddQuotes, "OddQuotes", "The line holds an odd number of double quotes (%1)"},
    {TReason::PlaceholderMissing, "PlaceholderMissing",
     "Placeholders of the reference missing: %1"},
    {TReason::PlaceholderExtra, "PlaceholderExtra", "Placeholders the reference does not have: %1"},
    {TReason::PlaceholderOrder, "PlaceholderOrder",
     "Placeholders in another order: %1 in the reference, %2 here"},
    {TReason::LeadingBlanks, "LeadingBlanks",
     "Blanks before the phrase differ: '%1' in the reference, '%2' here"},
    {TReason::TrailingBlanks, "TrailingBlanks",
     "Blanks after the phrase differ: '%1' in the reference, '%2' here"},
    {TReason::LineBreaks, "LineBreaks",
     "Line breaks written differently: %1 in the reference, %2 here"},
    {TReason::KeyNotInReference, "KeyNotInReference", "The reference has no key %1"},
    {TReason::DuplicateKey, "DuplicateKey",
     "The key is on line %1 already, and the program reads that line"},
    {TReason::MissingKey, "MissingKey", "The key %1 of the reference is missing"},
    {TReason::TextAfterQuote, "TextAfterQuote",
     "Text after the closing quote, which the program does not read: %1"},
    {TReason::NotAnEntry, "NotAnEntry",
     "The line is neither an entry, a [section], a ;comment nor blank"},
    {TReason::TrailingPunctuation, "TrailingPunctuation",
     "The phrase ends in other punctuation: '%1' in the reference, '%2' here",
     TCheck::TrailingPunctuation},
    {TReason::AccessKeyMissing, "AccessKeyMissing",
     "The reference has an access key (&), the phrase none", TCheck::AccessKey},
    {TReason::AccessKeyExtra, "AccessKeyExtra",
     "The phrase has an access key (&), the reference none", TCheck::AccessKey},
    {TReason::AccessKeyTwice, "AccessKeyTwice",
     "The phrase has %1 access keys (&), a caption can have only one", TCheck::AccessKey},
    {TReason::Tabs, "Tabs", "Tabs differ: %1 in the reference, %2 here", TCheck::Tabs},
    {TReason::DoubleSpace, "DoubleSpace", "Two blanks in a row, which the reference does not have",
     TCheck::DoubleSpace},
    {TReason::DoubledWord, "DoubledWord", "The word '%1' is written twice in a row",
     TCheck::DoubledWord},
    {TReason::TranslatedTwoWays, "TranslatedTwoWays",
     "The same phrase of the reference is translated differently on line %1",
     TCheck::TranslatedTwoWays},
    {TReason::LongPhrase, "LongPhrase",
     "Much longer than the reference (%2 characters, %1 there): it may not fit",
     TCheck::LongPhrase},
};
constexpr bool InReasonOrder() {
    for (std::size_t i = 0; i < std::size(ReasonTexts); ++i)
        if (static_cast<std::size_t>(ReasonTexts[i].Reason) != i)
            return false;
    return std::size(ReasonTexts) == ReasonCount;
}
static_assert(InReasonOrder(), "every reason has its texts, in the order of TReason");

const TReasonText& TextsOf(TReason reason) {
    return ReasonTexts[static_cast<std::size_t>(reason)];
}

struct TCheckText {
    TCheck Check;
    std::string_view Name;
    std::string_view DefaultCaption;
};
constexpr TCheckText CheckTexts[] = {
    {TCheck::TrailingPunctuation, "TrailingPunctuation", "Punctuation at the end"},
    {TCheck::AccessKey, "AccessKey", "Access keys (&)"},
    {TCheck::Tabs, "Tabs", "Tabs"},
    {TCheck::DoubleSpace, "DoubleSpace", "Double blanks"},
    {TCheck::DoubledWord, "DoubledWord", "Doubled words"},
    {TCheck::TranslatedTwoWays, "TranslatedTwoWays", "One phrase translated two ways"},
    {TCheck::LongPhrase, "LongPhrase", "Much longer phrases"},
};
constexpr bool InCheckOrder() {
    for (std::size_t i = 0; i < std::size(CheckTexts); ++i)
        if (static_cast<std::size_t>(CheckTexts[i].Check) != i)
            return false;
    return std::size(CheckTexts) == CheckCount;
}
static_assert(InCheckOrder(), "every check has its texts, in the order of TCheck");
} // namespace

std::string_view ReasonName(TReason reason) {
    return TextsOf(reason).Name;
}

std::string_view ReasonDefaultText(TReason reason) {
    return TextsOf(reason).DefaultText;
}

std::optional<TCheck> CheckOfReason(TReason reason) {
    return TextsOf(reason).Check;
}

std::string_view CheckName(TCheck check) {
    return CheckTexts[static_cast<std::size_t>(check)].Name;
}

std::string_view CheckDefaultCaption(TCheck check) {
    return CheckTexts[static_cast<std::size_t>(check)].DefaultCaption;
}

std::optional<TCheck> CheckFromName(std::string_view name) {
    for (const TCheckText& t : CheckTexts)
        if (t.Name == name)
            return t.Check;
    return std::nullopt;
}

std::string ProblemMessage(std::string_view text, const TProblem& problem) {
    const bool blanks =
        problem.Reason == TReason::LeadingBlanks || problem.Reason == TReason::TrailingBlanks;
    std::vector<std::string> params;
    for (const std::string& p : problem.Params) {
        std::string shown;
        if (blanks) {
            for (char c : p) {
                if (c == ' ')
                    shown += "·";
                else if (c == '\t')
                    shown += "→";
                else
                    shown += c;
            }
        } else {
            shown = p.empty() ? "–" : p;
        }
        params.push_back(std::move(shown));
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < params.size()) {
                out += params[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

std::vector<TPlaceholder> FindPlaceholders(std::string_view s) {
    std::vector<TPlaceholder> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '%' && i + 1 < s.size()) {
            if (s[i + 1] == '%') {
                i += 2;
                continue;
            }
            bool indexed = false;
            if (const std::size_t n = FormatSpecifier(s, i, indexed)) {
                out.push_back({s.substr(i, n), !indexed});
                i += n;
                continue;
            }
            // Qt's %1 ... %99.
            if (s[i + 1] >= '1' && s[i + 1] <= '9') {
                std::size_t end = i + 2;
                if (end < s.size() && IsDigit(s[end]))
                    ++end;
                out.push_back({s.substr(i, end - i), false});
                i = end;
                continue;
            }
        } else if (c == '{' && i + 1 < s.size()) {
            if (s[i + 1] == '{') {
                i += 2;
                continue;
            }
            const std::size_t digits = SkipDigits(s, i + 1);
            if (digits > i + 1 && digits < s.size()) {
                std::size_t end = std::string_view::npos;
                if (s[digits] == '}')
                    end = digits;
                else if (s[digits] == ':' || s[digits] == ',') {
                    const std::size_t close = s.find('}', digits);
                    const std::size_t open = s.find('{', digits);
                    if (close != std::string_view::npos && open > close)
                        end = close;
                }
                if (end != std::string_view::npos) {
                    out.push_back({s.substr(i, end + 1 - i), false});
                    i = end + 1;
                    continue;
                }
            }
        }
        ++i;
    }
    return out;
}

std::vector<std::string> FindLineBreaks(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while ((i = FindAny(s, i, '\\', '#', '<')) != std::string_view::npos) {
        const std::string_view rest = s.substr(i);
        std::size_t taken = 1;
        if (rest[0] == '\\' && rest.size() >= 2) {
            if (rest[1] == '\\') {
                taken = 2; // an escaped backslash
            } else if (rest.substr(0, 4) == "\\r\\n") {
                out.push_back("\\r\\n");
                taken = 4;
            } else if (rest[1] == 'n' || rest[1] == 'r') {
                out.push_back(std::string(rest.substr(0, 2)));
                taken = 2;
            }
        } else if (rest[0] == '#') {
            if (rest.substr(0, 6) == "#13#10") {
                out.push_back("#13#10");
                taken = 6;
            } else if (rest.substr(0, 3) == "#13" || rest.substr(0, 3) == "#10") {
                out.push_back(std::string(rest.substr(0, 3)));
                taken = 3;
            }
        } else if (rest[0] == '<' && rest.size() >= 4 && Lower(rest[1]) == 'b' &&
                   Lower(rest[2]) == 'r') {
            std::size_t j = 3;
            while (j < rest.size() && rest[j] == ' ')
                ++j;
            if (j < rest.size() && rest[j] == '/')
                ++j;
            if (j < rest.size() && rest[j] == '>') {
                out.push_back("<br>");
                taken = j + 1;
            }
        }
        i += taken;
    }
    return out;
}

std::vector<TProblem> CheckEntry(std::string_view line, const TKeyValueLine& parsed,
                                 std::string_view referenceLine, const TKeyValueLine* reference) {
    std::vector<TProblem> problems;
    if (!parsed.IsEntry())
        return problems;
    if (reference && !reference->IsEntry())
        reference = nullptr;
    // What the reference does itself is no fault of the translation.
    if (parsed.Quoting == TQuoting::None && !(reference && reference->Quoting == TQuoting::None))
        problems.push_back({TReason::NotQuoted, {}});
    if (parsed.Quotes % 2 == 1 && !(reference && reference->Quotes % 2 == 1))
        problems.push_back({TReason::OddQuotes, {std::to_string(parsed.Quotes)}});
    const std::string_view after = TextAfterQuote(line, parsed);
    if (!after.empty() && !(reference && !TextAfterQuote(referenceLine, *reference).empty()))
        problems.push_back({TReason::TextAfterQuote, {std::string(after)}});

    const std::string_view phrase = parsed.Value(line);
    // An empty phrase is untranslated, not wrong; an unquoted value where the
    // reference has a phrase is wrong as a whole.
    if (!reference || phrase.empty() ||
        (parsed.Quoting == TQuoting::None && reference->Quoting != TQuoting::None))
        return problems;
    const std::string_view referencePhrase = reference->Value(referenceLine);
    // The reference's own phrase, still untranslated, has no problems of its own.
    if (phrase == referencePhrase)
        return problems;
    CheckPlaceholders(phrase, referencePhrase, problems);
    if (LeadingBlanks(phrase) != LeadingBlanks(referencePhrase))
        problems.push_back(
            {TReason::LeadingBlanks,
             {std::string(LeadingBlanks(referencePhrase)), std::string(LeadingBlanks(phrase))}});
    if (TrailingBlanks(phrase) != TrailingBlanks(referencePhrase))
        problems.push_back(
            {TReason::TrailingBlanks,
             {std::string(TrailingBlanks(referencePhrase)), std::string(TrailingBlanks(phrase))}});
    const std::vector<std::string> breaks = SortedUnique(FindLineBreaks(phrase));
    const std::vector<std::string> expectedBreaks = SortedUnique(FindLineBreaks(referencePhrase));
    if (breaks != expectedBreaks)
        problems.push_back({TReason::LineBreaks, {Joined(expectedBreaks), Joined(breaks)}});
    // An empty reference phrase (the program's built-in text, as a rule)
    // gives nothing to compare the rest with.
    if (referencePhrase.empty())
        return problems;

    const TEnding ending = EndingPunctuation(phrase);
    const TEnding expectedEnding = EndingPunctuation(referencePhrase);
    if (ending.Meaning != expectedEnding.Meaning)
        problems.push_back({TReason::TrailingPunctuation,
                            {std::string(expectedEnding.Text), std::string(ending.Text)}});

    const std::size_t keys = AccessKeys(phrase);
    const std::size_t expectedKeys = AccessKeys(referencePhrase);
    if (keys > 1 && expectedKeys <= 1)
        problems.push_back({TReason::AccessKeyTwice, {std::to_string(keys)}});
    else if (keys == 0 && expectedKeys > 0)
        problems.push_back({TReason::AccessKeyMissing, {}});
    else if (keys > 0 && expectedKeys == 0)
        problems.push_back({TReason::AccessKeyExtra, {}});

    std::vector<std::string> tabs = FindTabs(phrase);
    std::vector<std::string> expectedTabs = FindTabs(referencePhrase);
    if (!tabs.empty() || !expectedTabs.empty()) {
        std::sort(tabs.begin(), tabs.end());
        std::sort(expectedTabs.begin(), expectedTabs.end());
        if (tabs != expectedTabs)
            problems.push_back({TReason::Tabs, {Joined(expectedTabs), Joined(tabs)}});
    }

    if (HasDoubleSpace(phrase) && !HasDoubleSpace(referencePhrase))
        problems.push_back({TReason::DoubleSpace, {}});
    if (const std::string_view word = DoubledWord(phrase);
        !word.empty() && DoubledWord(referencePhrase).empty())
        problems.push_back({TReason::DoubledWord, {std::string(word)}});

    // No phrase of 20 bytes or fewer is over 20 characters long; the
    // characters are counted only where they may be.
    if (phrase.size() > 20) {
        const std::size_t expectedLength = CharacterCount(referencePhrase);
        if (phrase.size() > 2 * expectedLength && phrase.size() > expectedLength + 20) {
            const std::size_t length = CharacterCount(phrase);
            if (length > 2 * expectedLength && length > expectedLength + 20)
                problems.push_back({TReason::LongPhrase,
                                    {std::to_string(expectedLength), std::to_string(length)}});
        }
    }
    return problems;
}

bool IsStrayLine(std::string_view line, const TKeyValueLine& parsed) {
    if (parsed.Kind != TLineKind::Other)
        return false;
    constexpr std::string_view Bom = "\xEF\xBB\xBF";
    if (line.substr(0, Bom.size()) == Bom)
        return ParseKeyValueLine(line.substr(Bom.size())).Kind == TLineKind::Other;
    return true;
}

bool IsTranslated(std::string_view line, const TKeyValueLine& parsed,
                  std::string_view referenceLine, const TKeyValueLine* reference,
                  std::optional<std::string_view> masterPhrase) {
    if (!parsed.IsEntry() || parsed.Quoting == TQuoting::None)
        return false;
    const std::string_view phrase = parsed.Value(line);
    if (phrase.empty() || phrase == masterPhrase)
        return false;
    return !(reference && reference->IsEntry() && reference->Value(referenceLine) == phrase);
}
