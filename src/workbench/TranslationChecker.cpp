#include "workbench/TranslationChecker.h"

#include "platform/JoinedTask.h"

#include <algorithm>
#include <stdexcept>

TTranslationChecker::TTranslationChecker() {
    Reset({}, nullptr);
}

std::uint32_t TTranslationChecker::KeyId(std::string_view key) {
    // The reference's keys are numbered as it numbers them. A translation
    // mostly has them in the reference's order: the key after the last one
    // found is tried first, which reads the reference in order instead of
    // looking each key up in its table.
    if (FReference) {
        const std::uint32_t next = FLastKey + 1;
        if (next < FReferenceKeys && FReference->Key(FReference->KeyLine(next)) == key)
            return FLastKey = next;
        if (const std::uint32_t number = FReference->KeyNumber(key); number != NoKey)
            return FLastKey = number;
    }
    const auto hit = FExtraKeyIds.find(key);
    if (hit != FExtraKeyIds.end())
        return hit->second;
    const auto id = static_cast<std::uint32_t>(FKeys.size());
    FKeys.emplace_back();
    if (FMaster)
        FKeys.back().MasterLine = FMaster->LineOfKey(key);
    FFirstLines.push_back(NoFirstLine);
    FExtraKeyIds.emplace(FExtraKeyNames.emplace_back(key), id);
    return id;
}

std::string_view TTranslationChecker::KeyName(std::uint32_t key) const {
    if (key < FReferenceKeys)
        return FReference->Key(FReference->KeyLine(key));
    return FExtraKeyNames[key - FReferenceKeys];
}

TTranslationChecker::TLineState TTranslationChecker::CheckLine(std::string_view text) {
    TLineState state;
    const TKeyValueLine parsed = ParseKeyValueLine(text);
    if (parsed.IsEntry())
        state.Key = KeyId(parsed.Key(text));
    CheckText(text, parsed, state);
    return state;
}

void TTranslationChecker::CheckText(std::string_view text, const TKeyValueLine& parsed,
                                    TLineState& state) const {
    if (!parsed.IsEntry()) {
        // A stray line the reference has as well is the reference's own way.
        if (IsStrayLine(text, parsed) && !(FReference && FReference->HasOtherLine(text)))
            state.TextProblems = std::vector<TProblem>{{TReason::NotAnEntry, {}}};
        return;
    }
    state.Quoted = parsed.Quoting != TQuoting::None;
    const TKeyState& key = FKeys[state.Key];
    std::string_view referenceLine;
    TKeyValueLine referenceParsed;
    const TKeyValueLine* reference = nullptr;
    if (key.ReferenceLine) {
        referenceLine = FReference->Line(*key.ReferenceLine);
        referenceParsed = FReference->Parsed(*key.ReferenceLine);
        reference = &referenceParsed;
    }
    std::optional<std::string_view> masterPhrase;
    if (key.MasterLine)
        masterPhrase = FMaster->Phrase(*key.MasterLine);
    state.TextProblems = CheckEntry(text, parsed, referenceLine, reference);
    state.Translated = IsTranslated(text, parsed, referenceLine, reference, masterPhrase);
    const std::string_view phrase = parsed.Value(text);
    state.SameAsSource =
        state.Quoted &&
        ((reference && reference->Value(referenceLine) == phrase) || masterPhrase == phrase);
    if (state.Quoted)
        state.PhraseHash = std::hash<std::string_view>()(phrase);
}

void TTranslationChecker::Reset(std::string_view translation,
                                std::shared_ptr<const TReferenceText> reference,
                                std::shared_ptr<const TReferenceText> master) {
    FReference = std::move(reference);
    FMaster = std::move(master);
    FLines.clear();
    FKeys.clear();
    FGroups.clear();
    FFirstLines.clear();
    FMarkedPhraseHashes.clear();
    FLaterLines.clear();
    FExtraKeyIds.clear();
    FExtraKeyNames.clear();
    FReferenceKeys = FReference ? FReference->KeyCount() : 0;
    FLastKey = NoKey;
    // Room for every key the text may add to the reference's at once: a
    // table that grew by doubling would hold its old and new copies together
    // for a moment, and room never written takes no memory.
    const std::size_t lines = CountLines(translation);
    FKeys.reserve(FReferenceKeys + lines);
    FFirstLines.reserve(FReferenceKeys + lines);
    if (FReference) {
        // The reference's keys first, by its numbers; a translation has about
        // as many.
        FKeys.resize(FReferenceKeys);
        FFirstLines.assign(FReferenceKeys, NoFirstLine);
        FGroups.resize(FReference->PhraseGroupCount());
        for (std::uint32_t id = 0; id < FReferenceKeys; ++id) {
            const std::size_t line = FReference->KeyLine(id);
            TKeyState& key = FKeys[id];
            if (FMaster)
                key.MasterLine = FMaster->LineOfKey(FReference->Key(line));
            key.ReferenceLine = line;
            key.ReferencePhrase = FReference->Parsed(line).Quoting != TQuoting::None;
            key.Group = FReference->PhraseGroup(line);
            if (key.Group != NoGroup)
                FGroups[key.Group].Keys.push_back(id);
        }
    }
    for (const auto& [name, mark] : FMarks)
        ApplyMark(KeyId(name));
    FLines.reserve(lines);
    // First the keys, line by line, since they add to the tables; then the
    // rest of each line's check, which only reads them: for a long text, in
    // two halves at once.
    const std::size_t half = lines < ParallelFrom ? lines : lines / 2;
    std::size_t halfOffset = translation.size();
    ForEachLine(translation, [&](std::string_view text) {
        const std::size_t line = FLines.size();
        if (line == half)
            halfOffset = static_cast<std::size_t>(text.data() - translation.data());
        const TKeyValueLine parsed = ParseKeyValueLine(text);
        TLineState& state = FLines.emplace_back();
        if (parsed.IsEntry()) {
            state.Key = KeyId(parsed.Key(text));
            AddKeyLine(state.Key, line);
        }
    });
    const auto checkLines = [this](std::string_view text, std::size_t first, std::size_t end) {
        std::size_t line = first;
        ForEachLine(text, [&](std::string_view lineText) {
            if (line < end)
                CheckText(lineText, ParseKeyValueLine(lineText), FLines[line++]);
        });
    };
    if (half >= FLines.size()) {
        checkLines(translation, 0, FLines.size());
    } else {
        platform::TJoinedTask<bool> secondHalf([&] {
            checkLines(translation.substr(halfOffset), half, FLines.size());
            return true;
        });
        checkLines(translation.substr(0, halfOffset), 0, half);
        secondHalf.Take();
    }
    Recount();
}

void TTranslationChecker::Recount() {
    FPhrases = FTranslated = FMissing = FLineProblems = 0;
    for (std::uint32_t key = 0; key < FKeys.size(); ++key)
        Count(ContributionOf(key), +1);
    for (std::uint32_t group = 0; group < FGroups.size(); ++group)
        UpdateGroup(group);
    for (std::size_t line = 0; line < FLines.size(); ++line)
        FLineProblems += LineProblemCount(line);
}

void TTranslationChecker::SetChecks(TCheckSet checks) {
    FChecks = checks;
    FLineProblems = 0;
    for (std::size_t line = 0; line < FLines.size(); ++line)
        FLineProblems += LineProblemCount(line);
}

// ---------------------------------------------------------------------------
// Marks

void TTranslationChecker::ApplyMark(std::uint32_t id) {
    TKeyState& key = FKeys[id];
    const auto hit = FMarks.find(KeyName(id));
    key.Mark = hit == FMarks.end() ? TPhraseStatus::None : hit->second.Status;
    key.MarkCounts = false;
    FMarkedPhraseHashes.erase(id);
    if (key.Mark != TPhraseStatus::Translated)
        return;
    const std::string& marked = hit->second.ReferencePhrase;
    key.MarkCounts =
        !FReference || (key.ReferenceLine && FReference->Phrase(*key.ReferenceLine) == marked);
    FMarkedPhraseHashes[id] = std::hash<std::string_view>()(marked);
}

void TTranslationChecker::SetMarks(const std::vector<std::pair<std::string, TPhraseMark>>& marks,
                                   bool resetNext) {
    FMarks.clear();
    for (const auto& [key, mark] : marks) {
        if (mark.Status != TPhraseStatus::None)
            FMarks[key] = mark;
    }
    if (resetNext)
        return;
    for (const auto& [name, mark] : FMarks)
        KeyId(name);
    for (std::uint32_t key = 0; key < FKeys.size(); ++key)
        ApplyMark(key);
    Recount();
}

TTranslationChecker::TUpdate TTranslationChecker::SetMark(std::string_view name,
                                                          TPhraseStatus status) {
    const std::uint32_t id = KeyId(name);
    const std::vector<std::uint32_t> keys = WithGroupMates({id});
    struct TLine {
        std::size_t Line;
        std::size_t Problems;
        bool Untranslated;
    };
    std::vector<TLine> lines;
    for (std::uint32_t key : keys) {
        Count(ContributionOf(key), -1);
        ForEachLineOfKey(key, [&](std::size_t line) {
            lines.push_back({line, LineProblemCount(line), IsUntranslated(line)});
            FLineProblems -= lines.back().Problems;
        });
    }

    const TKeyState& key = FKeys[id];
    if (status == TPhraseStatus::None) {
        if (const auto hit = FMarks.find(KeyName(id)); hit != FMarks.end())
            FMarks.erase(hit);
    } else {
        TPhraseMark& mark = FMarks.try_emplace(std::string(KeyName(id))).first->second;
        mark.Status = status;
        mark.ReferencePhrase.clear();
        if (status == TPhraseStatus::Translated && key.ReferenceLine)
            mark.ReferencePhrase = FReference->Phrase(*key.ReferenceLine);
    }
    ApplyMark(id);
    if (key.Group != NoGroup)
        UpdateGroup(key.Group);

    TUpdate update;
    for (std::uint32_t k : keys)
        Count(ContributionOf(k), +1);
    for (const TLine& line : lines) {
        const std::size_t problems = LineProblemCount(line.Line);
        FLineProblems += problems;
        if (problems != line.Problems || IsUntranslated(line.Line) != line.Untranslated ||
            line.Line == FirstLineOf(id))
            update.Lines.push_back(line.Line);
    }
    std::sort(update.Lines.begin(), update.Lines.end());
    return update;
}

std::optional<TPhraseMark> TTranslationChecker::Mark(std::string_view key) const {
    const auto hit = FMarks.find(key);
    if (hit == FMarks.end())
        return std::nullopt;
    return hit->second;
}

TPhraseStatus TTranslationChecker::Status(std::size_t line) const {
    const std::uint32_t id = FLines[line].Key;
    if (id == NoKey || FirstLineOf(id) != line)
        return TPhraseStatus::None;
    const TKeyState& key = FKeys[id];
    if (key.Mark == TPhraseStatus::Translated && !key.MarkCounts)
        return TPhraseStatus::None;
    return key.Mark;
}

// ---------------------------------------------------------------------------
// One reference phrase translated two ways

bool TTranslationChecker::IsTwoWaysMember(std::uint32_t key) const {
    return FKeys[key].Group != NoGroup && FirstLineOf(key) != NoLine &&
           ContributionOf(key).Translated;
}

void TTranslationChecker::UpdateGroup(std::uint32_t id) {
    TGroup& group = FGroups[id];
    group.First = group.FirstOther = NoKey;
    for (std::uint32_t key : group.Keys)
        if (IsTwoWaysMember(key) &&
            (group.First == NoKey || FirstLineOf(key) < FirstLineOf(group.First)))
            group.First = key;
    if (group.First == NoKey)
        return;
    const std::uint64_t hash = FLines[FirstLineOf(group.First)].PhraseHash;
    for (std::uint32_t key : group.Keys)
        if (IsTwoWaysMember(key) && FLines[FirstLineOf(key)].PhraseHash != hash &&
            (group.FirstOther == NoKey || FirstLineOf(key) < FirstLineOf(group.FirstOther)))
            group.FirstOther = key;
}

std::optional<std::size_t> TTranslationChecker::TranslatedTwoWays(std::size_t line) const {
    const std::uint32_t key = FLines[line].Key;
    if (key == NoKey || FKeys[key].Group == NoGroup || !FChecks.Has(TCheck::TranslatedTwoWays))
        return std::nullopt;
    const TGroup& group = FGroups[FKeys[key].Group];
    if (group.FirstOther == NoKey || FirstLineOf(key) != line || !IsTwoWaysMember(key))
        return std::nullopt;
    const std::size_t first = FirstLineOf(group.First);
    if (FLines[line].PhraseHash != FLines[first].PhraseHash)
        return first;
    return FirstLineOf(group.FirstOther);
}

std::vector<std::uint32_t>
TTranslationChecker::WithGroupMates(std::vector<std::uint32_t> keys) const {
    const std::size_t given = keys.size();
    for (std::size_t i = 0; i < given; ++i)
        if (const std::uint32_t group = FKeys[keys[i]].Group; group != NoGroup)
            keys.insert(keys.end(), FGroups[group].Keys.begin(), FGroups[group].Keys.end());
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

// ---------------------------------------------------------------------------
// The lines of each key

void TTranslationChecker::AddKeyLine(std::uint32_t key, std::size_t line) {
    std::uint32_t& firstLine = FFirstLines[key];
    if (firstLine == NoFirstLine) {
        firstLine = static_cast<std::uint32_t>(line);
        return;
    }
    std::vector<std::size_t>& later = FLaterLines[key];
    if (line < firstLine) {
        const std::size_t was = firstLine;
        firstLine = static_cast<std::uint32_t>(line);
        line = was;
    }
    later.insert(std::lower_bound(later.begin(), later.end(), line), line);
}

void TTranslationChecker::RemoveKeyLine(std::uint32_t key, std::size_t line) {
    std::uint32_t& firstLine = FFirstLines[key];
    const auto more = FLaterLines.find(key);
    if (line == firstLine) {
        if (more == FLaterLines.end()) {
            firstLine = NoFirstLine;
            return;
        }
        firstLine = static_cast<std::uint32_t>(more->second.front());
        more->second.erase(more->second.begin());
    } else if (more != FLaterLines.end()) {
        std::vector<std::size_t>& later = more->second;
        const auto at = std::lower_bound(later.begin(), later.end(), line);
        if (at != later.end() && *at == line)
            later.erase(at);
    }
    if (more != FLaterLines.end() && more->second.empty())
        FLaterLines.erase(more);
}

void TTranslationChecker::MoveKeyLines(std::size_t from, std::size_t removed, std::size_t added) {
    for (std::uint32_t& line : FFirstLines)
        if (line != NoFirstLine && line >= from)
            line = static_cast<std::uint32_t>(line - removed + added);
    for (auto& [key, later] : FLaterLines)
        for (std::size_t& line : later)
            if (line >= from)
                line = line - removed + added;
}

template <class F> void TTranslationChecker::ForEachLineOfKey(std::uint32_t key, F&& f) const {
    if (FFirstLines[key] == NoFirstLine)
        return;
    f(std::size_t{FFirstLines[key]});
    if (const auto more = FLaterLines.find(key); more != FLaterLines.end())
        for (std::size_t line : more->second)
            f(line);
}

// ---------------------------------------------------------------------------
// State of keys and lines

TTranslationChecker::TContribution TTranslationChecker::ContributionOf(std::uint32_t id) const {
    const TKeyState& key = FKeys[id];
    TContribution c;
    if (FirstLineOf(id) != NoLine)
        c.FirstLine = FirstLineOf(id);
    const TLineState* first = c.FirstLine ? &FLines[*c.FirstLine] : nullptr;
    c.Phrase = FReference ? key.ReferencePhrase : (first && first->Quoted);
    if (c.Phrase && first) {
        if (key.Mark != TPhraseStatus::Translated)
            c.Translated = first->Translated;
        else if (key.MarkCounts)
            c.Translated = first->Translated || first->SameAsSource;
        // Marked against a reference phrase that changed since.
        else if (const auto marked = FMarkedPhraseHashes.find(id);
                 marked != FMarkedPhraseHashes.end())
            c.Translated = first->Translated && first->PhraseHash != marked->second;
        else
            c.Translated = first->Translated;
    }
    c.Missing = FReference && key.ReferenceLine && !first;
    return c;
}

void TTranslationChecker::Count(const TContribution& c, int sign) {
    const auto add = [sign](std::size_t& total, bool counts) {
        if (counts)
            sign > 0 ? ++total : --total;
    };
    add(FPhrases, c.Phrase);
    add(FTranslated, c.Translated);
    add(FMissing, c.Missing);
}

bool TTranslationChecker::IsDuplicate(std::size_t line) const {
    const std::uint32_t key = FLines[line].Key;
    return key != NoKey && FirstLineOf(key) != line;
}

bool TTranslationChecker::IsKeyNotInReference(std::size_t line) const {
    const std::uint32_t key = FLines[line].Key;
    return FReference && key != NoKey && !FKeys[key].ReferenceLine;
}

std::size_t TTranslationChecker::ReportedTextProblems(std::size_t line) const {
    const TLineProblems& problems = FLines[line].TextProblems;
    if (FChecks == TCheckSet::All())
        return problems.size();
    return static_cast<std::size_t>(
        std::count_if(problems.begin(), problems.end(),
                      [this](const TProblem& p) { return FChecks.Reports(p.Reason); }));
}

std::size_t TTranslationChecker::LineProblemCount(std::size_t line) const {
    return ReportedTextProblems(line) + IsDuplicate(line) + IsKeyNotInReference(line) +
           TranslatedTwoWays(line).has_value();
}

bool TTranslationChecker::IsUntranslated(std::size_t line) const {
    const TLineState& state = FLines[line];
    if (state.Key == NoKey || IsDuplicate(line))
        return false;
    const TContribution c = ContributionOf(state.Key);
    return c.Phrase && !c.Translated;
}

std::vector<TProblem> TTranslationChecker::Problems(std::size_t line) const {
    std::vector<TProblem> problems;
    for (const TProblem& p : FLines[line].TextProblems)
        if (FChecks.Reports(p.Reason))
            problems.push_back(p);
    if (IsKeyNotInReference(line))
        problems.push_back({TReason::KeyNotInReference, {std::string(KeyName(FLines[line].Key))}});
    if (IsDuplicate(line))
        problems.push_back(
            {TReason::DuplicateKey, {std::to_string(FirstLineOf(FLines[line].Key) + 1)}});
    if (const std::optional<std::size_t> other = TranslatedTwoWays(line))
        problems.push_back({TReason::TranslatedTwoWays, {std::to_string(*other + 1)}});
    return problems;
}

std::string_view TTranslationChecker::Key(std::size_t line) const {
    const std::uint32_t key = FLines[line].Key;
    return key == NoKey ? std::string_view() : KeyName(key);
}

std::optional<std::size_t> TTranslationChecker::ReferenceLine(std::size_t line) const {
    const std::uint32_t key = FLines[line].Key;
    if (key == NoKey)
        return std::nullopt;
    return FKeys[key].ReferenceLine;
}

// ---------------------------------------------------------------------------
// Edits

TTranslationChecker::TUpdate
TTranslationChecker::ReplaceLines(std::size_t first, std::size_t removed,
                                  const std::vector<std::string_view>& lines) {
    if (first > FLines.size() || removed > FLines.size() - first)
        throw std::out_of_range("TTranslationChecker::ReplaceLines: no such lines");
    std::vector<TLineState> fresh;
    fresh.reserve(lines.size());
    for (std::string_view text : lines)
        fresh.push_back(CheckLine(text));

    // The keys the edit takes away or brings, and how they counted before.
    std::vector<std::uint32_t> keys;
    for (std::size_t line = first; line < first + removed; ++line)
        if (FLines[line].Key != NoKey)
            keys.push_back(FLines[line].Key);
    for (const TLineState& state : fresh)
        if (state.Key != NoKey)
            keys.push_back(state.Key);
    // Keys sharing their reference phrase may read otherwise, or no longer.
    keys = WithGroupMates(std::move(keys));

    std::vector<TContribution> before;
    // The other lines of those keys, with their numbers after the edit and
    // their state before it.
    struct TOther {
        std::size_t Line;
        std::size_t Problems;
        bool Untranslated;
        TPhraseStatus Status;
        // The problems of a key that may come and go at once.
        bool Duplicate;
        bool TwoWays;
    };
    std::vector<TOther> others;
    const auto shifted = [&](std::size_t line) {
        return line < first ? line : line - removed + fresh.size();
    };
    for (std::uint32_t key : keys) {
        before.push_back(ContributionOf(key));
        Count(before.back(), -1);
        ForEachLineOfKey(key, [&](std::size_t line) {
            if (line >= first && line < first + removed)
                return;
            const std::size_t problems = LineProblemCount(line);
            FLineProblems -= problems;
            others.push_back({shifted(line), problems, IsUntranslated(line), Status(line),
                              IsDuplicate(line), TranslatedTwoWays(line).has_value()});
        });
    }
    for (std::size_t line = first; line < first + removed; ++line)
        FLineProblems -= LineProblemCount(line);

    // Take the old lines out and number the rest anew.
    for (std::size_t line = first; line < first + removed; ++line) {
        if (FLines[line].Key != NoKey)
            RemoveKeyLine(FLines[line].Key, line);
    }
    if (removed != fresh.size())
        MoveKeyLines(first + removed, removed, fresh.size());
    // Lines replaced one for one stay where they are; only a difference in
    // number moves the lines behind them.
    const std::size_t common = std::min(removed, fresh.size());
    for (std::size_t i = 0; i < common; ++i)
        FLines[first + i] = std::move(fresh[i]);
    const auto at = FLines.begin() + static_cast<std::ptrdiff_t>(first + common);
    if (removed > common)
        FLines.erase(at, at + static_cast<std::ptrdiff_t>(removed - common));
    else
        FLines.insert(at,
                      std::make_move_iterator(fresh.begin() + static_cast<std::ptrdiff_t>(common)),
                      std::make_move_iterator(fresh.end()));
    const std::size_t added = lines.size();
    for (std::size_t line = first; line < first + added; ++line) {
        if (FLines[line].Key != NoKey)
            AddKeyLine(FLines[line].Key, line);
    }
    std::vector<std::uint32_t> groups;
    for (std::uint32_t key : keys)
        if (FKeys[key].Group != NoGroup)
            groups.push_back(FKeys[key].Group);
    std::sort(groups.begin(), groups.end());
    groups.erase(std::unique(groups.begin(), groups.end()), groups.end());
    for (std::uint32_t group : groups)
        UpdateGroup(group);

    TUpdate update;
    for (std::size_t line = first; line < first + fresh.size(); ++line) {
        FLineProblems += LineProblemCount(line);
        update.Lines.push_back(line);
    }
    for (const TOther& other : others) {
        const std::size_t problems = LineProblemCount(other.Line);
        FLineProblems += problems;
        if (problems != other.Problems || IsUntranslated(other.Line) != other.Untranslated ||
            Status(other.Line) != other.Status || IsDuplicate(other.Line) != other.Duplicate ||
            TranslatedTwoWays(other.Line).has_value() != other.TwoWays)
            update.Lines.push_back(other.Line);
    }
    std::sort(update.Lines.begin(), update.Lines.end());
    update.Lines.erase(std::unique(update.Lines.begin(), update.Lines.end()), update.Lines.end());

    // Missing keys are placed after keys that are there: a key that came or
    // went, or whose first line moved other than with the lines behind the
    // edit, may move them.
    const auto movedWith = [&](std::optional<std::size_t> line) -> std::optional<std::size_t> {
        if (!line || *line < first + common)
            return line;
        if (*line < first + removed)
            return std::nullopt;
        return *line - removed + fresh.size();
    };
    bool missingChanged = false;
    bool firstLineMoved = false;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const TContribution after = ContributionOf(keys[i]);
        Count(after, +1);
        missingChanged |= after.Missing != before[i].Missing;
        firstLineMoved |= after.FirstLine != movedWith(before[i].FirstLine);
    }
    update.MissingKeysChanged = missingChanged || (FMissing > 0 && firstLineMoved);
    return update;
}

// ---------------------------------------------------------------------------
// Lists and navigation

std::vector<TTranslationChecker::TMissingKey> TTranslationChecker::MissingKeys() const {
    std::vector<TMissingKey> missing;
    if (!FReference || FMissing == 0)
        return missing;
    std::optional<std::size_t> after;
    // The reference's keys are numbered in the order of their lines.
    for (std::uint32_t id = 0; id < FReferenceKeys; ++id) {
        if (FirstLineOf(id) == NoLine)
            missing.push_back({std::string(KeyName(id)), FReference->KeyLine(id), after});
        else
            after = FirstLineOf(id);
    }
    return missing;
}

template <class Pred>
std::optional<std::size_t> TTranslationChecker::Search(std::size_t from, bool forward, bool wrap,
                                                       Pred&& hit) const {
    const std::size_t n = FLines.size();
    if (n == 0)
        return std::nullopt;
    from = std::min(from, n - 1);
    const std::size_t steps = wrap ? n : (forward ? n - 1 - from : from);
    std::size_t line = from;
    for (std::size_t step = 0; step < steps; ++step) {
        line = forward ? (line + 1) % n : (line + n - 1) % n;
        if (hit(line))
            return line;
    }
    return std::nullopt;
}

std::optional<std::size_t> TTranslationChecker::NextUntranslated(std::size_t from, bool forward,
                                                                 bool wrap) const {
    return Search(from, forward, wrap, [this](std::size_t line) { return IsUntranslated(line); });
}

std::optional<std::size_t> TTranslationChecker::NextToBeChecked(std::size_t from, bool forward,
                                                                bool wrap) const {
    return Search(from, forward, wrap,
                  [this](std::size_t line) { return Status(line) == TPhraseStatus::ToBeChecked; });
}

std::optional<std::size_t> TTranslationChecker::NextProblem(std::size_t from, bool forward,
                                                            bool wrap) const {
    std::vector<bool> anchors;
    if (FMissing > 0) {
        anchors.assign(FLines.size(), false);
        for (const TMissingKey& key : MissingKeys())
            anchors[key.After.value_or(0)] = true;
    }
    return Search(from, forward, wrap, [&](std::size_t line) {
        return HasProblems(line) || (!anchors.empty() && anchors[line]);
    });
}
