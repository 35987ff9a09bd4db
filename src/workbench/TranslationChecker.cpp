#include "workbench/TranslationChecker.h"

#include <algorithm>
#include <stdexcept>

TTranslationChecker::TTranslationChecker() {
    Reset({}, nullptr);
}

std::uint32_t TTranslationChecker::KeyId(std::string_view key) {
    const auto hit = FKeyIds.find(key);
    if (hit != FKeyIds.end())
        return hit->second;
    const auto id = static_cast<std::uint32_t>(FKeys.size());
    FKeys.push_back({std::string(key), std::nullopt, false});
    FFirstLines.push_back(NoLine);
    FKeyIds.emplace(std::string(key), id);
    return id;
}

TTranslationChecker::TLineState TTranslationChecker::CheckLine(std::string_view text) {
    TLineState state;
    const TKeyValueLine parsed = ParseKeyValueLine(text);
    if (!parsed.IsEntry())
        return state;
    state.Key = KeyId(parsed.Key(text));
    state.Quoted = parsed.Quoting != TQuoting::None;
    const TKeyState& key = FKeys[state.Key];
    std::string_view referenceLine;
    const TKeyValueLine* reference = nullptr;
    if (key.ReferenceLine) {
        referenceLine = FReference->Line(*key.ReferenceLine);
        reference = &FReference->Parsed(*key.ReferenceLine);
    }
    state.TextProblems = CheckEntry(text, parsed, referenceLine, reference);
    state.Translated = IsTranslated(text, parsed, referenceLine, reference);
    return state;
}

void TTranslationChecker::Reset(std::string_view translation,
                                std::shared_ptr<const TReferenceText> reference) {
    FReference = std::move(reference);
    FLines.clear();
    FKeys.clear();
    FFirstLines.clear();
    FLaterLines.clear();
    FKeyIds.clear();
    FPhrases = FTranslated = FMissing = FLineProblems = 0;
    if (FReference) {
        for (std::size_t line = 0; line < FReference->LineCount(); ++line) {
            if (!FReference->IsFirstOfKey(line))
                continue;
            TKeyState& key = FKeys[KeyId(FReference->Key(line))];
            key.ReferenceLine = line;
            key.ReferencePhrase = FReference->Parsed(line).Quoting != TQuoting::None;
        }
    }
    ForEachLine(translation, [this](std::string_view text) {
        const std::size_t line = FLines.size();
        FLines.push_back(CheckLine(text));
        if (FLines.back().Key != NoKey)
            AddKeyLine(FLines.back().Key, line);
    });
    for (std::uint32_t key = 0; key < FKeys.size(); ++key)
        Count(ContributionOf(key), +1);
    for (std::size_t line = 0; line < FLines.size(); ++line)
        FLineProblems += LineProblemCount(line);
}

// ---------------------------------------------------------------------------
// The lines of each key

void TTranslationChecker::AddKeyLine(std::uint32_t key, std::size_t line) {
    std::size_t& firstLine = FFirstLines[key];
    if (firstLine == NoLine) {
        firstLine = line;
        return;
    }
    std::vector<std::size_t>& later = FLaterLines[key];
    if (line < firstLine)
        std::swap(line, firstLine);
    later.insert(std::lower_bound(later.begin(), later.end(), line), line);
}

void TTranslationChecker::RemoveKeyLine(std::uint32_t key, std::size_t line) {
    std::size_t& firstLine = FFirstLines[key];
    const auto more = FLaterLines.find(key);
    if (line == firstLine) {
        if (more == FLaterLines.end()) {
            firstLine = NoLine;
            return;
        }
        firstLine = more->second.front();
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
    for (std::size_t& line : FFirstLines)
        if (line != NoLine && line >= from)
            line = line - removed + added;
    for (auto& [key, later] : FLaterLines)
        for (std::size_t& line : later)
            if (line >= from)
                line = line - removed + added;
}

template <class F> void TTranslationChecker::ForEachLineOfKey(std::uint32_t key, F&& f) const {
    if (FFirstLines[key] == NoLine)
        return;
    f(FFirstLines[key]);
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
    c.Translated = c.Phrase && first && first->Translated;
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

std::size_t TTranslationChecker::LineProblemCount(std::size_t line) const {
    return FLines[line].TextProblems.size() + IsDuplicate(line) + IsKeyNotInReference(line);
}

bool TTranslationChecker::IsUntranslated(std::size_t line) const {
    const TLineState& state = FLines[line];
    if (state.Key == NoKey || IsDuplicate(line))
        return false;
    const TContribution c = ContributionOf(state.Key);
    return c.Phrase && !c.Translated;
}

std::vector<TProblem> TTranslationChecker::Problems(std::size_t line) const {
    std::vector<TProblem> problems = FLines[line].TextProblems;
    if (IsKeyNotInReference(line))
        problems.push_back({TReason::KeyNotInReference, {FKeys[FLines[line].Key].Name}});
    if (IsDuplicate(line))
        problems.push_back(
            {TReason::DuplicateKey, {std::to_string(FirstLineOf(FLines[line].Key) + 1)}});
    return problems;
}

std::string_view TTranslationChecker::Key(std::size_t line) const {
    const std::uint32_t key = FLines[line].Key;
    return key == NoKey ? std::string_view() : std::string_view(FKeys[key].Name);
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
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());

    std::vector<TContribution> before;
    // The other lines of those keys, with their numbers after the edit and
    // their state before it.
    struct TOther {
        std::size_t Line;
        std::size_t Problems;
        bool Untranslated;
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
            others.push_back({shifted(line), problems, IsUntranslated(line)});
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

    TUpdate update;
    for (std::size_t line = first; line < first + fresh.size(); ++line) {
        FLineProblems += LineProblemCount(line);
        update.Lines.push_back(line);
    }
    for (const TOther& other : others) {
        const std::size_t problems = LineProblemCount(other.Line);
        FLineProblems += problems;
        if (problems != other.Problems || IsUntranslated(other.Line) != other.Untranslated)
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
    for (std::size_t line = 0; line < FReference->LineCount(); ++line) {
        if (!FReference->IsFirstOfKey(line))
            continue;
        const std::uint32_t id = FKeyIds.find(FReference->Key(line))->second;
        if (FirstLineOf(id) == NoLine)
            missing.push_back({FKeys[id].Name, line, after});
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
