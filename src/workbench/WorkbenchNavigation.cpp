// The workbench's navigation: from the problems list to its line, and to the
// next or previous untranslated phrase or problem.
#include "workbench/Workbench.h"

#include "editor/SynEditor.h"
#include "initfile/KeyValueLine.h"

using Sci = QsciScintillaBase;

void TWorkbench::LisProblemsClick(int row) {
    const TProblemsView::TRow* r = LisProblems->Row(row);
    if (!r)
        return;
    if (r->Missing >= 0) {
        // Where the key would go: the end of the line it would follow.
        const auto& missing = FMissingKeys[static_cast<std::size_t>(r->Missing)];
        const long line = missing.After ? static_cast<long>(*missing.After) : 0;
        const long position =
            missing.After ? FEditor->SendScintilla(Sci::SCI_GETLINEENDPOSITION, line) : 0;
        FEditor->SendScintilla(Sci::SCI_GOTOPOS, position);
        FEditor->setFocus();
        return;
    }
    GoToLine(r->Line, true);
}

void TWorkbench::GoToLine(std::size_t line, bool toPhrase) {
    long position = FEditor->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    if (toPhrase) {
        const TKeyValueLine parsed = ParseKeyValueLine(FEditor->LineView(line));
        if (parsed.IsEntry())
            position += static_cast<long>(parsed.ValueBegin);
    }
    FEditor->SendScintilla(Sci::SCI_ENSUREVISIBLEENFORCEPOLICY, line);
    FEditor->SendScintilla(Sci::SCI_GOTOPOS, position);
    FEditor->setFocus();
}

void TWorkbench::GoToUntranslated(bool forward) {
    if (!FEditor->IsOpen())
        return;
    if (const auto line = FChecker.NextUntranslated(FEditor->CaretLine(), forward))
        GoToLine(*line, true);
    else
        emit StatusMessage(m_aMAllTranslated);
}

void TWorkbench::GoToProblem(bool forward) {
    if (!FEditor->IsOpen())
        return;
    if (const auto line = FChecker.NextProblem(FEditor->CaretLine(), forward))
        GoToLine(*line, FChecker.HasProblems(*line));
    else
        emit StatusMessage(m_aMNoProblems);
}

void TWorkbench::MenNextUntranslatedClick() {
    GoToUntranslated(true);
}
void TWorkbench::MenPreviousUntranslatedClick() {
    GoToUntranslated(false);
}
void TWorkbench::MenNextProblemClick() {
    GoToProblem(true);
}
void TWorkbench::MenPreviousProblemClick() {
    GoToProblem(false);
}
