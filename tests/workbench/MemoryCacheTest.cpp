// The memory's cache file: a file whose check sum holds but whose numbers
// point anywhere else is refused.
#include "workbench/MemoryCache.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using TEntry = TMemoryReferencePart::TEntry;
using TPair = TMemoryLanguagePart::TPair;

struct TSmallCache {
    std::vector<TMemoryProgram> Programs;
    TMemoryIndex Index;
    std::vector<std::string> Languages{"deutsch"};
};

// One program: "Save" and "Cancel" in English, "Save" in German.
TSmallCache Small() {
    TSmallCache c;
    auto reference = std::make_shared<TMemoryReferencePart>();
    reference->Path = "/p/P_English.ini";
    reference->Stamp = {10, 20, 0xFF};
    auto text = std::make_shared<const std::string>("A.SaveSaveB.CancelCancel");
    reference->Text = *text;
    reference->Storage = text;
    reference->Entries = std::vector<TEntry>{{0, 6, 6, 4}, {10, 8, 18, 6}};
    auto german = std::make_shared<TMemoryLanguagePart>();
    german->Language = "Deutsch";
    german->Path = "/p/P_Deutsch.ini";
    german->Stamp = {5, 6, 1};
    auto translation = std::make_shared<const std::string>("Speichern");
    german->Text = *translation;
    german->Storage = translation;
    german->Pairs = std::vector<TPair>{{0, 0, 9}};
    TMemoryProgram program;
    program.Name = "P";
    program.CataloguePath = "/p/Languages.ini";
    program.Reference = reference;
    program.Languages = {german};
    program.LanguageIds = {0};
    c.Programs.push_back(program);

    TMemoryIndex& index = c.Index;
    index.Slots = std::vector<std::uint32_t>(4, 0);
    index.Intern(reference->Phrase(0), {0, 0});
    index.Intern(reference->Phrase(1), {0, 1});
    index.HitStart = std::vector<std::uint32_t>{0, 1, 1};
    index.Hits = std::vector<TMemoryIndex::THit>{{0, 0, 0, 0}};
    index.Lengths = std::vector<std::uint32_t>{4, 6};
    index.Counts = std::vector<phrase_distance::TCharCounts>(2);
    index.LengthStart = std::vector<std::uint32_t>{0, 0, 0, 0, 0, 1};
    index.ByLength = std::vector<std::uint32_t>{0};
    index.GramMask = 0;
    index.GramStart = std::vector<std::uint32_t>{0, 2};
    index.Grams = std::vector<std::uint32_t>{0, 0};
    return c;
}

bool WrittenAndRead(const TSmallCache& c, TMemoryCache::TContents& contents) {
    TempDir dir;
    const std::string path = dir / "Memory.cache";
    EXPECT_EQ(TMemoryCache::Write(path, "English", c.Programs, c.Index, c.Languages), "");
    return TMemoryCache::Read(path, "English", contents);
}

TEST(MemoryCacheTest, NumbersPointingElsewhereAreRefused) {
    const struct {
        const char* what;
        std::function<void(TSmallCache&)> damage;
    } cases[] = {
        {"a slot names no phrase", [](TSmallCache& c) { c.Index.Slots.Items()[3] = 3; }},
        // A search for a phrase that is not there would never end.
        {"no slot is free",
         [](TSmallCache& c) {
             c.Index.Slots = std::vector<std::uint32_t>{1, 2, 1, 2};
         }},
        {"a hit of no program", [](TSmallCache& c) { c.Index.Hits.Items()[0].Program = 1; }},
        {"a hit past the pairs", [](TSmallCache& c) { c.Index.Hits.Items()[0].Pair = 1; }},
        {"a hit of no language", [](TSmallCache& c) { c.Index.Hits.Items()[0].Language = 1; }},
        {"hits out of order",
         [](TSmallCache& c) {
             c.Index.HitStart = std::vector<std::uint32_t>{0, 2, 1};
         }},
        {"a phrase of no entry", [](TSmallCache& c) { c.Index.PhraseRefs.Items()[1].Entry = 2; }},
        {"a trigram of no phrase", [](TSmallCache& c) { c.Index.Grams.Items()[1] = 2; }},
        {"trigram buckets not a power of two",
         [](TSmallCache& c) {
             c.Index.GramMask = 2;
             c.Index.GramStart = std::vector<std::uint32_t>{0, 1, 1, 2};
         }},
        {"lengths of too few phrases",
         [](TSmallCache& c) { c.Index.Lengths = std::vector<std::uint32_t>{4}; }},
        {"an entry past the text",
         [](TSmallCache& c) {
             auto part = std::make_shared<TMemoryReferencePart>(*c.Programs[0].Reference);
             part->Entries.Items()[1].PhraseLength = 7;
             c.Programs[0].Reference = part;
         }},
        {"a pair of no entry",
         [](TSmallCache& c) {
             auto part = std::make_shared<TMemoryLanguagePart>(*c.Programs[0].Languages[0]);
             part->Pairs.Items()[0].Entry = 2;
             c.Programs[0].Languages[0] = part;
         }},
        {"a language id of no language", [](TSmallCache& c) { c.Programs[0].LanguageIds = {1}; }},
    };
    // Undamaged, the cache is taken.
    TMemoryCache::TContents good;
    ASSERT_TRUE(WrittenAndRead(Small(), good));
    ASSERT_NE(good.Index, nullptr);
    EXPECT_EQ(good.Index->Find("Cancel"), 1u);
    EXPECT_EQ(good.Programs[0].Languages[0]->Translation(good.Programs[0].Languages[0]->Pairs[0]),
              "Speichern");
    for (const auto& c : cases) {
        TSmallCache cache = Small();
        c.damage(cache);
        TMemoryCache::TContents contents;
        EXPECT_FALSE(WrittenAndRead(cache, contents)) << c.what;
        EXPECT_TRUE(contents.Programs.empty()) << c.what;
        EXPECT_EQ(contents.Index, nullptr) << c.what;
    }
}

} // namespace
