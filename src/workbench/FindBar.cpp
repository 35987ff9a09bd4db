#include "workbench/FindBar.h"

#include "editor/SynEditor.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

using Sci = QsciScintillaBase;

namespace {
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QPushButton* MakeSmallButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}
} // namespace

TFindBar::TFindBar(TSynEditor* editor, TInterfaceTexts& texts, QWidget* parent)
    : QWidget(parent), FEditor(editor), FTexts(texts) {
    setObjectName("PnlFind");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 2, 0, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    LblFind = new QLabel("Find:", this);
    LblFind->setObjectName("LblFind");
    EdtFind = new QLineEdit(this);
    EdtFind->setObjectName("EdtFind");
    LblReplace = new QLabel("Replace with:", this);
    LblReplace->setObjectName("LblReplace");
    EdtReplace = new QLineEdit(this);
    EdtReplace->setObjectName("EdtReplace");
    BtnFindNext = MakeSmallButton(this, "BtnFindNext", "Find next");
    BtnFindPrevious = MakeSmallButton(this, "BtnFindPrevious", "Find previous");
    BtnReplace = MakeSmallButton(this, "BtnReplace", "Replace");
    BtnReplaceAll = MakeSmallButton(this, "BtnReplaceAll", "Replace all");
    BtnCloseFind = MakeSmallButton(this, "BtnCloseFind", QString(QChar(0x00D7)));
    BtnCloseFind->setFixedWidth(24);
    ChkMatchCase = MakeCheckBox(this, "ChkMatchCase", "Match case");
    ChkWholeWord = MakeCheckBox(this, "ChkWholeWord", "Whole word");
    ChkPhrasesOnly = MakeCheckBox(this, "ChkPhrasesOnly", "Within phrases only");
    grid->addWidget(LblFind, 0, 0);
    grid->addWidget(EdtFind, 0, 1);
    grid->addWidget(BtnFindNext, 0, 2);
    grid->addWidget(BtnFindPrevious, 0, 3);
    grid->addWidget(ChkMatchCase, 0, 4);
    grid->addWidget(ChkWholeWord, 0, 5);
    grid->addWidget(BtnCloseFind, 0, 6);
    grid->addWidget(LblReplace, 1, 0);
    grid->addWidget(EdtReplace, 1, 1);
    grid->addWidget(BtnReplace, 1, 2);
    grid->addWidget(BtnReplaceAll, 1, 3);
    grid->addWidget(ChkPhrasesOnly, 1, 4, 1, 2);
    grid->setColumnStretch(1, 1);
    setVisible(false);

    const auto command = [this](auto* sender, auto signal, void (TFindBar::*handler)()) {
        ConnectCommand(sender, signal, this, handler);
    };
    command(BtnFindNext, &QPushButton::clicked, &TFindBar::BtnFindNextClick);
    command(BtnFindPrevious, &QPushButton::clicked, &TFindBar::BtnFindPreviousClick);
    command(EdtFind, &QLineEdit::returnPressed, &TFindBar::BtnFindNextClick);
    command(BtnReplace, &QPushButton::clicked, &TFindBar::BtnReplaceClick);
    command(EdtReplace, &QLineEdit::returnPressed, &TFindBar::BtnReplaceClick);
    command(BtnReplaceAll, &QPushButton::clicked, &TFindBar::BtnReplaceAllClick);
    command(BtnCloseFind, &QPushButton::clicked, &TFindBar::BtnCloseFindClick);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    command(escape, &QShortcut::activated, &TFindBar::BtnCloseFindClick);
}

void TFindBar::ApplyTexts() {
    const std::pair<const char*, std::pair<QWidget*, const char*>> captions[] = {
        {"FrmWordlark.LblFind", {LblFind, "Find:"}},
        {"FrmWordlark.LblReplace", {LblReplace, "Replace with:"}},
        {"FrmWordlark.ChkMatchCase", {ChkMatchCase, "Match case"}},
        {"FrmWordlark.ChkWholeWord", {ChkWholeWord, "Whole word"}},
        {"FrmWordlark.ChkPhrasesOnly", {ChkPhrasesOnly, "Within phrases only"}},
        {"FrmWordlark.BtnFindNext", {BtnFindNext, "Find next"}},
        {"FrmWordlark.BtnFindPrevious", {BtnFindPrevious, "Find previous"}},
        {"FrmWordlark.BtnReplace", {BtnReplace, "Replace"}},
        {"FrmWordlark.BtnReplaceAll", {BtnReplaceAll, "Replace all"}},
    };
    for (const auto& [key, control] : captions) {
        const QString text = FTexts.GetNationalText(key, control.second);
        if (auto* label = qobject_cast<QLabel*>(control.first))
            label->setText(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(control.first))
            button->setText(text);
    }
    BtnCloseFind->setToolTip(FTexts.GetNationalText("FrmWordlark.BtnCloseFind", "Close"));
    m_aMNotFound = FTexts.GetNationalText("FrmWordlark.m_aMNotFound", "'%1' was not found");
    m_aMReplaced = FTexts.GetNationalText("FrmWordlark.m_aMReplaced", "Replaced: %1");
}

void TFindBar::MenFindClick() {
    ShowBar(false);
}

void TFindBar::MenReplaceClick() {
    ShowBar(true);
}

void TFindBar::ShowBar(bool replace) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{LblReplace, EdtReplace, BtnReplace, BtnReplaceAll})
        w->setVisible(replace);
    setVisible(true);
    const QString selected = FEditor->selectedText();
    if (!selected.isEmpty() && !selected.contains('\n') && !selected.contains('\r'))
        EdtFind->setText(selected);
    EdtFind->setFocus();
    EdtFind->selectAll();
}

void TFindBar::BtnCloseFindClick() {
    setVisible(false);
    FEditor->setFocus();
}

TFindOptions TFindBar::FindOptions() const {
    return {ChkMatchCase->isChecked(), ChkWholeWord->isChecked(), ChkPhrasesOnly->isChecked()};
}

bool TFindBar::FindInEditor(bool forward) {
    const std::string pattern = FromDisplay(EdtFind->text());
    if (pattern.empty() || !FEditor->IsOpen())
        return false;
    const std::string_view text = FEditor->TextView();
    const auto start = static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_GETSELECTIONSTART));
    const auto end = static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_GETSELECTIONEND));
    const TFindOptions options = FindOptions();
    std::optional<TTextRange> match =
        FindNext(text, pattern, options, forward ? end : start, forward);
    // Round the end of the text once.
    if (!match)
        match = FindNext(text, pattern, options, forward ? 0 : text.size(), forward);
    if (!match) {
        emit StatusMessage(m_aMNotFound.arg(EdtFind->text()));
        return false;
    }
    FEditor->SendScintilla(Sci::SCI_SETSEL, match->Begin, static_cast<long>(match->End));
    emit StatusMessage({});
    return true;
}

// With nothing to find yet, the find bar opens to ask for it.
void TFindBar::BtnFindNextClick() {
    if (EdtFind->text().isEmpty())
        MenFindClick();
    else
        FindInEditor(true);
}

void TFindBar::BtnFindPreviousClick() {
    if (EdtFind->text().isEmpty())
        MenFindClick();
    else
        FindInEditor(false);
}

bool TFindBar::ReplacementHoldable(const std::string& replacement) {
    if (const auto refused = FirstUnencodable(replacement, FEditor->Encoding())) {
        FTexts.ShowInputRefused(*refused, FEditor->Encoding(), window());
        return false;
    }
    return true;
}

void TFindBar::BtnReplaceClick() {
    const std::string pattern = FromDisplay(EdtFind->text());
    if (pattern.empty() || !FEditor->IsOpen())
        return;
    const std::string replacement = FromDisplay(EdtReplace->text());
    const std::string_view text = FEditor->TextView();
    const auto start = static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_GETSELECTIONSTART));
    const auto end = static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_GETSELECTIONEND));
    // The selection is replaced only when it is a match; then the next is found.
    const std::optional<TTextRange> match = FindNext(text, pattern, FindOptions(), start, true);
    if (match && match->Begin == start && match->End == end && start != end) {
        if (!ReplacementHoldable(replacement))
            return;
        FEditor->SendScintilla(Sci::SCI_TARGETFROMSELECTION);
        FEditor->SendScintilla(Sci::SCI_REPLACETARGET, replacement.size(), replacement.c_str());
        FEditor->SendScintilla(Sci::SCI_SETSEL, start,
                               static_cast<long>(start + replacement.size()));
        FEditor->FlushChanges();
    }
    FindInEditor(true);
}

void TFindBar::BtnReplaceAllClick() {
    const std::string pattern = FromDisplay(EdtFind->text());
    if (pattern.empty() || !FEditor->IsOpen())
        return;
    const std::string replacement = FromDisplay(EdtReplace->text());
    const std::vector<TTextRange> matches = FindAll(FEditor->TextView(), pattern, FindOptions());
    if (matches.empty()) {
        emit StatusMessage(m_aMNotFound.arg(EdtFind->text()));
        return;
    }
    if (!ReplacementHoldable(replacement))
        return;
    // From the end backwards, so the ranges still to do keep their places; one
    // undo step, whose checks are brought up to date once, at the end.
    FEditor->BulkEdit([&] {
        for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
            FEditor->SendScintilla(Sci::SCI_SETTARGETRANGE, it->Begin, static_cast<long>(it->End));
            FEditor->SendScintilla(Sci::SCI_REPLACETARGET, replacement.size(), replacement.c_str());
        }
    });
    emit StatusMessage(m_aMReplaced.arg(matches.size()));
}
