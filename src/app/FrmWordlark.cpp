#include "app/FrmWordlark.h"

#include "app/WordlarkApplication.h"
#include "dialogs/FrmAddLanguage.h"
#include "editor/SynEditor.h"
#include "editor/SynIniSyn.h"
#include "initfile/Catalogue.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "send/FrmSend.h"
#include "texts/AccessKeys.h"
#include "texts/QtText.h"
#include "wizard/FrmWizard.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTranslator>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <stdexcept>

namespace {
const char* const Caption = "Brightmoor Wordlark";

// Column of the hidden file path in the translation list.
constexpr int PathColumn = 1;
// Item data holding the exact bytes of a list item's name and path.
constexpr int BytesRole = Qt::UserRole;

std::string ItemBytes(const QTreeWidgetItem* item, int column) {
    return item->data(column, BytesRole).toByteArray().toStdString();
}

void SetItemBytes(QTreeWidgetItem* item, int column, const std::string& bytes) {
    item->setText(column, column == PathColumn ? PathToQt(bytes) : ToDisplay(bytes));
    item->setData(column, BytesRole,
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

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

TFrmWordlark::TFrmWordlark(QWidget* parent) : QMainWindow(parent) {
    // 1. The window as designed; all fields empty.
    BuildWindow();
    FDesignFontHeight = -12;

    // 2. The program folder.
    platform::Platform& os = platform::Get();
    FProgramFolder = platform::ExtractFilePath(os.ExecutablePath());

    // 3. Menu items for files that are not there are hidden.
    FLicensePath = FProgramFolder + "License.txt";
    MenLicense->setVisible(platform::FileExists(FLicensePath));
    FChangesPath = FProgramFolder + "ReadMe.txt";
    const bool hasChanges = platform::FileExists(FChangesPath);
    MenReadMe->setVisible(hasChanges);
    MenCheckUpdate->setVisible(hasChanges);

    // 4. The interface texts live as long as the window.
    FInterfaceTexts = std::make_unique<TInitFile>(TInitFile::TForm::Ini);

    // 5. The data folder: the one SavePath.ini names, else the default one.
    TInitFile savePath(TInitFile::TForm::Ini);
    bool storageFound = false;
    if (savePath.Load(FProgramFolder + "SavePath.ini")) {
        const std::string storage = savePath.GetString("ApplicationStorage", "");
        os.SetCurrentDir(FProgramFolder);
        if (platform::DirectoryExists(storage)) {
            FDataFolder = platform::IncludeTrailingDelimiter(platform::ExpandFileName(storage));
            storageFound = true;
        }
    }
    if (!storageFound) {
        const std::string local =
            os.GetShellFolder(platform::ShellFolder::LocalAppData) + platform::PathDelim;
        FDataFolder = local + "Brightmoor" + platform::PathDelim;
        platform::CreateDir(FDataFolder);
        FDataFolder += std::string("Wordlark") + platform::PathDelim;
        platform::CreateDir(FDataFolder);
        RegisterInstallation();
    }

    // 6. The maker folders of the translated programs' settings files.
    FLocalMakerFolder = os.GetShellFolder(platform::ShellFolder::LocalAppData) +
                        platform::PathDelim + "Brightmoor" + platform::PathDelim;
    FRoamingMakerFolder = os.GetShellFolder(platform::ShellFolder::RoamingAppData) +
                          platform::PathDelim + "Brightmoor" + platform::PathDelim;

    // The workbench's choices of earlier runs.
    FChoices.Load(FDataFolder + TWorkbenchChoices::FileName);
}

TFrmWordlark::~TFrmWordlark() = default;

void TFrmWordlark::BuildWindow() {
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
    LisTranslations->setColumnHidden(PathColumn, true);
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

    // The editor area takes the rest.
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
    BuildWorkbench(editorArea);
    // The window's smallest size leaves the editor area a few lines: there the
    // reference rows above the editor give way to it, rather than the editor
    // area growing over the areas above and below (FitEditorArea).
    editorArea->setMinimumHeight(1);
    editorArea->installEventFilter(this);

    // Bottom area: steps 4 and 5.
    PnlBottom = new QWidget(central);
    PnlBottom->setObjectName("PnlBottom");
    PnlBottom->setFixedHeight(53);
    layout->addWidget(PnlBottom);
    LblSave = MakeLabel(PnlBottom, "LblSave", 161, 4, 176, 18);
    BtnSave = MakeButton(PnlBottom, "BtnSave", "Save translation", 161, 22, 176);
    LblSend = MakeLabel(PnlBottom, "LblSend", 343, 4, 346, 18);
    LblSend->setWordWrap(false);
    BtnSend = MakeButton(PnlBottom, "BtnSend", "Prepare to send", 343, 22, 176);

    // Below the three areas: what the last command did.
    StbStatus = statusBar();
    StbStatus->setObjectName("StbStatus");

    BuildMenus();
    BuildWorkbenchMenus();
    MemTranslation->SetOpenState(false);
    PnlTop->installEventFilter(this);
    PnlBottom->installEventFilter(this);

    Command(BtnSelectInitFile, &QPushButton::clicked, &TFrmWordlark::BtnSelectInitFileClick);
    Command(MenOpen, &QAction::triggered, &TFrmWordlark::BtnSelectInitFileClick);
    Command(PopRefresh, &QAction::triggered, &TFrmWordlark::PopRefreshClick);
    Command(BtnEdit, &QPushButton::clicked, &TFrmWordlark::BtnEditClick);
    Command(MenEdit, &QAction::triggered, &TFrmWordlark::BtnEditClick);
    Command(PopEdit, &QAction::triggered, &TFrmWordlark::BtnEditClick);
    Command(LisTranslations, &QTreeWidget::itemDoubleClicked, &TFrmWordlark::BtnEditClick);
    Command(BtnAdd, &QPushButton::clicked, &TFrmWordlark::BtnAddClick);
    Command(MenAdd, &QAction::triggered, &TFrmWordlark::BtnAddClick);
    Command(BtnDelete, &QPushButton::clicked, &TFrmWordlark::BtnDeleteClick);
    Command(MenDelete, &QAction::triggered, &TFrmWordlark::BtnDeleteClick);
    Command(BtnSave, &QPushButton::clicked, &TFrmWordlark::BtnSaveClick);
    Command(MenSave, &QAction::triggered, &TFrmWordlark::BtnSaveClick);
    Command(BtnSend, &QPushButton::clicked, &TFrmWordlark::BtnSendClick);
    Command(MenSend, &QAction::triggered, &TFrmWordlark::BtnSendClick);
    Command(BtnWizard, &QPushButton::clicked, &TFrmWordlark::BtnWizardClick);
    Command(MenWizard, &QAction::triggered, &TFrmWordlark::BtnWizardClick);
    Command(BtnIniFile, &QPushButton::clicked, &TFrmWordlark::BtnIniFileClick);
    Command(MenExit, &QAction::triggered, &TFrmWordlark::MenExitClick);
    Command(MenInfo, &QAction::triggered, &TFrmWordlark::MenInfoClick);
    Command(BtnHelp, &QPushButton::clicked, &TFrmWordlark::BtnHelpClick);
    Command(MenUsage, &QAction::triggered, &TFrmWordlark::BtnHelpClick);
    Command(MenLicense, &QAction::triggered, &TFrmWordlark::MenLicenseClick);
    Command(MenReadMe, &QAction::triggered, &TFrmWordlark::MenReadMeClick);
    Command(MenCheckUpdate, &QAction::triggered, &TFrmWordlark::MenCheckUpdateClick);
    Command(BtnFullscreen, &QPushButton::clicked, &TFrmWordlark::BtnFullscreenClick);
    Command(MenFullscreen, &QAction::triggered, &TFrmWordlark::BtnFullscreenClick);
    Command(PopCut, &QAction::triggered, &TFrmWordlark::PopCutClick);
    Command(PopCopy, &QAction::triggered, &TFrmWordlark::PopCopyClick);
    Command(PopPaste, &QAction::triggered, &TFrmWordlark::PopPasteClick);
    Command(PopSelectAll, &QAction::triggered, &TFrmWordlark::PopSelectAllClick);
    Command(PopUndo, &QAction::triggered, &TFrmWordlark::PopUndoClick);
    Command(PopRedo, &QAction::triggered, &TFrmWordlark::PopRedoClick);
    // Ctrl+F1, the editor's own help key, opens the help as F1 does.
    Command(MemTranslation, &TSynEditor::ContextHelp, &TFrmWordlark::BtnHelpClick);
    Command(MemTranslation, &TSynEditor::UserChange, &TFrmWordlark::MemTranslationChange);
    connect(MemTranslation, &TSynEditor::InputRefused, this,
            [this](char32_t character, const QString& text) {
                Guarded([&] { MemTranslationInputRefused(character, text); });
            });
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

    ApplyMainTexts();
}

QFileDialog* TFrmWordlark::OpdInitFile() {
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

// ---- Showing and closing ------------------------------------------------------

void TFrmWordlark::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!FShown) {
        FShown = true;
        Guarded([this] { FormShow(); });
    }
}

void TFrmWordlark::FormShow() {
    SelectProgramLanguage("");
    LoadSettings(FDataFolder + "Wordlark.ini");
    FillLanguageMenu();
    FillRecentMenu();
    UpdateCaption();
    // What the user chooses in the wizard is handed over before it returns.
    if (FFrmWizard)
        FFrmWizard->exec();
    RestoreWindowPlacement(FDataFolder + "Wordlark.ini");
}

void TFrmWordlark::closeEvent(QCloseEvent* event) {
    bool close = false;
    Guarded([&] { close = FormCloseQuery(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

namespace {
// The rows above the editor show while the editor area holds them and the
// editor at its smallest; below that the editor has the room to itself.
void FitEditorArea(TFrmWordlark& frm, int height) {
    QWidget* rows[] = {frm.PnlWorkbench, frm.MemReference};
    int needed = frm.MemTranslation->minimumSizeHint().height();
    for (QWidget* row : rows)
        needed += std::min(row->sizeHint().height(), row->maximumHeight()) +
                  row->parentWidget()->layout()->spacing();
    for (QWidget* row : rows)
        row->setVisible(height >= needed);
}
} // namespace

// The areas take their new sizes only after the window's own resize event, so
// the controls are placed when the areas themselves are resized.
bool TFrmWordlark::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize && (watched == PnlTop || watched == PnlBottom))
        FormResize();
    if (event->type() == QEvent::Resize && watched->objectName() == QLatin1String("PnlEditor"))
        FitEditorArea(*this, static_cast<QResizeEvent*>(event)->size().height());
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

bool TFrmWordlark::FormCloseQuery() {
    if (Modified && !AskDiscard())
        return false;
    SaveSettings(FDataFolder + "Wordlark.ini");
    FInterfaceTexts->Clear();
    return true;
}

bool TFrmWordlark::AskDiscard() {
    return DoMsgBox(m_aMDiscard, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::Cancel) ==
           QMessageBox::Yes;
}

void TFrmWordlark::MenExitClick() {
    close();
}
void TFrmWordlark::BtnWizardClick() {
    if (FFrmWizard)
        FFrmWizard->exec();
}

// ---- Editor state ------------------------------------------------------------

void TFrmWordlark::EmptyEditor() {
    MemTranslation->ClearAll();
    MemTranslation->SetOpenState(false);
    UpdateCaption();
    FillReferenceChoices();
    ResetWorkbench();
}

void TFrmWordlark::OpenEditor() {
    MemTranslation->SetOpenState(true);
    UpdateCaption();
    FillReferenceChoices();
    LoadReference();
    ResetWorkbench();
}

void TFrmWordlark::LoadTranslationFile(const std::string& path, const std::string& shownAsPath) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        throw std::runtime_error("Cannot open file \"" + path + "\".");
    // A file that is not UTF-8 is shown as it was shown last time.
    MemTranslation->LoadFromBytes(std::move(bytes), FChoices.ShowAs(shownAsPath));
}

void TFrmWordlark::UpdateCaption() {
    if (!MemTranslation)
        return;
    // Unsaved changes are marked as desktops mark them, ahead of the title.
    QString caption = Modified ? QString("*") + Caption : QString(Caption);
    if (MemTranslation->IsOpen()) {
        caption += " - " + PathToQt(platform::ExtractFileName(TranslationPath));
        if (!ProgramName.empty())
            caption += " [" + ToDisplay(ProgramName) + "]";
    }
    setWindowTitle(caption);
}

void TFrmWordlark::UpdateIniFileButton() {
    BtnIniFile->setVisible(platform::FileExists(SettingsFilePath));
}

void TFrmWordlark::MemTranslationChange() {
    Modified = true;
}

// Says which character the document's encoding cannot hold, as the character
// and its code point (it may not show in every font).
void TFrmWordlark::ShowInputRefused(char32_t character, TTextEncoding encoding) {
    DoMsgBox(m_aMNotInEncoding.arg(NamedCharacter(character), FromUtf8(EncodingName(encoding))),
             QMessageBox::Warning, QMessageBox::Ok);
}

void TFrmWordlark::PopCutClick() {
    MemTranslation->cut();
}
void TFrmWordlark::PopCopyClick() {
    MemTranslation->copy();
}
void TFrmWordlark::PopPasteClick() {
    MemTranslation->paste();
}
void TFrmWordlark::PopSelectAllClick() {
    MemTranslation->selectAll(true);
}
void TFrmWordlark::PopUndoClick() {
    MemTranslation->undo();
}
void TFrmWordlark::PopRedoClick() {
    MemTranslation->redo();
}

// ---- The catalogue -------------------------------------------------------------

std::string TFrmWordlark::CataloguePath() const {
    return PathFromQt(EdtInitFile->text());
}

void TFrmWordlark::SetCataloguePath(const std::string& path) {
    EdtInitFile->setText(PathToQt(path));
}

static void AddChoice(QComboBox* box, const std::string& name) {
    box->addItem(ToDisplay(name), QByteArray(name.data(), static_cast<qsizetype>(name.size())));
}

static std::string ChoiceBytes(const QComboBox* box, int index) {
    return box->itemData(index).toByteArray().toStdString();
}

bool TFrmWordlark::LoadCatalogue(const std::string& path) {
    LisTranslations->clear();
    CbbDefaultLanguage->clear();
    EdtInitFile->clear();
    EmptyEditor();
    DefaultLanguageIndex = -1;
    Modified = false;

    const TCatalogueContents contents = ReadCatalogue(path);
    if (!contents.FileFound)
        return false;
    for (const TCatalogueEntry& entry : contents.Entries) {
        auto* item = new QTreeWidgetItem(LisTranslations);
        SetItemBytes(item, 0, entry.Name);
        SetItemBytes(item, PathColumn, entry.Path);
    }
    for (const std::string& choice : contents.DefaultChoices)
        AddChoice(CbbDefaultLanguage, choice);
    CbbDefaultLanguage->setCurrentIndex(contents.SelectedChoice);
    DefaultLanguageIndex = contents.DefaultLanguageIndex;
    UsesMisspelledDefaultKey = contents.UsesMisspelledDefaultKey;
    return !contents.Entries.empty();
}

void TFrmWordlark::BtnSelectInitFileClick() {
    if (Modified && !AskDiscard())
        return;
    QFileDialog* dialog = OpdInitFile();
    const std::string folder = OpenFolder();
    if (!folder.empty())
        dialog->setDirectory(PathToQt(folder));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const std::string path = PathFromQt(dialog->selectedFiles().first());
    UpdateChoices([&](TWorkbenchChoices& choices) {
        choices.SetOpenFolder(platform::ExtractFilePath(path));
    });
    ProgramName.clear();
    OpenCatalogue(path);
}

bool TFrmWordlark::OpenCatalogue(const std::string& path) {
    const bool opened = LoadCatalogue(path);
    if (opened) {
        SetCataloguePath(path);
        RememberCatalogue(path);
        ShowStatus(m_aStatusOpened.arg(PathToQt(path)));
    } else {
        DoMsgBox("'" + PathToQt(path) + "'" + m_aMNoTransFile, QMessageBox::Critical,
                 QMessageBox::Ok);
    }
    BtnIniFile->setVisible(false);
    return opened;
}

void TFrmWordlark::PopRefreshClick() {
    const std::string path = CataloguePath();
    if (!platform::FileExists(path))
        return;
    LoadCatalogue(path);
    SetCataloguePath(path);
    ShowStatus(m_aStatusOpened.arg(PathToQt(path)));
}

QTreeWidgetItem* TFrmWordlark::SelectedTranslation(const QString& noSelectionMessage) {
    QTreeWidgetItem* item = LisTranslations->currentItem();
    if (item && item->isSelected())
        return item;
    DoMsgBox(noSelectionMessage, QMessageBox::Information, QMessageBox::Ok);
    return nullptr;
}

// ---- Editing -----------------------------------------------------------------------

void TFrmWordlark::BtnEditClick() {
    QTreeWidgetItem* item = SelectedTranslation(m_aMSelectTrans);
    if (!item)
        return;
    if (Modified && !AskDiscard())
        return;
    const std::string path = ItemBytes(item, PathColumn);
    const std::string name = ItemBytes(item, 0);
    if (platform::FileExists(path)) {
        OpenTranslation(path, SettingsFilePath);
        return;
    }
    const QString question = m_aMFileDoesNotExist + " " + ToDisplay(name) + ", " + PathToQt(path);
    if (DoMsgBox(question, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::Cancel) !=
        QMessageBox::Yes)
        return;
    delete item;
    for (int i = 0; i < CbbDefaultLanguage->count(); ++i) {
        if (ChoiceBytes(CbbDefaultLanguage, i) == name) {
            CbbDefaultLanguage->removeItem(i);
            if (DefaultLanguageIndex != -1)
                CbbDefaultLanguage->setCurrentIndex(DefaultLanguageIndex);
            break;
        }
    }
    ShowStatus(m_aStatusRemoved.arg(ToDisplay(name)));
}

bool TFrmWordlark::OpenTranslation(const std::string& translationPath,
                                   const std::string& settingsFilePath) {
    // The file is read first: one that cannot be read leaves the editor's text,
    // the path it is saved to and the title as they were, so that a later save
    // never writes this text over the file that failed to open.
    LoadTranslationFile(translationPath, translationPath);
    TranslationPath = translationPath;
    SettingsFilePath = settingsFilePath;
    Modified = false;
    OpenEditor();
    UpdateIniFileButton();
    ShowStatus(m_aStatusOpened.arg(PathToQt(platform::ExtractFileName(translationPath))));
    return true;
}

// ---- Adding and deleting ----------------------------------------------------------

void TFrmWordlark::BtnAddClick() {
    QTreeWidgetItem* item = SelectedTranslation(m_aMSelectTransSource);
    if (!item)
        return;
    if (Modified && !AskDiscard())
        return;
    if (!FFrmAddLanguage || FFrmAddLanguage->exec() == QDialog::Rejected)
        return;
    const std::string name = FromDisplay(FFrmAddLanguage->LanguageName());
    if (name.empty())
        return;
    AddTranslation(name, ItemBytes(item, PathColumn));
}

bool TFrmWordlark::AddTranslation(const std::string& languageName, const std::string& masterPath) {
    if (languageName.empty())
        return false;
    const std::string problem = LanguageNameProblem(languageName);
    if (!problem.empty()) {
        DoMsgBox("'" + ToDisplay(languageName) + "'" + m_aMInvalidLanguageName + " (" +
                     QString::fromUtf8(problem.c_str()) + ")",
                 QMessageBox::Critical, QMessageBox::Ok);
        return false;
    }
    // A second entry of a listed name would share its file, and saving would
    // write the master's text over that translation.
    if (FindTranslation(languageName)) {
        DoMsgBox("'" + ToDisplay(languageName) + "'" + m_aMLanguageListed, QMessageBox::Critical,
                 QMessageBox::Ok);
        return false;
    }
    auto* item = new QTreeWidgetItem(LisTranslations);
    SetItemBytes(item, 0, languageName);
    const std::string firstPath = ItemBytes(LisTranslations->topLevelItem(0), PathColumn);
    TranslationPath =
        NewTranslationPath(firstPath, languageName, platform::ExtractFilePath(CataloguePath()));
    SetItemBytes(item, PathColumn, TranslationPath);
    // The new translation starts in its master's encoding.
    UpdateChoices(
        [&](TWorkbenchChoices& choices) { choices.CopyShowAs(masterPath, TranslationPath); });
    LoadTranslationFile(masterPath, masterPath);
    LisTranslations->clearSelection();
    LisTranslations->setCurrentItem(item);
    item->setSelected(true);
    OpenEditor();
    AddChoice(CbbDefaultLanguage, languageName);
    CbbDefaultLanguage->setCurrentIndex(CbbDefaultLanguage->count() - 1);
    MemTranslation->setFocus();
    ShowStatus(m_aStatusAdded.arg(ToDisplay(languageName),
                                  PathToQt(platform::ExtractFileName(masterPath))));
    return true;
}

std::vector<TCatalogueEntry> TFrmWordlark::ListedTranslations() const {
    std::vector<TCatalogueEntry> entries;
    for (int i = 0; i < LisTranslations->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = LisTranslations->topLevelItem(i);
        entries.push_back({ItemBytes(item, 0), ItemBytes(item, PathColumn)});
    }
    return entries;
}

QTreeWidgetItem* TFrmWordlark::FindTranslation(const std::string& name) const {
    // Names are compared as the catalogue compares them: byte for byte.
    for (int i = 0; i < LisTranslations->topLevelItemCount(); ++i)
        if (ItemBytes(LisTranslations->topLevelItem(i), 0) == name)
            return LisTranslations->topLevelItem(i);
    return nullptr;
}

void TFrmWordlark::BtnDeleteClick() {
    QTreeWidgetItem* item = SelectedTranslation(m_aMSelectTrans);
    if (!item)
        return;
    if (ItemBytes(item, 0) == "Deutsch") {
        DoMsgBox(m_aMNoDeleteGerman, QMessageBox::Information, QMessageBox::Ok);
        return;
    }
    // Deleting empties the editor: its unsaved edits need the same question as
    // everywhere else.
    if (Modified && MemTranslation->IsOpen() && !AskDiscard())
        return;
    if (DoMsgBox(m_aMSureToDelete, QMessageBox::Question, QMessageBox::Yes | QMessageBox::Cancel) !=
        QMessageBox::Yes)
        return;
    const std::string name = ItemBytes(item, 0);
    Modified = true;
    delete item;
    EmptyEditor();
    ShowStatus(m_aStatusRemoved.arg(ToDisplay(name)));
}

// ---- Saving -------------------------------------------------------------------------

void TFrmWordlark::BtnSaveClick() {
    SaveTranslationAndCatalogue();
}

bool TFrmWordlark::SaveTranslationAndCatalogue() {
    const std::string cataloguePath = CataloguePath();
    const std::string folder = platform::ExtractFilePath(cataloguePath);
    if (!platform::DirectoryExists(folder)) {
        ShowStatus(m_aMFailed);
        DoMsgBox(m_aMFailed, QMessageBox::Critical, QMessageBox::Ok);
        return false;
    }
    // A translation file that cannot be written raises the file error, which
    // ends the command before the catalogue is touched.
    if (!MemTranslation->IsEmpty()) {
        try {
            MemTranslation->SaveToFile(TranslationPath);
        } catch (...) {
            ShowStatus(m_aMFailed);
            throw;
        }
    }

    bool saved = false;
    try {
        const int choice = CbbDefaultLanguage->currentIndex();
        const std::string defaultLanguage =
            choice < 0 ? std::string() : ChoiceBytes(CbbDefaultLanguage, choice);
        const std::string text = BuildCatalogueText(ProgramName, ListedTranslations(),
                                                    defaultLanguage, UsesMisspelledDefaultKey);
        // Unlike a silent failure, a catalogue that could not be written is
        // reported and the changes stay marked as unsaved.
        saved = platform::ReplaceFileBytes(cataloguePath, text).empty();
    } catch (const std::exception&) {
        saved = false;
    }
    if (!saved) {
        ShowStatus(m_aMFailed);
        DoMsgBox(m_aMFailed, QMessageBox::Critical, QMessageBox::Ok);
        return false;
    }
    Modified = false;
    // The names, and the folder they are in; a translation kept elsewhere by
    // its whole path.
    const QString catalogueName = PathToQt(platform::ExtractFileName(cataloguePath));
    if (MemTranslation->IsEmpty()) {
        ShowStatus(m_aStatusSavedCatalogue.arg(catalogueName, PathToQt(folder)));
    } else {
        const bool beside = platform::ExtractFilePath(TranslationPath) == folder;
        // Problems never stop a save; it says how many are left.
        ShowStatus(m_aMSavedWithProblems.arg(
            m_aStatusSaved.arg(
                PathToQt(beside ? platform::ExtractFileName(TranslationPath) : TranslationPath),
                catalogueName, PathToQt(folder)),
            QString::number(FChecker.ProblemCount())));
    }
    return true;
}

std::string TFrmWordlark::TranslationToSend() const {
    return MemTranslation->IsEmpty() ? std::string() : TranslationPath;
}

void TFrmWordlark::BtnSendClick() {
    // Both files on disk hold the current work before they are offered; a
    // save that failed (and said so) offers nothing.
    if (!SaveTranslationAndCatalogue())
        return;
    if (FFrmSend)
        FFrmSend->exec();
}
