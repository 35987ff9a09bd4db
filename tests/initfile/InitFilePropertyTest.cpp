// Random documents in both forms: whatever keys and values go in come back out,
// in order, and survive a save and a load byte for byte.
//
// The values hold no end pattern and no key's start pattern (that is the
// documented limit of a format without escapes); everything else is fair game:
// line breaks, bytes 0x80..0xFF, '=', '<', '>' and pieces of other patterns.
// Each case is built from its own fixed seed, printed when it fails.
#include "initfile/InitFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using TForm = TInitFile::TForm;

struct Entry {
    std::string key;
    std::string value;
};

const std::string Declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";

std::string StartPattern(TForm form, const std::string& key) {
    return form == TForm::Xml ? "<" + key + ">" : key + "=\"";
}

std::string EndPattern(TForm form, const std::string& key) {
    return form == TForm::Xml ? "</" + key + ">" : "\"";
}

size_t Occurrences(const std::string& text, const std::string& pattern) {
    size_t count = 0;
    for (size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at + 1))
        ++count;
    return count;
}

class Generator {
public:
    explicit Generator(std::uint32_t seed) : FRng(seed) {}

    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(FRng); }

    std::string Key() {
        static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                            "0123456789._-;[] /\xC4\xE9\xFF";
        std::string key;
        for (size_t n = 1 + Below(12); n > 0; --n)
            key += alphabet[Below(alphabet.size())];
        return key;
    }

    // Any bytes but NUL (a loaded file ends at its first NUL), with pieces of
    // the patterns mixed in so that near misses are common.
    std::string Value(TForm form, const std::vector<std::string>& keys) {
        std::string value;
        for (size_t n = Below(24); n > 0; --n) {
            switch (Below(6)) {
            case 0:
                value += "\r\n";
                break;
            case 1:
                value += form == TForm::Xml ? "<" : "=";
                break;
            case 2:
                value += keys[Below(keys.size())];
                break;
            case 3:
                value += form == TForm::Xml ? "</" : "'";
                break;
            default:
                value += static_cast<char>(1 + Below(255));
            }
        }
        if (form == TForm::Ini)
            std::erase(value, '"');
        return value;
    }

private:
    std::mt19937 FRng;
};

// A random document whose values hold no pattern: every start pattern in the
// body belongs to an entry of its key, and each value ends at its own end tag.
// Returns false for a draw that breaks that rule (it is drawn again).
bool DrawDocument(Generator& gen, TForm form, std::vector<Entry>& entries, TInitFile& doc) {
    std::vector<std::string> keys;
    for (size_t n = 1 + gen.Below(5); n > 0; --n)
        keys.push_back(gen.Key());
    entries.clear();
    for (size_t n = 1 + gen.Below(30); n > 0; --n) {
        const std::string& key = keys[gen.Below(keys.size())];
        entries.push_back({key, gen.Value(form, keys)});
    }
    for (const Entry& e : entries)
        doc.AddString(e.key, e.value);

    std::map<std::string, size_t> perKey;
    for (const Entry& e : entries) {
        ++perKey[e.key];
        const std::string end = EndPattern(form, e.key);
        if ((e.value + end).find(end) != e.value.size())
            return false;
        if (form == TForm::Xml && e.value.find("</InitFile>") != std::string::npos)
            return false;
    }
    for (const auto& [key, count] : perKey)
        if (Occurrences(doc.Body(), StartPattern(form, key)) != count)
            return false;
    return true;
}

// Walks the entries in the order written with GetNextString alone, then each
// key by itself with GetString and GetNextString. The document's read cursor
// must be at the start.
void ExpectEntriesReadBack(TInitFile& doc, const std::vector<Entry>& entries) {
    for (size_t i = 0; i < entries.size(); ++i)
        ASSERT_EQ(doc.GetNextString(entries[i].key), entries[i].value) << "entry " << i;

    std::map<std::string, std::vector<std::string>> perKey;
    for (const Entry& e : entries)
        perKey[e.key].push_back(e.value);
    for (const auto& [key, values] : perKey) {
        const std::string first = doc.GetString(key, "\x01");
        EXPECT_EQ(first, values[0].empty() ? "\x01" : values[0]) << "key " << key;
        for (size_t i = 1; i < values.size(); ++i)
            ASSERT_EQ(doc.GetNextString(key), values[i]) << "key " << key << " value " << i;
        const size_t cursor = doc.ReadCursor();
        EXPECT_EQ(doc.GetNextString(key), "") << "key " << key;
        EXPECT_EQ(doc.ReadCursor(), cursor);
    }
}

std::string ExpectedFile(TForm form, const std::vector<Entry>& entries) {
    std::string text = form == TForm::Xml ? Declaration + "<InitFile>\r\n" : "";
    for (const Entry& e : entries) {
        if (form == TForm::Xml)
            text += "  <" + e.key + ">" + e.value + "</" + e.key + ">\r\n";
        else
            text += e.key + "=\"" + e.value + "\"\r\n";
    }
    return form == TForm::Xml ? text + "</InitFile>\r\n" : text;
}

class InitFileProperty : public ::testing::TestWithParam<TForm> {};

} // namespace

// Names the form in test names and messages (found through the enum's class).
static void PrintTo(TInitFile::TForm form, std::ostream* out) {
    *out << (form == TInitFile::TForm::Ini ? "INI form" : "XML form");
}

TEST_P(InitFileProperty, ValuesComeBackInOrderAndSurviveSaveAndLoad) {
    const TForm form = GetParam();
    TempDir dir;
    int rejected = 0;
    const int cases = 300;
    for (int c = 0; c < cases; ++c) {
        const std::uint32_t seed = 0x5EED0000u + static_cast<std::uint32_t>(c);
        SCOPED_TRACE("seed " + std::to_string(seed));
        Generator gen(seed);
        std::vector<Entry> entries;
        TInitFile doc(form);
        while (!DrawDocument(gen, form, entries, doc)) {
            ++rejected;
            doc.Clear();
        }

        const std::string path = dir / ("doc" + std::to_string(c) + ".ini");
        ASSERT_TRUE(doc.Save(path));
        const std::string saved = TempDir::Read(path);
        ASSERT_EQ(saved, ExpectedFile(form, entries));
        ASSERT_EQ(saved, doc.GetText());
        ASSERT_NO_FATAL_FAILURE(ExpectEntriesReadBack(doc, entries));

        TInitFile loaded(form);
        ASSERT_TRUE(loaded.Load(path));
        EXPECT_EQ(loaded.Body(), doc.Body());
        EXPECT_EQ(loaded.GetText(), saved);
        ASSERT_NO_FATAL_FAILURE(ExpectEntriesReadBack(loaded, entries));

        // Saving what was loaded writes the same bytes again.
        ASSERT_TRUE(loaded.Save(path));
        EXPECT_EQ(TempDir::Read(path), saved);
    }
    // Every case is a document that keeps the rule; the near misses that break
    // it must stay a minority, or the draws say little about real files.
    EXPECT_LT(rejected, cases) << "draws that broke the rule";
}

TEST_P(InitFileProperty, NumbersAndFlagsComeBackAsWritten) {
    const TForm form = GetParam();
    std::mt19937 rng(0xF1A65u);
    std::uniform_int_distribution<int> anyInt(INT_MIN, INT_MAX);
    std::uniform_int_distribution<int> smallInt(-1000, 1000);
    for (int c = 0; c < 300; ++c) {
        TInitFile doc(form);
        const int big = anyInt(rng);
        const int small = smallInt(rng);
        const bool flag = (rng() & 1) != 0;
        doc.AddInt("Big", big);
        doc.AddInt("Small", small);
        doc.AddBool("Flag", flag);
        doc.AddInt("Edge", c % 2 ? INT_MIN : INT_MAX);
        EXPECT_EQ(doc.GetInt("Big", big ^ 1), big);
        EXPECT_EQ(doc.GetInt("Small", small + 1), small);
        EXPECT_EQ(doc.GetBool("Flag", !flag), flag);
        EXPECT_EQ(doc.GetInt("Edge", 0), c % 2 ? INT_MIN : INT_MAX);
        EXPECT_EQ(doc.GetBool("Small", small != 1), small == 1);
        // An empty value reads as the default, as a missing key does.
        doc.AddString("Empty", "");
        EXPECT_EQ(doc.GetInt("Empty", big), big);
        EXPECT_EQ(doc.GetInt("Missing", small), small);
        EXPECT_EQ(doc.GetBool("Empty", flag), flag);
    }
}

INSTANTIATE_TEST_SUITE_P(BothForms, InitFileProperty, ::testing::Values(TForm::Ini, TForm::Xml),
                         [](const auto& info) {
                             return std::string(info.param == TForm::Ini ? "Ini" : "Xml");
                         });
