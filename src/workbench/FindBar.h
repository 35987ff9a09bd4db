// The find bar below the editor ("PnlFind"): find, find again either way round
// the text, and replace one match or all, matching case, whole words, or within
// the phrases only. Shown on demand, with its replace row or without.
#pragma once

#include "workbench/Find.h"

#include <QWidget>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TInterfaceTexts;
class TSynEditor;

class TFindBar : public QWidget {
    Q_OBJECT
public:
    TFindBar(TSynEditor* editor, TInterfaceTexts& texts, QWidget* parent);

    // Shows the bar, with its replace row or without; the selection, when it
    // is a part of one line, is what to find.
    void ShowBar(bool replace);
    void ApplyTexts();

    void MenFindClick();
    void MenReplaceClick();
    void BtnFindNextClick();
    void BtnFindPreviousClick();
    void BtnReplaceClick();
    void BtnReplaceAllClick();
    void BtnCloseFindClick();

    QLabel* LblFind = nullptr;
    QLineEdit* EdtFind = nullptr;
    QLabel* LblReplace = nullptr;
    QLineEdit* EdtReplace = nullptr;
    QCheckBox* ChkMatchCase = nullptr;
    QCheckBox* ChkWholeWord = nullptr;
    QCheckBox* ChkPhrasesOnly = nullptr;
    QPushButton* BtnFindNext = nullptr;
    QPushButton* BtnFindPrevious = nullptr;
    QPushButton* BtnReplace = nullptr;
    QPushButton* BtnReplaceAll = nullptr;
    QPushButton* BtnCloseFind = nullptr;

signals:
    // What a command found or did, for the status line.
    void StatusMessage(const QString& text);

private:
    TFindOptions FindOptions() const;
    bool FindInEditor(bool forward);
    // Whether the replacement can be stored; says so when not.
    bool ReplacementHoldable(const std::string& replacement);

    TSynEditor* FEditor;
    TInterfaceTexts& FTexts;
    QString m_aMNotFound, m_aMReplaced;
};
