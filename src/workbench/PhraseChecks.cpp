#include "workbench/PhraseChecks.h"

#include "encoding/Utf8.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace phrase_checks {

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

// ---- Punctuation at the end ---------------------------------------------------

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool EndsWithAnyCase(std::string_view s, std::string_view tail) {
    if (s.size() < tail.size())
        return false;
    s = s.substr(s.size() - tail.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (Lower(s[i]) != tail[i])
            return false;
    return true;
}

// The phrase without the blanks and escaped line breaks at its end.
std::string_view WithoutTrailingBreaks(std::string_view s) {
    for (;;) {
        while (!s.empty() && IsBlank(s.back()))
            s.remove_suffix(1);
        if (s.empty() || std::string_view("nr0>").find(s.back()) == std::string_view::npos)
            return s;
        bool cut = false;
        for (std::string_view tail : {"\\n", "\\r", "#13", "#10", "<br>", "<br/>", "<br />"}) {
            if (EndsWithAnyCase(s, tail)) {
                s.remove_suffix(tail.size());
                cut = true;
                break;
            }
        }
        if (!cut)
            return s;
    }
}

// The start of the character that ends at s[end - 1].
std::size_t PreviousCharacter(std::string_view s, std::size_t end) {
    std::size_t i = end - 1;
    while (i > 0 && end - i < 4 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
        --i;
    return NextUtf8(s, i).Length == end - i ? i : end - 1;
}

// What a mark of punctuation stands for: full-width and other scripts' forms
// count as the plain one, "…" as "..."; 0 for no punctuation.
const char* PunctuationMeaning(char32_t c) {
    switch (c) {
    case '.':
    case 0x3002: // ideographic full stop
    case 0xFF0E: // full-width full stop
    case 0x0964: // Devanagari danda
        return ".";
    case '?':
    case 0xFF1F: // full-width question mark
    case 0x061F: // Arabic question mark
    case 0x037E: // Greek question mark
        return "?";
    case '!':
    case 0xFF01:
        return "!";
    case ':':
    case 0xFF1A:
        return ":";
    case ';':
    case 0xFF1B:
        return ";";
    case 0x2026: // horizontal ellipsis
        return "...";
    default:
        return nullptr;
    }
}

// Blanks French typography puts before ":", ";", "?" and "!".
bool IsFrenchSpace(char32_t c) {
    return c == ' ' || c == 0x00A0 || c == 0x202F || c == 0x2009;
}

// Whether the text holds a Greek letter.
bool IsGreek(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const TUtf8Char c = NextUtf8(s, i);
        if ((c.Code >= 0x0370 && c.Code <= 0x03FF) || (c.Code >= 0x1F00 && c.Code <= 0x1FFF))
            return true;
        i += c.Length;
    }
    return false;
}

TEnding EndingPunctuation(std::string_view phrase) {
    const std::string_view s = WithoutTrailingBreaks(phrase);
    // Most phrases end in a letter or digit.
    const char last = s.empty() ? ' ' : s.back();
    if (s.empty() || IsDigit(last) || (Lower(last) >= 'a' && Lower(last) <= 'z'))
        return {s.substr(s.size()), {}};
    std::string reversed; // the meanings, last mark first
    std::size_t start = s.size();
    std::size_t end = s.size();
    while (end > 0) {
        const std::size_t i = PreviousCharacter(s, end);
        const char32_t c = NextUtf8(s, i).Code;
        if (const char* meaning = PunctuationMeaning(c)) {
            for (std::size_t k = std::char_traits<char>::length(meaning); k-- > 0;)
                reversed += meaning[k];
            start = i;
        } else if (!(IsFrenchSpace(c) && !reversed.empty() &&
                     std::string_view(":;?!").find(reversed.back()) != std::string_view::npos)) {
            break;
        }
        end = i;
    }
    TEnding ending{s.substr(start), {}};
    // Greek asks with ";" (the Greek question mark reads the same).
    const bool greek = reversed.find(';') != std::string::npos && IsGreek(s.substr(0, start));
    for (auto c = reversed.rbegin(); c != reversed.rend(); ++c) {
        // Three dots or more mean the same.
        if (*c == '.' && EndsWith(ending.Meaning, "..."))
            continue;
        ending.Meaning += *c == ';' && greek ? '?' : *c;
    }
    return ending;
}

// ---- Access keys --------------------------------------------------------------

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of an HTML character reference ("&amp;", "&#9;", "&#x2026;") at
// s[i] == '&', or 0.
std::size_t CharacterReference(std::string_view s, std::size_t i) {
    std::size_t j = i + 1;
    if (j < s.size() && s[j] == '#') {
        ++j;
        if (j < s.size() && Lower(s[j]) == 'x')
            ++j;
        const std::size_t digits = j;
        while (j < s.size() && (IsDigit(s[j]) || (Lower(s[j]) >= 'a' && Lower(s[j]) <= 'f')))
            ++j;
        if (j == digits)
            return 0;
    } else {
        const std::size_t letters = j;
        while (j < s.size() && IsAsciiLetter(s[j]))
            ++j;
        if (j == letters)
            return 0;
    }
    return j < s.size() && s[j] == ';' ? j + 1 - i : 0;
}

// The access keys of a phrase: each "&" before a character that is no blank;
// "&&" is a literal "&", and so is an HTML character reference.
std::size_t AccessKeys(std::string_view s) {
    std::size_t count = 0;
    std::size_t i = 0;
    while ((i = s.find('&', i)) != std::string_view::npos) {
        if (i + 1 >= s.size())
            break;
        if (s[i + 1] == '&') {
            i += 2;
            continue;
        }
        if (const std::size_t n = CharacterReference(s, i)) {
            i += n;
            continue;
        }
        if (!IsBlank(s[i + 1]))
            ++count;
        ++i;
    }
    return count;
}

// ---- Tabs ---------------------------------------------------------------------

// The tabs of a phrase in the order they occur: "→" for a tab character
// between its words (the blanks at either end are checked as blanks), and the
// escaped forms "\t" and "#9".
std::vector<std::string> FindTabs(std::string_view phrase) {
    const auto holds = [phrase](char c) { return phrase.find(c) != std::string_view::npos; };
    if (!holds('\t') && !holds('\\') && !holds('#'))
        return {};
    const std::string_view leading = LeadingBlanks(phrase);
    const std::string_view inner = phrase.substr(leading.size(), phrase.size() - leading.size() -
                                                                     TrailingBlanks(phrase).size());
    std::vector<std::string> out;
    for (std::size_t i = 0; i < inner.size(); ++i) {
        const char c = inner[i];
        if (c == '\t') {
            out.push_back("→");
        } else if (c == '\\' && i + 1 < inner.size()) {
            if (inner[i + 1] == 't')
                out.push_back("\\t");
            ++i; // an escaped backslash too
        } else if (c == '#' && i + 1 < inner.size() && inner[i + 1] == '9' &&
                   (i + 2 >= inner.size() || !IsDigit(inner[i + 2]))) {
            out.push_back("#9");
            ++i;
        }
    }
    return out;
}

// ---- Double blanks and doubled words ---------------------------------------------

bool HasDoubleSpace(std::string_view phrase) {
    const std::string_view leading = LeadingBlanks(phrase);
    const std::string_view inner = phrase.substr(leading.size(), phrase.size() - leading.size() -
                                                                     TrailingBlanks(phrase).size());
    return inner.find("  ") != std::string_view::npos;
}

// The character at s[i], ASCII without decoding.
TUtf8Char CharacterAt(std::string_view s, std::size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    return c < 0x80 ? TUtf8Char{c, 1, true} : NextUtf8(s, i);
}

// Letters and digits make words (and the underscore, as in finding whole
// words).
bool IsWordCharacter(char32_t c) {
    static constexpr auto Ascii = [] {
        std::array<bool, 128> table{};
        for (char32_t a = 0; a < 128; ++a)
            table[a] = (a >= 'a' && a <= 'z') || (a >= 'A' && a <= 'Z') || (a >= '0' && a <= '9') ||
                       a == '_';
        return table;
    }();
    return c < 0x80 ? Ascii[c] : platform::IsWordCharacter(c);
}

// Words that languages rightly write twice ("had had", "die die Referenz",
// "vous vous trompez").
bool MayBeDoubled(std::string_view word) {
    for (std::string_view w : {"had", "that", "die", "der", "das", "dem", "den", "nous", "vous"})
        if (word.size() == w.size() && std::equal(word.begin(), word.end(), w.begin(),
                                                  [](char a, char b) { return Lower(a) == b; }))
            return true;
    return false;
}

bool SameWord(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const TUtf8Char x = CharacterAt(a, i);
        const TUtf8Char y = CharacterAt(b, j);
        if (x.Code != y.Code &&
            (x.Code < 0x80 && y.Code < 0x80
                 ? Lower(static_cast<char>(x.Code)) != Lower(static_cast<char>(y.Code))
                 : platform::FoldCase(x.Code) != platform::FoldCase(y.Code)))
            return false;
        i += x.Length;
        j += y.Length;
    }
    return i == a.size() && j == b.size();
}

// Whether some word is followed, after spaces only, by one that starts with
// the same letter (bytes beyond ASCII taken as letters): a quick look that
// spares most phrases the search for a doubled word.
bool MayHoldDoubledWord(std::string_view s) {
    const auto isWordByte = [](char c) {
        return static_cast<unsigned char>(c) >= 0x80 || IsWordCharacter(static_cast<char32_t>(c));
    };
    for (std::size_t space = s.find(' '); space != std::string_view::npos;) {
        std::size_t after = space;
        while (after < s.size() && s[after] == ' ')
            ++after;
        if (after == s.size())
            return false;
        std::size_t start = space;
        while (start > 0 && isWordByte(s[start - 1]))
            --start;
        if (start < space && isWordByte(s[after]) &&
            (Lower(s[start]) == Lower(s[after]) || (static_cast<unsigned char>(s[start]) >= 0x80 &&
                                                    static_cast<unsigned char>(s[after]) >= 0x80)))
            return true;
        space = s.find(' ', after);
    }
    return false;
}

// The first word written twice in a row with only spaces between ("the
// the", "Der der"), or empty. Numbers, and letters right after "%" or "\\"
// (placeholders and escapes), are no words.
std::string_view DoubledWord(std::string_view s) {
    if (!MayHoldDoubledWord(s))
        return {};
    // The last word, while nothing but spaces followed it.
    std::string_view previous;
    std::size_t i = 0;
    while (i < s.size()) {
        TUtf8Char c = CharacterAt(s, i);
        if (!IsWordCharacter(c.Code)) {
            if (c.Code != ' ')
                previous = {};
            i += c.Length;
            continue;
        }
        const std::size_t start = i;
        bool letters = false;
        do {
            letters |= !(c.Code < 0x80 && IsDigit(static_cast<char>(c.Code)));
            i += c.Length;
        } while (i < s.size() && IsWordCharacter((c = CharacterAt(s, i)).Code));
        const std::string_view word = s.substr(start, i - start);
        if (!previous.empty() && letters && SameWord(previous, word) && !MayBeDoubled(word))
            return word;
        const bool escaped = start > 0 && (s[start - 1] == '%' || s[start - 1] == '\\');
        previous = letters && !escaped ? word : std::string_view();
    }
    return {};
}

} // namespace phrase_checks
