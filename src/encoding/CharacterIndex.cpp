#include "encoding/CharacterIndex.h"

#include <algorithm>
#include <utility>

std::size_t Utf16Units(std::string_view utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        // A lead byte of four bytes starts a pair of surrogates.
        units += (byte & 0xC0) == 0x80 ? 0 : byte >= 0xF0 ? 2 : 1;
    }
    return units;
}

// ---- TFenwickTree ---------------------------------------------------------------

namespace {
std::size_t LowBit(std::size_t i) {
    return i & (~i + 1);
}
} // namespace

void TFenwickTree::Assign(std::vector<std::uint32_t> counts) {
    FCounts = std::move(counts);
    FTree.assign(FCounts.size() + 1, 0);
    Rebuild(0);
}

void TFenwickTree::Rebuild(std::size_t first) {
    FTree.resize(FCounts.size() + 1);
    // Node i sums its own count and its children's nodes i - 1, i - 2, i - 4,
    // ... below i - lowbit(i); those before `first` are unchanged, the others
    // were recomputed just before. The children cost about one node each on
    // average, so this is linear.
    for (std::size_t i = first + 1; i < FTree.size(); ++i) {
        std::uint64_t sum = FCounts[i - 1];
        for (std::size_t step = 1; step < LowBit(i); step <<= 1)
            sum += FTree[i - step];
        FTree[i] = sum;
    }
}

std::uint64_t TFenwickTree::Before(std::size_t index) const {
    std::uint64_t sum = 0;
    for (std::size_t i = index; i > 0; i -= LowBit(i))
        sum += FTree[i];
    return sum;
}

std::size_t TFenwickTree::Find(std::uint64_t sum) const {
    // The number of leading counts whose total stays at or below `sum`.
    std::size_t at = 0;
    std::size_t step = 1;
    while (step * 2 <= FCounts.size())
        step *= 2;
    for (; step > 0; step /= 2) {
        if (at + step <= FCounts.size() && FTree[at + step] <= sum) {
            at += step;
            sum -= FTree[at];
        }
    }
    return std::min(at, FCounts.size() - 1);
}

void TFenwickTree::Replace(std::size_t first, std::size_t removed,
                           const std::vector<std::uint32_t>& counts) {
    if (removed == counts.size()) {
        for (std::size_t k = 0; k < counts.size(); ++k) {
            const std::size_t index = first + k;
            const std::uint64_t old = FCounts[index];
            FCounts[index] = counts[k];
            // Unsigned arithmetic wraps, so a smaller count subtracts.
            const std::uint64_t delta = std::uint64_t{counts[k]} - old;
            for (std::size_t i = index + 1; i < FTree.size(); i += LowBit(i))
                FTree[i] += delta;
        }
        return;
    }
    const auto at = FCounts.begin() + static_cast<std::ptrdiff_t>(first);
    FCounts.erase(at, at + static_cast<std::ptrdiff_t>(removed));
    FCounts.insert(FCounts.begin() + static_cast<std::ptrdiff_t>(first), counts.begin(),
                   counts.end());
    Rebuild(first);
}

// ---- TCharacterIndex ----------------------------------------------------------------

TCharacterIndex::TCharacterIndex(const TText& text) : FText(text) {
    Rebuild();
}

std::size_t TCharacterIndex::LineEnd(std::size_t line) const {
    return line + 1 < FText.LineCount() ? FText.LineStart(line + 1) : FText.Length();
}

void TCharacterIndex::CountLines(std::size_t first, std::size_t last,
                                 std::vector<std::uint32_t>& counts) const {
    // Read a run of lines at a time, about a megabyte, rather than each line
    // apart: a text of short lines is counted at the speed of its bytes.
    constexpr std::size_t RunBytes = 1 << 20;
    std::size_t line = first;
    std::size_t start = FText.LineStart(line);
    while (line <= last) {
        std::vector<std::size_t> ends;
        std::size_t end = start;
        for (std::size_t l = line; l <= last && (ends.empty() || end - start < RunBytes); ++l) {
            end = LineEnd(l);
            ends.push_back(end);
        }
        FText.Read(start, end, FBuffer);
        std::size_t from = start;
        for (const std::size_t to : ends) {
            counts.push_back(static_cast<std::uint32_t>(
                Utf16Units(std::string_view(FBuffer).substr(from - start, to - from))));
            from = to;
        }
        line += ends.size();
        start = end;
    }
}

void TCharacterIndex::Rebuild() {
    std::vector<std::uint32_t> counts;
    // A text has at least one line, if an empty one.
    const std::size_t lines = std::max<std::size_t>(FText.LineCount(), 1);
    counts.reserve(lines);
    CountLines(0, lines - 1, counts);
    FLines.Assign(std::move(counts));
}

void TCharacterIndex::Recount(std::size_t first, std::size_t last, std::size_t removed) {
    // Lines the index does not hold: it missed a change; count everything.
    if (last < first || removed == 0 || first + removed > FLines.Size() ||
        FLines.Size() - removed + (last - first + 1) != FText.LineCount()) {
        Rebuild();
        return;
    }
    std::vector<std::uint32_t> counts;
    counts.reserve(last - first + 1);
    CountLines(first, last, counts);
    FLines.Replace(first, removed, counts);
}

// A change at `position` touches the line holding it and the line ending just
// before it: a CR there may have joined an LF put in, or lost the LF taken
// out, so that line's break has changed.
void TCharacterIndex::Inserted(std::size_t position, std::size_t length) {
    const std::size_t first = position > 0 ? FText.LineOf(position - 1) : 0;
    const std::size_t last = FText.LineOf(std::min(position + length, FText.Length()));
    const std::size_t now = last - first + 1;
    const std::size_t added = FText.LineCount() - std::min(FText.LineCount(), FLines.Size());
    Recount(first, last, now > added ? now - added : 0);
}

void TCharacterIndex::Removed(std::size_t position) {
    const std::size_t first = position > 0 ? FText.LineOf(position - 1) : 0;
    const std::size_t last = FText.LineOf(std::min(position, FText.Length()));
    const std::size_t gone = FLines.Size() - std::min(FLines.Size(), FText.LineCount());
    Recount(first, last, last - first + 1 + gone);
}

std::size_t TCharacterIndex::CharacterAt(std::size_t position) const {
    position = std::min(position, FText.Length());
    const std::size_t line = FText.LineOf(position);
    FText.Read(FText.LineStart(line), position, FBuffer);
    return CharactersBeforeLine(line) + Utf16Units(FBuffer);
}

std::size_t TCharacterIndex::LineOfCharacter(std::size_t character) const {
    return FLines.Find(character);
}

std::size_t TCharacterIndex::CharactersBeforeLine(std::size_t line) const {
    return static_cast<std::size_t>(FLines.Before(std::min(line, FLines.Size())));
}

std::size_t TCharacterIndex::PositionOf(std::size_t character) const {
    if (character >= Characters())
        return FText.Length();
    const std::size_t line = LineOfCharacter(character);
    std::size_t left = character - CharactersBeforeLine(line);
    const std::size_t start = FText.LineStart(line);
    FText.Read(start, LineEnd(line), FBuffer);
    std::size_t i = 0;
    while (i < FBuffer.size()) {
        const auto byte = static_cast<unsigned char>(FBuffer[i]);
        const std::size_t units = byte >= 0xF0 ? 2 : 1;
        if (left < units)
            break;
        left -= units;
        // Past the character's continuation bytes.
        ++i;
        while (i < FBuffer.size() && (static_cast<unsigned char>(FBuffer[i]) & 0xC0) == 0x80)
            ++i;
    }
    return start + i;
}
