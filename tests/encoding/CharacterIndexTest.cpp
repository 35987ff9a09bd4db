// The incremental character index against counting from the start of the
// text: random insertions and removals of multibyte characters and line
// breaks (CR, LF, CR LF, split and joined), the index told of each as an
// editor control tells it.
#include "encoding/CharacterIndex.h"
#include "encoding/Utf8.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A text broken into lines as the editor control breaks it.
class TStringText : public TCharacterIndex::TText {
public:
    std::string Bytes;

    std::size_t Length() const override { return Bytes.size(); }
    std::size_t LineCount() const override { return Starts().size(); }
    std::size_t LineOf(std::size_t position) const override {
        const std::vector<std::size_t> starts = Starts();
        std::size_t line = 0;
        while (line + 1 < starts.size() && starts[line + 1] <= position)
            ++line;
        return line;
    }
    std::size_t LineStart(std::size_t line) const override { return Starts()[line]; }
    void Read(std::size_t from, std::size_t to, std::string& out) const override {
        out = Bytes.substr(from, to - from);
    }

    std::vector<std::size_t> Starts() const {
        std::vector<std::size_t> starts{0};
        for (std::size_t i = 0; i < Bytes.size(); ++i) {
            if (Bytes[i] == '\r' && i + 1 < Bytes.size() && Bytes[i + 1] == '\n')
                continue;
            if (Bytes[i] == '\r' || Bytes[i] == '\n')
                starts.push_back(i + 1);
        }
        return starts;
    }
};

// Each byte position that starts a character, with the UTF-16 units before
// it, decoded from the start of the text.
struct TBoundary {
    std::size_t Position;
    std::size_t Units;
    std::size_t Width; // units of the character that starts here
};

std::vector<TBoundary> CountFromStart(const std::string& text) {
    std::vector<TBoundary> boundaries;
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const TUtf8Char c = NextUtf8(text, i);
        const std::size_t width = c.Code >= 0x10000 ? 2 : 1;
        boundaries.push_back({i, units, width});
        units += width;
        i += c.Length;
    }
    boundaries.push_back({text.size(), units, 0});
    return boundaries;
}

void ExpectAgreesWithFullCount(const TCharacterIndex& index, const TStringText& text,
                               const std::string& step) {
    const std::vector<TBoundary> boundaries = CountFromStart(text.Bytes);
    ASSERT_EQ(index.Characters(), boundaries.back().Units) << step;
    for (const TBoundary& b : boundaries) {
        ASSERT_EQ(index.CharacterAt(b.Position), b.Units) << step << " at byte " << b.Position;
        for (std::size_t unit = 0; unit < std::max<std::size_t>(b.Width, 1); ++unit)
            ASSERT_EQ(index.PositionOf(b.Units + unit), b.Position)
                << step << " at character " << b.Units + unit;
    }
    const std::vector<std::size_t> starts = text.Starts();
    for (std::size_t line = 0; line < starts.size(); ++line) {
        std::size_t before = 0;
        for (const TBoundary& b : boundaries)
            if (b.Position == starts[line])
                before = b.Units;
        ASSERT_EQ(index.CharactersBeforeLine(line), before) << step << " line " << line;
        if (line + 1 < starts.size() || before < index.Characters()) {
            ASSERT_EQ(index.LineOfCharacter(before), line) << step << " line " << line;
        }
    }
}

TEST(CharacterIndexTest, AgreesWithCountingFromTheStartAfterRandomEdits) {
    // One, two, three and four bytes; every kind of line break, and CR and LF
    // alone so that edits join and split CR LF pairs.
    const std::vector<std::string> pieces = {
        "a", "=", "\"", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\xA6\x9C", "\r", "\n", "\r\n",
    };
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        const auto below = [&random](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
        };
        TStringText text;
        text.Bytes = "key=\"w\xC3\xA9rt\"\r\n";
        TCharacterIndex index(text);
        ExpectAgreesWithFullCount(index, text, "start");
        for (int edit = 0; edit < 250; ++edit) {
            const std::vector<TBoundary> boundaries = CountFromStart(text.Bytes);
            const std::size_t at = boundaries[below(boundaries.size())].Position;
            std::string step = "seed " + std::to_string(seed) + " edit " + std::to_string(edit);
            if (text.Bytes.size() < 300 && below(5) < 3) {
                std::string inserted;
                for (std::size_t n = 1 + below(6); n > 0; --n)
                    inserted += pieces[below(pieces.size())];
                text.Bytes.insert(at, inserted);
                index.Inserted(at, inserted.size());
                step += ": insert at " + std::to_string(at);
            } else {
                const auto from = std::lower_bound(
                    boundaries.begin(), boundaries.end(), at,
                    [](const TBoundary& b, std::size_t p) { return b.Position < p; });
                const std::size_t reach = std::min<std::size_t>(
                    1 + below(8), static_cast<std::size_t>(boundaries.end() - from) - 1);
                text.Bytes.erase(at, (from + static_cast<std::ptrdiff_t>(reach))->Position - at);
                index.Removed(at);
                step += ": remove at " + std::to_string(at);
            }
            ExpectAgreesWithFullCount(index, text, step);
            if (HasFatalFailure())
                return;
        }
    }
}

// An owner that missed telling of a change that added lines, and then tells
// of one that its lines cannot hold, gets the text counted anew rather than
// offsets read past the index's lines.
TEST(CharacterIndexTest, CountsAnewWhenToldOfAChangeItsLinesCannotHold) {
    TStringText text;
    text.Bytes = "a=\"1\"\nb=\"2\"\n";
    TCharacterIndex index(text);
    text.Bytes.insert(0, "x\ny\n"); // not told
    text.Bytes.insert(text.Bytes.size() - 1, "\xC3\xA9");
    index.Inserted(text.Bytes.size() - 3, 2);
    ExpectAgreesWithFullCount(index, text, "after a missed insertion");
}

} // namespace
