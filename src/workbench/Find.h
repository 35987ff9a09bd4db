// Finding and replacing in a translation's text (UTF-8, as the editor shows
// it). Matches are byte ranges of the text; they never overlap and never span a
// line break.
//
// "Within phrases only" keeps to the phrases, the text inside the double
// quotes of entries (see TKeyValueLine): a match must lie wholly inside one, so
// keys, quotes, comments and the rest are never found and never replaced.
#pragma once
#include "workbench/TextRange.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TFindOptions {
    bool MatchCase = false;
    bool WholeWord = false;
    bool PhrasesOnly = false;
};

// Every match in order. An empty pattern matches nothing.
std::vector<TTextRange> FindAll(std::string_view text, std::string_view pattern,
                                const TFindOptions& options);

// The first match starting at or after `from`, or (when not `forward`) the last
// one ending at or before it; no wrapping round.
std::optional<TTextRange> FindNext(std::string_view text, std::string_view pattern,
                                   const TFindOptions& options, std::size_t from,
                                   bool forward = true);

// Every match replaced by `replacement`, in one new text.
struct TReplaceResult {
    std::string Text;
    std::size_t Count = 0;
};
TReplaceResult ReplaceAll(std::string_view text, std::string_view pattern,
                          std::string_view replacement, const TFindOptions& options);
