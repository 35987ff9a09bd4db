// The main window as designed: its three areas and their controls, the menus
// and the workbench around the editor, the commands connected to their
// controls, and the layout that follows the window's size.
#include "app/FrmWordlark.h"

#include "app/MemorySources.h"
#include "editor/SynEditor.h"
#include "editor/SynIniSyn.h"
#include "texts/AccessKeys.h"
#include "texts/ElidedLabel.h"
#include "texts/Guarded.h"
#include "texts/LanguageMenu.h"
#include "texts/RecentCatalogues.h"
#include "texts/StatusLine.h"
#include "texts/UserCopy.h"
#include "workbench/ExchangeMenu.h"
#include "workbench/KeyUpdatesMenu.h"
#include "workbench/MemorySuggestions.h"
#include "workbench/PhraseMarks.h"
#include "workbench/SpellingMarks.h"
#include "workbench/Workbench.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(x, y, w, h);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int x, int y,
                        int w, int h = 25) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(x, y, w, h);
    return button;
}

} // namespace

void TFrmWordlark::BuildShell() {
    // Menus underline their access letters; the captions stay plain texts.
    TAccessKeyStyle::Install();
    setObjectName("FrmWordlark");
    resize(697, 604);
    setMinimumSize(650, 450);
    // The design face; where it is not installed the desktop's face stands in
    // for it, rather than Qt searching every installed font for a substitute.
    if (!QFontDatabase::hasFamily("MS Sans Serif"))
        QFont::insertSubstitution("MS Sans Serif",
                                  QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    QFont designFont("MS Sans Serif");
    designFont.setPixelSize(12);
    setFont(designFont);
    FTexts->SetFontSource(this);
}

void TFrmWordlark::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName("PnlClient");
    central->setAutoFillBackground(true);
    QPalette white = central->palette();
    white.setColor(QPalette::Window, Qt::white);
    central->setPalette(white);
    setCentralWidget(central);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Top area: steps 1 and 2.
    PnlTop = new QWidget(central);
    PnlTop->setObjectName("PnlTop");
    PnlTop->setFixedHeight(248);
    layout->addWidget(PnlTop);
    const int right = 588; // left of the right-hand buttons at the design width
    LblInfo = MakeLabel(PnlTop, "LblInfo", 8, 6, 681, 44);
    QFont bold = LblInfo->font();
    bold.setBold(true);
    LblInfo->setFont(bold);
    LblSelectInitFile = MakeLabel(PnlTop, "LblSelectInitFile", 8, 52, 681, 30);
    EdtInitFile = new QLineEdit(PnlTop);
    EdtInitFile->setObjectName("EdtInitFile");
    EdtInitFile->setGeometry(8, 84, right - 20, 23);
    EdtInitFile->setReadOnly(true);
    QPalette grey = EdtInitFile->palette();
    grey.setColor(QPalette::Base, QColor(212, 208, 200));
    EdtInitFile->setPalette(grey);
    BtnSelectInitFile = MakeButton(PnlTop, "BtnSelectInitFile", "Browse", right, 83, 100);
    BtnWizard = MakeButton(PnlTop, "BtnWizard", "Wizard", right, 111, 100);
    LblAvailableTranslations = MakeLabel(PnlTop, "LblAvailableTranslations", 8, 114, 570, 18);
    LisTranslations = new QTreeWidget(PnlTop);
    LisTranslations->setObjectName("LisTranslations");
    LisTranslations->setGeometry(8, 134, right - 20, 78);
    LisTranslations->setColumnCount(2);
    LisTranslations->setHeaderLabels({"Name", "Path"});
    LisTranslations->setHeaderHidden(true);
    LisTranslations->setColumnHidden(1, true);
    LisTranslations->setRootIsDecorated(false);
    LisTranslations->setSelectionMode(QAbstractItemView::SingleSelection);
    LisTranslations->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LisTranslations->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    LisTranslations->setContextMenuPolicy(Qt::CustomContextMenu);
    BtnEdit = MakeButton(PnlTop, "BtnEdit", "Edit", right, 139, 100);
    BtnAdd = MakeButton(PnlTop, "BtnAdd", "Add new", right, 167, 100);
    BtnDelete = MakeButton(PnlTop, "BtnDelete", "Delete", right, 195, 100);
    LblCurrentDefault = MakeLabel(PnlTop, "LblCurrentDefault", 8, 222, 160, 18);
    CbbDefaultLanguage = new QComboBox(PnlTop);
    CbbDefaultLanguage->setObjectName("CbbDefaultLanguage");
    CbbDefaultLanguage->setGeometry(172, 218, 180, 24);
    BtnIniFile = MakeButton(PnlTop, "BtnIniFile", "...", 360, 218, 25, 24);
    BtnIniFile->setVisible(false);
    BtnHelp = MakeButton(PnlTop, "BtnHelp", "Help", right, 218, 100);

    // The strip above the editor.
    PnlTranslations = new QWidget(central);
    PnlTranslations->setObjectName("PnlTranslations");
    PnlTranslations->setFixedHeight(41);
    layout->addWidget(PnlTranslations);
    LblTranslations = MakeLabel(PnlTranslations, "LblTranslations", 8, 4, 640, 34);
    BtnFullscreen = MakeButton(PnlTranslations, "BtnFullscreen", "<>", 655, 8, 33);
    BtnFullscreen->setToolTip("Fullscreen");

    // The editor area takes the rest; the workbench is built around the
    // editor once the menus it adds to are there.
    auto* editorArea = new QWidget(central);
    editorArea->setObjectName("PnlEditor");
    auto* editorLayout = new QVBoxLayout(editorArea);
    editorLayout->setContentsMargins(8, 0, 8, 0);
    MemTranslation = new TSynEditor(editorArea);
    MemTranslation->setObjectName("MemTranslation");
    // The phrases to translate, the quoted values, in dark violet on light yellow.
    MemTranslation->SynINI()->StringAttri()->SetBackground(10354687);
    MemTranslation->SynINI()->StringAttri()->SetForeground(8388672);
    editorLayout->addWidget(MemTranslation);
    layout->addWidget(editorArea, 1);

    // Bottom area: steps 4 and 5.
    PnlBottom = new QWidget(central);
    PnlBottom->setObjectName("PnlBottom");
    PnlBottom->setFixedHeight(53);
    layout->addWidget(PnlBottom);
    LblSave = MakeLabel(PnlBottom, "LblSave", 161, 4, 176, 18);
    BtnSave = MakeButton(PnlBottom, "BtnSave", "Save translation", 161, 22, 176);
    // Too long for the room at the smallest width, it is shortened with "…"
    // and shown whole as its tooltip.
    LblSend = new TElidedLabel(PnlBottom);
    LblSend->setObjectName("LblSend");
    LblSend->setGeometry(343, 4, 346, 18);
    LblSend->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    BtnSend = MakeButton(PnlBottom, "BtnSend", "Prepare to send", 343, 22, 176);

    // Below the three areas: what the last command did.
    FStatusLine = new TStatusLine(this);
    StbStatus = FStatusLine->Bar();
    // Its permanent area says where the user's own copy is, when one is
    // worked on.
    FUserCopy = new TUserCopy(*FTexts, FChoices, *FStatusLine, this);

    BuildMainMenu(*this, *this, *FTexts);
    FRecent = new TRecentCatalogues(MenRecent, FChoices);
    FLanguageMenu = new TLanguageMenu(MenLanguage, *FTexts);
    for (QAction* item : {PopUndo, PopRedo}) {
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        MemTranslation->addAction(item);
    }
    FWorkbench = new TWorkbench(MemTranslation, editorArea, MenTranslation, MenView, *FTexts,
                                FChoices, this);
    // The progress and the problem count stay in view at any size.
    FWorkbench->ShowCountsIn(*FStatusLine);
    // Export and import go into the File menu, before the separator above Exit.
    const QList<QAction*> fileItems = MenFile->actions();
    new TExchangeMenu(*FWorkbench, MemTranslation, MenFile,
                      fileItems.at(fileItems.indexOf(MenExit) - 1), *FTexts, FChoices);
    new TKeyUpdatesMenu(*FWorkbench, MemTranslation, MenTranslation, *FTexts);
    new TMemorySuggestions(*FWorkbench, MemTranslation, MenTranslation, *FTexts, [this] {
        return MakerMemorySettings(FDataFolder, FLocalMakerFolder, FRoamingMakerFolder);
    });
    new TSpellingMarks(*FWorkbench, MemTranslation, MenView, PopInput, *FTexts, FChoices);
    FWorkbench->Marks().AddEditorMenuItems(PopInput);
    BuildSafety(editorArea);
    MemTranslation->SetOpenState(false);
    PnlTop->installEventFilter(this);
    PnlBottom->installEventFilter(this);
    ConnectCommands();
    connect(FTexts.get(), &TInterfaceTexts::LanguageChanged, this, [this] {
        ApplyMainTexts();
        // What the status line said belongs to the language before.
        ShowStatus(QString());
    });
    ApplyMainTexts();
    FTexts->ApplyAccessKeys();
}

void TFrmWordlark::ConnectCommands() {
    // An exception a command raises reaches the application's error handler
    // instead of the event loop.
    const auto command = [this](auto* sender, auto signal, void (TFrmWordlark::*handler)()) {
        ConnectCommand(sender, signal, this, handler);
    };
    command(BtnSelectInitFile, &QPushButton::clicked, &TFrmWordlark::BtnSelectInitFileClick);
    command(MenOpen, &QAction::triggered, &TFrmWordlark::BtnSelectInitFileClick);
    command(PopRefresh, &QAction::triggered, &TFrmWordlark::PopRefreshClick);
    command(BtnEdit, &QPushButton::clicked, &TFrmWordlark::BtnEditClick);
    command(MenEdit, &QAction::triggered, &TFrmWordlark::BtnEditClick);
    command(PopEdit, &QAction::triggered, &TFrmWordlark::BtnEditClick);
    command(LisTranslations, &QTreeWidget::itemDoubleClicked, &TFrmWordlark::BtnEditClick);
    command(BtnAdd, &QPushButton::clicked, &TFrmWordlark::BtnAddClick);
    command(MenAdd, &QAction::triggered, &TFrmWordlark::BtnAddClick);
    command(BtnDelete, &QPushButton::clicked, &TFrmWordlark::BtnDeleteClick);
    command(MenDelete, &QAction::triggered, &TFrmWordlark::BtnDeleteClick);
    command(BtnSave, &QPushButton::clicked, &TFrmWordlark::BtnSaveClick);
    command(MenSave, &QAction::triggered, &TFrmWordlark::BtnSaveClick);
    command(MenSaveAs, &QAction::triggered, &TFrmWordlark::MenSaveAsClick);
    command(BtnSend, &QPushButton::clicked, &TFrmWordlark::BtnSendClick);
    command(MenSend, &QAction::triggered, &TFrmWordlark::BtnSendClick);
    command(BtnWizard, &QPushButton::clicked, &TFrmWordlark::BtnWizardClick);
    command(MenWizard, &QAction::triggered, &TFrmWordlark::BtnWizardClick);
    command(BtnIniFile, &QPushButton::clicked, &TFrmWordlark::BtnIniFileClick);
    command(MenExit, &QAction::triggered, &TFrmWordlark::MenExitClick);
    command(MenInfo, &QAction::triggered, &TFrmWordlark::MenInfoClick);
    command(BtnHelp, &QPushButton::clicked, &TFrmWordlark::BtnHelpClick);
    command(MenUsage, &QAction::triggered, &TFrmWordlark::BtnHelpClick);
    command(MenLicense, &QAction::triggered, &TFrmWordlark::MenLicenseClick);
    command(MenReadMe, &QAction::triggered, &TFrmWordlark::MenReadMeClick);
    command(MenCheckUpdate, &QAction::triggered, &TFrmWordlark::MenCheckUpdateClick);
    command(BtnFullscreen, &QPushButton::clicked, &TFrmWordlark::BtnFullscreenClick);
    command(MenFullscreen, &QAction::triggered, &TFrmWordlark::BtnFullscreenClick);
    command(PopCut, &QAction::triggered, &TFrmWordlark::PopCutClick);
    command(PopCopy, &QAction::triggered, &TFrmWordlark::PopCopyClick);
    command(PopPaste, &QAction::triggered, &TFrmWordlark::PopPasteClick);
    command(PopSelectAll, &QAction::triggered, &TFrmWordlark::PopSelectAllClick);
    command(PopUndo, &QAction::triggered, &TFrmWordlark::PopUndoClick);
    command(PopRedo, &QAction::triggered, &TFrmWordlark::PopRedoClick);
    // Ctrl+F1, the editor's own help key, opens the help as F1 does.
    command(MemTranslation, &TSynEditor::ContextHelp, &TFrmWordlark::BtnHelpClick);
    command(MemTranslation, &TSynEditor::UserChange, &TFrmWordlark::MemTranslationChange);
    connect(MemTranslation, &TSynEditor::InputRefused, this,
            [this](char32_t character, const QString& text) {
                Guarded([&] { MemTranslationInputRefused(character, text); });
            });
    connect(FRecent, &TRecentCatalogues::Chosen, this,
            [this](const std::string& path, const std::string& program) {
                Guarded([&] { MenRecentItemClick(path, program); });
            });
    connect(FLanguageMenu, &TLanguageMenu::Chosen, this,
            [this](const std::string& name) { Guarded([&] { MenLanguageItemClick(name); }); });
    connect(FWorkbench, &TWorkbench::StatusMessage, this, &TFrmWordlark::ShowStatus);
    connect(FWorkbench, &TWorkbench::OpenChanged, MenSaveAs, &QAction::setEnabled);
    MenSaveAs->setEnabled(false);
    connect(FUserCopy, &TUserCopy::Changed, this, &TFrmWordlark::UpdateCaption);
    connect(LisTranslations, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopLanguages->popup(LisTranslations->viewport()->mapToGlobal(pos));
    });
    MemTranslation->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(MemTranslation, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopInput->popup(MemTranslation->mapToGlobal(pos)); });
    // Undo and redo are offered while there is something to undo or redo; their
    // keys work whenever the editor has the focus.
    connect(PopInput, &QMenu::aboutToShow, this, [this] {
        PopUndo->setEnabled(MemTranslation->isUndoAvailable());
        PopRedo->setEnabled(MemTranslation->isRedoAvailable());
    });
    connect(PopInput, &QMenu::aboutToHide, this, [this] {
        PopUndo->setEnabled(true);
        PopRedo->setEnabled(true);
    });
}

QFileDialog* TFrmWordlark::OpdInitFile() {
    // Made when first needed: building a file dialog costs as much as the
    // rest of the window.
    if (!FOpdInitFile) {
        FOpdInitFile = new QFileDialog(this);
        FOpdInitFile->setObjectName("OpdInitFile");
        FOpdInitFile->setFileMode(QFileDialog::ExistingFile);
        FOpdInitFile->setAcceptMode(QFileDialog::AcceptOpen);
        // Only files whose names hold "Languages" and end in ".ini".
        FOpdInitFile->setNameFilter("(*.INI) (*Languages*.ini)");
    }
    return FOpdInitFile;
}

QFileDialog* TFrmWordlark::SdTranslation() {
    if (!FSdTranslation) {
        FSdTranslation = new QFileDialog(this);
        FSdTranslation->setObjectName("SdTranslation");
        FSdTranslation->setAcceptMode(QFileDialog::AcceptSave);
        FSdTranslation->setFileMode(QFileDialog::AnyFile);
        FSdTranslation->setNameFilters({"(*.ini)", "(*)"});
    }
    return FSdTranslation;
}

// The areas take their new sizes only after the window's own resize event, so
// the controls are placed when the areas themselves are resized.
bool TFrmWordlark::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == PnlTop || watched == PnlBottom))
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

// Keeps the controls in their places as the window's size changes: the save and
// send controls either side of the bottom area's middle, the right-hand buttons
// at the right edge, the long labels, the path box and the list up to them.
void TFrmWordlark::FormResize() {
    const int bottomHalf = PnlBottom->width() / 2;
    BtnSave->move(bottomHalf - (ScaleByDpi(3) + BtnSave->width()), BtnSave->y());
    LblSave->move(BtnSave->x(), LblSave->y());
    BtnSend->move(ScaleByDpi(3) + bottomHalf, BtnSend->y());
    LblSend->move(BtnSend->x(), LblSend->y());
    LblSend->resize(PnlBottom->width() - (ScaleByDpi(8) + LblSend->x()), LblSend->height());
    // The top area spans the window's client area; while it is hidden (full
    // screen) it keeps its old width, but the full-screen button below it must
    // still follow the window's edge, and the area must fit when shown again.
    const int top = centralWidget()->width();
    for (QLabel* label : {LblInfo, LblSelectInitFile, LblAvailableTranslations})
        label->resize(top - (ScaleByDpi(2) + label->x()), label->height());
    BtnFullscreen->move(top - (ScaleByDpi(9) + BtnFullscreen->width()), BtnFullscreen->y());
    LblTranslations->resize(BtnFullscreen->x() - (ScaleByDpi(2) + LblTranslations->x()),
                            LblTranslations->height());
    for (QPushButton* button : {BtnSelectInitFile, BtnWizard, BtnEdit, BtnAdd, BtnDelete, BtnHelp})
        button->move(top - (ScaleByDpi(9) + button->width()), button->y());
    EdtInitFile->resize(BtnSelectInitFile->x() - (ScaleByDpi(12) + EdtInitFile->x()),
                        EdtInitFile->height());
    LisTranslations->resize(BtnSelectInitFile->x() - (ScaleByDpi(12) + LisTranslations->x()),
                            LisTranslations->height());
}

// The editor takes the whole window but for the save and send controls, and
// gives the space back.
void TFrmWordlark::BtnFullscreenClick() {
    if (PnlTop->isVisibleTo(this)) {
        PnlTop->hide();
        BtnFullscreen->setText("><");
    } else {
        PnlTop->show();
        BtnFullscreen->setText("<>");
    }
}
