#include "workbench/TranslationMemory.h"

#include "encoding/TextEncoding.h"
#include "encoding/Utf8.h"
#include "initfile/Catalogue.h"
#include "initfile/KeyValueLine.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"
#include "workbench/Checks.h"
#include "workbench/LanguageNames.h"
#include "workbench/MemoryCache.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <unordered_set>

using namespace phrase_distance;

namespace {

// The largest distance a similarity of at least MinSimilarity allows between
// phrases whose longer one has `longer` characters.
std::size_t AllowedDistance(std::size_t longer) {
    return longer * (100 - TTranslationMemory::MinSimilarity) / 100;
}

// ---------------------------------------------------------------------------
// Reading the files

TTranslationMemory::TFileStamp StampOf(const std::string& path,
                                       const std::map<std::string, TEncoding>& showAs) {
    TTranslationMemory::TFileStamp stamp;
    std::error_code error;
    const std::filesystem::path p = platform::PathFromUtf8(path);
    const auto size = std::filesystem::file_size(p, error);
    if (error)
        return stamp;
    const auto time = std::filesystem::last_write_time(p, error);
    if (error)
        return stamp;
    stamp.Size = static_cast<std::int64_t>(size);
    stamp.Time = static_cast<std::int64_t>(time.time_since_epoch().count());
    const auto chosen = showAs.find(path);
    stamp.Encoding = chosen == showAs.end() ? 0xFF : static_cast<std::uint8_t>(chosen->second);
    return stamp;
}

// The file's text as UTF-8, or none when it cannot be read.
std::optional<std::string> ReadText(const std::string& path,
                                    const TTranslationMemory::TFileStamp& stamp) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        return std::nullopt;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        bytes.erase(0, 3);
    if (IsValidUtf8(bytes))
        return bytes;
    const TTextEncoding encoding = stamp.Encoding == 0xFF
                                       ? TTextEncoding::Windows1252
                                       : static_cast<TTextEncoding>(stamp.Encoding);
    return DecodeText(bytes, encoding);
}

// Calls f(key, phrase) for the first entry of each key whose value is quoted
// (the entry a program reads), whatever its phrase.
template <class F> void ForEachFirstEntry(std::string_view text, F&& f) {
    std::unordered_set<std::string_view> seen;
    ForEachLine(text, [&](std::string_view line) {
        const TKeyValueLine parsed = ParseKeyValueLine(line);
        if (!parsed.IsEntry() || !seen.insert(parsed.Key(line)).second)
            return;
        f(parsed.Key(line), parsed.Quoting == TQuoting::Closed
                                ? std::optional<std::string_view>(parsed.Value(line))
                                : std::nullopt);
    });
}

std::uint32_t Append(std::string& text, std::string_view s) {
    const auto at = static_cast<std::uint32_t>(text.size());
    text.append(s);
    return at;
}

std::shared_ptr<TTranslationMemory::TReferencePart>
ReadReference(const std::string& path, const TTranslationMemory::TFileStamp& stamp) {
    const std::optional<std::string> text = ReadText(path, stamp);
    if (!text)
        return nullptr;
    auto part = std::make_shared<TTranslationMemory::TReferencePart>();
    part->Path = path;
    part->Stamp = stamp;
    std::string own;
    own.reserve(text->size());
    ForEachFirstEntry(*text, [&](std::string_view key, std::optional<std::string_view> phrase) {
        if (!phrase || phrase->empty())
            return;
        const auto keyLength = static_cast<std::uint32_t>(key.size());
        const std::uint32_t keyAt = Append(own, key);
        const std::uint32_t phraseAt = Append(own, *phrase);
        part->Entries.Items().push_back(
            {keyAt, keyLength, phraseAt, static_cast<std::uint32_t>(phrase->size())});
    });
    own.shrink_to_fit();
    auto storage = std::make_shared<const std::string>(std::move(own));
    part->Text = *storage;
    part->Storage = std::move(storage);
    return part;
}

using TKeyEntries = std::unordered_map<std::string_view, std::uint32_t>;

TKeyEntries KeyEntries(const TTranslationMemory::TReferencePart& reference) {
    TKeyEntries entries;
    entries.reserve(reference.Entries.size());
    for (std::uint32_t i = 0; i < reference.Entries.size(); ++i)
        entries.emplace(reference.Key(i), i);
    return entries;
}

std::shared_ptr<TTranslationMemory::TLanguagePart>
ReadLanguage(const TCatalogueEntry& entry, const TTranslationMemory::TFileStamp& stamp,
             const TTranslationMemory::TReferencePart& reference, const TKeyEntries& keys) {
    const std::optional<std::string> text = ReadText(entry.Path, stamp);
    if (!text)
        return nullptr;
    auto part = std::make_shared<TTranslationMemory::TLanguagePart>();
    part->Language = LanguageNameText(entry.Name);
    part->Path = entry.Path;
    part->Stamp = stamp;
    std::string own;
    ForEachFirstEntry(*text, [&](std::string_view key, std::optional<std::string_view> phrase) {
        const auto hit = keys.find(key);
        if (!phrase || phrase->empty() || hit == keys.end() ||
            *phrase == reference.Phrase(hit->second))
            return;
        part->Pairs.Items().push_back(
            {hit->second, Append(own, *phrase), static_cast<std::uint32_t>(phrase->size())});
    });
    own.shrink_to_fit();
    auto storage = std::make_shared<const std::string>(std::move(own));
    part->Text = *storage;
    part->Storage = std::move(storage);
    return part;
}

} // namespace

TTranslationMemory::TTranslationMemory() = default;
TTranslationMemory::~TTranslationMemory() = default;

void TTranslationMemory::BuildIndex() {
    auto index = std::make_unique<TIndex>();
    std::size_t entries = 0;
    std::size_t pairs = 0;
    for (const TProgram& program : FPrograms) {
        entries += program.Reference->Entries.size();
        for (const auto& part : program.Languages)
            pairs += part->Pairs.size();
    }
    std::size_t slots = 1024;
    while (slots < 2 * entries)
        slots *= 2;
    index->Slots.Items().assign(slots, 0);

    // Each program's entries as phrase ids (numbered as first met for now);
    // the languages as ids.
    std::vector<std::vector<std::uint32_t>> phraseOf(FPrograms.size());
    for (std::size_t p = 0; p < FPrograms.size(); ++p) {
        TProgram& program = FPrograms[p];
        const TReferencePart& reference = *program.Reference;
        phraseOf[p].resize(reference.Entries.size());
        for (std::size_t e = 0; e < reference.Entries.size(); ++e)
            phraseOf[p][e] = index->Intern(reference.Phrase(e), {static_cast<std::uint32_t>(p),
                                                                 static_cast<std::uint32_t>(e)});
        program.LanguageIds.clear();
        for (const auto& part : program.Languages) {
            const std::string folded = FoldedLanguageName(part->Language);
            auto at = std::find(FLanguages.begin(), FLanguages.end(), folded);
            if (at == FLanguages.end())
                at = FLanguages.insert(FLanguages.end(), folded);
            program.LanguageIds.push_back(static_cast<std::uint32_t>(at - FLanguages.begin()));
        }
    }
    const std::size_t phrases = index->Phrases.size();

    // The phrases numbered anew from the shortest to the longest (in
    // characters, a placeholder as one), those translated nowhere last: the
    // trigram lists below then come out sorted by length, so that a lookup
    // takes only the lengths it can use.
    std::vector<std::uint32_t> hitCount(phrases, 0);
    for (std::size_t p = 0; p < FPrograms.size(); ++p)
        for (const auto& part : FPrograms[p].Languages)
            for (const auto& pair : part->Pairs)
                ++hitCount[phraseOf[p][pair.Entry]];
    std::vector<char32_t> units;
    std::vector<std::uint32_t> length(phrases, 0);
    std::uint32_t longest = 0;
    for (std::uint32_t id = 0; id < phrases; ++id)
        if (hitCount[id] != 0) {
            PhraseUnits(index->Phrases[id], units);
            length[id] = static_cast<std::uint32_t>(units.size());
            longest = std::max(longest, length[id]);
        }
    index->LengthStart.Items().assign(longest + 2, 0);
    for (std::uint32_t id = 0; id < phrases; ++id)
        if (hitCount[id] != 0)
            ++index->LengthStart.Items()[length[id] + 1];
    for (std::size_t l = 0; l <= longest; ++l)
        index->LengthStart.Items()[l + 1] += index->LengthStart.Items()[l];
    const std::uint32_t translated = index->LengthStart.Items().back();
    std::vector<std::uint32_t> renumbered(phrases);
    {
        std::vector<std::uint32_t> fill(index->LengthStart.Items().begin(),
                                        index->LengthStart.Items().end() - 1);
        std::uint32_t rest = translated;
        for (std::uint32_t id = 0; id < phrases; ++id)
            renumbered[id] = hitCount[id] != 0 ? fill[length[id]]++ : rest++;
    }
    {
        std::vector<std::string_view> phrasesByNumber(phrases);
        std::vector<TIndex::TPhraseRef> refs(phrases);
        std::vector<std::uint32_t> hits(phrases);
        for (std::uint32_t id = 0; id < phrases; ++id) {
            phrasesByNumber[renumbered[id]] = index->Phrases[id];
            refs[renumbered[id]] = index->PhraseRefs.Items()[id];
            hits[renumbered[id]] = hitCount[id];
        }
        index->Phrases = std::move(phrasesByNumber);
        index->PhraseRefs.Items() = std::move(refs);
        hitCount = std::move(hits);
        for (std::uint32_t& slot : index->Slots.Items())
            if (slot != 0)
                slot = renumbered[slot - 1] + 1;
        for (auto& ids : phraseOf)
            for (std::uint32_t& id : ids)
                id = renumbered[id];
    }
    index->ByLength.Items().resize(translated);
    for (std::uint32_t id = 0; id < translated; ++id)
        index->ByLength.Items()[id] = id;

    // Where each phrase is translated, grouped by phrase (counting sort).
    index->HitStart.Items().assign(phrases + 1, 0);
    for (std::uint32_t id = 0; id < phrases; ++id)
        index->HitStart.Items()[id + 1] = index->HitStart.Items()[id] + hitCount[id];
    index->Hits.Items().resize(pairs);
    {
        std::vector<std::uint32_t> fill(index->HitStart.Items().begin(),
                                        index->HitStart.Items().end() - 1);
        for (std::uint32_t p = 0; p < FPrograms.size(); ++p) {
            const TProgram& program = FPrograms[p];
            for (std::uint32_t l = 0; l < program.Languages.size(); ++l) {
                const auto& part = *program.Languages[l];
                for (std::uint32_t i = 0; i < part.Pairs.size(); ++i)
                    index->Hits.Items()[fill[phraseOf[p][part.Pairs[i].Entry]]++] = {
                        p, l, i, program.LanguageIds[l]};
            }
        }
    }

    // The lengths, character counts and trigrams of the translated phrases.
    // Few buckets keep the counting within the processor's cache; phrases
    // that share a bucket but no trigram only add candidates, never lose one.
    std::size_t buckets = 1024;
    while (buckets < translated / 8 && buckets < (1u << 14))
        buckets *= 2;
    index->GramMask = static_cast<std::uint32_t>(buckets - 1);
    index->GramStart.Items().assign(buckets + 1, 0);
    index->Lengths.Items().assign(phrases, 0);
    index->Counts.Items().assign(phrases, TCharCounts{});
    std::vector<std::uint32_t> grams; // per phrase its trigrams, one after the other
    grams.reserve(entries * 24);
    for (std::uint32_t id = 0; id < translated; ++id) {
        PhraseUnits(index->Phrases[id], units);
        index->Lengths.Items()[id] = static_cast<std::uint32_t>(units.size());
        index->Counts.Items()[id] = CharCounts(units);
        for (std::size_t i = 0; i + 2 < units.size(); ++i) {
            grams.push_back(index->Gram(units, i));
            ++index->GramStart.Items()[grams.back() + 1];
        }
    }
    for (std::size_t b = 0; b < buckets; ++b)
        index->GramStart.Items()[b + 1] += index->GramStart.Items()[b];
    index->Grams.Items().resize(grams.size());
    {
        std::vector<std::uint32_t> fill(index->GramStart.Items().begin(),
                                        index->GramStart.Items().end() - 1);
        std::size_t at = 0;
        for (std::uint32_t id = 0; id < translated; ++id) {
            const std::size_t count =
                index->Lengths.Items()[id] > 2 ? index->Lengths.Items()[id] - 2 : 0;
            for (const std::size_t end = at + count; at < end; ++at)
                index->Grams.Items()[fill[grams[at]]++] = id;
        }
    }
    FStats.Pairs = pairs;
    FIndex = std::move(index);
}

std::shared_ptr<const TTranslationMemory>
TTranslationMemory::Build(const TMemorySettings& settings) {
    std::shared_ptr<TTranslationMemory> memory(new TTranslationMemory);
    memory->FReferenceLanguage = settings.ReferenceLanguage;
    TMemoryStats& stats = memory->FStats;

    TMemoryCache::TContents cache;
    if (!settings.CachePath.empty() &&
        !TMemoryCache::Read(settings.CachePath, settings.ReferenceLanguage, cache))
        stats.CacheDamaged = true;
    const std::vector<TProgram>& cached = cache.Programs;
    std::unordered_map<std::string_view, const TProgram*> cachedByCatalogue;
    for (const TProgram& program : cached)
        cachedByCatalogue.emplace(program.CataloguePath, &program);

    const std::string reference = FoldedLanguageName(settings.ReferenceLanguage);
    for (const TMemorySource& source : settings.Sources) {
        TCatalogueContents catalogue;
        try {
            catalogue = ReadCatalogue(source.CataloguePath);
        } catch (const std::exception&) {
            catalogue = {};
        }
        const auto isReference = [&](const TCatalogueEntry& e) {
            return FoldedLanguageName(LanguageNameText(e.Name)) == reference;
        };
        const auto referenceEntry =
            std::find_if(catalogue.Entries.begin(), catalogue.Entries.end(), isReference);
        if (referenceEntry == catalogue.Entries.end()) {
            ++stats.SkippedPrograms;
            continue;
        }
        const auto hit = cachedByCatalogue.find(source.CataloguePath);
        const TProgram* old = hit == cachedByCatalogue.end() ? nullptr : hit->second;

        TProgram program;
        program.Name = source.Program;
        program.CataloguePath = source.CataloguePath;
        const TFileStamp referenceStamp = StampOf(referenceEntry->Path, settings.ShowAs);
        const bool referenceKept = old && old->Reference->Path == referenceEntry->Path &&
                                   old->Reference->Stamp == referenceStamp &&
                                   referenceStamp.Size >= 0;
        if (referenceKept) {
            program.Reference = old->Reference;
            ++stats.FilesFromCache;
        } else {
            if (referenceStamp.Size >= 0)
                program.Reference = ReadReference(referenceEntry->Path, referenceStamp);
            if (!program.Reference) {
                ++stats.SkippedPrograms;
                ++stats.SkippedFiles;
                continue;
            }
            ++stats.FilesRead;
        }
        std::optional<TKeyEntries> keys;
        for (const TCatalogueEntry& entry : catalogue.Entries) {
            if (&entry == &*referenceEntry || isReference(entry))
                continue;
            const TFileStamp stamp = StampOf(entry.Path, settings.ShowAs);
            std::shared_ptr<const TLanguagePart> part;
            if (referenceKept && stamp.Size >= 0)
                for (const auto& candidate : old->Languages)
                    if (candidate->Path == entry.Path && candidate->Stamp == stamp &&
                        candidate->Language == LanguageNameText(entry.Name))
                        part = candidate;
            if (part) {
                ++stats.FilesFromCache;
            } else {
                if (!keys)
                    keys = KeyEntries(*program.Reference);
                if (stamp.Size >= 0)
                    part = ReadLanguage(entry, stamp, *program.Reference, *keys);
                if (!part) {
                    ++stats.SkippedFiles;
                    continue;
                }
                ++stats.FilesRead;
            }
            program.Languages.push_back(std::move(part));
            ++stats.Files;
        }
        memory->FPrograms.push_back(std::move(program));
        ++stats.Programs;
    }
    // When every part comes from the cache, in the same order, the index
    // built from them comes from it too; otherwise both are made and the
    // cache is written anew.
    const auto same = [](const TProgram& a, const TProgram& b) {
        return a.Name == b.Name && a.CataloguePath == b.CataloguePath &&
               a.Reference == b.Reference && a.Languages == b.Languages;
    };
    const bool unchanged =
        cache.Index && std::equal(memory->FPrograms.begin(), memory->FPrograms.end(),
                                  cached.begin(), cached.end(), same);
    if (unchanged) {
        for (std::size_t p = 0; p < cached.size(); ++p)
            memory->FPrograms[p].LanguageIds = cached[p].LanguageIds;
        memory->FLanguages = std::move(cache.Languages);
        memory->FIndex = std::move(cache.Index);
        stats.Pairs = memory->FIndex->Hits.size();
        return memory;
    }
    memory->BuildIndex();
    if (!settings.CachePath.empty())
        stats.CacheError =
            TMemoryCache::Write(settings.CachePath, settings.ReferenceLanguage, memory->FPrograms,
                                *memory->FIndex, memory->FLanguages);
    return memory;
}

// ---------------------------------------------------------------------------
// Looking up

struct TTranslationMemory::TLookupHit {
    std::string_view Translation;
    const TIndex::THit* Hit;
};

std::optional<std::uint32_t> TTranslationMemory::LanguageId(std::string_view language) const {
    const std::string folded = FoldedLanguageName(LanguageNameText(language));
    const auto at = std::find(FLanguages.begin(), FLanguages.end(), folded);
    if (at == FLanguages.end())
        return std::nullopt;
    return static_cast<std::uint32_t>(at - FLanguages.begin());
}

namespace {
// Translations of one phrase grouped by their text, the one given most often
// first, then in the order they were found.
struct TGroup {
    std::string_view Translation;
    std::size_t Count;
    std::size_t First;
};

template <class Hits> std::vector<TGroup> Grouped(const Hits& hits) {
    std::vector<TGroup> groups;
    for (std::size_t i = 0; i < hits.size(); ++i) {
        auto at = std::find_if(groups.begin(), groups.end(), [&](const TGroup& g) {
            return g.Translation == hits[i].Translation;
        });
        if (at == groups.end())
            groups.push_back({hits[i].Translation, 1, i});
        else
            ++at->Count;
    }
    std::stable_sort(groups.begin(), groups.end(),
                     [](const TGroup& a, const TGroup& b) { return a.Count > b.Count; });
    return groups;
}

bool SamePlaceholders(std::string_view a, std::string_view b) {
    std::vector<TProblem> problems;
    const std::string lineA = "k=\"" + std::string(a) + "\"";
    const std::string lineB = "k=\"" + std::string(b) + "\"";
    const TKeyValueLine parsedA = ParseKeyValueLine(lineA);
    const TKeyValueLine parsedB = ParseKeyValueLine(lineB);
    for (const TProblem& p : CheckEntry(lineA, parsedA, lineB, &parsedB))
        if (p.Reason == TReason::PlaceholderMissing || p.Reason == TReason::PlaceholderExtra ||
            p.Reason == TReason::PlaceholderOrder)
            return false;
    return true;
}
} // namespace

std::vector<TTranslationMemory::TLookupHit>
TTranslationMemory::ExactHits(std::string_view phrase, std::uint32_t language,
                              std::string_view skipFile) const {
    std::vector<TLookupHit> hits;
    const std::optional<std::uint32_t> id = FIndex->Find(phrase);
    if (!id)
        return hits;
    for (std::uint32_t i = FIndex->HitStart[*id]; i < FIndex->HitStart[*id + 1]; ++i) {
        const TIndex::THit& hit = FIndex->Hits[i];
        if (hit.Language != language)
            continue;
        const TLanguagePart& part = *FPrograms[hit.Program].Languages[hit.Part];
        if (!skipFile.empty() && part.Path == skipFile)
            continue;
        hits.push_back({part.Translation(part.Pairs[hit.Pair]), &hit});
    }
    return hits;
}

std::optional<std::string> TTranslationMemory::ExactTranslation(std::string_view phrase,
                                                                std::string_view language,
                                                                std::string_view skipFile) const {
    const std::optional<std::uint32_t> id = LanguageId(language);
    if (!id || phrase.empty())
        return std::nullopt;
    const std::vector<TLookupHit> hits = ExactHits(phrase, *id, skipFile);
    if (hits.empty())
        return std::nullopt;
    return std::string(Grouped(hits).front().Translation);
}

std::vector<TSuggestion> TTranslationMemory::Lookup(std::string_view phrase,
                                                    std::string_view language,
                                                    std::string_view skipFile) const {
    std::vector<TSuggestion> out;
    const std::optional<std::uint32_t> languageId = LanguageId(language);
    if (!languageId || phrase.empty())
        return out;
    const auto add = [&](const std::vector<TLookupHit>& hits, int similarity) {
        for (const TGroup& group : Grouped(hits)) {
            if (out.size() >= MaxSuggestions)
                return;
            if (std::any_of(out.begin(), out.end(), [&](const TSuggestion& s) {
                    return s.Translation == group.Translation;
                }))
                continue;
            const TIndex::THit& hit = *hits[group.First].Hit;
            const TProgram& program = FPrograms[hit.Program];
            const TLanguagePart& part = *program.Languages[hit.Part];
            TSuggestion s;
            s.Translation = std::string(group.Translation);
            s.Reference = std::string(program.Reference->Phrase(part.Pairs[hit.Pair].Entry));
            s.Program = program.Name;
            s.Key = std::string(program.Reference->Key(part.Pairs[hit.Pair].Entry));
            s.Similarity = similarity;
            s.Sources = group.Count;
            if (similarity < 100) {
                s.DifferingWords = DifferingWords(phrase, s.Reference);
                s.PlaceholdersDiffer = !SamePlaceholders(phrase, s.Reference);
            }
            out.push_back(std::move(s));
        }
    };
    add(ExactHits(phrase, *languageId, skipFile), 100);
    if (out.size() >= MaxSuggestions)
        return out;

    // Close matches: the phrases whose length allows the similarity, found
    // through the trigrams they share where the count of those can rule
    // phrases out, and by their length alone where it cannot.
    const TIndex& index = *FIndex;
    std::vector<char32_t> units;
    PhraseUnits(phrase, units);
    const std::size_t n = units.size();
    const std::size_t lowest = (3 * n + 3) / 4;
    const std::size_t highest = std::min<std::size_t>(4 * n / 3, index.LengthStart.size() - 2);
    const auto needed = [n](std::size_t m) -> long {
        const std::size_t longer = std::max(n, m);
        return static_cast<long>(longer) - 2 - 3 * static_cast<long>(AllowedDistance(longer));
    };
    std::vector<std::uint32_t> candidates;
    bool countGrams = false;
    for (std::size_t m = lowest; m <= highest; ++m) {
        if (AllowedDistance(std::max(n, m)) == 0)
            continue;
        if (needed(m) > 0) {
            countGrams = true;
            continue;
        }
        for (std::uint32_t i = index.LengthStart[m]; i < index.LengthStart[m + 1]; ++i)
            candidates.push_back(index.ByLength[i]);
    }
    if (countGrams && n >= 3) {
        thread_local std::vector<std::uint32_t> counts;
        counts.resize(index.Phrases.size());
        std::vector<std::uint32_t> touched;
        std::vector<std::uint32_t> grams;
        for (std::size_t i = 0; i + 2 < n; ++i)
            grams.push_back(index.Gram(units, i));
        std::sort(grams.begin(), grams.end());
        grams.erase(std::unique(grams.begin(), grams.end()), grams.end());
        for (const std::uint32_t gram : grams) {
            const auto first = index.Grams.begin() + index.GramStart[gram];
            const auto last = index.Grams.begin() + index.GramStart[gram + 1];
            const auto from = std::partition_point(
                first, last, [&](std::uint32_t id) { return index.Lengths[id] < lowest; });
            const auto to = std::partition_point(
                from, last, [&](std::uint32_t id) { return index.Lengths[id] <= highest; });
            for (auto it = from; it != to; ++it)
                if (counts[*it]++ == 0)
                    touched.push_back(*it);
        }
        for (const std::uint32_t id : touched) {
            const std::size_t m = index.Lengths[id];
            if (m >= lowest && m <= highest && AllowedDistance(std::max(n, m)) > 0 &&
                needed(m) > 0 && static_cast<long>(counts[id]) >= needed(m))
                candidates.push_back(id);
            counts[id] = 0;
        }
    }
    struct TClose {
        std::uint32_t Id;
        int Similarity;
    };
    std::vector<TClose> close;
    std::vector<char32_t> other;
    std::optional<TBitPattern> pattern;
    if (TBitPattern::Fits(n))
        pattern.emplace(units);
    const TCharCounts queryCounts = CharCounts(units);
    for (const std::uint32_t id : candidates) {
        const std::size_t longer = std::max<std::size_t>(n, index.Lengths[id]);
        if (DistanceAtLeast(queryCounts, index.Counts[id]) > AllowedDistance(longer) ||
            index.Phrases[id] == phrase)
            continue;
        PhraseUnits(index.Phrases[id], other);
        const std::size_t distance = pattern ? pattern->Distance(other)
                                             : EditDistance(units, other, AllowedDistance(longer));
        if (distance <= AllowedDistance(longer))
            close.push_back({id, SimilarityOf(distance, longer)});
    }
    std::sort(close.begin(), close.end(), [](const TClose& a, const TClose& b) {
        return a.Similarity != b.Similarity ? a.Similarity > b.Similarity : a.Id < b.Id;
    });
    for (const TClose& c : close) {
        if (out.size() >= MaxSuggestions)
            break;
        add(ExactHits(index.Phrases[c.Id], *languageId, skipFile), c.Similarity);
    }
    return out;
}

// ---------------------------------------------------------------------------

std::vector<TMemorySource> SavedCopySources(const std::string& dataFolder) {
    std::vector<TMemorySource> sources;
    platform::Platform& os = platform::Get();
    const std::string root =
        platform::IncludeTrailingDelimiter(dataFolder) + "Translations" + platform::PathDelim;
    std::vector<std::string> programs = os.ListFolder(root);
    std::sort(programs.begin(), programs.end());
    for (const std::string& program : programs) {
        if (program == "." || program == "..")
            continue;
        const std::string folder = root + program + platform::PathDelim;
        std::vector<std::string> files = os.ListFolder(folder);
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) {
            const std::string path = folder + file;
            if (file.size() < 5 || file.substr(file.size() - 4) != ".ini" || !os.FileExists(path))
                continue;
            // A catalogue is small and lists its files; a translation lists none.
            std::string bytes;
            if (platform::FileSize(path) > (1 << 20) || !platform::ReadFileBytes(path, bytes) ||
                bytes.find("LanguageFile") == std::string::npos)
                continue;
            if (!ReadCatalogue(path).Entries.empty())
                sources.push_back({program, path});
        }
    }
    return sources;
}

// ---------------------------------------------------------------------------

TMemoryBuilder::~TMemoryBuilder() {
    Wait();
}

void TMemoryBuilder::Start(TMemorySettings settings) {
    Wait();
    FReady = false;
    FWorker = std::thread([this, settings = std::move(settings)] {
        std::shared_ptr<const TTranslationMemory> memory;
        try {
            memory = TTranslationMemory::Build(settings);
        } catch (...) {
            // Out of memory or the like: the memory stays as it was.
        }
        if (memory) {
            const std::lock_guard<std::mutex> lock(FMutex);
            FMemory = std::move(memory);
        }
        FReady = true;
    });
}

std::shared_ptr<const TTranslationMemory> TMemoryBuilder::Snapshot() const {
    const std::lock_guard<std::mutex> lock(FMutex);
    return FMemory;
}

void TMemoryBuilder::Wait() {
    if (FWorker.joinable())
        FWorker.join();
}
