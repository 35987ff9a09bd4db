#include "workbench/MarginMarkers.h"

#include "editor/SynEditor.h"
#include "workbench/TranslationChecker.h"

#include <algorithm>

using Sci = QsciScintillaBase;

long TMarginMarkers::Wanted(std::size_t line) const {
    if (line >= FChecker.LineCount())
        return 0;
    return (FChecker.HasProblems(line) ? 1L << ProblemMarker : 0) |
           (FChecker.IsUntranslated(line) ? 1L << UntranslatedMarker : 0) |
           (FChecker.Status(line) == TPhraseStatus::ToBeChecked ? 1L << ToBeCheckedMarker : 0);
}

void TMarginMarkers::Show(std::size_t line, long wanted) {
    const long shown = FEditor->SendScintilla(Sci::SCI_MARKERGET, line) & Mask;
    if (wanted == shown)
        return;
    for (int marker : {ProblemMarker, UntranslatedMarker, ToBeCheckedMarker}) {
        if ((wanted & (1L << marker)) == (shown & (1L << marker)))
            continue;
        if (wanted & (1L << marker))
            FEditor->SendScintilla(Sci::SCI_MARKERADD, line, marker);
        else
            FEditor->SendScintilla(Sci::SCI_MARKERDELETE, line, marker);
    }
}

void TMarginMarkers::Mark(std::size_t from, std::size_t to) {
    for (std::size_t line = from; line < to; ++line)
        Show(line, Wanted(line));
}

void TMarginMarkers::Unmark(std::size_t from, std::size_t to) {
    const auto lines = static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_GETLINECOUNT));
    for (std::size_t line = from; line < std::min(to, lines); ++line)
        Show(line, 0);
}

void TMarginMarkers::Reset() {
    FEditor->SendScintilla(Sci::SCI_MARKERDELETEALL, -1);
    FFrom = FTo = 0;
    Follow();
}

void TMarginMarkers::Refresh(std::size_t line) {
    if (line >= FFrom && line < FTo)
        Show(line, Wanted(line));
}

void TMarginMarkers::Spliced(std::size_t first, std::size_t removed, std::size_t added) {
    // Where a bound fell among the replaced lines, the new lines take its
    // place: markers of removed lines end up on the first line of the edit.
    const auto moved = [&](std::size_t bound, std::size_t inside) {
        if (bound <= first)
            return bound;
        if (bound >= first + removed)
            return bound - removed + added;
        return inside;
    };
    FFrom = moved(FFrom, first);
    FTo = moved(FTo, first + added);
}

void TMarginMarkers::Follow() {
    const auto first = static_cast<std::size_t>(FEditor->SendScintilla(
        Sci::SCI_DOCLINEFROMVISIBLE, FEditor->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE)));
    const auto shown =
        static_cast<std::size_t>(std::max(0L, FEditor->SendScintilla(Sci::SCI_LINESONSCREEN)));
    const std::size_t from = first > Around ? first - Around : 0;
    const std::size_t to = std::min(FChecker.LineCount(), first + shown + Around);
    if (from == FFrom && to == FTo)
        return;
    if (from >= FTo || to <= FFrom || FFrom >= FTo) {
        Unmark(FFrom, FTo);
        Mark(from, to);
    } else {
        Unmark(FFrom, from);
        Unmark(to, FTo);
        Mark(from, FFrom);
        Mark(FTo, to);
    }
    FFrom = from;
    FTo = std::max(from, to);
}
