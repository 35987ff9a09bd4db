// The problems list below the editor: one row per line with problems and one
// per key of the reference that the translation lacks, placed where that key
// would go; choosing a row leads to its line. Also the texts of the checks in
// the interface language, which the list and the margin's hints show.
#pragma once

#include "workbench/TranslationChecker.h"

#include <QListView>
#include <QString>

#include <cstddef>
#include <vector>

class TInterfaceTexts;
class TProblemListModel;

// The messages of the checks in the interface language.
struct TProblemTexts {
    QString m_aMCheck[ReasonCount];
    QString m_aMUntranslated, m_aMToBeChecked;

    void Apply(const TInterfaceTexts& texts);
    // One problem's message with its parameters.
    QString ProblemText(const TProblem& problem) const;
    // What the margin says of a line: its problems, whether it is still to
    // translate and whether it is to be checked, one per line; empty for a
    // line without any.
    QString LineHint(const TTranslationChecker& checker, std::size_t line) const;
};

class TProblemsView : public QListView {
    Q_OBJECT
public:
    struct TRow {
        std::size_t Line;
        int Missing; // index into the missing keys, or -1 for a line's problems
        bool operator==(const TRow&) const = default;
    };

    TProblemsView(const TTranslationChecker& checker,
                  const std::vector<TTranslationChecker::TMissingKey>& missingKeys,
                  const TProblemTexts& texts, QWidget* parent);

    // The rows again from the lines with problems and the missing keys; rows
    // that only moved with their lines keep the list as it is.
    void Rebuild(const std::vector<std::size_t>& problemLines);
    // The same after an edit: only the rows that came or went are inserted or
    // removed, and only those of the `changed` lines (ascending) shown anew,
    // so that a long list is not laid out again for each key.
    void Update(const std::vector<std::size_t>& problemLines,
                const std::vector<std::size_t>& changed);
    // The rows' texts again (the problems of a listed line, or the language,
    // changed).
    void Refresh();
    // The texts of the rows of these lines (ascending) again.
    void RefreshLines(const std::vector<std::size_t>& lines);

    int RowCount() const { return static_cast<int>(FRows.size()); }
    QString RowText(int row) const;
    // The row, or none past the end.
    const TRow* Row(int row) const;

signals:
    // A row was clicked or activated with the keyboard.
    void RowChosen(int row);

private:
    std::vector<TRow> RowsOf(const std::vector<std::size_t>& problemLines) const;

    const TTranslationChecker& FChecker;
    const std::vector<TTranslationChecker::TMissingKey>& FMissingKeys;
    const TProblemTexts& FTexts;
    std::vector<TRow> FRows;
    TProblemListModel* FModel;
};
