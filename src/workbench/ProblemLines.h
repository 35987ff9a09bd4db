// The lines of a translation that have problems, in order, kept up to date
// edit by edit for the problems list: an edit shifts the lines after it and
// changes the marks of the lines the checker names, without scanning the rest.
#pragma once

#include "workbench/TranslationChecker.h"

#include <cstddef>
#include <vector>

class TProblemLines {
public:
    // Every line of the checker's text with problems.
    void Reset(const TTranslationChecker& checker);
    // After checker.ReplaceLines(splice.First, splice.Removed, <splice.Added
    // lines>) returned `update`. Returns whether the list changed, in its
    // lines or their numbers; the problems of a listed line may change
    // without that.
    bool Apply(const TTranslationChecker& checker, const TLineSplice& splice,
               const TTranslationChecker::TUpdate& update);

    const std::vector<std::size_t>& Lines() const { return FLines; }

private:
    std::vector<std::size_t> FLines; // ascending
};
