// The main window's ways through a translation: to the next untranslated
// phrase or problem, find and replace, and "Show as" (the encoding a file that
// is not UTF-8 is shown in).
#include "app/FrmWordlark.h"

#include "editor/SynEditor.h"
#include "texts/QtText.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

using Sci = QsciScintillaBase;

// ---- Navigation --------------------------------------------------------------------

void TFrmWordlark::GoToLine(std::size_t line, bool toPhrase) {
    long position = MemTranslation->SendScintilla(Sci::SCI_POSITIONFROMLINE, line);
    if (toPhrase) {
        const std::string_view text = MemTranslation->LineView(line);
        const TKeyValueLine parsed = ParseKeyValueLine(text);
        if (parsed.IsEntry())
            position += static_cast<long>(parsed.ValueBegin);
    }
    MemTranslation->SendScintilla(Sci::SCI_ENSUREVISIBLEENFORCEPOLICY, line);
    MemTranslation->SendScintilla(Sci::SCI_GOTOPOS, position);
    MemTranslation->setFocus();
}

void TFrmWordlark::GoToUntranslated(bool forward) {
    if (!MemTranslation->IsOpen())
        return;
    if (const auto line = FChecker.NextUntranslated(MemTranslation->CaretLine(), forward))
        GoToLine(*line, true);
    else
        ShowStatus(m_aMAllTranslated);
}

void TFrmWordlark::GoToProblem(bool forward) {
    if (!MemTranslation->IsOpen())
        return;
    if (const auto line = FChecker.NextProblem(MemTranslation->CaretLine(), forward))
        GoToLine(*line, FChecker.HasProblems(*line));
    else
        ShowStatus(m_aMNoProblems);
}

void TFrmWordlark::MenNextUntranslatedClick() {
    GoToUntranslated(true);
}
void TFrmWordlark::MenPreviousUntranslatedClick() {
    GoToUntranslated(false);
}
void TFrmWordlark::MenNextProblemClick() {
    GoToProblem(true);
}
void TFrmWordlark::MenPreviousProblemClick() {
    GoToProblem(false);
}

// ---- Find and replace ----------------------------------------------------------------

void TFrmWordlark::MenFindClick() {
    ShowFindBar(false);
}

void TFrmWordlark::MenReplaceClick() {
    ShowFindBar(true);
}

void TFrmWordlark::ShowFindBar(bool replace) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{LblReplace, EdtReplace, BtnReplace, BtnReplaceAll})
        w->setVisible(replace);
    PnlFind->setVisible(true);
    // The selection, when it is a part of one line, is what to find.
    const QString selected = MemTranslation->selectedText();
    if (!selected.isEmpty() && !selected.contains('\n') && !selected.contains('\r'))
        EdtFind->setText(selected);
    EdtFind->setFocus();
    EdtFind->selectAll();
}

void TFrmWordlark::BtnCloseFindClick() {
    PnlFind->setVisible(false);
    MemTranslation->setFocus();
}

TFindOptions TFrmWordlark::FindOptions() const {
    return {ChkMatchCase->isChecked(), ChkWholeWord->isChecked(), ChkPhrasesOnly->isChecked()};
}

bool TFrmWordlark::FindInEditor(bool forward) {
    const std::string pattern = FromDisplay(EdtFind->text());
    if (pattern.empty() || !MemTranslation->IsOpen())
        return false;
    const std::string_view text = MemTranslation->TextView();
    const auto start =
        static_cast<std::size_t>(MemTranslation->SendScintilla(Sci::SCI_GETSELECTIONSTART));
    const auto end =
        static_cast<std::size_t>(MemTranslation->SendScintilla(Sci::SCI_GETSELECTIONEND));
    const TFindOptions options = FindOptions();
    std::optional<TTextRange> match =
        FindNext(text, pattern, options, forward ? end : start, forward);
    // Round the end of the text once.
    if (!match)
        match = FindNext(text, pattern, options, forward ? 0 : text.size(), forward);
    if (!match) {
        ShowStatus(m_aMNotFound.arg(EdtFind->text()));
        return false;
    }
    MemTranslation->SendScintilla(Sci::SCI_SETSEL, match->Begin, static_cast<long>(match->End));
    ShowStatus({});
    return true;
}

// With nothing to find yet, the find bar opens to ask for it.
void TFrmWordlark::BtnFindNextClick() {
    if (EdtFind->text().isEmpty())
        MenFindClick();
    else
        FindInEditor(true);
}

void TFrmWordlark::BtnFindPreviousClick() {
    if (EdtFind->text().isEmpty())
        MenFindClick();
    else
        FindInEditor(false);
}

bool TFrmWordlark::ReplacementHoldable(const std::string& replacement) {
    if (const auto refused = FirstUnencodable(replacement, MemTranslation->Encoding())) {
        ShowInputRefused(*refused, MemTranslation->Encoding());
        return false;
    }
    return true;
}

void TFrmWordlark::BtnReplaceClick() {
    const std::string pattern = FromDisplay(EdtFind->text());
    if (pattern.empty() || !MemTranslation->IsOpen())
        return;
    const std::string replacement = FromDisplay(EdtReplace->text());
    const std::string_view text = MemTranslation->TextView();
    const auto start =
        static_cast<std::size_t>(MemTranslation->SendScintilla(Sci::SCI_GETSELECTIONSTART));
    const auto end =
        static_cast<std::size_t>(MemTranslation->SendScintilla(Sci::SCI_GETSELECTIONEND));
    // The selection is replaced only when it is a match; then the next is found.
    const std::optional<TTextRange> match = FindNext(text, pattern, FindOptions(), start, true);
    if (match && match->Begin == start && match->End == end && start != end) {
        if (!ReplacementHoldable(replacement))
            return;
        MemTranslation->SendScintilla(Sci::SCI_TARGETFROMSELECTION);
        MemTranslation->SendScintilla(Sci::SCI_REPLACETARGET, replacement.size(),
                                      replacement.c_str());
        MemTranslation->SendScintilla(Sci::SCI_SETSEL, start,
                                      static_cast<long>(start + replacement.size()));
        MemTranslation->FlushChanges();
    }
    FindInEditor(true);
}

void TFrmWordlark::BtnReplaceAllClick() {
    const std::string pattern = FromDisplay(EdtFind->text());
    if (pattern.empty() || !MemTranslation->IsOpen())
        return;
    const std::string replacement = FromDisplay(EdtReplace->text());
    const std::vector<TTextRange> matches =
        FindAll(MemTranslation->TextView(), pattern, FindOptions());
    if (matches.empty()) {
        ShowStatus(m_aMNotFound.arg(EdtFind->text()));
        return;
    }
    if (!ReplacementHoldable(replacement))
        return;
    // From the end backwards, so the ranges still to do keep their places; one
    // undo step; the checks are brought up to date once, at the end.
    FBulkEdit = true;
    MemTranslation->SendScintilla(Sci::SCI_BEGINUNDOACTION);
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        MemTranslation->SendScintilla(Sci::SCI_SETTARGETRANGE, it->Begin,
                                      static_cast<long>(it->End));
        MemTranslation->SendScintilla(Sci::SCI_REPLACETARGET, replacement.size(),
                                      replacement.c_str());
    }
    MemTranslation->SendScintilla(Sci::SCI_ENDUNDOACTION);
    MemTranslation->FlushChanges();
    FBulkEdit = false;
    ResetWorkbench();
    ShowStatus(m_aMReplaced.arg(matches.size()));
}

// ---- Show as -------------------------------------------------------------------------

void TFrmWordlark::UpdateShowAsMenu() {
    if (!MenShowAs)
        return;
    // Only the bytes of a file that is not UTF-8 can be shown otherwise.
    const bool choice = MemTranslation->IsOpen() && !MemTranslation->LoadedUtf8();
    MenShowAs->setEnabled(choice);
    for (QAction* item : FShowAsGroup->actions())
        item->setChecked(choice &&
                         item->data().toInt() == static_cast<int>(MemTranslation->Encoding()));
}

void TFrmWordlark::ShowAs(TTextEncoding encoding) {
    if (!MemTranslation->IsOpen() || MemTranslation->LoadedUtf8()) {
        UpdateShowAsMenu();
        return;
    }
    MemTranslation->SetEncoding(encoding);
    UpdateChoices(
        [&](TWorkbenchChoices& choices) { choices.SetShowAs(TranslationPath, encoding); });
    ResetWorkbench();
}

void TFrmWordlark::UpdateChoices(const std::function<void(TWorkbenchChoices&)>& change) {
    change(FChoices);
    // Choices that cannot be kept are no reason to stop the work.
    TWorkbenchChoices().Update(FDataFolder + TWorkbenchChoices::FileName, change);
}

// Text the file's encoding cannot hold: where another encoding can hold it,
// the file may be shown as that one, and the text goes in.
void TFrmWordlark::MemTranslationInputRefused(char32_t character, const QString& text) {
    const TTextEncoding current = MemTranslation->Encoding();
    if (MemTranslation->LoadedUtf8()) {
        ShowInputRefused(character, current);
        return;
    }
    const std::string typed =
        text.isEmpty() ? FromDisplay(QString::fromUcs4(&character, 1)) : FromDisplay(text);
    std::optional<TTextEncoding> offer;
    for (TTextEncoding encoding : EncodingsHolding(typed))
        if (encoding != TTextEncoding::Utf8 && encoding != current) {
            offer = encoding;
            break;
        }
    if (!offer) {
        ShowInputRefused(character, current);
        return;
    }
    const QString question = m_aMShowAsOffer.arg(
        NamedCharacter(character), FromUtf8(EncodingName(current)), FromUtf8(EncodingName(*offer)));
    if (DoMsgBox(question, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    ShowAs(*offer);
    if (text.isEmpty())
        return;
    // Pasted text goes in as a paste does (its line breaks made the file's);
    // typed text as typed.
    if (text == QApplication::clipboard()->text()) {
        MemTranslation->paste();
        return;
    }
    const std::string bytes = FromDisplay(text);
    MemTranslation->SendScintilla(Sci::SCI_REPLACESEL, 0UL, bytes.c_str());
    MemTranslation->FlushChanges();
}
