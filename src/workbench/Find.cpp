#include "workbench/Find.h"

#include "encoding/Utf8.h"
#include "initfile/KeyValueLine.h"
#include "platform/Text.h"

namespace {

constexpr std::size_t NoMatch = std::string_view::npos;

bool IsBreak(char c) {
    return c == '\r' || c == '\n';
}

std::size_t LineStartOf(std::string_view text, std::size_t pos) {
    while (pos > 0 && !IsBreak(text[pos - 1]))
        --pos;
    return pos;
}

std::size_t LineEndOf(std::string_view text, std::size_t pos) {
    while (pos < text.size() && !IsBreak(text[pos]))
        ++pos;
    return pos;
}

std::size_t AfterBreak(std::string_view text, std::size_t end) {
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
        return end + 2;
    return end + 1;
}

// The start of the line before the one starting at `start` (> 0).
std::size_t PreviousLineStart(std::string_view text, std::size_t start) {
    std::size_t end = start - 1;
    if (text[end] == '\n' && end > 0 && text[end - 1] == '\r')
        --end;
    return LineStartOf(text, end);
}

class TMatcher {
public:
    TMatcher(std::string_view text, std::string_view pattern, const TFindOptions& options)
        : FText(text), FPattern(pattern), FOptions(options) {
        if (!options.MatchCase)
            for (std::size_t i = 0; i < pattern.size();) {
                const TUtf8Char c = NextUtf8(pattern, i);
                FFolded.push_back(platform::FoldCase(c.Code));
                i += c.Length;
            }
    }

    // The matches in the part of the line starting at `lineStart` that may
    // hold them, left to right, passed to f(range); f returns false to stop.
    template <class F> bool InLine(std::size_t lineStart, F&& f) const {
        const std::size_t lineEnd = LineEndOf(FText, lineStart);
        std::size_t begin = lineStart;
        std::size_t end = lineEnd;
        if (FOptions.PhrasesOnly) {
            const std::string_view line = FText.substr(lineStart, lineEnd - lineStart);
            const TKeyValueLine parsed = ParseKeyValueLine(line);
            if (!parsed.IsEntry() || parsed.Quoting != TQuoting::Closed)
                return true;
            begin = lineStart + parsed.ValueBegin;
            end = lineStart + parsed.ValueEnd;
        }
        std::size_t i = begin;
        while (i < end) {
            const std::size_t length = MatchAt(i, end);
            if (length != NoMatch && IsWholeWord(i, i + length)) {
                if (!f(TTextRange{i, i + length}))
                    return false;
                i += length;
                continue;
            }
            i += NextUtf8(FText, i).Length;
        }
        return true;
    }

    bool Empty() const { return FPattern.empty(); }

private:
    // The length of a match starting at `i` and ending by `limit`, or NoMatch.
    std::size_t MatchAt(std::size_t i, std::size_t limit) const {
        if (FOptions.MatchCase) {
            if (limit - i < FPattern.size() || FText.compare(i, FPattern.size(), FPattern) != 0)
                return NoMatch;
            return FPattern.size();
        }
        std::size_t j = i;
        for (char32_t wanted : FFolded) {
            if (j >= limit)
                return NoMatch;
            const TUtf8Char c = NextUtf8(FText, j);
            if (platform::FoldCase(c.Code) != wanted)
                return NoMatch;
            j += c.Length;
        }
        return j <= limit ? j - i : NoMatch;
    }

    bool IsWholeWord(std::size_t begin, std::size_t end) const {
        if (!FOptions.WholeWord)
            return true;
        if (begin > 0) {
            std::size_t start = begin - 1;
            while (start > 0 && (static_cast<unsigned char>(FText[start]) & 0xC0) == 0x80 &&
                   begin - start < 4)
                --start;
            const TUtf8Char before = NextUtf8(FText, start);
            if (start + before.Length == begin && platform::IsWordCharacter(before.Code))
                return false;
        }
        return end >= FText.size() || !platform::IsWordCharacter(NextUtf8(FText, end).Code);
    }

    std::string_view FText;
    std::string_view FPattern;
    TFindOptions FOptions;
    std::vector<char32_t> FFolded;
};

} // namespace

std::vector<TTextRange> FindAll(std::string_view text, std::string_view pattern,
                                const TFindOptions& options) {
    std::vector<TTextRange> matches;
    const TMatcher matcher(text, pattern, options);
    if (matcher.Empty())
        return matches;
    for (std::size_t line = 0;;) {
        matcher.InLine(line, [&](TTextRange r) {
            matches.push_back(r);
            return true;
        });
        const std::size_t end = LineEndOf(text, line);
        if (end >= text.size())
            break;
        line = AfterBreak(text, end);
    }
    return matches;
}

std::optional<TTextRange> FindNext(std::string_view text, std::string_view pattern,
                                   const TFindOptions& options, std::size_t from, bool forward) {
    const TMatcher matcher(text, pattern, options);
    if (matcher.Empty())
        return std::nullopt;
    from = std::min(from, text.size());
    std::optional<TTextRange> found;
    std::size_t line = LineStartOf(text, from);
    if (forward) {
        for (;;) {
            matcher.InLine(line, [&](TTextRange r) {
                if (r.Begin < from)
                    return true;
                found = r;
                return false;
            });
            const std::size_t end = LineEndOf(text, line);
            if (found || end >= text.size())
                return found;
            line = AfterBreak(text, end);
        }
    }
    for (;;) {
        matcher.InLine(line, [&](TTextRange r) {
            if (r.End > from)
                return false;
            found = r;
            return true;
        });
        if (found || line == 0)
            return found;
        line = PreviousLineStart(text, line);
    }
}

TReplaceResult ReplaceAll(std::string_view text, std::string_view pattern,
                          std::string_view replacement, const TFindOptions& options) {
    TReplaceResult result;
    const std::vector<TTextRange> matches = FindAll(text, pattern, options);
    result.Count = matches.size();
    result.Text.reserve(text.size());
    std::size_t done = 0;
    for (const TTextRange& r : matches) {
        result.Text.append(text.substr(done, r.Begin - done));
        result.Text.append(replacement);
        done = r.End;
    }
    result.Text.append(text.substr(done));
    return result;
}
