// A part of a text, as byte offsets into it: what a search found, or a word
// that differs between two phrases.
#pragma once

#include <cstddef>

struct TTextRange {
    std::size_t Begin = 0;
    std::size_t End = 0;
    bool operator==(const TTextRange&) const = default;
};
