// The words of a translation line that spelling looks at: those of the phrase
// only. The key, placeholders (%s, %1, {0}), escapes (\n, \t, #13), markup
// (<b>, <br/>, &amp;) and words holding digits are passed over; an access-key
// "&" inside a word (S&peichern) belongs to the word but is not spelled;
// acronyms (JPEG) and names of files, addresses and e-mail addresses
// (Snapglass.ini, www.example.com, a@b.de) are not checked.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct TSpellingWord {
    std::size_t Begin = 0; // byte offsets into the line, the word as it stands
    std::size_t End = 0;
    std::string Word; // as it is spelled: without an access-key "&"
    bool operator==(const TSpellingWord&) const = default;
};

// `line` as shown (UTF-8), without its line break.
std::vector<TSpellingWord> WordsToCheck(std::string_view line);
