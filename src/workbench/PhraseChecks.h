// The checks that compare a phrase with the reference's by what each holds
// by itself: the punctuation that ends it, its access keys, its tabs, double
// blanks and words written twice.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace phrase_checks {

inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

inline char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The blanks before a phrase, and after it; a phrase of blanks only has them
// all in front and none behind.
std::string_view LeadingBlanks(std::string_view s);
std::string_view TrailingBlanks(std::string_view s);

// The punctuation that ends a phrase, after its blanks and escaped line breaks.
struct TEnding {
    std::string_view Text; // as written, from the first mark on
    std::string Meaning;   // as compared: each mark by its meaning, "..." for any run of dots
};

TEnding EndingPunctuation(std::string_view phrase);

// The number of access keys of a phrase: each "&" before a character that is
// no blank; "&&" is a literal "&", and an HTML character reference is none.
std::size_t AccessKeys(std::string_view s);

// The tabs of a phrase in the order they occur: "→" for a tab character, the
// escape as written otherwise.
std::vector<std::string> FindTabs(std::string_view phrase);

bool HasDoubleSpace(std::string_view phrase);

// The first word written twice in a row with only spaces between, or empty.
std::string_view DoubledWord(std::string_view s);

} // namespace phrase_checks
