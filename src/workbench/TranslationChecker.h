// TTranslationChecker: a translation checked line by line against its
// reference, with the translator's progress, kept up to date edit by edit.
//
// The checker holds no copy of the translation's text: it keeps, per line,
// what the checks found, and per key the lines that carry it. After an edit
// the caller hands over only the lines the edit touched (ReplaceLines); the
// checker checks those lines again, updates the keys they had and have, and
// says which other lines changed their marks because of it (a duplicate that
// is gone, a key that moved). Texts are expected as the editor shows them
// (UTF-8); the reference must be given in the same form.
//
// Progress counts phrases: the entries of the reference whose value is quoted
// (with no reference, the quoted entries of the translation itself). A phrase
// is translated when the first entry of its key in the translation (the one a
// program reads) is quoted, not empty, and neither the reference's phrase nor
// that of the master, the translation it was copied from; or when the
// translator marked it as translated against the reference's phrase of today
// and it is still the reference's (or the master's) phrase. A phrase marked
// against a reference phrase that has changed since is untranslated again
// while it still reads as that old reference phrase.
//
// Some checks may be switched off (SetChecks); their problems are then neither
// listed nor counted.
#pragma once

#include "initfile/PhraseMark.h"
#include "workbench/Checks.h"
#include "workbench/ReferenceText.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The lines an edit replaced, as ReplaceLines takes them, from what the
// editor reports of it: `line` holds the edit's position (counted after the
// edit) and `linesAdded` is the change in the number of lines. An insertion
// turns one line into 1 + linesAdded; a removal turns 1 - linesAdded lines
// into one.
struct TLineSplice {
    std::size_t First;
    std::size_t Removed;
    std::size_t Added;
    bool operator==(const TLineSplice&) const = default;
};
inline TLineSplice SpliceOfEdit(std::size_t line, long linesAdded) {
    if (linesAdded >= 0)
        return {line, 1, 1 + static_cast<std::size_t>(linesAdded)};
    return {line, 1 + static_cast<std::size_t>(-linesAdded), 1};
}

class TTranslationChecker {
public:
    struct TProgress {
        std::size_t Translated = 0;
        std::size_t Total = 0;
        bool operator==(const TProgress&) const = default;
    };

    // What an edit changed beyond the lines it replaced.
    struct TUpdate {
        // Lines, numbered after the edit, whose problems, untranslated mark or
        // status may differ now: every line the edit wrote and every other
        // line whose state it changed. Ascending.
        std::vector<std::size_t> Lines;
        // The list of missing keys changed, or the lines they would follow,
        // other than by moving with the lines behind the edit. When false,
        // the list is as it was except that a missing key placed after a line
        // behind the replaced ones moves with it (ShiftMissingKeys).
        bool MissingKeysChanged = false;
    };

    // A key of the reference that the translation lacks.
    struct TMissingKey {
        std::string Key;
        std::size_t ReferenceLine;
        // The translation line it would follow: that of the nearest key before
        // it in the reference which the translation has; none at the very top.
        std::optional<std::size_t> After;
        bool operator==(const TMissingKey&) const = default;
    };

    // Moves the places of missing keys with the lines behind an edit that
    // replaced [first, first + removed) with `added` lines.
    static void ShiftMissingKeys(std::vector<TMissingKey>& keys, std::size_t first,
                                 std::size_t removed, std::size_t added) {
        for (TMissingKey& key : keys)
            if (key.After && *key.After >= first + removed)
                key.After = *key.After - removed + added;
    }

    TTranslationChecker();

    // Checks the whole `translation` against `reference` (none: null). A
    // translation made as a copy of another gives that one as `master`, in the
    // same form as the reference; its phrases count as untranslated too.
    void Reset(std::string_view translation, std::shared_ptr<const TReferenceText> reference,
               std::shared_ptr<const TReferenceText> master = nullptr);

    // The checks switched on (at first all of them). Changing them changes
    // the problems of any line: the caller shows them all again.
    void SetChecks(TCheckSet checks);
    TCheckSet Checks() const { return FChecks; }

    // The translator's marks of the phrases by key, as kept for the file; they
    // outlive Reset (another file brings its own). The caller shows every
    // line's state again. `resetNext`: the caller checks the whole text next,
    // and the marks are only kept for it, not applied to the present state.
    void SetMarks(const std::vector<std::pair<std::string, TPhraseMark>>& marks,
                  bool resetNext = false);
    // Marks the phrase of `key` (None: takes its mark away); a Translated mark
    // is made against the reference's phrase of today. Returns the lines whose
    // state may have changed, as an edit does.
    TUpdate SetMark(std::string_view key, TPhraseStatus status);
    // The mark of a key, to be kept for the file; none when it has none.
    std::optional<TPhraseMark> Mark(std::string_view key) const;
    // The status of the phrase a line holds: Translated only while that mark
    // counts, None on every line other than the first entry of its key.
    TPhraseStatus Status(std::size_t line) const;

    // An edit replaced the lines [first, first + removed) with `lines` (each
    // without its line break). first + removed may not pass LineCount().
    TUpdate ReplaceLines(std::size_t first, std::size_t removed,
                         const std::vector<std::string_view>& lines);
    // An edit inside one line.
    TUpdate SetLine(std::size_t line, std::string_view text) {
        return ReplaceLines(line, 1, {text});
    }

    std::size_t LineCount() const { return FLines.size(); }
    const std::shared_ptr<const TReferenceText>& Reference() const { return FReference; }
    const std::shared_ptr<const TReferenceText>& Master() const { return FMaster; }
    // The reference line for the key of translation line `line`, if any.
    std::optional<std::size_t> ReferenceLine(std::size_t line) const;
    // The key of an entry line (empty for other lines).
    std::string_view Key(std::size_t line) const;

    // The problems of one line: those of its text, then those of its key.
    std::vector<TProblem> Problems(std::size_t line) const;
    bool HasProblems(std::size_t line) const { return LineProblemCount(line) > 0; }
    // The line is the entry of a phrase that still waits for its translation.
    bool IsUntranslated(std::size_t line) const;
    TProgress Progress() const { return {FTranslated, FPhrases}; }
    // Every problem: those of all lines and the missing keys.
    std::size_t ProblemCount() const { return FLineProblems + FMissing; }

    std::vector<TMissingKey> MissingKeys() const;
    std::size_t MissingKeyCount() const { return FMissing; }

    // The nearest line after `from` (before it when not `forward`) that is
    // untranslated, or that has problems or is where a missing key would go.
    // Searching goes round the end of the text once when `wrap` is set, and
    // comes back to `from` itself last.
    std::optional<std::size_t> NextUntranslated(std::size_t from, bool forward = true,
                                                bool wrap = true) const;
    std::optional<std::size_t> NextProblem(std::size_t from, bool forward = true,
                                           bool wrap = true) const;
    // The same for the phrases marked as to be checked.
    std::optional<std::size_t> NextToBeChecked(std::size_t from, bool forward = true,
                                               bool wrap = true) const;

    // Texts of this many lines or more are checked in two halves at once.
    static constexpr std::size_t ParallelFrom = 50000;

private:
    static constexpr std::uint32_t NoKey = UINT32_MAX;
    static constexpr std::uint32_t NoGroup = TReferenceText::NoGroup;

    // A line's problems; none, the rule, in one pointer.
    class TLineProblems {
    public:
        TLineProblems& operator=(std::vector<TProblem> problems) {
            FList = problems.empty() ? nullptr
                                     : std::make_unique<std::vector<TProblem>>(std::move(problems));
            return *this;
        }
        std::size_t size() const { return FList ? FList->size() : 0; }
        const TProblem* begin() const { return FList ? FList->data() : nullptr; }
        const TProblem* end() const { return FList ? FList->data() + FList->size() : nullptr; }

    private:
        std::unique_ptr<std::vector<TProblem>> FList;
    };
    // A line of the reference or the master, or none, in 32 bits (the
    // reference numbers its lines so).
    class TTextLine {
    public:
        TTextLine& operator=(std::optional<std::size_t> line) {
            FLine = line ? static_cast<std::uint32_t>(*line) : None;
            return *this;
        }
        explicit operator bool() const { return FLine != None; }
        std::size_t operator*() const { return FLine; }
        operator std::optional<std::size_t>() const {
            return FLine == None ? std::nullopt : std::optional<std::size_t>(FLine);
        }

    private:
        static constexpr std::uint32_t None = UINT32_MAX;
        std::uint32_t FLine = None;
    };

    struct TLineState {
        std::uint32_t Key = NoKey;
        bool Quoted = false;
        // By its text: quoted, not empty, neither the reference's nor the
        // master's phrase.
        bool Translated = false;
        // Quoted and the reference's or the master's phrase: a mark may make
        // it count as translated.
        bool SameAsSource = false;
        // The phrase's hash, when quoted: to tell phrases of keys sharing their
        // reference phrase apart, and a phrase marked against a reference
        // phrase that changed since.
        std::uint64_t PhraseHash = 0;
        TLineProblems TextProblems;
    };
    // A key's state; its name is the reference's (the keys numbered below
    // FReference->KeyCount() are the reference's, by its numbers) or kept in
    // FExtraKeyNames.
    struct TKeyState {
        TTextLine ReferenceLine;
        TTextLine MasterLine;
        std::uint32_t Group = NoGroup;
        bool ReferencePhrase = false;
        TPhraseStatus Mark = TPhraseStatus::None;
        // A Translated mark made against the reference's phrase of today.
        bool MarkCounts = false;
    };
    // The keys whose reference phrase is the same, and of those whose
    // phrase counts as translated, the one on the first line and the first
    // that reads otherwise than that one (NoKey: none).
    struct TGroup {
        std::vector<std::uint32_t> Keys;
        std::uint32_t First = NoKey;
        std::uint32_t FirstOther = NoKey;
    };
    static constexpr std::size_t NoLine = SIZE_MAX;
    struct THash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const noexcept {
            return std::hash<std::string_view>()(s);
        }
    };
    struct TContribution {
        bool Phrase = false;
        bool Translated = false;
        bool Missing = false;
        std::optional<std::size_t> FirstLine;
        bool operator==(const TContribution&) const = default;
    };

    std::uint32_t KeyId(std::string_view key);
    std::string_view KeyName(std::uint32_t key) const;
    TLineState CheckLine(std::string_view text);
    // The part of a line's check that reads the tables only, after its key
    // (state.Key) was found: may run for several lines at once.
    void CheckText(std::string_view text, const TKeyValueLine& parsed, TLineState& state) const;
    TContribution ContributionOf(std::uint32_t key) const;
    void Count(const TContribution& c, int sign);
    // Counts every key and line again.
    void Recount();
    void ApplyMark(std::uint32_t key);
    bool IsTwoWaysMember(std::uint32_t key) const;
    void UpdateGroup(std::uint32_t group);
    // The line of another key of the same reference phrase whose phrase
    // reads otherwise, when this line is the first of a key that counts.
    std::optional<std::size_t> TranslatedTwoWays(std::size_t line) const;
    // The keys and the keys sharing their reference phrase, sorted.
    std::vector<std::uint32_t> WithGroupMates(std::vector<std::uint32_t> keys) const;
    std::size_t ReportedTextProblems(std::size_t line) const;
    std::size_t LineProblemCount(std::size_t line) const;
    bool IsDuplicate(std::size_t line) const;
    std::size_t FirstLineOf(std::uint32_t key) const {
        return FFirstLines[key] == NoFirstLine ? NoLine : FFirstLines[key];
    }
    void AddKeyLine(std::uint32_t key, std::size_t line);
    void RemoveKeyLine(std::uint32_t key, std::size_t line);
    // The lines behind `from` move by `added` - `removed`.
    void MoveKeyLines(std::size_t from, std::size_t removed, std::size_t added);
    template <class F> void ForEachLineOfKey(std::uint32_t key, F&& f) const;
    bool IsKeyNotInReference(std::size_t line) const;
    template <class Pred>
    std::optional<std::size_t> Search(std::size_t from, bool forward, bool wrap, Pred&& hit) const;

    std::shared_ptr<const TReferenceText> FReference;
    std::shared_ptr<const TReferenceText> FMaster;
    TCheckSet FChecks = TCheckSet::All();
    std::unordered_map<std::string, TPhraseMark, THash, std::equal_to<>> FMarks;
    std::vector<TLineState> FLines;
    std::vector<TKeyState> FKeys;
    std::vector<TGroup> FGroups;
    // Per key, the first translation line that carries it (NoFirstLine:
    // none), and, for the few keys on more than one line, the later ones in
    // ascending order. Kept apart so that the lines behind an edit that adds
    // or removes lines move in one pass over a plain array of 32-bit numbers.
    static constexpr std::uint32_t NoFirstLine = UINT32_MAX;
    std::vector<std::uint32_t> FFirstLines;
    // Per key with a Translated mark, the hash of the reference phrase the mark
    // was made against: while the reference's phrase is another now, a phrase
    // that still reads so waits for its translation again. Kept aside, for the
    // few keys that have one, so that the state of every key stays small.
    std::unordered_map<std::uint32_t, std::uint64_t> FMarkedPhraseHashes;
    std::unordered_map<std::uint32_t, std::vector<std::size_t>> FLaterLines;
    // The keys the reference lacks, by name; the names are kept in a deque,
    // which never moves them.
    std::size_t FReferenceKeys = 0;
    // The reference's key found last (NoKey: none yet; the one after it is
    // NoKey + 1 = 0, the first).
    std::uint32_t FLastKey = NoKey;
    std::unordered_map<std::string_view, std::uint32_t> FExtraKeyIds;
    std::deque<std::string> FExtraKeyNames;

    std::size_t FPhrases = 0;
    std::size_t FTranslated = 0;
    std::size_t FMissing = 0;
    std::size_t FLineProblems = 0;
};
