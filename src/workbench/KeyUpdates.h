// Bringing a translation up to date with a newer reference: each key of the
// reference that the translation lacks is added as the reference's line (so
// it waits for its translation), after the nearest key before it in the
// reference that both have; and the keys the reference no longer has can be
// taken out. Both work on the translation's bytes as they are, in their
// encoding and line breaks, and only say what to change: the caller applies
// it (the editor as one undo step), and bytes elsewhere stay as they were.
#pragma once

#include "encoding/TextEncoding.h"
#include "workbench/ReferenceText.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reference lines that go into the translation at one place.
struct TKeyInsertion {
    // The place: the end of line `Line` (after its text, before its line
    // break), or its start when `BeforeLine`. Lines count from 0.
    std::size_t Line = 0;
    bool BeforeLine = false;
    // The same place as an offset into the translation's bytes.
    std::size_t Offset = 0;
    // What goes there: the lines joined by the file's line break, with the
    // one that parts them from the line at the place; in the file's encoding.
    std::string Bytes;
    // The same as UTF-8 text, as the editor shows it.
    std::string Text;
    // The keys added, in the reference's order.
    std::vector<std::string> Keys;
    bool operator==(const TKeyInsertion&) const = default;
};

// A reference line the translation's encoding cannot hold: it is left out,
// never written with a stand-in.
struct TUnencodableKey {
    std::string Key;
    char32_t Character;
    bool operator==(const TUnencodableKey&) const = default;
};

struct TMissingKeyInsertions {
    std::vector<TKeyInsertion> Insertions; // in the order of their places
    std::vector<TUnencodableKey> Unencodable;
};

// Where each missing key's reference line goes in `translation`, bytes in
// `encoding`. A key with no key of the reference before it that the
// translation has goes before the translation's first entry (at the end of a
// translation without entries). New lines take the translation's first kind
// of line break (CR LF in a text without one).
TMissingKeyInsertions MissingKeyInsertions(std::string_view translation, TTextEncoding encoding,
                                           const TReferenceText& reference);

// Lines of the translation whose keys the reference does not have, one run of
// lines after another.
struct TKeyRemoval {
    // The lines [FirstLine, EndLine) go, with their line breaks: those after
    // them, or for the last lines of the text the one before them.
    std::size_t FirstLine = 0;
    std::size_t EndLine = 0;
    // The same as bytes of the translation.
    std::size_t Offset = 0;
    std::size_t Length = 0;
    std::vector<std::string> Keys; // in the order of the lines
    bool operator==(const TKeyRemoval&) const = default;
};
std::vector<TKeyRemoval> ObsoleteKeyRemovals(std::string_view translation, TTextEncoding encoding,
                                             const TReferenceText& reference);

// The translation with the changes made.
std::string WithInsertions(std::string_view translation,
                           const std::vector<TKeyInsertion>& insertions);
std::string WithRemovals(std::string_view translation, const std::vector<TKeyRemoval>& removals);
