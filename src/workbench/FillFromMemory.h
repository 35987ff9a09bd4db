// "Fill from memory": every phrase of a translation still waiting for its
// translation that the memory knows word for word in the same language gets
// the memory's translation. Only the phrase between the quotes changes; the
// key, the quotes, whatever follows them and the line breaks stay as they are.
#pragma once

#include "encoding/TextEncoding.h"
#include "workbench/ReferenceText.h"
#include "workbench/TranslationMemory.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One phrase to replace, as byte offsets into the text as shown (UTF-8).
struct TFillEdit {
    std::size_t Line = 0;
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::string Text;
    bool operator==(const TFillEdit&) const = default;
};

// A phrase the memory knows but the file's encoding cannot hold.
struct TFillSkipped {
    std::string Key;
    char32_t Character = 0; // the first letter it cannot hold
    bool operator==(const TFillSkipped&) const = default;
};

struct TFillResult {
    std::vector<TFillEdit> Edits;        // in the order of the text
    std::vector<std::string> FilledKeys; // the keys of Edits, for "to be checked"
    std::vector<TFillSkipped> Unencodable;
};

// The edits that fill `translation` (as shown, UTF-8) from `memory`: each
// entry that is untranslated as the workbench counts it (the first entry of
// a key of the reference, its phrase quoted and empty or the reference's
// phrase) and whose reference phrase the memory has in `language`. Pairs
// from `skipFile` (the translation's own file) are not used. A translation
// holding a letter `encoding` cannot hold is reported, never written.
TFillResult FillFromMemory(std::string_view translation,
                           const std::shared_ptr<const TReferenceText>& reference,
                           const TTranslationMemory& memory, std::string_view language,
                           TTextEncoding encoding, std::string_view skipFile = {});

// The text with the edits made (edits in the order of the text, not
// overlapping).
std::string ApplyFillEdits(std::string_view text, const std::vector<TFillEdit>& edits);
