#include "workbench/SpellingWords.h"

#include "encoding/Utf8.h"
#include "initfile/KeyValueLine.h"
#include "workbench/Checks.h"

#include <vector>

namespace {

bool IsAsciiLetter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

bool IsLetter(char32_t c) {
    if (c < 0x80)
        return IsAsciiLetter(c);
    if (c < 0xC0 || c == 0xD7 || c == 0xF7)
        return false;
    // Punctuation, symbols, the characters that stand for stray bytes.
    if ((c >= 0x2000 && c <= 0x2BFF) || (c >= 0x3000 && c <= 0x303F) ||
        (c >= 0xE000 && c <= 0xF8FF) || c >= 0xFFF0)
        return false;
    return true;
}

bool IsUpper(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
           (c >= 0x391 && c <= 0x3AB) || (c >= 0x400 && c <= 0x42F);
}

// What a byte of the phrase is for the words: part of a word, part of
// something never spelled (a placeholder, an escape, markup), an access-key
// "&" or anything else (a separator).
enum class TByte : unsigned char { Text, Skip, AccessKey };

std::vector<TByte> Classify(std::string_view s) {
    std::vector<TByte> kind(s.size(), TByte::Text);
    const auto skip = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to && i < s.size(); ++i)
            kind[i] = TByte::Skip;
    };
    for (const TPlaceholder& p : FindPlaceholders(s)) {
        const auto at = static_cast<std::size_t>(p.Text.data() - s.data());
        skip(at, at + p.Text.size());
    }
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (kind[i] == TByte::Skip)
            continue;
        const char c = s[i];
        if (c == '\\' && i + 1 < s.size()) {
            skip(i, i + 2);
            ++i;
        } else if (c == '#' && i + 1 < s.size() && IsDigit(static_cast<unsigned char>(s[i + 1]))) {
            std::size_t end = i + 1;
            while (end < s.size() && IsDigit(static_cast<unsigned char>(s[end])))
                ++end;
            skip(i, end);
            i = end - 1;
        } else if (c == '<' && i + 1 < s.size() &&
                   (s[i + 1] == '/' || IsAsciiLetter(static_cast<unsigned char>(s[i + 1])))) {
            const std::size_t close = s.find('>', i);
            if (close != std::string_view::npos) {
                skip(i, close + 1);
                i = close;
            }
        } else if (c == '&' && i + 1 < s.size()) {
            // An entity (&amp; &#38;), a doubled "&" (one shown), or an
            // access key before a letter.
            std::size_t end = i + 1;
            if (s[end] == '#')
                ++end;
            while (end < s.size() && (IsAsciiLetter(static_cast<unsigned char>(s[end])) ||
                                      IsDigit(static_cast<unsigned char>(s[end]))))
                ++end;
            if (end > i + 1 && end < s.size() && s[end] == ';') {
                skip(i, end + 1);
                i = end;
            } else if (s[i + 1] == '&') {
                skip(i, i + 2);
                ++i;
            } else {
                kind[i] = TByte::AccessKey;
            }
        }
    }
    return kind;
}

bool IsJoiner(char32_t c) {
    return c == '\'' || c == 0x2019 || c == '-';
}

} // namespace

std::vector<TSpellingWord> WordsToCheck(std::string_view line) {
    std::vector<TSpellingWord> words;
    const TKeyValueLine parsed = ParseKeyValueLine(line);
    if (!parsed.IsEntry() || parsed.Quoting == TQuoting::None)
        return words;
    const std::string_view phrase = parsed.Value(line);
    const std::vector<TByte> kind = Classify(phrase);

    // The characters of the phrase that may belong to words, -1 for the rest.
    struct TChar {
        std::size_t At, Length;
        char32_t Code; // 0: a separator or something never spelled
        bool AccessKey;
    };
    std::vector<TChar> chars;
    for (std::size_t i = 0; i < phrase.size();) {
        const TUtf8Char u = NextUtf8(phrase, i);
        bool text = true;
        for (std::size_t k = i; k < i + u.Length; ++k)
            text = text && kind[k] != TByte::Skip;
        chars.push_back({i, u.Length, text ? u.Code : 0, kind[i] == TByte::AccessKey});
        i += u.Length;
    }
    const auto letterAt = [&](std::size_t k) {
        return k < chars.size() && IsLetter(chars[k].Code);
    };
    // A chunk: a run of characters between blanks, where the look of a file
    // name or an address is decided.
    const auto isBlank = [&](std::size_t k) {
        const char32_t c = chars[k].Code;
        return c == ' ' || c == '\t' || c == 0xA0 ||
               (c == 0 && (phrase[chars[k].At] == ' ' || phrase[chars[k].At] == '\t'));
    };
    std::size_t k = 0;
    while (k < chars.size()) {
        if (isBlank(k)) {
            ++k;
            continue;
        }
        std::size_t end = k;
        bool address = false;
        while (end < chars.size() && !isBlank(end)) {
            const char32_t c = chars[end].Code;
            const bool next = letterAt(end + 1);
            if (c == '@' || (c == ':' && end + 2 < chars.size() && chars[end + 1].Code == '/' &&
                             chars[end + 2].Code == '/'))
                address = true;
            // A file name (Snapglass.ini, %s.txt, www.example.com).
            if ((c == '.' || c == '_') && end > k && next)
                address = true;
            // A drive (C:\).
            if (c == ':' && end == k + 1 && letterAt(k) && end + 1 < chars.size() &&
                phrase[chars[end + 1].At] == '\\')
                address = true;
            ++end;
        }
        if (address) {
            k = end;
            continue;
        }
        // The words of the chunk.
        while (k < end) {
            const bool starts =
                letterAt(k) || IsDigit(chars[k].Code) || (chars[k].AccessKey && letterAt(k + 1));
            if (!starts) {
                ++k;
                continue;
            }
            std::size_t last = k;
            bool digits = false;
            bool lower = false;
            std::size_t letters = 0;
            std::string word;
            std::size_t j = k;
            while (j < end) {
                const TChar& c = chars[j];
                if (c.AccessKey && letterAt(j + 1)) {
                    ++j;
                    continue;
                }
                if (IsLetter(c.Code) || IsDigit(c.Code)) {
                    digits = digits || IsDigit(c.Code);
                    if (IsLetter(c.Code)) {
                        ++letters;
                        lower = lower || !IsUpper(c.Code);
                    }
                } else if (!(IsJoiner(c.Code) && j > k && letterAt(j + 1) &&
                             (letterAt(j - 1) || chars[j - 1].AccessKey))) {
                    break;
                }
                word.append(phrase.substr(c.At, c.Length));
                last = j;
                ++j;
            }
            const bool acronym = !lower && letters >= 2;
            if (!digits && !acronym && letters > 0)
                words.push_back({parsed.ValueBegin + chars[k].At,
                                 parsed.ValueBegin + chars[last].At + chars[last].Length,
                                 std::move(word)});
            k = j;
        }
    }
    return words;
}
