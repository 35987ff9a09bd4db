#include "workbench/MemoryCache.h"

#include "platform/FileBlock.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "workbench/LanguageNames.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace {

using phrase_distance::HashBytes;
using phrase_distance::Mix;

// The cache file's check sum: eight lanes of one multiplication per 8 bytes,
// which the processor works on side by side, over blocks of 64 bytes; the
// bytes after the last whole block are hashed at the end. Given the bytes in
// pieces of any size, as they are read, it sums each piece while the piece is
// still in the processor's cache.
class TCheckSum {
public:
    void Add(std::string_view s) {
        FSize += s.size();
        while (!s.empty()) {
            if (FCarried > 0 || s.size() < sizeof FCarry) {
                const std::size_t take = std::min(sizeof FCarry - FCarried, s.size());
                std::memcpy(FCarry + FCarried, s.data(), take);
                FCarried += take;
                s.remove_prefix(take);
                if (FCarried == sizeof FCarry) {
                    Block(FCarry);
                    FCarried = 0;
                }
                continue;
            }
            const std::size_t whole = s.size() / sizeof FCarry * sizeof FCarry;
            for (std::size_t i = 0; i < whole; i += sizeof FCarry)
                Block(s.data() + i);
            s.remove_prefix(whole);
        }
    }
    std::uint64_t Value() const {
        std::uint64_t h = FSize;
        for (const std::uint64_t lane : FLanes)
            h = Mix(h ^ lane);
        return HashBytes(std::string_view(FCarry, FCarried), h);
    }

private:
    static constexpr std::uint64_t K = 0x9E3779B97F4A7C15ULL;
    void Block(const char* p) {
        for (std::size_t l = 0; l < 8; ++l) {
            std::uint64_t w;
            std::memcpy(&w, p + 8 * l, 8);
            FLanes[l] = ((FLanes[l] ^ w) * K);
            FLanes[l] ^= FLanes[l] >> 29;
        }
    }
    std::uint64_t FLanes[8] = {K, K ^ 1, K ^ 2, K ^ 3, K ^ 4, K ^ 5, K ^ 6, K ^ 7};
    std::uint64_t FSize = 0;
    char FCarry[64] = {};
    std::size_t FCarried = 0;
};

constexpr char Magic[4] = {'W', 'L', 'T', 'M'};
// 2: arrays start at multiples of ArrayAlign, so that they are read where
// they are, without a copy.
constexpr std::uint32_t Version = 2;
constexpr std::uint32_t ByteOrder = 0x01020304;
// Magic, version, byte order, four bytes left free, length, sum: the body
// starts at a multiple of ArrayAlign.
constexpr std::size_t HeaderSize = 4 + 4 + 4 + 4 + 8 + 8;
constexpr std::size_t ArrayAlign = 8;
static_assert(HeaderSize % ArrayAlign == 0);

std::size_t Aligned(std::size_t at) {
    return (at + ArrayAlign - 1) / ArrayAlign * ArrayAlign;
}

struct TReader {
    std::string_view Data;
    std::size_t At = 0;
    bool Ok = true;

    bool Take(void* out, std::size_t n) {
        if (!Ok || Data.size() - At < n)
            return Ok = false;
        if (n == 0) // an empty array has no storage to copy into
            return true;
        std::memcpy(out, Data.data() + At, n);
        At += n;
        return true;
    }
    template <class T> T Number() {
        T value{};
        Take(&value, sizeof value);
        return value;
    }
    std::string Text() {
        const auto n = Number<std::uint32_t>();
        if (!Ok || Data.size() - At < n) {
            Ok = false;
            return {};
        }
        std::string s(Data.substr(At, n));
        At += n;
        return s;
    }
    // A text as a part of the data, not copied.
    std::string_view View() {
        const auto n = Number<std::uint32_t>();
        if (!Ok || Data.size() - At < n) {
            Ok = false;
            return {};
        }
        const std::string_view s = Data.substr(At, n);
        At += n;
        return s;
    }
    TMemoryFileStamp Stamp() {
        TMemoryFileStamp stamp;
        stamp.Size = Number<std::int64_t>();
        stamp.Time = Number<std::int64_t>();
        stamp.Encoding = Number<std::uint8_t>();
        return stamp;
    }
    // Where an array of `n` items of T starts in Data, after its count.
    template <class T> const T* ArrayAt(std::uint32_t& n) {
        static_assert(std::is_trivially_copyable_v<T> && alignof(T) <= ArrayAlign);
        n = Number<std::uint32_t>();
        const std::size_t at = Aligned(At);
        if (!Ok || at > Data.size() || (Data.size() - at) / sizeof(T) < n ||
            reinterpret_cast<std::uintptr_t>(Data.data() + at) % alignof(T) != 0) {
            Ok = false;
            return nullptr;
        }
        At = at + std::size_t{n} * sizeof(T);
        return reinterpret_cast<const T*>(Data.data() + at);
    }
    // The array as a view of Data, not copied.
    template <class T> bool Array(TMemoryArray<T>& out) {
        std::uint32_t n = 0;
        const T* items = ArrayAt<T>(n);
        out = TMemoryArray<T>::View(items, Ok ? n : 0);
        return Ok;
    }
    template <class T> bool Array(std::vector<T>& out) {
        std::uint32_t n = 0;
        const T* items = ArrayAt<T>(n);
        if (Ok)
            out.assign(items, items + n);
        return Ok;
    }
};

struct TWriter {
    std::string Data;
    template <class T> void Number(T value) {
        Data.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void Text(std::string_view s) {
        Number(static_cast<std::uint32_t>(s.size()));
        Data.append(s);
    }
    void Stamp(const TMemoryFileStamp& stamp) {
        Number(stamp.Size);
        Number(stamp.Time);
        Number(stamp.Encoding);
    }
    // The count, then the items from the next multiple of ArrayAlign (counted
    // from the file's start).
    template <class Items> void Array(const Items& items) {
        Number(static_cast<std::uint32_t>(items.size()));
        Data.resize(Aligned(HeaderSize + Data.size()) - HeaderSize, '\0');
        Data.append(reinterpret_cast<const char*>(items.data()),
                    items.size() * sizeof(*items.data()));
    }
};

static bool Fits(std::size_t offset, std::size_t length, std::size_t size) {
    return offset <= size && length <= size - offset;
}

template <class T> bool Ascending(const TMemoryArray<T>& starts, std::size_t size) {
    return !starts.empty() && starts.front() == 0 && starts.back() == size &&
           std::is_sorted(starts.begin(), starts.end());
}

} // namespace

bool TMemoryCache::Holds(const TIndex& index, const std::vector<TProgram>& programs,
                         std::size_t languages) {
    const std::size_t phrases = index.PhraseRefs.size();
    const auto below = [](const auto& ids, std::size_t limit) {
        return std::all_of(ids.begin(), ids.end(), [&](std::uint32_t id) { return id < limit; });
    };
    // Each phrase in one slot, so that a search always meets a free one.
    const auto taken = static_cast<std::size_t>(std::count_if(
        index.Slots.begin(), index.Slots.end(), [](std::uint32_t slot) { return slot != 0; }));
    if (index.Slots.size() < 2 * phrases || (index.Slots.size() & (index.Slots.size() - 1)) ||
        !below(index.Slots, phrases + 1) || taken != phrases ||
        index.HitStart.size() != phrases + 1 || !Ascending(index.HitStart, index.Hits.size()) ||
        index.Lengths.size() != phrases || index.Counts.size() != phrases ||
        !Ascending(index.LengthStart, index.ByLength.size()) || !below(index.ByLength, phrases) ||
        index.GramStart.size() != std::size_t{index.GramMask} + 2 ||
        ((index.GramMask + 1) & index.GramMask) != 0 ||
        !Ascending(index.GramStart, index.Grams.size()) || !below(index.Grams, phrases))
        return false;
    for (const auto& ref : index.PhraseRefs)
        if (ref.Program >= programs.size() ||
            ref.Entry >= programs[ref.Program].Reference->Entries.size())
            return false;
    for (const auto& hit : index.Hits)
        if (hit.Program >= programs.size() || hit.Part >= programs[hit.Program].Languages.size() ||
            hit.Pair >= programs[hit.Program].Languages[hit.Part]->Pairs.size() ||
            hit.Language >= languages)
            return false;
    for (const TProgram& program : programs)
        if (program.LanguageIds.size() != program.Languages.size() ||
            !below(program.LanguageIds, languages))
            return false;
    return true;
}

bool TMemoryCache::Read(const std::string& path, const std::string& referenceLanguage,
                        TContents& contents) {
    std::vector<TProgram>& programs = contents.Programs;
    // The body is summed as it is read.
    TCheckSum bodySum;
    std::size_t before = HeaderSize;
    const std::shared_ptr<const platform::TFileBlock> storage =
        platform::TFileBlock::Read(path, [&](std::string_view piece) {
            const std::size_t skip = std::min(before, piece.size());
            before -= skip;
            bodySum.Add(piece.substr(skip));
        });
    if (!storage)
        return !platform::FileExists(path);
    const std::string_view bytes = storage->Bytes();
    TReader header{bytes};
    char magic[4] = {};
    header.Take(magic, 4);
    const auto version = header.Number<std::uint32_t>();
    const auto order = header.Number<std::uint32_t>();
    header.Number<std::uint32_t>(); // free
    const auto length = header.Number<std::uint64_t>();
    const auto sum = header.Number<std::uint64_t>();
    if (!header.Ok || std::memcmp(magic, Magic, 4) != 0 || version != Version ||
        order != ByteOrder || length != bytes.size() - HeaderSize)
        return false;
    const std::string_view body = bytes.substr(HeaderSize);
    if (bodySum.Value() != sum)
        return false;
    TReader in{body};
    if (in.Text() != FoldedLanguageName(referenceLanguage))
        return in.Ok; // built against another reference: nothing to take
    const auto count = in.Number<std::uint32_t>();
    for (std::uint32_t p = 0; in.Ok && p < count; ++p) {
        TProgram program;
        program.Name = in.Text();
        program.CataloguePath = in.Text();
        auto reference = std::make_shared<TReferencePart>();
        reference->Path = in.Text();
        reference->Stamp = in.Stamp();
        reference->Storage = storage;
        reference->Text = in.View();
        in.Array(reference->Entries);
        for (const auto& e : reference->Entries)
            in.Ok = in.Ok && Fits(e.KeyOffset, e.KeyLength, reference->Text.size()) &&
                    Fits(e.PhraseOffset, e.PhraseLength, reference->Text.size());
        const auto languages = in.Number<std::uint32_t>();
        for (std::uint32_t l = 0; in.Ok && l < languages; ++l) {
            auto part = std::make_shared<TLanguagePart>();
            part->Language = in.Text();
            part->Path = in.Text();
            part->Stamp = in.Stamp();
            part->Storage = storage;
            part->Text = in.View();
            in.Array(part->Pairs);
            for (const auto& pair : part->Pairs)
                in.Ok = in.Ok && pair.Entry < reference->Entries.size() &&
                        Fits(pair.Offset, pair.Length, part->Text.size());
            program.Languages.push_back(std::move(part));
        }
        in.Array(program.LanguageIds);
        program.Reference = std::move(reference);
        programs.push_back(std::move(program));
    }
    auto index = std::make_unique<TIndex>();
    const auto languages = in.Number<std::uint32_t>();
    for (std::uint32_t l = 0; in.Ok && l < languages; ++l)
        contents.Languages.push_back(in.Text());
    in.Array(index->PhraseRefs);
    in.Array(index->Slots);
    in.Array(index->HitStart);
    in.Array(index->Hits);
    in.Array(index->Lengths);
    in.Array(index->Counts);
    in.Array(index->LengthStart);
    in.Array(index->ByLength);
    index->GramMask = in.Number<std::uint32_t>();
    in.Array(index->GramStart);
    in.Array(index->Grams);
    if (!in.Ok || in.At != body.size() || !Holds(*index, programs, contents.Languages.size())) {
        contents = {};
        return false;
    }
    index->Storage = storage;
    index->Phrases.reserve(index->PhraseRefs.size());
    for (const auto& ref : index->PhraseRefs)
        index->Phrases.push_back(programs[ref.Program].Reference->Phrase(ref.Entry));
    contents.Index = std::move(index);
    return true;
}

std::string TMemoryCache::Write(const std::string& path, const std::string& referenceLanguage,
                                const std::vector<TProgram>& programs, const TIndex& index,
                                const std::vector<std::string>& languages) {
    TWriter out;
    out.Text(FoldedLanguageName(referenceLanguage));
    out.Number(static_cast<std::uint32_t>(programs.size()));
    for (const TProgram& program : programs) {
        out.Text(program.Name);
        out.Text(program.CataloguePath);
        out.Text(program.Reference->Path);
        out.Stamp(program.Reference->Stamp);
        out.Text(program.Reference->Text);
        out.Array(program.Reference->Entries);
        out.Number(static_cast<std::uint32_t>(program.Languages.size()));
        for (const auto& part : program.Languages) {
            out.Text(part->Language);
            out.Text(part->Path);
            out.Stamp(part->Stamp);
            out.Text(part->Text);
            out.Array(part->Pairs);
        }
        out.Array(program.LanguageIds);
    }
    out.Number(static_cast<std::uint32_t>(languages.size()));
    for (const std::string& language : languages)
        out.Text(language);
    out.Array(index.PhraseRefs);
    out.Array(index.Slots);
    out.Array(index.HitStart);
    out.Array(index.Hits);
    out.Array(index.Lengths);
    out.Array(index.Counts);
    out.Array(index.LengthStart);
    out.Array(index.ByLength);
    out.Number(index.GramMask);
    out.Array(index.GramStart);
    out.Array(index.Grams);
    TWriter file;
    file.Data.append(Magic, 4);
    file.Number(Version);
    file.Number(ByteOrder);
    file.Number(std::uint32_t{0});
    file.Number(static_cast<std::uint64_t>(out.Data.size()));
    TCheckSum bodySum;
    bodySum.Add(out.Data);
    file.Number(bodySum.Value());
    file.Data += out.Data;
    return platform::ReplaceFileBytes(path, file.Data);
}
