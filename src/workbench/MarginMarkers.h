// The margin markers of the translation's lines: a line with problems, an
// untranslated phrase, a phrase to be checked.
//
// They are kept only on the lines in view and on a thousand lines each side
// of it: the editor spends memory on every line that holds a marker, and a
// large translation has hundreds of thousands of lines that would. As the
// view scrolls, the lines that come near it get their markers from the
// checker and those left far behind lose theirs.
#pragma once

#include <cstddef>

class TSynEditor;
class TTranslationChecker;

class TMarginMarkers {
public:
    static constexpr int ProblemMarker = 0;
    static constexpr int UntranslatedMarker = 1;
    static constexpr int ToBeCheckedMarker = 2;
    static constexpr long Mask =
        (1L << ProblemMarker) | (1L << UntranslatedMarker) | (1L << ToBeCheckedMarker);
    // Lines kept marked above and below the view.
    static constexpr std::size_t Around = 1000;

    TMarginMarkers(TSynEditor* editor, const TTranslationChecker& checker)
        : FEditor(editor), FChecker(checker) {}

    // Every marker set again from the checker, after a whole check.
    void Reset();
    // `line`'s markers as the checker has them now (none far from the view).
    void Refresh(std::size_t line);
    // An edit replaced lines [first, first + removed) with `added` lines; the
    // editor moved the markers of the lines after them along.
    void Spliced(std::size_t first, std::size_t removed, std::size_t added);
    // The view moved: the lines near it get their markers, the others none.
    void Follow();

private:
    long Wanted(std::size_t line) const;
    void Show(std::size_t line, long wanted);
    void Mark(std::size_t from, std::size_t to);
    void Unmark(std::size_t from, std::size_t to);

    TSynEditor* FEditor;
    const TTranslationChecker& FChecker;
    // Only lines in [FFrom, FTo) may hold markers.
    std::size_t FFrom = 0, FTo = 0;
};
