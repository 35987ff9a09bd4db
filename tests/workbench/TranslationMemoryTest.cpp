// The memory of the maker's translations on small sample installations:
// exact and close matches, what cannot be read, and the cache.
#include "workbench/TranslationMemory.h"

#include "platform/Utf8.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

// A program's catalogue and its translation files: language -> lines of
// key="phrase", written with CR LF.
std::string Install(const TempDir& dir, const std::string& program,
                    const std::map<std::string, std::vector<std::string>>& languages) {
    std::string catalogue;
    const std::string name = program.substr(program.rfind('/') + 1);
    for (const auto& [language, lines] : languages) {
        const std::string file = name + "_" + language + ".ini";
        catalogue += "LanguageName=\"" + language + "\"\r\nLanguageFile=\"" + file + "\"\r\n";
        std::string text = "[" + name + "]\r\n";
        for (const std::string& line : lines)
            text += line + "\r\n";
        dir.Write(program + "/" + file, text);
    }
    return dir.Write(program + "/Languages.ini", catalogue + "LanguageDefault=\"English\"\r\n");
}

struct TSample {
    TempDir Dir;
    TMemorySettings Settings;

    TSample() {
        Settings.Sources = {
            {"Snapglass",
             Install(Dir, "Snapglass",
                     {{"English",
                       {"A.Save=\"Save picture\"", "A.Cancel=\"Cancel\"",
                        "A.NotFound=\"File %s not found\"", "A.Zoom=\"Zoom\"",
                        "A.Print=\"Print the picture on paper\""}},
                      {"Deutsch",
                       {"A.Save=\"Bild speichern\"", "A.Cancel=\"Abbrechen\"",
                        "A.NotFound=\"Datei %s nicht gefunden\"",
                        "A.Zoom=\"Zoom\"", // the same as the reference: not a translation
                        "A.Print=\"Das Bild auf Papier drucken\""}}})},
            {"Lumapad", Install(Dir, "Lumapad",
                                {{"English",
                                  {"B.Cancel=\"Cancel\"", "B.Save=\"Save pictures\"",
                                   "B.NotFound=\"File %d not found\"", "B.Open=\"Open\""}},
                                 {"Deutsch",
                                  {"B.Cancel=\"Abbrechen\"", "B.Save=\"Bilder speichern\"",
                                   "B.NotFound=\"Datei %d nicht gefunden\"", "B.Open=\"\""}},
                                 {"Français",
                                  {"B.Cancel=\"Annuler\"", "B.Save=\"Enregistrer les images\""}}})},
            {"Inkwell", Install(Dir, "Inkwell",
                                {{"English", {"C.Cancel=\"Cancel\"", "C.Close=\"Close\""}},
                                 {"Deutsch", {"C.Cancel=\"Schließen\"", "C.Close=\"Schließen\""}},
                                 {"Francais", {"C.Cancel=\"Annuler\""}}})},
        };
        Settings.CachePath = Dir / "Memory.cache";
    }
};

std::vector<std::string> Translations(const std::vector<TSuggestion>& suggestions) {
    std::vector<std::string> out;
    for (const TSuggestion& s : suggestions)
        out.push_back(s.Translation + " " + std::to_string(s.Similarity));
    return out;
}

TEST(TranslationMemoryTest, ExactMatchesFirstThenCloseOnes) {
    TSample sample;
    const auto memory = TTranslationMemory::Build(sample.Settings);
    ASSERT_EQ(memory->Stats().Programs, 3u);
    const struct {
        const char* phrase;
        const char* language;
        std::vector<std::string> expected;
    } cases[] = {
        // Given by two programs, against one that says otherwise: the more
        // frequent one first, each once.
        {"Cancel", "Deutsch", {"Abbrechen 100", "Schließen 100"}},
        // The same phrase, then a close one (one letter more: 92%).
        {"Save picture", "Deutsch", {"Bild speichern 100", "Bilder speichern 92"}},
        {"Save pictures", "Deutsch", {"Bilder speichern 100", "Bild speichern 92"}},
        // Placeholders count as one character each.
        {"File %s not found",
         "Deutsch",
         {"Datei %s nicht gefunden 100", "Datei %d nicht gefunden 93"}},
        // Catalogues name the same language in other ways.
        {"Cancel", "FRANCAIS", {"Annuler 100"}},
        {"Save pictures", "Français", {"Enregistrer les images 100"}},
        // Too far from anything, an untranslated phrase, an unknown language,
        // a phrase the reference has but no translation does.
        {"Print the page", "Deutsch", {}},
        {"Zoom", "Deutsch", {}},
        {"Cancel", "Polski", {}},
        {"Open", "Deutsch", {}},
        // Close matches of short phrases are found by their length alone.
        {"Cancels", "Deutsch", {"Abbrechen 85", "Schließen 85"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Translations(memory->Lookup(c.phrase, c.language)), c.expected)
            << c.phrase << " / " << c.language;
}

TEST(TranslationMemoryTest, SuggestionsNameTheirSourceAndWhatDiffers) {
    TSample sample;
    const auto memory = TTranslationMemory::Build(sample.Settings);
    const std::vector<TSuggestion> found = memory->Lookup("File %s not found", "Deutsch");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].Program, "Snapglass");
    EXPECT_EQ(found[0].Key, "A.NotFound");
    EXPECT_EQ(found[0].Sources, 1u);
    EXPECT_TRUE(found[0].DifferingWords.empty());
    EXPECT_FALSE(found[0].PlaceholdersDiffer);
    EXPECT_EQ(found[1].Program, "Lumapad");
    EXPECT_EQ(found[1].Key, "B.NotFound");
    EXPECT_EQ(found[1].Reference, "File %d not found");
    EXPECT_EQ(found[1].DifferingWords, (std::vector<TTextRange>{{5, 7}}));
    EXPECT_TRUE(found[1].PlaceholdersDiffer);

    const std::vector<TSuggestion> cancel = memory->Lookup("Cancel", "Deutsch");
    ASSERT_FALSE(cancel.empty());
    EXPECT_EQ(cancel[0].Sources, 2u);
    // The translation being edited gives no suggestions of its own.
    const std::string own = sample.Dir / "Snapglass/Snapglass_Deutsch.ini";
    EXPECT_EQ(Translations(memory->Lookup("Save picture", "Deutsch", own)),
              (std::vector<std::string>{"Bilder speichern 92"}));
    EXPECT_EQ(memory->ExactTranslation("Cancel", "Deutsch"), "Abbrechen");
    EXPECT_EQ(memory->ExactTranslation("Save picture", "Deutsch", own), std::nullopt);
}

TEST(TranslationMemoryTest, SimilarityAndDifferingWords) {
    const struct {
        const char* a;
        const char* b;
        int similarity;
        std::vector<TTextRange> differing; // in b
    } cases[] = {
        {"Save", "Save", 100, {}},
        {"Colour", "Color", 83, {{0, 5}}},
        {"Open picture...", "Open pictures...", 93, {{5, 13}}},
        {"File %s not found", "File %1 not found", 93, {{5, 7}}},
        {"Größe ändern", "Größe anpassen", 57, {{8, 16}}},
        {"Delete the file", "the file Delete", 20, {{9, 15}}},
        {"", "abc", 0, {{0, 3}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PhraseSimilarity(c.a, c.b), c.similarity) << c.a << " / " << c.b;
        EXPECT_EQ(PhraseSimilarity(c.b, c.a), c.similarity) << c.b << " / " << c.a;
        EXPECT_EQ(DifferingWords(c.a, c.b), c.differing) << c.a << " / " << c.b;
    }
}

// The index finds every close match a comparison with each phrase finds.
TEST(TranslationMemoryTest, CloseMatchesAsFoundByComparingEveryPhrase) {
    TempDir dir;
    std::vector<std::string> english, german, phrases;
    const char* const words[] = {"Save", "the",  "file", "%s",  "now", "all", "Print",
                                 "a",    "page", "of",   "{0}", "Ok",  "x",   "Färbe"};
    unsigned seed = 7;
    const auto next = [&seed](unsigned bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % bound;
    };
    for (int i = 0; i < 400; ++i) {
        std::string phrase;
        for (unsigned w = 0, count = 1 + next(5); w < count; ++w)
            phrase += (w ? " " : "") + std::string(words[next(std::size(words))]);
        if (next(2)) {
            std::size_t at = next(static_cast<unsigned>(phrase.size()));
            while (at < phrase.size() && (static_cast<unsigned char>(phrase[at]) & 0xC0) == 0x80)
                ++at; // not inside a letter
            phrase.insert(at, 1, "aeo."[next(4)]);
        }
        phrases.push_back(phrase);
        english.push_back("K" + std::to_string(i) + "=\"" + phrase + "\"");
        german.push_back("K" + std::to_string(i) + "=\"T" + std::to_string(i) + "\"");
    }
    TMemorySettings settings;
    settings.Sources = {
        {"Random", Install(dir, "Random", {{"English", english}, {"Deutsch", german}})}};
    const auto memory = TTranslationMemory::Build(settings);
    int withCloseMatches = 0;
    for (std::size_t q = 0; q < 60; ++q) {
        const std::string& query = phrases[q * 5];
        int best = -1;
        for (const std::string& other : phrases)
            if (other != query &&
                PhraseSimilarity(query, other) >= TTranslationMemory::MinSimilarity)
                best = std::max(best, PhraseSimilarity(query, other));
        int found = -1;
        for (const TSuggestion& s : memory->Lookup(query, "Deutsch"))
            if (s.Similarity < 100)
                found = std::max(found, s.Similarity);
        withCloseMatches += best >= 0;
        const bool crowded =
            memory->Lookup(query, "Deutsch").size() == TTranslationMemory::MaxSuggestions;
        if (!crowded)
            EXPECT_EQ(found, best) << query;
        else
            EXPECT_LE(found, best) << query;
    }
    EXPECT_GT(withCloseMatches, 10);
}

TEST(TranslationMemoryTest, WhatCannotBeReadIsSkippedAndCounted) {
    TSample sample;
    TempDir& dir = sample.Dir;
    // A listed file that is not there, and one that is a folder.
    dir.Write("Broken/Broken_English.ini", "A.Cancel=\"Cancel\"\r\n");
    dir.Write("Broken/Broken_Dansk.ini/inside", "");
    sample.Settings.Sources.push_back(
        {"Broken", dir.Write("Broken/Languages.ini",
                             "LanguageName=\"English\"\r\nLanguageFile=\"Broken_English.ini\"\r\n"
                             "LanguageName=\"Polski\"\r\nLanguageFile=\"Broken_Polski.ini\"\r\n"
                             "LanguageName=\"Dansk\"\r\nLanguageFile=\"Broken_Dansk.ini\"\r\n")});
    // No catalogue at all; a catalogue without the reference language; a
    // reference that cannot be read.
    sample.Settings.Sources.push_back({"Gone", dir / "Gone/Languages.ini"});
    sample.Settings.Sources.push_back(
        {"German only",
         dir.Write("German/Languages.ini",
                   "LanguageName=\"Deutsch\"\r\nLanguageFile=\"German_Deutsch.ini\"\r\n")});
    sample.Settings.Sources.push_back(
        {"No reference",
         dir.Write("NoRef/Languages.ini",
                   "LanguageName=\"English\"\r\nLanguageFile=\"Missing.ini\"\r\n")});
    const auto memory = TTranslationMemory::Build(sample.Settings);
    const TMemoryStats& stats = memory->Stats();
    EXPECT_EQ(stats.Programs, 4u);
    EXPECT_EQ(stats.SkippedPrograms, 3u);
    EXPECT_EQ(stats.SkippedFiles, 3u);
    EXPECT_EQ(stats.Files, 5u);
    EXPECT_EQ(memory->Lookup("Cancel", "Deutsch").size(), 2u);
}

TEST(TranslationMemoryTest, CacheKeepsWhatWasReadAndRereadsChangedFiles) {
    TSample sample;
    const auto first = TTranslationMemory::Build(sample.Settings);
    EXPECT_FALSE(first->Stats().CacheDamaged);
    EXPECT_EQ(first->Stats().CacheError, "");
    EXPECT_EQ(first->Stats().FilesRead, 8u);
    EXPECT_EQ(first->Stats().FilesFromCache, 0u);

    const auto again = TTranslationMemory::Build(sample.Settings);
    EXPECT_EQ(again->Stats().FilesRead, 0u);
    EXPECT_EQ(again->Stats().FilesFromCache, 8u);
    EXPECT_EQ(again->PairCount(), first->PairCount());
    // The memory read from the cache answers as the one built from the files,
    // close matches included.
    for (const char* phrase : {"Cancel", "Cancels", "Save picture", "Save pictures",
                               "File %s not found", "Print the picture on paper", "Close"})
        for (const char* language : {"Deutsch", "Francais"}) {
            EXPECT_EQ(Translations(again->Lookup(phrase, language)),
                      Translations(first->Lookup(phrase, language)))
                << phrase << " / " << language;
            EXPECT_EQ(again->ExactTranslation(phrase, language),
                      first->ExactTranslation(phrase, language));
        }

    // A file of another size, then one of the same size with another time.
    sample.Dir.Write("Inkwell/Inkwell_Deutsch.ini",
                     "C.Cancel=\"Abbrechen!\"\r\nC.Close=\"Schließen\"\r\n");
    const auto resized = TTranslationMemory::Build(sample.Settings);
    EXPECT_EQ(resized->Stats().FilesRead, 1u);
    EXPECT_EQ(Translations(resized->Lookup("Cancel", "Deutsch")),
              (std::vector<std::string>{"Abbrechen 100", "Abbrechen! 100"}));

    const std::string path = sample.Dir.Write(
        "Inkwell/Inkwell_Deutsch.ini", "C.Cancel=\"Abbruch!!!\"\r\nC.Close=\"Schließen\"\r\n");
    const auto fsPath = platform::PathFromUtf8(path);
    std::filesystem::last_write_time(fsPath, std::filesystem::last_write_time(fsPath) +
                                                 std::chrono::seconds(5));
    const auto retimed = TTranslationMemory::Build(sample.Settings);
    EXPECT_EQ(retimed->Stats().FilesRead, 1u);
    EXPECT_EQ(retimed->ExactTranslation("Close", "Deutsch"), "Schließen");
    EXPECT_EQ(Translations(retimed->Lookup("Cancel", "Deutsch")),
              (std::vector<std::string>{"Abbrechen 100", "Abbruch!!! 100"}));

    // A changed reference is read again with every translation of it.
    sample.Dir.Write("Lumapad/Lumapad_English.ini", "B.Cancel=\"Cancel it\"\r\n");
    const auto rereference = TTranslationMemory::Build(sample.Settings);
    EXPECT_EQ(rereference->Stats().FilesRead, 3u);
    EXPECT_EQ(rereference->ExactTranslation("Cancel it", "Deutsch"), "Abbrechen");

    // Another reference language takes nothing from the cache.
    TMemorySettings german = sample.Settings;
    german.ReferenceLanguage = "Deutsch";
    const auto byGerman = TTranslationMemory::Build(german);
    EXPECT_EQ(byGerman->Stats().FilesFromCache, 0u);
    EXPECT_FALSE(byGerman->Stats().CacheDamaged);
    EXPECT_EQ(byGerman->ExactTranslation("Abbrechen", "English"), "Cancel");
    EXPECT_EQ(byGerman->ExactTranslation("Abbruch!!!", "English"), "Cancel");
}

TEST(TranslationMemoryTest, DamagedCacheIsRebuilt) {
    TSample sample;
    const auto good = TTranslationMemory::Build(sample.Settings);
    const std::string bytes = TempDir::Read(sample.Settings.CachePath);
    ASSERT_GT(bytes.size(), 64u);
    const auto changed = [&](std::size_t at, char mask) {
        std::string changed = bytes;
        changed[at] ^= mask;
        return changed;
    };
    const std::string damaged[] = {
        "",
        "WLTM",
        bytes.substr(0, bytes.size() / 2),
        bytes.substr(0, bytes.size() - 1),
        changed(bytes.size() / 2, 0x5A),
        changed(bytes.size() - 1, 0x01), // the last array's last byte
        changed(40, 0x20),               // the reference language's name
        changed(4, 0x03),                // another version
        bytes + "x",
        std::string(bytes.size(), '\xFF'),
    };
    for (const std::string& cache : damaged) {
        sample.Dir.Write("Memory.cache", cache);
        const auto memory = TTranslationMemory::Build(sample.Settings);
        EXPECT_TRUE(memory->Stats().CacheDamaged) << cache.size();
        EXPECT_EQ(memory->Stats().FilesRead, 8u);
        EXPECT_EQ(memory->PairCount(), good->PairCount());
        for (const char* phrase : {"Cancel", "Save picture", "File %s not found"})
            EXPECT_EQ(Translations(memory->Lookup(phrase, "Deutsch")),
                      Translations(good->Lookup(phrase, "Deutsch")))
                << phrase;
        // Written again, whole.
        EXPECT_EQ(TempDir::Read(sample.Settings.CachePath).size(), bytes.size());
    }
}

TEST(TranslationMemoryTest, BuilderWorksOnItsOwnThread) {
    TSample sample;
    TMemoryBuilder builder;
    EXPECT_FALSE(builder.Ready());
    EXPECT_EQ(builder.Snapshot(), nullptr);
    builder.Start(sample.Settings);
    builder.Wait();
    EXPECT_TRUE(builder.Ready());
    ASSERT_NE(builder.Snapshot(), nullptr);
    EXPECT_EQ(builder.Snapshot()->ExactTranslation("Cancel", "Deutsch"), "Abbrechen");
    // A second build keeps the first snapshot until it is done.
    const auto before = builder.Snapshot();
    sample.Settings.ReferenceLanguage = "Deutsch";
    builder.Start(sample.Settings);
    EXPECT_NE(builder.Snapshot(), nullptr);
    builder.Wait();
    EXPECT_NE(builder.Snapshot(), before);
    EXPECT_EQ(builder.Snapshot()->ExactTranslation("Abbrechen", "English"), "Cancel");
}

TEST(TranslationMemoryTest, SavedCopiesAreFoundByTheirCatalogues) {
    TempDir data;
    Install(data, "Translations/Snapglass",
            {{"English", {"A=\"Cancel\""}}, {"Polski", {"A=\"Anuluj\""}}});
    data.Write("Translations/Snapglass/Notes.ini", "Some=\"text\"\r\n");
    data.Write("Translations/Empty/readme.txt", "");
    const std::vector<TMemorySource> sources = SavedCopySources(data.Path());
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].Program, "Snapglass");
    TMemorySettings settings;
    settings.Sources = sources;
    EXPECT_EQ(TTranslationMemory::Build(settings)->ExactTranslation("Cancel", "Polski"), "Anuluj");
}

} // namespace

namespace {

// The demo's two programs share phrases: a translator of Snapglass sees
// Lumapad's translations.
TEST(TranslationMemoryTest, DemoProgramsSuggestEachOthersPhrases) {
    TMemorySettings settings;
    for (const char* program : {"Snapglass", "Lumapad"})
        settings.Sources.push_back(
            {program, std::string(WORDLARK_DEMO_DIR) + "/" + program + "/Languages.ini"});
    const auto memory = TTranslationMemory::Build(settings);
    EXPECT_EQ(memory->Stats().Programs, 2u);
    EXPECT_EQ(memory->Stats().SkippedFiles, 0u);
    const std::string snapglass =
        std::string(WORDLARK_DEMO_DIR) + "/Snapglass/Snapglass_Deutsch.ini";
    const struct {
        const char* phrase;
        const char* language;
        std::vector<std::string> expected;
    } cases[] = {
        {"Cancel", "Deutsch", {"Abbrechen 100"}},
        {"Save picture as...", "Deutsch", {"Bilder speichern unter... 94"}},
        {"Rotate 90 degrees", "Deutsch", {"Um 180 Grad drehen 88"}},
        {"Picture size: %s x %s pixels", "Deutsch", {"Bildgröße: %s x %s Punkte 84"}},
        {"Open picture...", "Français", {"Ouvrir une image... 100"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Translations(memory->Lookup(c.phrase, c.language, snapglass)), c.expected)
            << c.phrase;
}

} // namespace
