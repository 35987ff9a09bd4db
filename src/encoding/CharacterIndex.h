// TCharacterIndex: where a UTF-8 text's byte positions fall in its characters,
// counted as the accessibility interfaces count them (UTF-16 code units, the
// unit of a QString: one for each character, two for one past U+FFFF), kept up
// to date edit by edit.
//
// The index keeps the number of characters of each line (its line break
// included) in a Fenwick tree, so that the characters before a line are summed
// in O(log lines). An edit recounts only the lines it touched, so mapping a
// position costs the same near the end of a large text as near its start,
// where counting from the start of the text would cost the whole text.
//
// The text itself stays with its owner (an editor control), which the index
// reads through TText: its lines as the owner breaks them (CR, LF or CR LF) and
// the bytes of a range. The owner tells the index of every insertion and
// removal once the text has changed (Inserted, Removed). Told of a change that
// the lines it holds cannot have seen (one it was not told of came before),
// the index counts the whole text again rather than read past its lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// UTF-16 code units of valid UTF-8 text: one for each byte that starts a
// character, two for a four-byte character. Continuation bytes count nothing.
std::size_t Utf16Units(std::string_view utf8);

// Sums of a sequence of counts in O(log n), with counts changed, inserted and
// removed anywhere.
class TFenwickTree {
public:
    void Assign(std::vector<std::uint32_t> counts);
    std::size_t Size() const { return FCounts.size(); }
    std::uint32_t At(std::size_t index) const { return FCounts[index]; }
    // Sum of the counts [0, index).
    std::uint64_t Before(std::size_t index) const;
    std::uint64_t Total() const { return Before(FCounts.size()); }
    // The index whose range [Before(i), Before(i) + At(i)) holds `sum`; the
    // last index for a sum at or past the total. Size() must not be 0.
    std::size_t Find(std::uint64_t sum) const;
    // Counts [first, first + removed) become `counts`: O(log n) each when as
    // many as before, else O(n - first).
    void Replace(std::size_t first, std::size_t removed, const std::vector<std::uint32_t>& counts);

private:
    // Recomputes the tree's nodes from `first` (0-based) on, in O(n - first).
    void Rebuild(std::size_t first);

    std::vector<std::uint32_t> FCounts;
    std::vector<std::uint64_t> FTree; // 1-based: node i sums (i - lowbit(i), i]
};

class TCharacterIndex {
public:
    // What the index reads of the text it follows.
    class TText {
    public:
        virtual ~TText() = default;
        virtual std::size_t Length() const = 0; // in bytes
        virtual std::size_t LineCount() const = 0;
        // The line holding byte `position` (the last line for the length).
        virtual std::size_t LineOf(std::size_t position) const = 0;
        virtual std::size_t LineStart(std::size_t line) const = 0;
        // The bytes [from, to) into `out`, replacing what it held.
        virtual void Read(std::size_t from, std::size_t to, std::string& out) const = 0;
    };

    explicit TCharacterIndex(const TText& text);

    // Counts the whole text again.
    void Rebuild();
    // `length` bytes were put in at `position`, or some bytes were taken out
    // at `position`; the text has changed already.
    void Inserted(std::size_t position, std::size_t length);
    void Removed(std::size_t position);

    std::size_t Characters() const { return static_cast<std::size_t>(FLines.Total()); }
    // The characters before byte `position`, which starts a character.
    std::size_t CharacterAt(std::size_t position) const;
    // The byte position of the character holding `character` (the start of a
    // four-byte character for its second unit); the text's length past the end.
    std::size_t PositionOf(std::size_t character) const;
    // The line holding `character`, and the characters before a line.
    std::size_t LineOfCharacter(std::size_t character) const;
    std::size_t CharactersBeforeLine(std::size_t line) const;

private:
    std::size_t LineEnd(std::size_t line) const;
    // Appends the characters of each line [first, last] to `counts`.
    void CountLines(std::size_t first, std::size_t last, std::vector<std::uint32_t>& counts) const;
    // The lines [first, last] now stand where `removed` lines stood.
    void Recount(std::size_t first, std::size_t last, std::size_t removed);

    const TText& FText;
    TFenwickTree FLines;
    mutable std::string FBuffer;
};
