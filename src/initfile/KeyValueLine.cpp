#include "initfile/KeyValueLine.h"

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
} // namespace

TKeyValueLine ParseKeyValueLine(std::string_view line) {
    TKeyValueLine result;
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first]))
        ++first;
    if (first == line.size())
        return result; // blank
    if (line[0] == ';') {
        result.Kind = TLineKind::Comment;
        return result;
    }
    if (line[0] == '[') {
        result.Kind = TLineKind::Section;
        return result;
    }
    const std::size_t equals = line.find('=', first);
    if (equals == std::string_view::npos || equals == first) {
        result.Kind = TLineKind::Other;
        return result;
    }
    result.Kind = TLineKind::Entry;
    result.KeyBegin = first;
    result.KeyEnd = equals;
    for (std::size_t i = equals + 1; i < line.size(); ++i)
        result.Quotes += line[i] == '"';

    const std::size_t open = equals + 1;
    if (open < line.size() && line[open] == '"') {
        const std::size_t close = line.rfind('"');
        result.ValueBegin = open + 1;
        if (close > open) {
            result.Quoting = TQuoting::Closed;
            result.ValueEnd = close;
        } else {
            result.Quoting = TQuoting::Open;
            result.ValueEnd = line.size();
        }
    } else {
        result.ValueBegin = open;
        result.ValueEnd = line.size();
    }
    return result;
}
