// Gettext's PO files, as the translators' tools and translation platforms
// exchange them: one entry per key (msgctxt the key, msgid the reference's
// phrase, msgstr the translation's), UTF-8, the "fuzzy" flag for phrases to
// be checked.
#pragma once

#include "workbench/Exchange.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A PO file (a template when `isTemplate`: no language, every msgstr empty),
// with LF line breaks.
std::string WritePo(const TExchangeHeader& header, const std::vector<TExchangeUnit>& units,
                    bool isTemplate = false);

// A file that cannot be read as an exchange file: what is wrong, and where.
class TExchangeFileError : public std::runtime_error {
public:
    TExchangeFileError(std::size_t line, const std::string& message)
        : std::runtime_error(line ? "line " + std::to_string(line) + ": " + message : message),
          FLine(line), FMessage(message) {}
    // Where (from 1; 0 when unknown), and what without where.
    std::size_t Line() const { return FLine; }
    const std::string& Message() const { return FMessage; }

private:
    std::size_t FLine;
    std::string FMessage;
};

// Reads a PO file as any gettext tool writes it (strings over several lines,
// C escapes, obsolete entries, a charset of UTF-8 or a Windows code page).
// Each entry with a context becomes a unit whose key is the context; the
// first msgstr of a plural entry is its target. Throws TExchangeFileError.
TExchangeDocument ReadPo(std::string_view bytes);
