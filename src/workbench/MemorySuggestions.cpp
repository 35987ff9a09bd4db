#include "workbench/MemorySuggestions.h"

#include "editor/SynEditor.h"
#include "initfile/KeyValueLine.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/Placement.h"
#include "texts/QtText.h"
#include "workbench/FillFromMemory.h"
#include "workbench/LanguageNames.h"
#include "workbench/PhraseMarks.h"
#include "workbench/RoomWatch.h"
#include "workbench/TranslationMemory.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

using Sci = QsciScintillaBase;

namespace {
// The editor's area shows the suggestions while it is at least this high.
constexpr int RoomForSuggestions = 260;

// `text` with the byte ranges `marked` (in order, not overlapping) shown on a
// light red ground, as rich text.
QString MarkedText(const std::string& text, std::vector<TTextRange> marked) {
    std::sort(marked.begin(), marked.end(),
              [](const TTextRange& a, const TTextRange& b) { return a.Begin < b.Begin; });
    QString html;
    std::size_t at = 0;
    for (const TTextRange& range : marked) {
        if (range.Begin < at || range.End > text.size())
            continue;
        html += FromUtf8(std::string_view(text).substr(at, range.Begin - at)).toHtmlEscaped();
        html += "<span style=\"background-color:#ffc8c8\">" +
                FromUtf8(std::string_view(text).substr(range.Begin, range.End - range.Begin))
                    .toHtmlEscaped() +
                "</span>";
        at = range.End;
    }
    return html + FromUtf8(std::string_view(text).substr(at)).toHtmlEscaped();
}

bool SameLanguage(std::string_view a, std::string_view b) {
    return FoldedLanguageName(a) == FoldedLanguageName(b);
}
} // namespace

TMemorySuggestions::TMemorySuggestions(TWorkbench& workbench, TSynEditor* editor,
                                       QMenu* translationMenu, TInterfaceTexts& texts,
                                       TSources sources)
    : QObject(&workbench), FWorkbench(workbench), FEditor(editor), FTexts(texts),
      FSources(std::move(sources)), FBuilder(std::make_unique<TMemoryBuilder>()) {
    static_assert(MaxSuggestions == TTranslationMemory::MaxSuggestions);
    // Below the reference phrase: a title and a row per suggestion.
    QWidget* area = workbench.PnlWorkbench->parentWidget();
    auto* layout = static_cast<QVBoxLayout*>(area->layout());
    PnlSuggestions = new QWidget(area);
    PnlSuggestions->setObjectName("PnlSuggestions");
    auto* grid = new QGridLayout(PnlSuggestions);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(0);
    LblSuggestions = new QLabel(PnlSuggestions);
    LblSuggestions->setObjectName("LblSuggestions");
    grid->addWidget(LblSuggestions, 0, 0, static_cast<int>(LblSuggestion.size()), 1, Qt::AlignTop);
    for (std::size_t i = 0; i < LblSuggestion.size(); ++i) {
        QLabel* row = LblSuggestion[i] = new QLabel(PnlSuggestions);
        row->setObjectName(QString("LblSuggestion%1").arg(i + 1));
        row->setTextFormat(Qt::RichText);
        row->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        row->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(row, static_cast<int>(i), 1);
        connect(row, &QLabel::linkActivated, this,
                [this, i] { Guarded([&] { UseSuggestion(i); }); });

        // Ctrl+1, Ctrl+2, Ctrl+3 while the editor has the focus.
        QAction* use = ActUseSuggestion[i] = new QAction(editor);
        use->setObjectName(QString("ActUseSuggestion%1").arg(i + 1));
        use->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + i)));
        use->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        editor->addAction(use);
        connect(use, &QAction::triggered, this, [this, i] { Guarded([&] { UseSuggestion(i); }); });
    }
    grid->setColumnStretch(1, 1);
    layout->insertWidget(layout->indexOf(workbench.MemReference) + 1, PnlSuggestions);
    PnlSuggestions->setVisible(false);
    // In a short window the editor keeps the room.
    new TRoomWatch(area, ScaleByDpi(RoomForSuggestions, area->logicalDpiY()),
                   [this](bool room) { PnlSuggestions->setVisible(room && FEditor->IsOpen()); });

    MenFillFromMemory = MakeAction(translationMenu, "MenFillFromMemory", "Fill from memory");
    texts.RegisterAccessKey(MenFillFromMemory, "FrmWordlark.MenFillFromMemory.AccessKey", "y");
    ConnectCommand(MenFillFromMemory, &QAction::triggered, this,
                   &TMemorySuggestions::MenFillFromMemoryClick);
    MenFillFromMemory->setEnabled(false);

    FPoll = new QTimer(this);
    FPoll->setInterval(50);
    connect(FPoll, &QTimer::timeout, this, [this] {
        if (FBuilder->Ready())
            MemoryReady();
    });
    connect(&workbench, &TWorkbench::OpenChanged, this, [this, area](bool open) {
        MenFillFromMemory->setEnabled(open);
        PnlSuggestions->setVisible(open && area->height() >=
                                               ScaleByDpi(RoomForSuggestions, area->logicalDpiY()));
        if (open)
            NeedMemory();
        Refresh(true);
    });
    // The workbench reads the new reference first: it was connected before.
    connect(workbench.CbbReference, &QComboBox::activated, this, [this] {
        NeedMemory();
        Refresh(true);
    });
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & (Sci::SC_UPDATE_SELECTION | Sci::SC_UPDATE_CONTENT))
            Refresh(false);
    });
    connect(this, &TMemorySuggestions::StatusMessage, &workbench, &TWorkbench::StatusMessage);
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TMemorySuggestions::ApplyTexts);
    ApplyTexts();
}

// Waits for a build still running.
TMemorySuggestions::~TMemorySuggestions() = default;

void TMemorySuggestions::ApplyTexts() {
    MenFillFromMemory->setText(
        FTexts.GetNationalText("FrmWordlark.MenFillFromMemory", "Fill from memory"));
    const std::pair<QString*, std::pair<const char*, const char*>> texts[] = {
        {&m_aMSuggestions, {"FrmWordlark.m_aMSuggestions", "Suggestions:"}},
        {&m_aMMemoryBuilding,
         {"FrmWordlark.m_aMMemoryBuilding", "Reading the translations of the maker's programs…"}},
        {&m_aMMemoryStats,
         {"FrmWordlark.m_aMMemoryStats",
          "%1 phrases from %2 programs; %3 files could not be read"}},
        {&m_aMNoSuggestion, {"FrmWordlark.m_aMNoSuggestion", "No suggestion for this phrase"}},
        {&m_aMPlaceholdersDiffer,
         {"FrmWordlark.m_aMPlaceholdersDiffer", "(look at the placeholders)"}},
        {&m_aMFilled,
         {"FrmWordlark.m_aMFilled",
          "Filled %1 phrases from the memory, each marked as to be checked (not saved yet)"}},
        {&m_aMNothingToFill,
         {"FrmWordlark.m_aMNothingToFill", "The memory knows none of the untranslated phrases"}},
        {&m_aMFillUnencodable,
         {"FrmWordlark.m_aMFillUnencodable",
          "%1 phrases were left out: this file's encoding cannot hold their letters"}},
        {&m_aMNoQuotedPhrase,
         {"FrmWordlark.m_aMNoQuotedPhrase", "The caret's line holds no phrase between quotes"}},
        {&m_aMNoReferenceForMemory,
         {"FrmWordlark.m_aMNoReferenceForMemory",
          "There is no reference to look the phrases up with"}},
    };
    for (const auto& [member, text] : texts)
        *member = FTexts.GetNationalText(text.first, text.second);
    LblSuggestions->setText(m_aMSuggestions);
    Show();
}

// ---- The memory ------------------------------------------------------------------------

std::string TMemorySuggestions::TranslationLanguage() const {
    const TWorkbench::TOpened& opened = FWorkbench.Translation();
    for (const TCatalogueEntry& entry : opened.Listed)
        if (entry.Path == opened.TranslationPath)
            return LanguageNameText(entry.Name);
    return {};
}

std::string TMemorySuggestions::ReferenceLanguage() const {
    const int index = FWorkbench.CbbReference->currentIndex();
    if (index < 0 || !FEditor->IsOpen())
        return {};
    return LanguageNameText(FWorkbench.CbbReference->itemData(index).toByteArray().toStdString());
}

void TMemorySuggestions::NeedMemory() {
    const std::string reference = ReferenceLanguage();
    if (reference.empty() || (!FBuildingFor.empty() && SameLanguage(FBuildingFor, reference)))
        return;
    TMemorySettings settings = FSources ? FSources() : TMemorySettings();
    settings.ReferenceLanguage = reference;
    FBuildingFor = reference;
    FBuilder->Start(std::move(settings));
    FPoll->start();
    Show();
}

void TMemorySuggestions::MemoryReady() {
    FPoll->stop();
    if (const auto memory = FBuilder->Snapshot()) {
        const TMemoryStats& stats = memory->Stats();
        LblSuggestions->setToolTip(m_aMMemoryStats.arg(stats.Pairs)
                                       .arg(stats.Programs)
                                       .arg(stats.SkippedFiles + stats.SkippedPrograms));
    }
    Refresh(true);
}

void TMemorySuggestions::WaitForMemory() {
    FBuilder->Wait();
    if (FPoll->isActive())
        MemoryReady();
}

std::shared_ptr<const TTranslationMemory> TMemorySuggestions::Memory() const {
    if (!FBuilder->Ready())
        return nullptr;
    std::shared_ptr<const TTranslationMemory> memory = FBuilder->Snapshot();
    const std::string reference = ReferenceLanguage();
    if (!memory || reference.empty() || !SameLanguage(memory->ReferenceLanguage(), reference))
        return nullptr;
    return memory;
}

// ---- Suggestions -----------------------------------------------------------------------

void TMemorySuggestions::Refresh(bool force) {
    const long line = FEditor->IsOpen() ? static_cast<long>(FEditor->CaretLine()) : -1;
    if (!force && line == FLine)
        return;
    FLine = line;
    FSuggestions.clear();
    const TTranslationChecker& checker = FWorkbench.Checker();
    const std::shared_ptr<const TTranslationMemory> memory = Memory();
    if (line >= 0 && memory && checker.Reference() &&
        static_cast<std::size_t>(line) < checker.LineCount()) {
        if (const auto reference = checker.ReferenceLine(static_cast<std::size_t>(line))) {
            const std::string_view phrase = checker.Reference()->Phrase(*reference);
            if (!phrase.empty())
                FSuggestions = memory->Lookup(phrase, TranslationLanguage(),
                                              FWorkbench.Translation().TranslationPath);
        }
    }
    Show();
}

QString TMemorySuggestions::SuggestionText(std::size_t index) const {
    const TSuggestion& s = FSuggestions[index];
    QString html = QString("<a href=\"%1\">Ctrl+%1</a>&nbsp;&nbsp;<b>%2</b>&nbsp;&nbsp;")
                       .arg(index + 1)
                       .arg(FromUtf8(s.Translation).toHtmlEscaped());
    if (s.Similarity < 100)
        html += QString("%1%:&nbsp;").arg(s.Similarity) +
                MarkedText(s.Reference, s.DifferingWords) + "&nbsp;&nbsp;";
    html += "<i>" + FromUtf8(s.Program + ": " + s.Key).toHtmlEscaped() + "</i>";
    if (s.PlaceholdersDiffer)
        html += "&nbsp;&nbsp;" + m_aMPlaceholdersDiffer.toHtmlEscaped();
    return html;
}

void TMemorySuggestions::Show() {
    for (std::size_t i = 0; i < LblSuggestion.size(); ++i) {
        QString text;
        if (i < FSuggestions.size())
            text = SuggestionText(i);
        else if (i == 0 && FEditor->IsOpen())
            text =
                (FBuildingFor.empty() || FBuilder->Ready() ? m_aMNoSuggestion : m_aMMemoryBuilding)
                    .toHtmlEscaped();
        if (LblSuggestion[i]->text() != text)
            LblSuggestion[i]->setText(text);
    }
}

void TMemorySuggestions::UseSuggestion(std::size_t index) {
    if (!FEditor->IsOpen())
        return;
    Refresh(false);
    if (index >= FSuggestions.size()) {
        emit StatusMessage(m_aMNoSuggestion);
        return;
    }
    const std::string text = FSuggestions[index].Translation;
    const std::size_t line = FEditor->CaretLine();
    // The letters the file's encoding cannot hold: the usual offer of a code
    // page that can, and nothing put in without it.
    if (const auto character = FirstUnencodable(text, FEditor->Encoding())) {
        FWorkbench.OfferShowAs(*character, QString());
        if (FirstUnencodable(text, FEditor->Encoding()))
            return;
    }
    const TKeyValueLine parsed = ParseKeyValueLine(FEditor->LineView(line));
    if (!parsed.IsEntry() || parsed.Quoting != TQuoting::Closed) {
        emit StatusMessage(m_aMNoQuotedPhrase);
        return;
    }
    const auto start = static_cast<unsigned long>(
        FEditor->SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line)));
    // Only the phrase between the quotes: key, quotes and line break stay.
    FEditor->EditAsIs([&] {
        FEditor->SendScintilla(Sci::SCI_SETTARGETRANGE, start + parsed.ValueBegin,
                               static_cast<long>(start + parsed.ValueEnd));
        FEditor->SendScintilla(Sci::SCI_REPLACETARGET, text.size(), text.c_str());
    });
    FEditor->SendScintilla(Sci::SCI_GOTOPOS, start + parsed.ValueBegin + text.size());
}

// ---- Fill from memory ------------------------------------------------------------------

void TMemorySuggestions::MenFillFromMemoryClick() {
    if (!FEditor->IsOpen())
        return;
    const std::shared_ptr<const TReferenceText> reference = FWorkbench.Checker().Reference();
    if (!reference) {
        emit StatusMessage(m_aMNoReferenceForMemory);
        return;
    }
    NeedMemory();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    WaitForMemory();
    QApplication::restoreOverrideCursor();
    const std::shared_ptr<const TTranslationMemory> memory = Memory();
    if (!memory)
        return;
    TFillResult result =
        FillFromMemory(FEditor->TextView(), reference, *memory, TranslationLanguage(),
                       FEditor->Encoding(), FWorkbench.Translation().TranslationPath);
    // Only what the workbench counts as untranslated: never a phrase the
    // translator marked as rightly the same as the reference's.
    std::vector<TFillEdit> edits;
    std::vector<std::pair<std::string, TPhraseStatus>> marks;
    for (std::size_t i = 0; i < result.Edits.size(); ++i)
        if (FWorkbench.Checker().IsUntranslated(result.Edits[i].Line)) {
            edits.push_back(std::move(result.Edits[i]));
            marks.emplace_back(std::move(result.FilledKeys[i]), TPhraseStatus::ToBeChecked);
        }
    if (!edits.empty()) {
        // The last first, so that the places of the others stay as they are.
        FEditor->BulkEditAsIs([&] {
            for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
                FEditor->SendScintilla(Sci::SCI_SETTARGETRANGE,
                                       static_cast<unsigned long>(edit->Begin),
                                       static_cast<long>(edit->End));
                FEditor->SendScintilla(Sci::SCI_REPLACETARGET, edit->Text.size(),
                                       edit->Text.c_str());
            }
            // In the same undo step as the filled phrases.
            FWorkbench.Marks().MarkWithEdit(marks);
        });
        FWorkbench.Marks().Mark(marks);
    }
    QString message = edits.empty() ? m_aMNothingToFill : m_aMFilled.arg(edits.size());
    if (!result.Unencodable.empty())
        message += "; " + m_aMFillUnencodable.arg(result.Unencodable.size());
    emit StatusMessage(message);
}
