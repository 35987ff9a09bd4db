#include "workbench/Checks.h"

#include <algorithm>
#include <iterator>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

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

std::string_view LeadingBlanks(std::string_view s) {
    std::size_t n = 0;
    while (n < s.size() && IsBlank(s[n]))
        ++n;
    return s.substr(0, n);
}

// A phrase of blanks only has them all in front and none behind.
std::string_view TrailingBlanks(std::string_view s) {
    if (LeadingBlanks(s).size() == s.size())
        return {};
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return s.substr(n);
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

} // namespace

namespace {
// Each reason's name, for the keys of its message in the language files, and
// its message in English, the default where a language file lacks it.
struct TReasonText {
    TReason Reason;
    std::string_view Name;
    std::string_view DefaultText;
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
} // namespace

std::string_view ReasonName(TReason reason) {
    return TextsOf(reason).Name;
}

std::string_view ReasonDefaultText(TReason reason) {
    return TextsOf(reason).DefaultText;
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

    const std::string_view phrase = parsed.Value(line);
    // An empty phrase is untranslated, not wrong; an unquoted value where the
    // reference has a phrase is wrong as a whole.
    if (!reference || phrase.empty() ||
        (parsed.Quoting == TQuoting::None && reference->Quoting != TQuoting::None))
        return problems;
    const std::string_view referencePhrase = reference->Value(referenceLine);
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
    return problems;
}

bool IsTranslated(std::string_view line, const TKeyValueLine& parsed,
                  std::string_view referenceLine, const TKeyValueLine* reference) {
    if (!parsed.IsEntry() || parsed.Quoting == TQuoting::None)
        return false;
    const std::string_view phrase = parsed.Value(line);
    if (phrase.empty())
        return false;
    return !(reference && reference->IsEntry() && reference->Value(referenceLine) == phrase);
}
