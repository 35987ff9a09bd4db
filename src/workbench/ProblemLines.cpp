#include "workbench/ProblemLines.h"

#include <algorithm>

void TProblemLines::Reset(const TTranslationChecker& checker) {
    FLines.clear();
    for (std::size_t line = 0; line < checker.LineCount(); ++line)
        if (checker.HasProblems(line))
            FLines.push_back(line);
}

bool TProblemLines::Apply(const TTranslationChecker& checker, const TLineSplice& splice,
                          const TTranslationChecker::TUpdate& update) {
    // Replaced lines that an added line takes the place of stay, to be checked
    // again below with the other written lines; the rest go, and the lines
    // after them move by the difference.
    const std::size_t kept = std::min(splice.Removed, splice.Added);
    const auto from = std::lower_bound(FLines.begin(), FLines.end(), splice.First + kept);
    const auto to = std::lower_bound(from, FLines.end(), splice.First + splice.Removed);
    bool changed = from != to;
    const auto after = FLines.erase(from, to);
    if (splice.Added != splice.Removed && after != FLines.end()) {
        for (auto it = after; it != FLines.end(); ++it)
            *it = *it + splice.Added - splice.Removed;
        changed = true;
    }
    // The written lines and the others the edit touched, checked again.
    for (std::size_t line : update.Lines) {
        if (line >= checker.LineCount())
            continue;
        const auto at = std::lower_bound(FLines.begin(), FLines.end(), line);
        const bool listed = at != FLines.end() && *at == line;
        const bool problem = checker.HasProblems(line);
        if (problem && !listed) {
            FLines.insert(at, line);
            changed = true;
        } else if (!problem && listed) {
            FLines.erase(at);
            changed = true;
        }
    }
    return changed;
}
