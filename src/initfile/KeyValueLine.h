// One line of a translation file as the translator's tools see it: an entry
// key="phrase", a comment, a section header, a blank line or something else.
//
// The rules follow the program that reads these files and the highlighter that
// shows them: a comment starts with ";" and a section with "[" in the first
// column; an entry is found by its key followed directly by "=" and a double
// quote; the phrase runs from that quote to the last double quote of the line.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

enum class TLineKind : std::uint8_t {
    Blank,   // nothing but blanks (spaces and tabs)
    Comment, // ";" in the first column
    Section, // "[" in the first column
    Entry,   // a key, "=" and a value
    Other,   // anything else: no "=", or nothing before it
};

enum class TQuoting : std::uint8_t {
    None,   // the value does not start with a double quote
    Open,   // it starts with one that is never closed on the line
    Closed, // it starts with one, and the line holds another after it
};

struct TKeyValueLine {
    TLineKind Kind = TLineKind::Blank;
    TQuoting Quoting = TQuoting::None;
    // Entries only, as byte offsets into the line. The key runs from the first
    // non-blank to the first "=" (blanks before the "=" belong to it). The
    // value is the phrase inside the quotes when they are closed, everything
    // after the opening quote when it is open, and everything after the "="
    // otherwise.
    std::size_t KeyBegin = 0;
    std::size_t KeyEnd = 0;
    std::size_t ValueBegin = 0;
    std::size_t ValueEnd = 0;
    // Double quotes after the "=".
    std::size_t Quotes = 0;

    std::string_view Key(std::string_view line) const {
        return line.substr(KeyBegin, KeyEnd - KeyBegin);
    }
    std::string_view Value(std::string_view line) const {
        return line.substr(ValueBegin, ValueEnd - ValueBegin);
    }
    bool IsEntry() const { return Kind == TLineKind::Entry; }
};

// Reads one line, given without its line break.
TKeyValueLine ParseKeyValueLine(std::string_view line);

// About the number of lines ForEachLine finds in `text`, for a table of them to
// reserve its room at once instead of growing (and copying) line by line. Each
// kind of break is counted quickly; a text with as many CRs as LFs is taken to
// break its lines with CR LF (were it not, the table only grows once more),
// and only a text with other CRs is walked byte by byte.
inline std::size_t CountLines(std::string_view text) {
    const auto lfs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    const auto crs = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r'));
    if (crs == 0 || crs == lfs)
        return lfs + 1;
    std::size_t lines = 1;
    for (std::size_t i = 0; i < text.size(); ++i)
        lines +=
            text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
    return lines;
}

// Calls f(line) for each line of `text`, without its break. Lines end at CR LF,
// CR or LF alike; a text ending in a line break has an empty last line, as in
// the editor, so n breaks always give n + 1 lines.
template <class F> void ForEachLine(std::string_view text, F&& f) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        f(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    f(text.substr(start));
}
