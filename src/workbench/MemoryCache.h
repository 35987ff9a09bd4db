#pragma once
#include "workbench/MemoryParts.h"

#include <memory>
#include <string>
#include <vector>

// The cache file: a header (magic, version, byte-order mark, the body's length
// and check sum) and a body of the programs' parts and the index. The file is
// read into one block of memory that the parts and the index keep: their texts
// and arrays (each at a multiple of 8 bytes in the file) are views of it, not
// copies. A file whose header, sum or any length or number does not hold up
// is not used at all.
struct TMemoryCache {
    using TReferencePart = TMemoryReferencePart;
    using TLanguagePart = TMemoryLanguagePart;
    using TProgram = TMemoryProgram;
    using TIndex = TMemoryIndex;

    // What a cache file holds: the programs' parts and, built from them, the
    // index and the languages.
    struct TContents {
        std::vector<TProgram> Programs;
        std::unique_ptr<TIndex> Index;
        std::vector<std::string> Languages;
    };

    // The programs of the cache file at `path` that were built against
    // `referenceLanguage`. False when the file is there but cannot be used.
    static bool Read(const std::string& path, const std::string& referenceLanguage,
                     TContents& contents);
    // Writes the cache file; the error, or empty.
    static std::string Write(const std::string& path, const std::string& referenceLanguage,
                             const std::vector<TProgram>& programs, const TIndex& index,
                             const std::vector<std::string>& languages);

private:
    // Whether every number of the index points where it may.
    static bool Holds(const TIndex& index, const std::vector<TProgram>& programs,
                      std::size_t languages);
};
