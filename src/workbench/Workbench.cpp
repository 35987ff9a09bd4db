#include "workbench/Workbench.h"

#include "editor/SynEditor.h"
#include "editor/SynIniSyn.h"
#include "encoding/Codec.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileBlock.h"
#include "platform/FileIO.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/Placement.h"
#include "texts/QtText.h"
#include "texts/StatusLine.h"
#include "workbench/ChecksMenu.h"
#include "workbench/FindBar.h"
#include "workbench/PhraseMarks.h"
#include "workbench/RoomWatch.h"
#include "workbench/ShowAsMenu.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QSplitter>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

using Sci = QsciScintillaBase;

namespace {

constexpr int ProblemMarker = TMarginMarkers::ProblemMarker;
constexpr int UntranslatedMarker = TMarginMarkers::UntranslatedMarker;
constexpr int ToBeCheckedMarker = TMarginMarkers::ToBeCheckedMarker;
constexpr int MarkerMargin = 1;
// The name "Side by side" is kept under in the choices.
const char* const SideBySideView = "side-by-side";

// A file read and shown as the workbench shows it; none when it cannot be read.
std::shared_ptr<const TReferenceText> ReadShown(const TWorkbenchChoices& choices,
                                                const std::string& path) {
    const auto block = path.empty() ? nullptr : platform::TFileBlock::Read(path);
    if (!block)
        return nullptr;
    const std::string_view bytes = block->Bytes();
    const TTextEncoding shown = ShownEncoding(choices, path, bytes);
    // UTF-8 shown as it is (nearly every file) is indexed where it was read.
    if (TCodec::Of(shown).DecodesAsIs(bytes))
        return std::make_shared<const TReferenceText>(bytes, block);
    return std::make_shared<const TReferenceText>(TCodec::Of(shown).Decode(bytes));
}

// The phrases to translate, in dark violet on light yellow, as in the editor.
void MarkPhrases(TSynEditor* editor) {
    editor->SynINI()->StringAttri()->SetBackground(10354687);
    editor->SynINI()->StringAttri()->SetForeground(8388672);
}

} // namespace

TWorkbench::TWorkbench(TSynEditor* editor, QWidget* editorArea, QMenu* translationMenu,
                       QMenu* viewMenu, TInterfaceTexts& texts, TChoicesStore& choices,
                       QObject* parent)
    : QObject(parent), FEditor(editor), FInterfaceTexts(texts), FChoices(choices) {
    BuildPanels(editorArea);
    BuildMenus(translationMenu, viewMenu);
    ConnectEditor();
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TWorkbench::ApplyTexts);
    connect(PnlFind, &TFindBar::StatusMessage, this, &TWorkbench::StatusMessage);
    ApplyTexts();
}

// ---- Building --------------------------------------------------------------------

void TWorkbench::BuildPanels(QWidget* editorArea) {
    auto* layout = static_cast<QVBoxLayout*>(editorArea->layout());
    layout->setSpacing(2);

    // The row above the editor: the reference, the side-by-side switch, the
    // progress and the number of problems.
    PnlWorkbench = new QWidget(editorArea);
    PnlWorkbench->setObjectName("PnlWorkbench");
    auto* row = new QHBoxLayout(PnlWorkbench);
    row->setContentsMargins(0, 0, 0, 0);
    LblReference = new QLabel("Reference:", PnlWorkbench);
    LblReference->setObjectName("LblReference");
    CbbReference = new QComboBox(PnlWorkbench);
    CbbReference->setObjectName("CbbReference");
    CbbReference->setMinimumWidth(120);
    CbbReference->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ChkSideBySide = new QCheckBox("Side by side", PnlWorkbench);
    ChkSideBySide->setObjectName("ChkSideBySide");
    LblProgress = new QLabel(PnlWorkbench);
    LblProgress->setObjectName("LblProgress");
    LblProblems = new QLabel(PnlWorkbench);
    LblProblems->setObjectName("LblProblems");
    row->addWidget(LblReference);
    row->addWidget(CbbReference);
    row->addSpacing(8);
    row->addWidget(ChkSideBySide);
    row->addStretch(1);
    // The progress and the problem count go into the status line
    // (ShowCountsIn).
    layout->insertWidget(0, PnlWorkbench);

    // The reference phrase of the key under the caret, highlighted as the
    // editor highlights it.
    MemReference = new TSynEditor(editorArea);
    MemReference->setObjectName("MemReference");
    MemReference->SetViewOnly();
    MemReference->SetLineNumbers(false);
    MemReference->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemReference->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemReference->setFocusPolicy(Qt::NoFocus);
    MemReference->SendScintilla(Sci::SCI_SETCARETSTYLE, Sci::CARETSTYLE_INVISIBLE);
    MemReference->setFixedHeight(
        static_cast<int>(MemReference->SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL)) + 6);
    layout->insertWidget(1, MemReference);

    // The editor beside the whole reference aligned by key, above the
    // problems list.
    layout->removeWidget(FEditor);
    PnlProblemsSplitter = new QSplitter(Qt::Vertical, editorArea);
    PnlProblemsSplitter->setObjectName("PnlProblemsSplitter");
    PnlSplitter = new QSplitter(Qt::Horizontal, PnlProblemsSplitter);
    PnlSplitter->setObjectName("PnlSplitter");
    PnlSplitter->addWidget(FEditor);
    MemReferenceView = new TSynEditor(PnlSplitter);
    MemReferenceView->setObjectName("MemReferenceView");
    MemReferenceView->SetViewOnly();
    MemReferenceView->setVisible(false);
    PnlSplitter->addWidget(MemReferenceView);
    LisProblems = new TProblemsView(FChecker, FMissingKeys, FTexts, PnlProblemsSplitter);
    PnlProblemsSplitter->addWidget(PnlSplitter);
    PnlProblemsSplitter->addWidget(LisProblems);
    PnlProblemsSplitter->setStretchFactor(0, 1);
    PnlProblemsSplitter->setStretchFactor(1, 0);
    PnlProblemsSplitter->setSizes({200, 48});
    // In a short window the editor keeps the room: the problems list goes,
    // and the editors' horizontal scroll bars, which would take its last line.
    new TRoomWatch(
        PnlProblemsSplitter, ScaleByDpi(100, editorArea->logicalDpiY()), [this](bool room) {
            LisProblems->setVisible(room);
            for (TSynEditor* editor : {FEditor, MemReferenceView})
                editor->SendScintilla(Sci::SCI_SETHSCROLLBAR, static_cast<unsigned long>(room));
        });
    layout->insertWidget(2, PnlProblemsSplitter, 1);
    for (TSynEditor* editor : {MemReference, MemReferenceView})
        MarkPhrases(editor);

    // Find and replace, shown on demand below the editor.
    PnlFind = new TFindBar(FEditor, FInterfaceTexts, editorArea);
    layout->insertWidget(3, PnlFind);

    // At the window's smallest size the rows above the editor give way to it,
    // rather than the editor's area growing over the areas above and below.
    editorArea->setMinimumHeight(1);
    editorArea->installEventFilter(this);

    // The editor's margin for the markers; resting the mouse on it names the
    // line's problems.
    FEditor->SendScintilla(Sci::SCI_SETMARGINTYPEN, MarkerMargin, Sci::SC_MARGIN_SYMBOL);
    FEditor->SendScintilla(Sci::SCI_SETMARGINWIDTHN, MarkerMargin, 14L);
    FEditor->SendScintilla(Sci::SCI_SETMARGINMASKN, MarkerMargin, TMarginMarkers::Mask);
    FEditor->SendScintilla(Sci::SCI_MARKERDEFINE, ProblemMarker, Sci::SC_MARK_CIRCLE);
    FEditor->SendScintilla(Sci::SCI_MARKERSETFORE, ProblemMarker, 0x000080L);
    FEditor->SendScintilla(Sci::SCI_MARKERSETBACK, ProblemMarker, 0x2020E0L);
    FEditor->SendScintilla(Sci::SCI_MARKERDEFINE, UntranslatedMarker, Sci::SC_MARK_SMALLRECT);
    FEditor->SendScintilla(Sci::SCI_MARKERSETFORE, UntranslatedMarker, 0xA06000L);
    FEditor->SendScintilla(Sci::SCI_MARKERSETBACK, UntranslatedMarker, 0xF0C080L);
    FEditor->SendScintilla(Sci::SCI_MARKERDEFINE, ToBeCheckedMarker, Sci::SC_MARK_CHARACTER + '?');
    FEditor->SendScintilla(Sci::SCI_MARKERSETFORE, ToBeCheckedMarker, 0xC05000L);
    FEditor->SendScintilla(Sci::SCI_SETMOUSEDWELLTIME, 400UL);
}

void TWorkbench::BuildMenus(QMenu* translationMenu, QMenu* viewMenu) {
    translationMenu->addSeparator();
    MenNextUntranslated = MakeAction(translationMenu, "MenNextUntranslated",
                                     "Next untranslated phrase", QKeySequence(Qt::Key_F8));
    MenPreviousUntranslated =
        MakeAction(translationMenu, "MenPreviousUntranslated", "Previous untranslated phrase",
                   QKeySequence(Qt::SHIFT | Qt::Key_F8));
    MenNextProblem =
        MakeAction(translationMenu, "MenNextProblem", "Next problem", QKeySequence(Qt::Key_F7));
    MenPreviousProblem = MakeAction(translationMenu, "MenPreviousProblem", "Previous problem",
                                    QKeySequence(Qt::SHIFT | Qt::Key_F7));
    translationMenu->addSeparator();
    MenFind = MakeAction(translationMenu, "MenFind", "Find", QKeySequence::Find);
    MenFindNext = MakeAction(translationMenu, "MenFindNext", "Find next", QKeySequence::FindNext);
    MenFindPrevious =
        MakeAction(translationMenu, "MenFindPrevious", "Find previous", QKeySequence::FindPrevious);
    MenReplace = MakeAction(translationMenu, "MenReplace", "Replace",
                            QKeySequence::keyBindings(QKeySequence::Replace).isEmpty()
                                ? QKeySequence(Qt::CTRL | Qt::Key_H)
                                : QKeySequence(QKeySequence::Replace));

    viewMenu->addSeparator();
    MenSideBySide = MakeAction(viewMenu, "MenSideBySide", "Side by side");
    MenSideBySide->setCheckable(true);
    FShowAs = new TShowAsMenu(FEditor, viewMenu, FInterfaceTexts, FChoices, this);
    MenShowAs = FShowAs->MenShowAs;
    connect(FShowAs, &TShowAsMenu::EncodingChanged, this, [this] { Reset(); });
    connect(FShowAs, &TShowAsMenu::StatusMessage, this, &TWorkbench::StatusMessage);
    FChecksMenu = new TChecksMenu(FChecker, viewMenu, FInterfaceTexts, FChoices, this);
    connect(FChecksMenu, &TChecksMenu::ChecksChanged, this, &TWorkbench::Reset);
    FMarks = new TPhraseMarks(FEditor, FChecker, translationMenu, FInterfaceTexts, FChoices, this);
    connect(FMarks, &TPhraseMarks::Changed, this, &TWorkbench::ShowUpdate);
    connect(FMarks, &TPhraseMarks::GoTo, this, [this](std::size_t line) { GoToLine(line, true); });
    connect(FMarks, &TPhraseMarks::StatusMessage, this, &TWorkbench::StatusMessage);

    // Access letters, in the interface language.
    const std::tuple<QAction*, const char*, const char*> letters[] = {
        {MenNextUntranslated, "FrmWordlark.MenNextUntranslated.AccessKey", "N"},
        {MenPreviousUntranslated, "FrmWordlark.MenPreviousUntranslated.AccessKey", "P"},
        {MenNextProblem, "FrmWordlark.MenNextProblem.AccessKey", "b"},
        {MenPreviousProblem, "FrmWordlark.MenPreviousProblem.AccessKey", "m"},
        {MenFind, "FrmWordlark.MenFind.AccessKey", "F"},
        {MenFindNext, "FrmWordlark.MenFindNext.AccessKey", "x"},
        {MenFindPrevious, "FrmWordlark.MenFindPrevious.AccessKey", "o"},
        {MenReplace, "FrmWordlark.MenReplace.AccessKey", "R"},
        {MenSideBySide, "FrmWordlark.MenSideBySide.AccessKey", "S"},
    };
    for (const auto& [item, key, letter] : letters)
        FInterfaceTexts.RegisterAccessKey(item, key, letter);

    const auto command = [this](auto* sender, auto signal, void (TWorkbench::*handler)()) {
        ConnectCommand(sender, signal, this, handler);
    };
    command(MenNextUntranslated, &QAction::triggered, &TWorkbench::MenNextUntranslatedClick);
    command(MenPreviousUntranslated, &QAction::triggered,
            &TWorkbench::MenPreviousUntranslatedClick);
    command(MenNextProblem, &QAction::triggered, &TWorkbench::MenNextProblemClick);
    command(MenPreviousProblem, &QAction::triggered, &TWorkbench::MenPreviousProblemClick);
    ConnectCommand(MenFind, &QAction::triggered, PnlFind, &TFindBar::MenFindClick);
    ConnectCommand(MenFindNext, &QAction::triggered, PnlFind, &TFindBar::BtnFindNextClick);
    ConnectCommand(MenFindPrevious, &QAction::triggered, PnlFind, &TFindBar::BtnFindPreviousClick);
    ConnectCommand(MenReplace, &QAction::triggered, PnlFind, &TFindBar::MenReplaceClick);
    command(CbbReference, &QComboBox::activated, &TWorkbench::CbbReferenceChange);
    command(ChkSideBySide, &QCheckBox::clicked, &TWorkbench::ChkSideBySideClick);
    connect(MenSideBySide, &QAction::triggered, this, [this](bool on) {
        ChkSideBySide->setChecked(on);
        Guarded([&] { ChkSideBySideClick(); });
    });
    connect(LisProblems, &TProblemsView::RowChosen, this,
            [this](int row) { Guarded([&] { LisProblemsClick(row); }); });
}

void TWorkbench::ConnectEditor() {
    connect(FEditor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int, int linesAdded, int, int, int, int,
                   int) { Guarded([&] { TranslationModified(position, type, linesAdded); }); });
    connect(FEditor, &TSynEditor::BulkChange, this, [this] { Guarded([&] { Reset(); }); });
    connect(FEditor, &QsciScintillaBase::SCN_UPDATEUI, this,
            [this](int updated) { TranslationUpdateUi(updated); });
    connect(FEditor, &QsciScintillaBase::SCN_DWELLSTART, this, [this](int position, int x, int y) {
        long margins = 0;
        for (unsigned long m = 0; m < 3; ++m)
            margins += FEditor->SendScintilla(Sci::SCI_GETMARGINWIDTHN, m);
        if (position < 0 || x >= margins || !FEditor->IsOpen())
            return;
        const auto line =
            static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_LINEFROMPOSITION, position));
        const QString hint = LineHint(line);
        if (!hint.isEmpty())
            QToolTip::showText(FEditor->viewport()->mapToGlobal(QPoint(x, y)), hint, FEditor);
    });
    connect(FEditor, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    connect(MemReferenceView, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & Sci::SC_UPDATE_V_SCROLL)
            FollowScroll(MemReferenceView, FEditor);
    });
}

void TWorkbench::ApplyTexts() {
    struct TText {
        const char* Key;
        const char* Default;
        std::function<void(const QString&)> Apply;
    };
    auto text = [](auto* control) { return [control](const QString& t) { control->setText(t); }; };
    auto member = [](QString& s) { return [&s](const QString& t) { s = t; }; };
    const TText texts[] = {
        {"FrmWordlark.LblReference", "Reference:", text(LblReference)},
        {"FrmWordlark.ChkSideBySide", "Side by side", text(ChkSideBySide)},
        {"FrmWordlark.MenNextUntranslated", "Next untranslated phrase", text(MenNextUntranslated)},
        {"FrmWordlark.MenPreviousUntranslated", "Previous untranslated phrase",
         text(MenPreviousUntranslated)},
        {"FrmWordlark.MenNextProblem", "Next problem", text(MenNextProblem)},
        {"FrmWordlark.MenPreviousProblem", "Previous problem", text(MenPreviousProblem)},
        {"FrmWordlark.MenFind", "Find", text(MenFind)},
        {"FrmWordlark.MenReplace", "Replace", text(MenReplace)},
        {"FrmWordlark.m_aMProgress", "%1 of %2 phrases translated", member(m_aMProgress)},
        {"FrmWordlark.m_aMProblems", "Problems: %1", member(m_aMProblems)},
        {"FrmWordlark.m_aMAllTranslated", "Every phrase is translated", member(m_aMAllTranslated)},
        {"FrmWordlark.m_aMNoProblems", "No problems found", member(m_aMNoProblems)},
    };
    for (const TText& t : texts)
        t.Apply(FInterfaceTexts.GetNationalText(t.Key, t.Default));
    FTexts.Apply(FInterfaceTexts);
    PnlFind->ApplyTexts();
    FShowAs->ApplyTexts();
    MenFindNext->setText(PnlFind->BtnFindNext->text());
    MenFindPrevious->setText(PnlFind->BtnFindPrevious->text());
    MenSideBySide->setText(ChkSideBySide->text());
    RefreshProgress();
    LisProblems->Refresh();
}

void TWorkbench::ApplyFont(int points) {
    MemReferenceView->SetFontSizes(points + 1, points);
    MemReference->SetFontSizes(points + 1, points);
    MemReference->setFixedHeight(
        static_cast<int>(MemReference->SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL)) + 6);
}

bool TWorkbench::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize)
        FitEditorArea(static_cast<QResizeEvent*>(event)->size().height());
    return QObject::eventFilter(watched, event);
}

void TWorkbench::FitEditorArea(int height) {
    QWidget* rows[] = {PnlWorkbench, MemReference};
    int needed = FEditor->minimumSizeHint().height();
    for (QWidget* row : rows)
        needed += std::min(row->sizeHint().height(), row->maximumHeight()) +
                  row->parentWidget()->layout()->spacing();
    for (QWidget* row : rows)
        row->setVisible(height >= needed);
}

// ---- What happened -------------------------------------------------------------

void TWorkbench::Opened(const TOpened& opened) {
    FOpened = opened;
    FShowAs->SetFile(opened.TranslationPath);
    FillReferenceChoices();
    LoadReference();
    // The checks and the marks as kept now (another window may have changed them).
    FChecksMenu->Apply();
    FMarks->SetFile(opened.TranslationPath);
    Reset();
    emit OpenChanged(true);
}

void TWorkbench::Emptied() {
    FOpened = {};
    FReference = FMaster = nullptr;
    FShowAs->SetFile({});
    FillReferenceChoices();
    Reset();
    FMarks->SetFile({});
    emit OpenChanged(false);
}

// ---- The reference ---------------------------------------------------------------

void TWorkbench::FillReferenceChoices() {
    CbbReference->clear();
    FReferencePaths.clear();
    if (!FEditor->IsOpen()) {
        CbbReference->setEnabled(false);
        return;
    }
    const std::vector<TCatalogueEntry>& entries = FOpened.Listed;
    const std::optional<std::size_t> chosen = ChooseReference(
        entries, FOpened.TranslationPath, FChoices.Get().ReferenceLanguage(FOpened.CataloguePath));
    int current = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Path == FOpened.TranslationPath)
            continue;
        if (chosen && *chosen == i)
            current = CbbReference->count();
        CbbReference->addItem(
            ToDisplay(entries[i].Name),
            QByteArray(entries[i].Name.data(), static_cast<qsizetype>(entries[i].Name.size())));
        FReferencePaths.push_back(entries[i].Path);
    }
    CbbReference->setCurrentIndex(current);
    CbbReference->setEnabled(CbbReference->count() > 0);
}

void TWorkbench::CbbReferenceChange() {
    const int index = CbbReference->currentIndex();
    if (index >= 0) {
        const std::string language = CbbReference->itemData(index).toByteArray().toStdString();
        FChoices.Update([&](TWorkbenchChoices& choices) {
            choices.SetReferenceLanguage(FOpened.CataloguePath, language);
        });
    }
    LoadReference();
    Reset();
}

void TWorkbench::LoadReference() {
    // A reference that cannot be read is none: the checks go on without it;
    // so is the master, the translation this one was made from as a copy.
    const std::string master = FChoices.Get().Master(FOpened.TranslationPath).value_or("");
    const bool open = FEditor->IsOpen(), copy = open && master != FOpened.TranslationPath;
    // Kept until Reset checks the text against them: each is indexed once.
    FReference = TakeShown(FPrefetched[0], open ? ReferencePath() : "");
    FMaster = TakeShown(FPrefetched[1], copy ? master : "");
}

std::pair<std::string, std::string> TWorkbench::SourcesOf(const TOpened& opened) const {
    std::pair<std::string, std::string> sources;
    const std::optional<std::size_t> chosen =
        ChooseReference(opened.Listed, opened.TranslationPath,
                        FChoices.Get().ReferenceLanguage(opened.CataloguePath));
    // The translation itself is never its own reference (FillReferenceChoices).
    if (chosen && opened.Listed[*chosen].Path != opened.TranslationPath)
        sources.first = opened.Listed[*chosen].Path;
    const std::string master = FChoices.Get().Master(opened.TranslationPath).value_or("");
    if (master != opened.TranslationPath)
        sources.second = master;
    return sources;
}

void TWorkbench::Prefetch(const TOpened& opened) {
    const auto [reference, master] = SourcesOf(opened);
    const TWorkbenchChoices choices = FChoices.Get();
    int i = 0;
    for (const std::string& path : {reference, master}) {
        TPrefetched& prefetched = FPrefetched[i++];
        prefetched.Path = path;
        prefetched.Text.reset();
        if (!path.empty())
            prefetched.Text =
                std::make_unique<platform::TJoinedTask<std::shared_ptr<const TReferenceText>>>(
                    [choices, path] { return ReadShown(choices, path); });
    }
}

std::shared_ptr<const TReferenceText> TWorkbench::TakeShown(TPrefetched& prefetched,
                                                            const std::string& path) {
    // What was read ahead is taken when it is the same file; anything else
    // is waited for and dropped (its thread reads no more than one file).
    const auto ahead = std::move(prefetched.Text);
    const bool same = ahead && prefetched.Path == path;
    prefetched = {};
    if (same)
        return ahead->Take();
    return ReadShown(FChoices.Get(), path);
}

std::string TWorkbench::ReferencePath() const {
    const int index = CbbReference->currentIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= FReferencePaths.size())
        return {};
    return FReferencePaths[static_cast<std::size_t>(index)];
}

std::string TWorkbench::AlignedReferenceLine(std::size_t line) const {
    if (line >= FChecker.LineCount())
        return {};
    const std::optional<std::size_t> reference = FChecker.ReferenceLine(line);
    if (!reference)
        return {};
    return std::string(FChecker.Reference()->Line(*reference));
}

void TWorkbench::RefreshReferenceLine(bool force) {
    const long line = FEditor->IsOpen()
                          ? FEditor->SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                                   FEditor->SendScintilla(Sci::SCI_GETCURRENTPOS))
                          : -1;
    if (!force && line == FReferenceShownLine)
        return;
    FReferenceShownLine = line;
    const std::string text =
        line < 0 ? std::string() : AlignedReferenceLine(static_cast<std::size_t>(line));
    if (MemReference->TextView() != text)
        MemReference->ShowText(text);
}

void TWorkbench::RebuildReferenceView() {
    if (MemReferenceView->isHidden())
        return;
    std::string text;
    for (std::size_t line = 0; line < FChecker.LineCount(); ++line) {
        if (line)
            text += '\n';
        text += AlignedReferenceLine(line);
    }
    MemReferenceView->ShowText(text);
    MemReferenceView->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                                    FEditor->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
}

void TWorkbench::ShowCountsIn(TStatusLine& statusLine) {
    LblProblems->setContentsMargins(8, 0, 4, 0);
    statusLine.AddPermanent(LblProgress);
    statusLine.AddPermanent(LblProblems);
}

void TWorkbench::ApplyKeptView() {
    ChkSideBySide->setChecked(FChoices.Get().IsViewOn(SideBySideView));
    ShowSideBySide();
}

void TWorkbench::ChkSideBySideClick() {
    // Kept for the next run.
    const bool on = ChkSideBySide->isChecked();
    FChoices.Update([&](TWorkbenchChoices& choices) { choices.SetViewOn(SideBySideView, on); });
    ShowSideBySide();
}

void TWorkbench::ShowSideBySide() {
    const bool on = ChkSideBySide->isChecked();
    MenSideBySide->setChecked(on);
    MemReferenceView->setVisible(on);
    if (on) {
        const int half = std::max(1, PnlSplitter->width() / 2);
        PnlSplitter->setSizes({half, half});
        RebuildReferenceView();
    } else {
        MemReferenceView->ShowText({});
    }
}

void TWorkbench::FollowScroll(TSynEditor* leader, TSynEditor* follower) {
    if (FSyncingScroll)
        return;
    FSyncingScroll = true;
    follower->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                            leader->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
    FSyncingScroll = false;
}

// ---- Checking ----------------------------------------------------------------------

void TWorkbench::Reset() {
    const std::string_view text = FEditor->IsOpen() ? FEditor->TextView() : "";
    FChecker.Reset(text, FEditor->IsOpen() ? FReference : nullptr,
                   FEditor->IsOpen() ? FMaster : nullptr);
    FProblemLines.Reset(FChecker);
    FMissingKeys = FChecker.MissingKeys();
    FMarkers.Reset();
    LisProblems->Rebuild(FProblemLines.Lines());
    RefreshProgress();
    RefreshReferenceLine(true);
    RebuildReferenceView();
    FShowAs->Update();
}

void TWorkbench::ShowUpdate(const TTranslationChecker::TUpdate& update) {
    for (std::size_t line : update.Lines)
        FMarkers.Refresh(line);
    // No line was replaced: only the lines named may show other problems.
    if (FProblemLines.Apply(FChecker, {0, 0, 0}, update))
        LisProblems->Update(FProblemLines.Lines(), update.Lines);
    else
        LisProblems->RefreshLines(update.Lines);
    RefreshProgress();
}

void TWorkbench::TranslationModified(int position, int type, int linesAdded) {
    if (!(type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT)) || FEditor->InBulkEdit() ||
        !FEditor->IsOpen())
        return;
    const auto editLine =
        static_cast<std::size_t>(FEditor->SendScintilla(Sci::SCI_LINEFROMPOSITION, position));
    const TLineSplice splice = SpliceOfEdit(editLine, linesAdded);
    if (splice.First + splice.Removed > FChecker.LineCount()) {
        // Out of step (it never should be): check everything again.
        Reset();
        return;
    }
    // Each line copied at once: reading the next may move the editor's gap.
    std::vector<std::string> copies;
    copies.reserve(splice.Added);
    for (std::size_t i = 0; i < splice.Added; ++i)
        copies.emplace_back(FEditor->LineView(splice.First + i));
    const std::vector<std::string_view> lines(copies.begin(), copies.end());
    const TTranslationChecker::TUpdate update =
        FChecker.ReplaceLines(splice.First, splice.Removed, lines);
    FMarkers.Spliced(splice.First, splice.Removed, splice.Added);
    for (std::size_t line : update.Lines)
        FMarkers.Refresh(line);
    // The missing keys are found again only when they changed; lines that
    // moved take their places along.
    bool missingMoved = false;
    if (update.MissingKeysChanged) {
        FMissingKeys = FChecker.MissingKeys();
    } else if (splice.Added != splice.Removed && !FMissingKeys.empty()) {
        TTranslationChecker::ShiftMissingKeys(FMissingKeys, splice.First, splice.Removed,
                                              splice.Added);
        missingMoved = true;
    }
    // Rows of missing keys may name other keys now: all are shown again.
    const bool listChanged = FProblemLines.Apply(FChecker, splice, update);
    if (update.MissingKeysChanged)
        LisProblems->Rebuild(FProblemLines.Lines());
    else if (listChanged || missingMoved)
        LisProblems->Update(FProblemLines.Lines(), update.Lines);
    else
        LisProblems->RefreshLines(update.Lines);
    if (!MemReferenceView->isHidden()) {
        std::string text;
        for (std::size_t i = 0; i < splice.Added; ++i) {
            if (i)
                text += '\n';
            text += AlignedReferenceLine(splice.First + i);
        }
        MemReferenceView->ReplaceViewLines(static_cast<long>(splice.First),
                                           static_cast<long>(splice.Removed), text);
    }
    RefreshProgress();
    RefreshReferenceLine(true);
}

void TWorkbench::TranslationUpdateUi(int updated) {
    if (updated & (Sci::SC_UPDATE_SELECTION | Sci::SC_UPDATE_CONTENT))
        RefreshReferenceLine(false);
    if (updated & Sci::SC_UPDATE_V_SCROLL) {
        FMarkers.Follow();
        if (!MemReferenceView->isHidden())
            FollowScroll(FEditor, MemReferenceView);
    }
}

void TWorkbench::RefreshProgress() {
    if (!FEditor->IsOpen()) {
        LblProgress->clear();
        LblProblems->clear();
        return;
    }
    const TTranslationChecker::TProgress progress = FChecker.Progress();
    const QString text = m_aMProgress.arg(progress.Translated).arg(progress.Total);
    if (LblProgress->text() != text)
        LblProgress->setText(text);
    const QString problems = m_aMProblems.arg(FChecker.ProblemCount());
    if (LblProblems->text() != problems)
        LblProblems->setText(problems);
}

int TWorkbench::ProblemRowCount() const {
    return LisProblems->RowCount();
}

QString TWorkbench::ProblemRowText(int row) const {
    return LisProblems->RowText(row);
}

// ---- Show as -------------------------------------------------------------------------

void TWorkbench::ShowAs(TTextEncoding encoding) {
    FShowAs->ShowAs(encoding);
}

void TWorkbench::OfferShowAs(char32_t character, const QString& text) {
    FShowAs->OfferShowAs(character, text);
}
