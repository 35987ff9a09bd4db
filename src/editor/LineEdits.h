// Bringing new bytes for a whole translation into the editor as the smallest
// edit: only the lines that differ are replaced, as one undo step, so the
// others stay untouched (the editor trims the blanks of edited lines only).
#pragma once

#include <string_view>

class TSynEditor;

// `bytes` is the whole text in the editor's encoding, with as many lines as
// the editor holds; each line that differs from the editor's replaces it.
// Returns how many lines changed. A text with another number of lines
// replaces the whole text.
std::size_t ReplaceChangedLines(TSynEditor& editor, std::string_view bytes);
