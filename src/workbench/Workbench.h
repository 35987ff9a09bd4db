// TWorkbench: the translator's workbench around the main window's editor. It
// shows the reference translation (the phrase of the key under the caret
// above the editor, or the whole reference side by side), checks every line
// against it (margin markers, the problems list, "N of M phrases translated"),
// goes to the next untranslated phrase or problem, finds and replaces, and
// shows a file that is not UTF-8 in another code page ("Show as").
//
// It follows the editor edit by edit: each insertion or removal the editor
// announces replaces the lines it touched in the checker (SpliceOfEdit), and
// only the lines the checker names get their markers again. The whole text is
// checked again only when the main window says a translation was opened or
// emptied, when the reference changes, when the file is shown as another
// encoding, and after an edit of many changes at once (TSynEditor::BulkEdit).
#pragma once

#include "encoding/TextEncoding.h"
#include "initfile/Catalogue.h"
#include "platform/JoinedTask.h"
#include "workbench/MarginMarkers.h"
#include "workbench/ProblemLines.h"
#include "workbench/ProblemsView.h"
#include "workbench/TranslationChecker.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QWidget;
class TChecksMenu;
class TChoicesStore;
class TFindBar;
class TInterfaceTexts;
class TPhraseMarks;
class TShowAsMenu;
class TStatusLine;
class TSynEditor;

class TWorkbench : public QObject {
    Q_OBJECT
public:
    // Builds the workbench into the editor's area (whose layout holds the
    // editor) and its items into the Translation and View menus.
    TWorkbench(TSynEditor* editor, QWidget* editorArea, QMenu* translationMenu, QMenu* viewMenu,
               TInterfaceTexts& texts, TChoicesStore& choices, QObject* parent);

    // What happened to the main window's editor.
    struct TOpened {
        std::string TranslationPath;
        std::string CataloguePath;
        std::vector<TCatalogueEntry> Listed; // the catalogue's translations, as the list holds them
    };
    // A translation was loaded into the editor: the references it may be
    // checked against are offered, the chosen one is read, all is checked.
    void Opened(const TOpened& opened);
    // A translation is about to be loaded: the reference (and the master of
    // a copy) that Opened will check it against are read on threads of their
    // own meanwhile, and Opened takes them. An empty `opened` drops what was
    // read ahead.
    void Prefetch(const TOpened& opened);
    // The editor was emptied.
    void Emptied();
    // The main window's font size in points changed.
    void ApplyFont(int points);
    // Puts the progress and the problem count into the status line's permanent
    // area, where they are in view at any size of the window.
    void ShowCountsIn(TStatusLine& statusLine);
    // Lays the workbench out as it was at the end of the last run ("Side by
    // side"), once the choices are read.
    void ApplyKeptView();
    // Text typed or pasted that the file's encoding cannot hold: where another
    // code page can hold it, offers to show the file in that one and puts the
    // text in; else says why it was refused.
    void OfferShowAs(char32_t character, const QString& text);

    // Commands.
    void CbbReferenceChange();
    void ChkSideBySideClick();
    void MenNextUntranslatedClick();
    void MenPreviousUntranslatedClick();
    void MenNextProblemClick();
    void MenPreviousProblemClick();
    void LisProblemsClick(int row);
    void ShowAs(TTextEncoding encoding);

    // The open translation as the main window told of it, and the file of
    // the reference chosen for it (empty: none).
    const TOpened& Translation() const { return FOpened; }
    std::string ReferencePath() const;
    // What the workbench knows of the open translation.
    const TTranslationChecker& Checker() const { return FChecker; }
    // The translator's marks of its phrases.
    TPhraseMarks& Marks() const { return *FMarks; }
    // The text shown when the mouse rests on a line's marker.
    QString LineHint(std::size_t line) const { return FTexts.LineHint(FChecker, line); }
    // The text of one problem, in the interface language.
    QString ProblemText(const TProblem& problem) const { return FTexts.ProblemText(problem); }
    int ProblemRowCount() const;
    QString ProblemRowText(int row) const;

    // Controls, each under its name.
    QWidget* PnlWorkbench = nullptr;
    QLabel* LblReference = nullptr;
    QComboBox* CbbReference = nullptr;
    QCheckBox* ChkSideBySide = nullptr;
    QLabel* LblProgress = nullptr;
    QLabel* LblProblems = nullptr;
    TSynEditor* MemReference = nullptr;
    QSplitter* PnlSplitter = nullptr;
    QSplitter* PnlProblemsSplitter = nullptr;
    TSynEditor* MemReferenceView = nullptr;
    TProblemsView* LisProblems = nullptr;
    TFindBar* PnlFind = nullptr;
    QAction* MenNextUntranslated = nullptr;
    QAction* MenPreviousUntranslated = nullptr;
    QAction* MenNextProblem = nullptr;
    QAction* MenPreviousProblem = nullptr;
    QAction* MenFind = nullptr;
    QAction* MenFindNext = nullptr;
    QAction* MenFindPrevious = nullptr;
    QAction* MenReplace = nullptr;
    QAction* MenSideBySide = nullptr;
    QMenu* MenShowAs = nullptr;

signals:
    // What a command found or did, for the status line.
    void StatusMessage(const QString& text);
    // A translation was opened, or the editor emptied.
    void OpenChanged(bool open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPanels(QWidget* editorArea);
    void BuildMenus(QMenu* translationMenu, QMenu* viewMenu);
    void ConnectEditor();
    void ApplyTexts();
    void FillReferenceChoices();
    void LoadReference();
    // Checks the whole text again and refreshes everything shown of it.
    void Reset();
    void TranslationModified(int position, int type, int linesAdded);
    void TranslationUpdateUi(int updated);
    // Shows the state of lines the checker changed without an edit.
    void ShowUpdate(const TTranslationChecker::TUpdate& update);
    void RefreshProgress();
    void RefreshReferenceLine(bool force);
    void RebuildReferenceView();
    // Shows or hides the whole reference as "Side by side" says.
    void ShowSideBySide();
    std::string AlignedReferenceLine(std::size_t line) const;
    void GoToLine(std::size_t line, bool toPhrase);
    void GoToUntranslated(bool forward);
    void GoToProblem(bool forward);
    // Side by side, the two editors show the same lines: the one scrolled leads.
    void FollowScroll(TSynEditor* leader, TSynEditor* follower);
    // The rows above the editor show while the editor's area holds them and
    // the editor at its smallest; below that the editor has the room.
    void FitEditorArea(int height);

    TSynEditor* FEditor;
    TInterfaceTexts& FInterfaceTexts;
    TChoicesStore& FChoices;
    TOpened FOpened;
    TTranslationChecker FChecker;
    TMarginMarkers FMarkers{FEditor, FChecker};
    // The reference and the master read for the open translation.
    std::shared_ptr<const TReferenceText> FReference, FMaster;
    // The reference and the master being read for Opened (Prefetch).
    struct TPrefetched {
        std::string Path;
        std::unique_ptr<platform::TJoinedTask<std::shared_ptr<const TReferenceText>>> Text;
    };
    TPrefetched FPrefetched[2];
    std::shared_ptr<const TReferenceText> TakeShown(TPrefetched& prefetched,
                                                    const std::string& path);
    // The reference Opened chooses for `opened`, and the master it is a copy
    // of (empty: none).
    std::pair<std::string, std::string> SourcesOf(const TOpened& opened) const;
    TProblemLines FProblemLines;
    std::vector<TTranslationChecker::TMissingKey> FMissingKeys;
    TProblemTexts FTexts;
    std::vector<std::string> FReferencePaths; // per item of CbbReference
    long FReferenceShownLine = -1;
    bool FSyncingScroll = false;
    TShowAsMenu* FShowAs = nullptr;
    TChecksMenu* FChecksMenu = nullptr;
    TPhraseMarks* FMarks = nullptr;
    QString m_aMProgress, m_aMProblems, m_aMAllTranslated, m_aMNoProblems;
};
