// The translator's marks of single phrases: "Mark as translated" for a phrase
// that is rightly the same as the reference's, "Mark as to be checked" for one
// to look at again, and taking a mark away; in the Translation menu and the
// editor's pop-up menu, each with a key, for the phrase on the caret's line.
// The marks are kept per translation file and key in the choices file; the
// translation's bytes never change for them. The keys to go to the next or
// previous phrase to be checked are here too.
#pragma once

#include "initfile/PhraseMark.h"
#include "workbench/TranslationChecker.h"

#include <QObject>
#include <QString>

#include <map>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class TChoicesStore;
class TInterfaceTexts;
class TSynEditor;

class TPhraseMarks : public QObject {
    Q_OBJECT
public:
    // Adds the items to `translationMenu`.
    TPhraseMarks(TSynEditor* editor, TTranslationChecker& checker, QMenu* translationMenu,
                 TInterfaceTexts& texts, TChoicesStore& choices, QObject* parent);

    // The translation whose marks are kept (empty: none is open); its marks
    // go to the checker, which shows them at its next Reset (which must
    // follow when a file is named).
    void SetFile(const std::string& path);
    // Adds the marking items to the editor's pop-up menu (their letters work
    // from the next TInterfaceTexts::ApplyAccessKeys on).
    void AddEditorMenuItems(QMenu* popup);
    // Marks the phrases of these keys (None: takes the mark away), keeps the
    // marks for the file and tells what changed.
    void Mark(const std::vector<std::pair<std::string, TPhraseStatus>>& marks);
    // Makes the marks that Mark is about to set a part of the edit being made
    // (called within its undo group, Mark after the edit): undoing the edit
    // takes them back, redoing it puts them back.
    void MarkWithEdit(const std::vector<std::pair<std::string, TPhraseStatus>>& marks);
    void ApplyTexts();

    // Commands.
    void MarkCaretPhrase(TPhraseStatus status);
    void GoToToBeChecked(bool forward);

    QAction* MenMarkTranslated = nullptr;
    QAction* MenMarkToBeChecked = nullptr;
    QAction* MenClearMark = nullptr;
    QAction* MenNextToBeChecked = nullptr;
    QAction* MenPreviousToBeChecked = nullptr;
    QAction* PopMarkTranslated = nullptr;
    QAction* PopMarkToBeChecked = nullptr;
    QAction* PopClearMark = nullptr;

signals:
    // Marks changed: these lines may show another state, and the progress.
    void Changed(const TTranslationChecker::TUpdate& update);
    // The caret goes to the phrase of this line.
    void GoTo(std::size_t line);
    void StatusMessage(const QString& text);

private:
    using TMarks = std::vector<std::pair<std::string, TPhraseStatus>>;
    // The marks of an edit, by the token of its step in the editor's undo
    // history: what they were before and what the edit made them.
    struct TEditMarks {
        std::string Path;
        TMarks Before, After;
    };
    void EditStepDone(int token, bool undone);

    TSynEditor* FEditor;
    std::map<int, TEditMarks> FEditMarks;
    int FLastToken = 0;
    TTranslationChecker& FChecker;
    TInterfaceTexts& FTexts;
    TChoicesStore& FChoices;
    std::string FPath;
    QString m_aMMarkedTranslated, m_aMMarkedToBeChecked, m_aMMarkCleared, m_aMNoPhraseToMark,
        m_aMNoneToBeChecked;
};
