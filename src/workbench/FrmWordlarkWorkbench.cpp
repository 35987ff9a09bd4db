// The translator's workbench in the main window: the reference translation
// beside the one being edited, the checks against it as margin markers and a
// problems list and the progress (navigation, find and replace and "Show as"
// are in FrmWordlarkFind.cpp).
//
// The checker follows the editor edit by edit: each insertion or removal the
// editor announces replaces the lines it touched (SpliceOfEdit), and only the
// lines the checker names get their markers again. The whole text is checked
// again only when a translation is opened, the reference changes, the file is
// shown as another encoding, or after a replace-all.
#include "app/FrmWordlark.h"

#include "editor/SynEditor.h"
#include "editor/SynIniSyn.h"
#include "initfile/Catalogue.h"
#include "platform/FileIO.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"

#include <QAbstractListModel>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

using Sci = QsciScintillaBase;

// The rows of the problems list, asked for only when shown.
class TProblemListModel : public QAbstractListModel {
public:
    explicit TProblemListModel(TFrmWordlark* owner) : QAbstractListModel(owner), FOwner(owner) {}
    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void Refresh() {
        if (rowCount() > 0)
            emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : FOwner->ProblemRowCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
            return {};
        return FOwner->ProblemRowText(index.row());
    }

private:
    TFrmWordlark* FOwner;
};

namespace {

// Tells whether a widget has at least a given height each time it is
// resized.
class TRoomWatch : public QObject {
public:
    TRoomWatch(QWidget* watched, int room, std::function<void(bool)> changed)
        : QObject(watched), FRoom(room), FChanged(std::move(changed)) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) {
            const bool room = static_cast<QResizeEvent*>(event)->size().height() >= FRoom;
            if (room != FHadRoom) {
                FHadRoom = room;
                FChanged(room);
            }
        }
        return false;
    }

private:
    int FRoom;
    std::function<void(bool)> FChanged;
    bool FHadRoom = true;
};

// The markers of the margin: a line with problems, an untranslated phrase.
constexpr int ProblemMarker = 0;
constexpr int UntranslatedMarker = 1;
constexpr int MarkerMargin = 1;

// Blanks made visible: a space as a middle dot, a tab as an arrow.
QString VisibleBlanks(const std::string& blanks) {
    QString shown = FromUtf8(blanks);
    shown.replace(' ', QChar(0x00B7));
    shown.replace('\t', QChar(0x2192));
    return shown;
}

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

// ---- Building --------------------------------------------------------------------

void TFrmWordlark::BuildWorkbench(QWidget* editorArea) {
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
    ChkSideBySide = MakeCheckBox(PnlWorkbench, "ChkSideBySide", "Side by side");
    LblProgress = new QLabel(PnlWorkbench);
    LblProgress->setObjectName("LblProgress");
    LblProblems = new QLabel(PnlWorkbench);
    LblProblems->setObjectName("LblProblems");
    row->addWidget(LblReference);
    row->addWidget(CbbReference);
    row->addSpacing(8);
    row->addWidget(ChkSideBySide);
    row->addStretch(1);
    row->addWidget(LblProgress);
    row->addSpacing(12);
    row->addWidget(LblProblems);
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
    layout->removeWidget(MemTranslation);
    PnlProblemsSplitter = new QSplitter(Qt::Vertical, editorArea);
    PnlProblemsSplitter->setObjectName("PnlProblemsSplitter");
    PnlSplitter = new QSplitter(Qt::Horizontal, PnlProblemsSplitter);
    PnlSplitter->setObjectName("PnlSplitter");
    PnlSplitter->addWidget(MemTranslation);
    MemReferenceView = new TSynEditor(PnlSplitter);
    MemReferenceView->setObjectName("MemReferenceView");
    MemReferenceView->SetViewOnly();
    MemReferenceView->setVisible(false);
    PnlSplitter->addWidget(MemReferenceView);
    LisProblems = new QListView(PnlProblemsSplitter);
    LisProblems->setObjectName("LisProblems");
    LisProblems->setUniformItemSizes(true);
    LisProblems->setMinimumHeight(24);
    LisProblems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FProblemModel = new TProblemListModel(this);
    LisProblems->setModel(FProblemModel);
    PnlProblemsSplitter->addWidget(PnlSplitter);
    PnlProblemsSplitter->addWidget(LisProblems);
    PnlProblemsSplitter->setStretchFactor(0, 1);
    PnlProblemsSplitter->setStretchFactor(1, 0);
    PnlProblemsSplitter->setSizes({200, 48});
    // In a short window the editor keeps the room: the problems list goes,
    // and the editors' horizontal scroll bars, which would take its last line.
    new TRoomWatch(PnlProblemsSplitter, ScaleByDpi(100), [this](bool room) {
        LisProblems->setVisible(room);
        for (TSynEditor* editor : {MemTranslation, MemReferenceView})
            editor->SendScintilla(Sci::SCI_SETHSCROLLBAR, static_cast<unsigned long>(room));
    });
    layout->insertWidget(2, PnlProblemsSplitter, 1);
    for (TSynEditor* editor : {MemReference, MemReferenceView}) {
        editor->SynINI()->StringAttri()->SetBackground(10354687);
        editor->SynINI()->StringAttri()->SetForeground(8388672);
    }

    // Find and replace, shown on demand below the editor.
    PnlFind = new QWidget(editorArea);
    PnlFind->setObjectName("PnlFind");
    auto* grid = new QGridLayout(PnlFind);
    grid->setContentsMargins(0, 2, 0, 2);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(2);
    LblFind = new QLabel("Find:", PnlFind);
    LblFind->setObjectName("LblFind");
    EdtFind = new QLineEdit(PnlFind);
    EdtFind->setObjectName("EdtFind");
    LblReplace = new QLabel("Replace with:", PnlFind);
    LblReplace->setObjectName("LblReplace");
    EdtReplace = new QLineEdit(PnlFind);
    EdtReplace->setObjectName("EdtReplace");
    BtnFindNext = MakeSmallButton(PnlFind, "BtnFindNext", "Find next");
    BtnFindPrevious = MakeSmallButton(PnlFind, "BtnFindPrevious", "Find previous");
    BtnReplace = MakeSmallButton(PnlFind, "BtnReplace", "Replace");
    BtnReplaceAll = MakeSmallButton(PnlFind, "BtnReplaceAll", "Replace all");
    BtnCloseFind = MakeSmallButton(PnlFind, "BtnCloseFind", QString(QChar(0x00D7)));
    BtnCloseFind->setFixedWidth(24);
    ChkMatchCase = MakeCheckBox(PnlFind, "ChkMatchCase", "Match case");
    ChkWholeWord = MakeCheckBox(PnlFind, "ChkWholeWord", "Whole word");
    ChkPhrasesOnly = MakeCheckBox(PnlFind, "ChkPhrasesOnly", "Within phrases only");
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
    PnlFind->setVisible(false);
    layout->insertWidget(3, PnlFind);

    // The editor's margin for the markers; resting the mouse on it names the
    // line's problems.
    MemTranslation->SendScintilla(Sci::SCI_SETMARGINTYPEN, MarkerMargin, Sci::SC_MARGIN_SYMBOL);
    MemTranslation->SendScintilla(Sci::SCI_SETMARGINWIDTHN, MarkerMargin, 14L);
    MemTranslation->SendScintilla(Sci::SCI_SETMARGINMASKN, MarkerMargin,
                                  (1L << ProblemMarker) | (1L << UntranslatedMarker));
    MemTranslation->SendScintilla(Sci::SCI_MARKERDEFINE, ProblemMarker, Sci::SC_MARK_CIRCLE);
    MemTranslation->SendScintilla(Sci::SCI_MARKERSETFORE, ProblemMarker, 0x000080L);
    MemTranslation->SendScintilla(Sci::SCI_MARKERSETBACK, ProblemMarker, 0x2020E0L);
    MemTranslation->SendScintilla(Sci::SCI_MARKERDEFINE, UntranslatedMarker,
                                  Sci::SC_MARK_SMALLRECT);
    MemTranslation->SendScintilla(Sci::SCI_MARKERSETFORE, UntranslatedMarker, 0xA06000L);
    MemTranslation->SendScintilla(Sci::SCI_MARKERSETBACK, UntranslatedMarker, 0xF0C080L);
    MemTranslation->SendScintilla(Sci::SCI_SETMOUSEDWELLTIME, 400UL);

    connect(MemTranslation, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char*, int, int linesAdded, int, int, int, int,
                   int) { Guarded([&] { TranslationModified(position, type, linesAdded); }); });
    connect(MemTranslation, &QsciScintillaBase::SCN_UPDATEUI, this,
            [this](int updated) { TranslationUpdateUi(updated); });
    connect(MemTranslation, &QsciScintillaBase::SCN_DWELLSTART, this,
            [this](int position, int x, int y) {
                long margins = 0;
                for (unsigned long m = 0; m < 3; ++m)
                    margins += MemTranslation->SendScintilla(Sci::SCI_GETMARGINWIDTHN, m);
                if (position < 0 || x >= margins || !MemTranslation->IsOpen())
                    return;
                const auto line = static_cast<std::size_t>(
                    MemTranslation->SendScintilla(Sci::SCI_LINEFROMPOSITION, position));
                const QString hint = LineHint(line);
                if (!hint.isEmpty())
                    QToolTip::showText(MemTranslation->viewport()->mapToGlobal(QPoint(x, y)), hint,
                                       MemTranslation);
            });
    connect(MemTranslation, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
    connect(MemReferenceView, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        if (updated & Sci::SC_UPDATE_V_SCROLL)
            FollowScroll(MemReferenceView, MemTranslation);
    });

    Command(CbbReference, &QComboBox::activated, &TFrmWordlark::CbbReferenceChange);
    Command(ChkSideBySide, &QCheckBox::clicked, &TFrmWordlark::ChkSideBySideClick);
    Command(BtnFindNext, &QPushButton::clicked, &TFrmWordlark::BtnFindNextClick);
    Command(BtnFindPrevious, &QPushButton::clicked, &TFrmWordlark::BtnFindPreviousClick);
    Command(EdtFind, &QLineEdit::returnPressed, &TFrmWordlark::BtnFindNextClick);
    Command(BtnReplace, &QPushButton::clicked, &TFrmWordlark::BtnReplaceClick);
    Command(EdtReplace, &QLineEdit::returnPressed, &TFrmWordlark::BtnReplaceClick);
    Command(BtnReplaceAll, &QPushButton::clicked, &TFrmWordlark::BtnReplaceAllClick);
    Command(BtnCloseFind, &QPushButton::clicked, &TFrmWordlark::BtnCloseFindClick);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), PnlFind);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    Command(escape, &QShortcut::activated, &TFrmWordlark::BtnCloseFindClick);
    connect(LisProblems, &QListView::activated, this,
            [this](const QModelIndex& index) { Guarded([&] { LisProblemsClick(index.row()); }); });
    connect(LisProblems, &QListView::clicked, this,
            [this](const QModelIndex& index) { Guarded([&] { LisProblemsClick(index.row()); }); });
}

void TFrmWordlark::BuildWorkbenchMenus() {
    MenTranslation->addSeparator();
    MenNextUntranslated = MakeAction(MenTranslation, "MenNextUntranslated",
                                     "Next untranslated phrase", QKeySequence(Qt::Key_F8));
    MenPreviousUntranslated =
        MakeAction(MenTranslation, "MenPreviousUntranslated", "Previous untranslated phrase",
                   QKeySequence(Qt::SHIFT | Qt::Key_F8));
    MenNextProblem =
        MakeAction(MenTranslation, "MenNextProblem", "Next problem", QKeySequence(Qt::Key_F7));
    MenPreviousProblem = MakeAction(MenTranslation, "MenPreviousProblem", "Previous problem",
                                    QKeySequence(Qt::SHIFT | Qt::Key_F7));
    MenTranslation->addSeparator();
    MenFind = MakeAction(MenTranslation, "MenFind", "Find", QKeySequence::Find);
    MenFindNext = MakeAction(MenTranslation, "MenFindNext", "Find next", QKeySequence::FindNext);
    MenFindPrevious =
        MakeAction(MenTranslation, "MenFindPrevious", "Find previous", QKeySequence::FindPrevious);
    MenReplace = MakeAction(MenTranslation, "MenReplace", "Replace",
                            QKeySequence::keyBindings(QKeySequence::Replace).isEmpty()
                                ? QKeySequence(Qt::CTRL | Qt::Key_H)
                                : QKeySequence(QKeySequence::Replace));

    MenView->addSeparator();
    MenSideBySide = MakeAction(MenView, "MenSideBySide", "Side by side");
    MenSideBySide->setCheckable(true);
    MenShowAs = MenView->addMenu("Show as");
    MenShowAs->setObjectName("MenShowAs");
    FShowAsGroup = new QActionGroup(this);
    for (TEncoding encoding : AllEncodings) {
        const std::string_view name = EncodingName(encoding);
        QAction* item = MenShowAs->addAction(FromUtf8(name));
        std::string objectName = "MenShowAs";
        for (char c : name)
            if (c != '-')
                objectName += c;
        item->setObjectName(QString::fromStdString(objectName));
        item->setCheckable(true);
        item->setData(static_cast<int>(encoding));
        FShowAsGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, encoding] { Guarded([&] { ShowAs(encoding); }); });
    }

    // Access letters, in the interface language; the code pages by the last
    // digit of their numbers.
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
        {MenShowAs->menuAction(), "FrmWordlark.MenShowAs.AccessKey", "h"},
    };
    // Applied with the window's texts, once it is built.
    for (const auto& [item, key, letter] : letters)
        FAccessKeyItems.push_back({item, key, letter});
    for (QAction* item : FShowAsGroup->actions()) {
        const QString name = item->text();
        FAccessKeyItems.push_back({item,
                                   "FrmWordlark." + item->objectName().toStdString() + ".AccessKey",
                                   name.startsWith("UTF") ? QString("U") : name.right(1)});
    }

    Command(MenNextUntranslated, &QAction::triggered, &TFrmWordlark::MenNextUntranslatedClick);
    Command(MenPreviousUntranslated, &QAction::triggered,
            &TFrmWordlark::MenPreviousUntranslatedClick);
    Command(MenNextProblem, &QAction::triggered, &TFrmWordlark::MenNextProblemClick);
    Command(MenPreviousProblem, &QAction::triggered, &TFrmWordlark::MenPreviousProblemClick);
    Command(MenFind, &QAction::triggered, &TFrmWordlark::MenFindClick);
    Command(MenFindNext, &QAction::triggered, &TFrmWordlark::BtnFindNextClick);
    Command(MenFindPrevious, &QAction::triggered, &TFrmWordlark::BtnFindPreviousClick);
    Command(MenReplace, &QAction::triggered, &TFrmWordlark::MenReplaceClick);
    connect(MenSideBySide, &QAction::triggered, this, [this](bool on) {
        ChkSideBySide->setChecked(on);
        Guarded([&] { ChkSideBySideClick(); });
    });
    UpdateShowAsMenu();
}

void TFrmWordlark::ApplyWorkbenchTexts() {
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
        {"FrmWordlark.LblFind", "Find:", text(LblFind)},
        {"FrmWordlark.LblReplace", "Replace with:", text(LblReplace)},
        {"FrmWordlark.ChkMatchCase", "Match case", text(ChkMatchCase)},
        {"FrmWordlark.ChkWholeWord", "Whole word", text(ChkWholeWord)},
        {"FrmWordlark.ChkPhrasesOnly", "Within phrases only", text(ChkPhrasesOnly)},
        {"FrmWordlark.BtnFindNext", "Find next", text(BtnFindNext)},
        {"FrmWordlark.BtnFindPrevious", "Find previous", text(BtnFindPrevious)},
        {"FrmWordlark.BtnReplace", "Replace", text(BtnReplace)},
        {"FrmWordlark.BtnReplaceAll", "Replace all", text(BtnReplaceAll)},
        {"FrmWordlark.BtnCloseFind", "Close",
         [this](const QString& t) { BtnCloseFind->setToolTip(t); }},
        {"FrmWordlark.MenNextUntranslated", "Next untranslated phrase", text(MenNextUntranslated)},
        {"FrmWordlark.MenPreviousUntranslated", "Previous untranslated phrase",
         text(MenPreviousUntranslated)},
        {"FrmWordlark.MenNextProblem", "Next problem", text(MenNextProblem)},
        {"FrmWordlark.MenPreviousProblem", "Previous problem", text(MenPreviousProblem)},
        {"FrmWordlark.MenFind", "Find", text(MenFind)},
        {"FrmWordlark.MenReplace", "Replace", text(MenReplace)},
        {"FrmWordlark.MenShowAs", "Show as", [this](const QString& t) { MenShowAs->setTitle(t); }},
        {"FrmWordlark.m_aMProgress", "%1 of %2 phrases translated", member(m_aMProgress)},
        {"FrmWordlark.m_aMProblems", "Problems: %1", member(m_aMProblems)},
        {"FrmWordlark.m_aMUntranslated", "Not translated yet", member(m_aMUntranslated)},
        {"FrmWordlark.m_aMAllTranslated", "Every phrase is translated", member(m_aMAllTranslated)},
        {"FrmWordlark.m_aMNoProblems", "No problems found", member(m_aMNoProblems)},
        {"FrmWordlark.m_aMNotFound", "'%1' was not found", member(m_aMNotFound)},
        {"FrmWordlark.m_aMReplaced", "Replaced: %1", member(m_aMReplaced)},
        {"FrmWordlark.m_aMShowAsOffer",
         "The character %1 cannot be stored in this file's encoding (%2). Show the file as %3, "
         "which can hold it? The bytes in the file stay as they are, but letters beyond plain "
         "ASCII may then look different.",
         member(m_aMShowAsOffer)},
        {"FrmWordlark.m_aMSavedWithProblems", "%1; problems left: %2",
         member(m_aMSavedWithProblems)},
    };
    for (const TText& t : texts)
        t.Apply(GetNationalText(t.Key, t.Default));
    for (std::size_t i = 0; i < ReasonCount; ++i) {
        const auto reason = static_cast<TReason>(i);
        m_aMCheck[i] = GetNationalText("FrmWordlark.m_aMCheck" + std::string(ReasonName(reason)),
                                       FromUtf8(ReasonDefaultText(reason)));
    }
    // The code pages named with the languages they are for.
    static const std::pair<TEncoding, const char*> scripts[] = {
        {TEncoding::Windows1250, "Windows-1250 (Central European)"},
        {TEncoding::Windows1251, "Windows-1251 (Cyrillic)"},
        {TEncoding::Windows1252, "Windows-1252 (Western)"},
        {TEncoding::Windows1253, "Windows-1253 (Greek)"},
        {TEncoding::Windows1254, "Windows-1254 (Turkish)"},
        {TEncoding::Windows1257, "Windows-1257 (Baltic)"},
    };
    for (QAction* item : FShowAsGroup->actions())
        for (const auto& [encoding, caption] : scripts)
            if (item->data().toInt() == static_cast<int>(encoding))
                item->setText(
                    GetNationalText("FrmWordlark." + item->objectName().toStdString(), caption));
    MenFindNext->setText(BtnFindNext->text());
    MenFindPrevious->setText(BtnFindPrevious->text());
    MenSideBySide->setText(ChkSideBySide->text());
    RefreshProgress();
    if (FProblemModel)
        FProblemModel->Refresh();
}

// ---- The reference ---------------------------------------------------------------

void TFrmWordlark::FillReferenceChoices() {
    CbbReference->clear();
    FReferencePaths.clear();
    if (!MemTranslation->IsOpen()) {
        CbbReference->setEnabled(false);
        return;
    }
    const std::vector<TCatalogueEntry> entries = ListedTranslations();
    const std::optional<std::size_t> chosen =
        ChooseReference(entries, TranslationPath, FChoices.ReferenceLanguage(CataloguePath()));
    int current = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Path == TranslationPath)
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

void TFrmWordlark::CbbReferenceChange() {
    const int index = CbbReference->currentIndex();
    if (index >= 0) {
        const std::string language = CbbReference->itemData(index).toByteArray().toStdString();
        UpdateChoices([&](TWorkbenchChoices& choices) {
            choices.SetReferenceLanguage(CataloguePath(), language);
        });
    }
    LoadReference();
    ResetWorkbench();
}

void TFrmWordlark::LoadReference() {
    std::shared_ptr<const TReferenceText> reference;
    const int index = CbbReference->currentIndex();
    if (MemTranslation->IsOpen() && index >= 0 &&
        static_cast<std::size_t>(index) < FReferencePaths.size()) {
        const std::string& path = FReferencePaths[static_cast<std::size_t>(index)];
        std::string bytes;
        // A reference that cannot be read is none: the checks go on without it.
        if (platform::ReadFileBytes(path, bytes)) {
            const TTextEncoding encoding =
                IsValidUtf8(bytes) ? TTextEncoding::Utf8
                                   : FChoices.ShowAs(path).value_or(TTextEncoding::Windows1252);
            reference = std::make_shared<const TReferenceText>(DecodeText(bytes, encoding));
        }
    }
    FChecker.Reset({}, reference);
}

std::string TFrmWordlark::AlignedReferenceLine(std::size_t line) const {
    if (line >= FChecker.LineCount())
        return {};
    const std::optional<std::size_t> reference = FChecker.ReferenceLine(line);
    if (!reference)
        return {};
    return std::string(FChecker.Reference()->Line(*reference));
}

void TFrmWordlark::RefreshReferenceLine(bool force) {
    const long line =
        MemTranslation->IsOpen()
            ? MemTranslation->SendScintilla(Sci::SCI_LINEFROMPOSITION,
                                            MemTranslation->SendScintilla(Sci::SCI_GETCURRENTPOS))
            : -1;
    if (!force && line == FReferenceShownLine)
        return;
    FReferenceShownLine = line;
    const std::string text =
        line < 0 ? std::string() : AlignedReferenceLine(static_cast<std::size_t>(line));
    if (MemReference->TextView() != text)
        MemReference->ShowText(text);
}

void TFrmWordlark::RebuildReferenceView() {
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
                                    MemTranslation->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
}

void TFrmWordlark::ChkSideBySideClick() {
    const bool on = ChkSideBySide->isChecked();
    MenSideBySide->setChecked(on);
    MemReferenceView->setVisible(on);
    if (on) {
        PnlSplitter->setSizes({PnlSplitter->width() / 2, PnlSplitter->width() / 2});
        RebuildReferenceView();
    } else {
        MemReferenceView->ShowText({});
    }
}

// ---- Checking ----------------------------------------------------------------------

void TFrmWordlark::ResetWorkbench() {
    const std::string_view text = MemTranslation->IsOpen() ? MemTranslation->TextView() : "";
    FChecker.Reset(text, MemTranslation->IsOpen() ? FChecker.Reference() : nullptr);
    FProblemLines.Reset(FChecker);
    FMissingKeys = FChecker.MissingKeys();
    MemTranslation->SendScintilla(Sci::SCI_MARKERDELETEALL, -1);
    for (std::size_t line = 0; line < FChecker.LineCount(); ++line) {
        if (FChecker.IsUntranslated(line))
            MemTranslation->SendScintilla(Sci::SCI_MARKERADD, line, UntranslatedMarker);
    }
    for (std::size_t line : FProblemLines.Lines())
        MemTranslation->SendScintilla(Sci::SCI_MARKERADD, line, ProblemMarker);
    RebuildProblemRows();
    RefreshProgress();
    RefreshReferenceLine(true);
    RebuildReferenceView();
    UpdateShowAsMenu();
}

void TFrmWordlark::RefreshMarkers(std::size_t line) {
    if (line >= FChecker.LineCount())
        return;
    const long wanted = (FChecker.HasProblems(line) ? 1L << ProblemMarker : 0) |
                        (FChecker.IsUntranslated(line) ? 1L << UntranslatedMarker : 0);
    const long shown = MemTranslation->SendScintilla(Sci::SCI_MARKERGET, line) &
                       ((1L << ProblemMarker) | (1L << UntranslatedMarker));
    if (wanted == shown)
        return;
    for (int marker : {ProblemMarker, UntranslatedMarker}) {
        if ((wanted & (1L << marker)) == (shown & (1L << marker)))
            continue;
        if (wanted & (1L << marker))
            MemTranslation->SendScintilla(Sci::SCI_MARKERADD, line, marker);
        else
            MemTranslation->SendScintilla(Sci::SCI_MARKERDELETE, line, marker);
    }
}

void TFrmWordlark::TranslationModified(int position, int type, int linesAdded) {
    if (!(type & (Sci::SC_MOD_INSERTTEXT | Sci::SC_MOD_DELETETEXT)) || FBulkEdit ||
        !MemTranslation->IsOpen())
        return;
    const auto editLine = static_cast<std::size_t>(
        MemTranslation->SendScintilla(Sci::SCI_LINEFROMPOSITION, position));
    const TLineSplice splice = SpliceOfEdit(editLine, linesAdded);
    if (splice.First + splice.Removed > FChecker.LineCount()) {
        // Out of step (it never should be): check everything again.
        ResetWorkbench();
        return;
    }
    // Each line copied at once: reading the next may move the editor's gap.
    std::vector<std::string> copies;
    copies.reserve(splice.Added);
    for (std::size_t i = 0; i < splice.Added; ++i)
        copies.emplace_back(MemTranslation->LineView(splice.First + i));
    const std::vector<std::string_view> lines(copies.begin(), copies.end());
    const TTranslationChecker::TUpdate update =
        FChecker.ReplaceLines(splice.First, splice.Removed, lines);
    for (std::size_t line : update.Lines)
        RefreshMarkers(line);
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
    if (FProblemLines.Apply(FChecker, splice, update) || update.MissingKeysChanged || missingMoved)
        RebuildProblemRows();
    else
        FProblemModel->Refresh();
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

void TFrmWordlark::TranslationUpdateUi(int updated) {
    if (updated & (Sci::SC_UPDATE_SELECTION | Sci::SC_UPDATE_CONTENT))
        RefreshReferenceLine(false);
    if ((updated & Sci::SC_UPDATE_V_SCROLL) && !MemReferenceView->isHidden())
        FollowScroll(MemTranslation, MemReferenceView);
}

// Side by side, the two editors show the same lines: the one scrolled leads.
void TFrmWordlark::FollowScroll(TSynEditor* leader, TSynEditor* follower) {
    if (FSyncingScroll)
        return;
    FSyncingScroll = true;
    follower->SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE,
                            leader->SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE));
    FSyncingScroll = false;
}

void TFrmWordlark::RefreshProgress() {
    if (!LblProgress)
        return;
    if (!MemTranslation->IsOpen()) {
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

void TFrmWordlark::RebuildProblemRows() {
    std::vector<TProblemRow> rows;
    const std::vector<std::size_t>& lines = FProblemLines.Lines();
    rows.reserve(lines.size() + FMissingKeys.size());
    // A missing key is listed where it would go: after the line it would follow.
    std::size_t m = 0;
    const auto missingBefore = [&](std::size_t line) {
        return m < FMissingKeys.size() && (!FMissingKeys[m].After || *FMissingKeys[m].After < line);
    };
    for (std::size_t line : lines) {
        while (missingBefore(line)) {
            rows.push_back({FMissingKeys[m].After.value_or(0), static_cast<int>(m)});
            ++m;
        }
        rows.push_back({line, -1});
    }
    for (; m < FMissingKeys.size(); ++m)
        rows.push_back({FMissingKeys[m].After.value_or(0), static_cast<int>(m)});
    // Rows that only moved with their lines keep the list as it is; only
    // their texts change.
    const bool sameRows = rows.size() == FProblemRows.size() &&
                          std::equal(rows.begin(), rows.end(), FProblemRows.begin(),
                                     [](const TProblemRow& a, const TProblemRow& b) {
                                         return a.Missing == b.Missing;
                                     });
    FProblemRows = std::move(rows);
    if (sameRows)
        FProblemModel->Refresh();
    else
        FProblemModel->Reset();
}

QString TFrmWordlark::ProblemText(const TProblem& problem) const {
    QString text = m_aMCheck[static_cast<int>(problem.Reason)];
    std::vector<QString> params;
    for (const std::string& p : problem.Params) {
        switch (problem.Reason) {
        case TReason::LeadingBlanks:
        case TReason::TrailingBlanks:
            params.push_back(VisibleBlanks(p));
            break;
        default:
            params.push_back(p.empty() ? QString(QChar(0x2013)) : FromUtf8(p));
            break;
        }
    }
    // In one pass, so a placeholder inside a parameter stays as it is.
    if (params.size() == 1)
        return text.arg(params[0]);
    if (params.size() >= 2)
        return text.arg(params[0], params[1]);
    return text;
}

QString TFrmWordlark::LineHint(std::size_t line) const {
    if (line >= FChecker.LineCount())
        return {};
    QStringList parts;
    for (const TProblem& problem : FChecker.Problems(line))
        parts << ProblemText(problem);
    if (FChecker.IsUntranslated(line))
        parts << m_aMUntranslated;
    return parts.join('\n');
}

QString TFrmWordlark::ProblemRowText(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= FProblemRows.size())
        return {};
    const TProblemRow& r = FProblemRows[static_cast<std::size_t>(row)];
    if (r.Missing >= 0) {
        const auto& missing = FMissingKeys[static_cast<std::size_t>(r.Missing)];
        return QString::number(missing.After ? *missing.After + 1 : 1) + ": " +
               ProblemText({TReason::MissingKey, {missing.Key}});
    }
    QStringList parts;
    for (const TProblem& problem : FChecker.Problems(r.Line))
        parts << ProblemText(problem);
    return QString::number(r.Line + 1) + ": " + parts.join("; ");
}

void TFrmWordlark::LisProblemsClick(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= FProblemRows.size())
        return;
    const TProblemRow& r = FProblemRows[static_cast<std::size_t>(row)];
    if (r.Missing >= 0) {
        // Where the key would go: the end of the line it would follow.
        const auto& missing = FMissingKeys[static_cast<std::size_t>(r.Missing)];
        const long line = missing.After ? static_cast<long>(*missing.After) : 0;
        const long position =
            missing.After ? MemTranslation->SendScintilla(Sci::SCI_GETLINEENDPOSITION, line) : 0;
        MemTranslation->SendScintilla(Sci::SCI_GOTOPOS, position);
        MemTranslation->setFocus();
        return;
    }
    GoToLine(r.Line, true);
}
