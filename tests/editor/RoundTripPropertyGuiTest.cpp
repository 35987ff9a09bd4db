// Random files through the translation editor: loaded and saved without an
// edit, each comes back byte for byte when it keeps to one line-break style,
// and with CR LF throughout (every other byte as it was) when it mixes them.
//
// The files hold NUL, blanks at line ends and bytes 0x80..0xFF: half of them
// random bytes (hardly ever valid UTF-8, so shown as Windows-1252), half valid UTF-8
// up to four-byte sequences. Each case has its own fixed seed, printed when it
// fails.
#include "editor/SynEditor.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

const char* const Breaks[] = {"\r", "\n", "\r\n"};
const char* const BreakNames[] = {"CR", "LF", "CR LF"};

std::string Utf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

class FileGenerator {
public:
    explicit FileGenerator(std::uint32_t seed) : FRng(seed), FUtf8(seed % 2 == 0) {}

    bool Utf8Text() const { return FUtf8; }
    std::uint32_t Below(std::uint32_t n) {
        return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(FRng);
    }

    // One line without its break: anything but CR and LF, with NUL, blanks and
    // high bytes frequent. Sometimes empty.
    std::string Line() {
        std::string line;
        for (std::uint32_t n = Below(5) == 0 ? 0 : Below(60); n > 0; --n) {
            const std::uint32_t pick = Below(10);
            if (pick == 0)
                line += '\0';
            else if (pick == 1)
                line += Below(2) ? ' ' : '\t';
            else if (FUtf8)
                line += Utf8(CodePoint());
            else
                line += static_cast<char>(pick < 6 ? 0x80 + Below(128) : 1 + Below(127));
        }
        std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
        return line;
    }

    // A file of random lines, each line break drawn from `kinds` (indices into
    // Breaks), ending with a line break or not.
    std::string File(const std::vector<int>& kinds) {
        std::string file;
        const std::uint32_t lines = Below(40);
        for (std::uint32_t i = 0; i < lines; ++i) {
            file += Line();
            if (i + 1 < lines || Below(2))
                file += Breaks[kinds[Below(static_cast<std::uint32_t>(kinds.size()))]];
        }
        return file;
    }

private:
    char32_t CodePoint() {
        switch (Below(4)) {
        case 0: {
            char32_t c = Below(0x80);
            return c == '\r' || c == '\n' ? U'x' : c;
        }
        case 1:
            return 0x80 + Below(0x800 - 0x80);
        case 2: {
            char32_t c = 0x800 + Below(0x10000 - 0x800);
            return c >= 0xD800 && c <= 0xDFFF ? U'\uFFFD' : c;
        }
        default:
            return 0x10000 + Below(0x110000 - 0x10000);
        }
    }

    std::mt19937 FRng;
    bool FUtf8;
};

// The file's bytes with every line break (CR LF, a lone CR, a lone LF) written
// as CR LF; counts the kinds of break met in `kinds` (CR, LF, CR LF).
std::string WithCrLf(const std::string& file, int kinds[3]) {
    std::string out;
    for (size_t i = 0; i < file.size(); ++i) {
        if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n') {
            ++kinds[2];
            ++i;
        } else if (file[i] == '\r' || file[i] == '\n') {
            ++kinds[file[i] == '\r' ? 0 : 1];
        } else {
            out += file[i];
            continue;
        }
        out += "\r\n";
    }
    return out;
}

std::string RoundTrip(TSynEditor& editor, const TempDir& dir, const std::string& bytes) {
    const std::string in = dir.Write("in.ini", bytes);
    const std::string out = dir / "out.ini";
    editor.LoadFromFile(in);
    editor.SaveToFile(out);
    return TempDir::Read(out);
}

} // namespace

TEST(EditorRoundTrip, FilesWithOneLineBreakStyleComeBackByteForByte) {
    TempDir dir;
    TSynEditor editor;
    int highBytes = 0, nulBytes = 0;
    for (std::uint32_t c = 0; c < 300; ++c) {
        const std::uint32_t seed = 0xED170000u + c;
        FileGenerator gen(seed);
        const int kind = static_cast<int>(c % 3);
        const std::string file = gen.File({kind});
        SCOPED_TRACE("seed " + std::to_string(seed) + ", " + BreakNames[kind] +
                     (gen.Utf8Text() ? ", UTF-8" : ", other bytes"));
        ASSERT_EQ(RoundTrip(editor, dir, file), file);
        highBytes += std::any_of(file.begin(), file.end(),
                                 [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
        nulBytes += file.find('\0') != std::string::npos;
    }
    // The draws must really hold what the editor finds hard.
    EXPECT_GT(highBytes, 200);
    EXPECT_GT(nulBytes, 200);
}

TEST(EditorRoundTrip, MixedLineBreaksComeBackAsCrLf) {
    TempDir dir;
    TSynEditor editor;
    int tested = 0;
    for (std::uint32_t c = 0; tested < 200 && c < 2000; ++c) {
        const std::uint32_t seed = 0x31C00000u + c;
        FileGenerator gen(seed);
        const std::string file = gen.File({0, 1, 2});
        int kinds[3] = {0, 0, 0};
        const std::string expected = WithCrLf(file, kinds);
        if ((kinds[0] > 0) + (kinds[1] > 0) + (kinds[2] > 0) < 2)
            continue; // one style after all: the test above covers it
        ++tested;
        SCOPED_TRACE("seed " + std::to_string(seed) +
                     (gen.Utf8Text() ? ", UTF-8" : ", other bytes"));
        ASSERT_EQ(RoundTrip(editor, dir, file), expected);
    }
    EXPECT_EQ(tested, 200);
}
