// Spelling in the translation editor: misspelled words of the phrases get a
// squiggle, in the language the translation's name stands for (or the one
// chosen under View › Spelling language for this translation). Only the lines
// on the screen and the lines edited are checked, each time the text or the
// view changes, so a keystroke costs the same in a small file and a huge one.
// The editor's pop-up menu offers, for a marked word under the mouse, up to
// five replacements, "Add to dictionary" and "Ignore".
#pragma once

#include "workbench/Speller.h"

#include <QObject>
#include <QString>

#include <memory>
#include <set>
#include <string>
#include <vector>

class QAction;
class QMenu;
class TChoicesStore;
class TInterfaceTexts;
class TSynEditor;
class TWorkbench;

class TSpellingMarks : public QObject {
    Q_OBJECT
public:
    // The indicator of the squiggles.
    static constexpr int Indicator = 9;

    // Adds "Spelling language" to `viewMenu` and the spelling items to the
    // top of `popup`, the editor's pop-up menu.
    TSpellingMarks(TWorkbench& workbench, TSynEditor* editor, QMenu* viewMenu, QMenu* popup,
                   TInterfaceTexts& texts, TChoicesStore& choices);

    void ApplyTexts();
    // The dictionary for the open translation chosen anew (as after opening).
    void ChooseLanguage();
    // Checks the lines on the screen and those edited since the last check.
    void CheckVisibleLines();
    // The words under squiggles, in the order of the text (tests).
    std::vector<std::string> MarkedWords() const;
    const TSpeller& Speller() const { return FSpeller; }

    // The pop-up menu's items for the word at `position` of the editor.
    void PrepareMenu(long position);
    // Commands.
    void MenSpellingLanguageClick(const std::string& tag);
    void PopAddToDictionaryClick();
    void PopIgnoreClick();
    void Replace(const QString& word);

    QMenu* MenSpellingLanguage = nullptr;
    std::vector<QAction*> PopReplacements; // up to TSpeller::MaxSuggestions
    QAction* PopAddToDictionary = nullptr;
    QAction* PopIgnore = nullptr;
    QAction* PopSpellingSeparator = nullptr;

signals:
    void StatusMessage(const QString& text);

private:
    void CheckLine(long line);
    void ClearMarks();
    // Every line checked again, as after the dictionary changed.
    void Recheck();
    void FillLanguageMenu();

    TWorkbench& FWorkbench;
    TSynEditor* FEditor;
    TInterfaceTexts& FTexts;
    TChoicesStore& FChoices;
    TSpeller FSpeller;
    std::set<long> FEditedLines;         // to be checked at the next look
    std::set<std::string> FToldOf;       // languages said once to have no dictionary
    long FWordStart = -1, FWordEnd = -1; // the marked word the pop-up menu is for
    bool FCheckQueued = false;
    QString m_aMNoDictionary, m_aMAutomaticSpelling, m_aMNoSpelling, m_aMAddedToDictionary;
};
