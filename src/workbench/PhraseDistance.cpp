#include "workbench/PhraseDistance.h"

#include "encoding/Utf8.h"
#include "workbench/Checks.h"

namespace phrase_distance {

std::vector<TPlaceholderSpan> PlaceholderSpans(std::string_view phrase) {
    std::vector<TPlaceholderSpan> spans;
    if (std::none_of(phrase.begin(), phrase.end(), [](char c) { return c == '%' || c == '{'; }))
        return spans;
    for (const TPlaceholder& p : FindPlaceholders(phrase)) {
        const auto begin = static_cast<std::size_t>(p.Text.data() - phrase.data());
        spans.push_back({begin, begin + p.Text.size()});
    }
    return spans;
}

void PhraseUnits(std::string_view phrase, std::vector<char32_t>& units) {
    units.clear();
    const std::vector<TPlaceholderSpan> spans = PlaceholderSpans(phrase);
    std::size_t next = 0;
    for (std::size_t i = 0; i < phrase.size();) {
        if (next < spans.size() && spans[next].Begin == i) {
            const std::string_view text = phrase.substr(i, spans[next].End - i);
            units.push_back(PlaceholderBase + static_cast<char32_t>(HashBytes(text) & 0xFFFF));
            i = spans[next++].End;
            continue;
        }
        const auto c = static_cast<unsigned char>(phrase[i]);
        if (c < 0x80) {
            units.push_back(c);
            ++i;
            continue;
        }
        const TUtf8Char u = NextUtf8(phrase, i);
        units.push_back(u.Valid ? u.Code : 0xDC00 + c); // a stray byte stays itself
        i += u.Length;
    }
}

std::size_t EditDistance(const std::vector<char32_t>& a, const std::vector<char32_t>& b,
                         std::size_t limit) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    const std::size_t over = limit + 1;
    if ((n > m ? n - m : m - n) > limit)
        return over;
    std::vector<std::size_t> prev(m + 1), row(m + 1);
    for (std::size_t j = 0; j <= m; ++j)
        prev[j] = j <= limit ? j : over;
    for (std::size_t i = 1; i <= n; ++i) {
        const std::size_t from = i > limit ? i - limit : 1;
        const std::size_t to = std::min(m, i + limit);
        row[from - 1] = from == 1 ? std::min(i, over) : over;
        std::size_t best = row[from - 1];
        for (std::size_t j = from; j <= to; ++j) {
            const std::size_t replace = prev[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            const std::size_t erase = (j < i + limit ? prev[j] : over) + 1;
            const std::size_t insert = row[j - 1] + 1;
            row[j] = std::min({replace, erase, insert, over});
            best = std::min(best, row[j]);
        }
        if (to < m)
            row[to + 1] = over;
        if (best >= over)
            return over;
        std::swap(prev, row);
    }
    return std::min(prev[m], over);
}

TCharCounts CharCounts(const std::vector<char32_t>& units) {
    TCharCounts counts{};
    for (const char32_t c : units) {
        std::uint8_t& count = counts[(c * 0x9E3779B1u) >> 28];
        if (count < 255)
            ++count;
    }
    return counts;
}

namespace {

bool IsWordByte(unsigned char c) {
    return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c >= 'a' && c <= 'z') || c == '_';
}

} // namespace

std::vector<TToken> Tokens(std::string_view s) {
    std::vector<TToken> tokens;
    const std::vector<TPlaceholderSpan> spans = PlaceholderSpans(s);
    std::size_t next = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (next < spans.size() && spans[next].Begin == i) {
            tokens.push_back({i, spans[next].End});
            i = spans[next++].End;
            continue;
        }
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        if (IsWordByte(c))
            while (end < s.size() && IsWordByte(static_cast<unsigned char>(s[end])) &&
                   !(next < spans.size() && spans[next].Begin == end))
                ++end;
        tokens.push_back({i, end});
        i = end;
    }
    return tokens;
}

} // namespace phrase_distance

using namespace phrase_distance;

int PhraseSimilarity(std::string_view a, std::string_view b) {
    std::vector<char32_t> ua, ub;
    PhraseUnits(a, ua);
    PhraseUnits(b, ub);
    const std::size_t longer = std::max(ua.size(), ub.size());
    return SimilarityOf(EditDistance(ua, ub, longer), longer);
}

std::vector<TTextRange> DifferingWords(std::string_view a, std::string_view b) {
    const std::vector<TToken> ta = Tokens(a);
    const std::vector<TToken> tb = Tokens(b);
    const auto text = [](std::string_view s, const TToken& t) {
        return s.substr(t.Begin, t.End - t.Begin);
    };
    // The longest common sequence of tokens, worked out from the back.
    const std::size_t n = ta.size();
    const std::size_t m = tb.size();
    std::vector<std::uint32_t> table((n + 1) * (m + 1), 0);
    const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& {
        return table[i * (m + 1) + j];
    };
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            at(i, j) = text(a, ta[i]) == text(b, tb[j]) ? at(i + 1, j + 1) + 1
                                                        : std::max(at(i + 1, j), at(i, j + 1));
    std::vector<TTextRange> differing;
    std::size_t i = 0;
    std::size_t j = 0;
    while (j < m) {
        if (i < n && text(a, ta[i]) == text(b, tb[j])) {
            ++i;
            ++j;
        } else if (i < n && at(i + 1, j) >= at(i, j + 1)) {
            ++i;
        } else {
            differing.push_back({tb[j].Begin, tb[j].End});
            ++j;
        }
    }
    return differing;
}
