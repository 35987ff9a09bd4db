#include "wizard/FrmWizard.h"

#include "initfile/Catalogue.h"
#include "platform/Platform.h"
#include "texts/FontMapping.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/Maker.h"
#include "texts/QtText.h"
#include "texts/Registration.h"
#include "texts/Workspace.h"
#include "wizard/Discovery.h"
#include "wizard/WizardPicture.h"

#include <QAction>
#include <QCollator>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <numeric>

namespace {
// Item data holding the exact bytes of a list cell.
constexpr int BytesRole = Qt::UserRole;

// The outside program that removes a program's configuration files.
std::string CleanupProgram(const std::string& programFolder) {
    return programFolder + "UnInstCleanup" + platform::ExecutableSuffix;
}

void SetCell(QTreeWidgetItem* item, int column, const std::string& bytes, bool path) {
    item->setText(column, path ? PathToQt(bytes) : ToDisplay(bytes));
    item->setData(column, BytesRole,
                  QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// A page fills the area right of the picture and above the buttons. Its
// controls are stacked, so that texts of any length in any language take the
// lines they need and the lists take the rest.
QWidget* MakePage(QWidget* parent, const char* name) {
    auto* page = new QWidget(parent);
    page->setObjectName(name);
    page->setGeometry(166, 0, 418, 315);
    page->setAutoFillBackground(true);
    QPalette white = page->palette();
    white.setColor(QPalette::Window, Qt::white);
    page->setPalette(white);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(12, 10, 12, 8);
    layout->setSpacing(5);
    return page;
}

void Stack(QWidget* page, QWidget* control, int stretch = 0) {
    static_cast<QVBoxLayout*>(page->layout())->addWidget(control, stretch);
}

QLabel* MakeLabel(QWidget* page, const char* name, bool bold = false) {
    auto* label = new QLabel(page);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (bold) {
        // Headings are designed larger; the applied font gives them the
        // window's size and keeps them bold.
        QFont font = label->font();
        font.setBold(true);
        font.setPixelSize(16);
        label->setFont(font);
    }
    Stack(page, label);
    return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, int x) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(x, 11, 90, 25);
    return button;
}

QTreeWidget* MakeList(QWidget* page, const char* name, const QStringList& columns) {
    auto* list = new QTreeWidget(page);
    list->setObjectName(name);
    list->setColumnCount(static_cast<int>(columns.size()));
    list->setHeaderLabels(columns);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->setMinimumHeight(48);
    Stack(page, list, 1);
    return list;
}

QTreeWidgetItem* SelectedRow(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

std::string CellBytes(const QTreeWidgetItem* item, int column) {
    return item->data(column, BytesRole).toByteArray().toStdString();
}

bool Shown(const QWidget* page) {
    return !page->isHidden();
}
} // namespace

TFrmWizard::TFrmWizard(QWidget* parent, TInterfaceTexts& texts, TWorkspace& workspace,
                       bool pagesLater)
    : QDialog(parent), FTexts(texts), FWorkspace(workspace) {
    BuildWindow();
    if (!pagesLater)
        CompletePages();
}

void TFrmWizard::Guard(void (TFrmWizard::*handler)()) {
    Guarded([&] { (this->*handler)(); });
}

template <class Sender, class Signal>
void TFrmWizard::Command(Sender* sender, Signal signal, void (TFrmWizard::*handler)()) {
    connect(sender, signal, this, [this, handler] { Guard(handler); });
}

void TFrmWizard::BuildWindow() {
    setObjectName("FrmWizard");
    setWindowTitle("Wizard");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(584, 362);
    QFont designFont("MS Sans Serif");
    designFont.setPixelSize(12);
    setFont(designFont);

    PnlImage = new QWidget(this);
    PnlImage->setObjectName("PnlImage");
    PnlImage->setGeometry(0, 0, 166, 315);
    ImgWizard = new QLabel(PnlImage);
    ImgWizard->setObjectName("ImgWizard");
    ImgWizard->setGeometry(0, 0, 166, 315);
    ImgWizard->setScaledContents(true);
    ImgWizard->setPixmap(WizardPicture(QSize(166, 315), devicePixelRatio()));

    PnlBottom = new QWidget(this);
    PnlBottom->setObjectName("PnlBottom");
    PnlBottom->setGeometry(0, 315, 584, 47);
    auto* rule = new QFrame(PnlBottom);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, 0, 584, 2);
    BtnBack = MakeButton(PnlBottom, "BtnBack", "< Back", 168);
    BtnNext = MakeButton(PnlBottom, "BtnNext", "Next >", 272);
    BtnCancel = MakeButton(PnlBottom, "BtnCancel", "Cancel", 376);
    BtnFinish = MakeButton(PnlBottom, "BtnFinish", "Finish", 480);
    BtnBack->hide();
    BtnFinish->hide();
    BtnNext->setDefault(true);

    // Page 1: welcome.
    PnlStepOne = MakePage(this, "PnlStepOne");
    LblWelcome = MakeLabel(PnlStepOne, "LblWelcome", true);
    LblIntroduction = MakeLabel(PnlStepOne, "LblIntroduction");
    static_cast<QVBoxLayout*>(PnlStepOne->layout())->addStretch(1);
    LblHintNext = MakeLabel(PnlStepOne, "LblHintNext");
    PnlStepOne->layout()->setSpacing(16);

    Command(BtnNext, &QPushButton::clicked, &TFrmWizard::BtnNextClick);
    Command(BtnBack, &QPushButton::clicked, &TFrmWizard::BtnBackClick);
    Command(BtnFinish, &QPushButton::clicked, &TFrmWizard::BtnFinishClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFrmWizard::CompletePages() {
    if (PnlStepTwo)
        return;
    // Page 2: the installed programs.
    PnlStepTwo = MakePage(this, "PnlStepTwo");
    LblStepTwoInfo = MakeLabel(PnlStepTwo, "LblStepTwoInfo", true);
    LblStepTwoText = MakeLabel(PnlStepTwo, "LblStepTwoText");
    LblStepTwoPrograms = MakeLabel(PnlStepTwo, "LblStepTwoPrograms");
    LisPrograms = MakeList(PnlStepTwo, "LisPrograms",
                           {"Program", "Version", "Path", "LanguageFile", QString()});
    LisPrograms->setColumnWidth(ColName, 160);
    LisPrograms->setColumnWidth(ColVersion, 160);
    for (int column : {ColPath, ColLanguageFile, ColSettings})
        LisPrograms->setColumnHidden(column, true);
    LblStepTwoUpdate = MakeLabel(PnlStepTwo, "LblStepTwoUpdate", true);
    QPalette link = LblStepTwoUpdate->palette();
    link.setColor(QPalette::WindowText, Qt::blue);
    LblStepTwoUpdate->setPalette(link);
    LblStepTwoUpdate->setCursor(Qt::PointingHandCursor);
    LblStepTwoUpdate->installEventFilter(this);

    PopPrograms = new QMenu(this);
    PopPrograms->setObjectName("PopPrograms");
    PopRefresh = PopPrograms->addAction("Refresh");
    PopRefresh->setObjectName("PopRefresh");
    PopPrograms->addSeparator();
    PopDeleteConfiguration = PopPrograms->addAction("Delete configuration files");
    PopDeleteConfiguration->setObjectName("PopDeleteConfiguration");

    // Page 3: add or modify a translation.
    PnlStepThree = MakePage(this, "PnlStepThree");
    LblStepThreeInfo = MakeLabel(PnlStepThree, "LblStepThreeInfo", true);
    LblStepThreeHint = MakeLabel(PnlStepThree, "LblStepThreeHint");
    RadAdd = new QRadioButton("Add new translation", PnlStepThree);
    RadAdd->setObjectName("RadAdd");
    Stack(PnlStepThree, RadAdd);
    RadModify = new QRadioButton("Modify existing translation", PnlStepThree);
    RadModify->setObjectName("RadModify");
    Stack(PnlStepThree, RadModify);
    LblStepThreeNewLanguage = MakeLabel(PnlStepThree, "LblStepThreeNewLanguage");
    CbbStepThreeNewLanguage = new QComboBox(PnlStepThree);
    CbbStepThreeNewLanguage->setObjectName("CbbStepThreeNewLanguage");
    CbbStepThreeNewLanguage->setFixedWidth(177);
    CbbStepThreeNewLanguage->setEditable(true);
    CbbStepThreeNewLanguage->setInsertPolicy(QComboBox::NoInsert);
    CbbStepThreeNewLanguage->addItems({"Dansk",
                                       QString::fromUtf8("Fran\xc3\xa7"
                                                         "ais"),
                                       "Italiano", "Norsk", "Polski", "Slovenski"});
    CbbStepThreeNewLanguage->model()->sort(0);
    Stack(PnlStepThree, CbbStepThreeNewLanguage);
    LblStepThreeSourceLanguage = MakeLabel(PnlStepThree, "LblStepThreeSourceLanguage");
    LisSourceLanguages = MakeList(PnlStepThree, "LisSourceLanguages", {"Name", "Path"});
    LisSourceLanguages->setColumnHidden(ColSourcePath, true);
    LisSourceLanguages->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    // Keeps the controls at the top while the source list is hidden.
    static_cast<QVBoxLayout*>(PnlStepThree->layout())->addStretch(0);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{LblStepThreeNewLanguage, CbbStepThreeNewLanguage,
                                         LblStepThreeSourceLanguage, LisSourceLanguages})
        hidden->hide();

    PopLanguages = new QMenu(this);
    PopLanguages->setObjectName("PopLanguages");
    PopRefreshLanguages = PopLanguages->addAction("Refresh");
    PopRefreshLanguages->setObjectName("PopRefreshLanguages");
    FTexts.AddAccessKey(PopRefresh, "FrmWiz.PopRefresh.AccessKey", "R");
    FTexts.AddAccessKey(PopDeleteConfiguration, "FrmWiz.PopDeleteConfiguration.AccessKey", "D");
    // Its caption is the one of PopRefresh, and so is its letter.
    FTexts.AddAccessKey(PopRefreshLanguages, "FrmWiz.PopRefresh.AccessKey", "R");

    PnlStepTwo->hide();
    PnlStepThree->hide();

    Command(RadAdd, &QRadioButton::clicked, &TFrmWizard::RadAddClick);
    Command(RadModify, &QRadioButton::clicked, &TFrmWizard::RadModifyClick);
    // Only the user's changes count: typing, or picking an item.
    Command(CbbStepThreeNewLanguage->lineEdit(), &QLineEdit::textEdited,
            &TFrmWizard::CbbStepThreeNewLanguageChange);
    Command(CbbStepThreeNewLanguage, &QComboBox::activated,
            &TFrmWizard::CbbStepThreeNewLanguageChange);
    Command(PopRefresh, &QAction::triggered, &TFrmWizard::PopRefreshClick);
    Command(PopDeleteConfiguration, &QAction::triggered, &TFrmWizard::PopDeleteConfigurationClick);
    Command(PopRefreshLanguages, &QAction::triggered, &TFrmWizard::PopRefreshLanguagesClick);
    connect(LisPrograms, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopPrograms->popup(LisPrograms->viewport()->mapToGlobal(pos));
    });
    connect(LisSourceLanguages, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) {
                PopLanguages->popup(LisSourceLanguages->viewport()->mapToGlobal(pos));
            });
    // Clicks are told apart from keyboard moves and right clicks by the mouse
    // events themselves.
    LisPrograms->viewport()->installEventFilter(this);
    LisSourceLanguages->viewport()->installEventFilter(this);

    // Built after the wizard was first shown, the pages take what showing it
    // gave the rest: the texts, the font and the menu's state.
    if (FShown) {
        Nationalize();
        ApplyFont(FTexts.WindowFont());
        PreparePages();
    }
}

// ---- Showing ---------------------------------------------------------------------

void TFrmWizard::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        Guard(&TFrmWizard::FormShow);
    }
    QDialog::showEvent(event);
}

// Escape does not close the wizard; Cancel and the close box do.
void TFrmWizard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFrmWizard::FormShow() {
    FShown = true;
    ShowPage(1);
    BtnNext->setEnabled(true);
    BtnNext->setDefault(true);
    BtnNext->setFocus();

    Nationalize();
    ApplyFont(FTexts.WindowFont());
    if (PnlStepTwo)
        PreparePages();

    CatalogueFile.clear();
    ProgramName.clear();
    SettingsFile.clear();
    // A translation chosen at an earlier showing must not be handed over by
    // this one.
    TranslationFile.clear();
}

void TFrmWizard::PreparePages() {
    StepThreeHeading = LblStepThreeInfo->text();
    PopDeleteConfiguration->setEnabled(
        platform::Get().IsExecutable(CleanupProgram(FWorkspace.ProgramFolder())));
}

void TFrmWizard::Nationalize() {
    struct Text {
        const char* key;
        QString text;
        std::function<void(const QString&)> apply;
    };
    auto label = [](QLabel* l) { return [l](const QString& t) { l->setText(t); }; };
    auto button = [](QAbstractButton* b) { return [b](const QString& t) { b->setText(t); }; };
    auto action = [](QAction* a) { return [a](const QString& t) { a->setText(t); }; };
    const Text texts[] = {
        {"FrmWiz.Caption", "Wizard", [this](const QString& t) { setWindowTitle(t); }},
        {"FrmWiz.BtnNext", "Next >", button(BtnNext)},
        {"FrmWiz.BtnCancel", "Cancel", button(BtnCancel)},
        {"FrmWiz.BtnBack", "< Back", button(BtnBack)},
        {"FrmWiz.BtnFinish", "Finish", button(BtnFinish)},
        {"FrmWiz.LblWelcome", "Welcome to the Brightmoor Wordlark Wizard", label(LblWelcome)},
        {"FrmWiz.LblIntroduction",
         "This wizard will guide through the process of generating a new language translation "
         "or modify an existing one of an Brightmoor program. The results will be transmitted "
         "towards the main program window in which you will do the main translation process.",
         label(LblIntroduction)},
        {"FrmWiz.LblHintNext",
         "Click Next to continue, or Cancel to exit this wizard and enter the main program "
         "window.",
         label(LblHintNext)},
    };
    // The controls of pages 2 and 3, missing until CompletePages().
    const Text pageTexts[] = {
        {"FrmWiz.LblStepTwoInfo", "Select a program to translate", label(LblStepTwoInfo)},
        {"FrmWiz.LblStepTwoText",
         "In this first step you have to select an Brightmoor program, which you would like to "
         "modify or add a translation.",
         label(LblStepTwoText)},
        {"FrmWiz.LblStepTwoPrograms",
         "The wizard detected the following Brightmoor application on your system. Please "
         "select an application now. NOTE: The application to be translated has to be "
         "installed before using this program.",
         label(LblStepTwoPrograms)},
        {"FrmWiz.LblStepTwoUpdate",
         QString("Some older program versions  cannot be detected by this wizard. Visit ") +
             MakerHost + " for update!",
         label(LblStepTwoUpdate)},
        {"FrmWiz.LblStepThreeInfo", "Select your language and translation settings",
         label(LblStepThreeInfo)},
        {"FrmWiz.LblStepThreeHint",
         "In this last step you select the new language you want to add (with its source "
         "language) or the existing translation you want to modify.",
         label(LblStepThreeHint)},
        {"FrmWiz.RadAdd", "Add new translation", button(RadAdd)},
        {"FrmWiz.RadModify", "Modify existing translation", button(RadModify)},
        {"FrmWiz.LblStepThreeNewLanguage",
         "Select the name for the new language first. NOTE: It is better to name it like it is "
         "spelled inside the language self.",
         label(LblStepThreeNewLanguage)},
        {"FrmWiz.LblStepThreeSourceLanguage",
         "Select a source language from which the default phrases should be copied or if "
         "changing, the translation you want to modify.",
         label(LblStepThreeSourceLanguage)},
        {"FrmWiz.PopRefresh", "Refresh", action(PopRefresh)},
        {"FrmWiz.PopDeleteConfiguration", "Delete configuration files",
         action(PopDeleteConfiguration)},
    };
    for (const Text& t : texts)
        t.apply(FTexts.GetNationalText(t.key, t.text));
    if (!PnlStepTwo)
        return;
    for (const Text& t : pageTexts)
        t.apply(FTexts.GetNationalText(t.key, t.text));
    PopRefreshLanguages->setText(PopRefresh->text());
}

void TFrmWizard::ApplyFont(const QFont& font) {
    if (PnlStepTwo)
        FollowMainFont(*this, font,
                       {LblWelcome, LblStepTwoInfo, LblStepTwoUpdate, LblStepThreeInfo});
    else
        FollowMainFont(*this, font, {LblWelcome});
}

// ---- Pages ---------------------------------------------------------------------------

void TFrmWizard::ShowPage(int page) {
    if (page > 1)
        CompletePages();
    PnlStepOne->setVisible(page == 1);
    if (PnlStepTwo) {
        PnlStepTwo->setVisible(page == 2);
        PnlStepThree->setVisible(page == 3);
    }
    BtnBack->setVisible(page > 1);
    BtnNext->setVisible(page < 3);
    BtnFinish->setVisible(page == 3);
}

void TFrmWizard::ShowPageTwo() {
    ShowPage(2);
    ScanInstalledPrograms();
    BtnNext->setEnabled(false);
    // Not on the disabled Next, where Enter would go to Cancel.
    LisPrograms->setFocus();
}

void TFrmWizard::ClearRadioButtons() {
    // Exclusive radio buttons cannot be unchecked directly.
    for (QRadioButton* radio : {RadAdd, RadModify}) {
        radio->setAutoExclusive(false);
        radio->setChecked(false);
        radio->setAutoExclusive(true);
    }
}

void TFrmWizard::BtnNextClick() {
    if (Shown(PnlStepOne)) {
        ShowPageTwo();
        CatalogueFile.clear();
        ProgramName.clear();
        SettingsFile.clear();
    } else if (Shown(PnlStepTwo)) {
        ShowPage(3);
        BtnFinish->setEnabled(false);
        BtnFinish->setDefault(true);
        LblStepThreeSourceLanguage->hide();
        LisSourceLanguages->hide();
        CbbStepThreeNewLanguage->setEditText(QString());
        LblStepThreeNewLanguage->hide();
        CbbStepThreeNewLanguage->hide();
        ClearRadioButtons();
        RadAdd->setFocus();
    }
}

void TFrmWizard::BtnBackClick() {
    if (Shown(PnlStepTwo)) {
        ShowPage(1);
        BtnNext->setEnabled(true);
        BtnNext->setFocus();
        TranslationFile.clear();
        ProgramName.clear();
        SettingsFile.clear();
    } else if (Shown(PnlStepThree)) {
        ShowPageTwo();
        CatalogueFile.clear();
        BtnNext->setDefault(true);
    }
}

// ---- Page 2: the programs ---------------------------------------------------------

void TFrmWizard::ScanInstalledPrograms() {
    TDiscoveryFolders folders;
    folders.CommonMakerFolders = MakerFolders(platform::Get().CommonAppDataRoots());
    folders.LocalMakerFolder = FWorkspace.LocalMakerFolder();
    folders.RoamingMakerFolder = FWorkspace.RoamingMakerFolder();
    const std::vector<TInstalledProgram> rows = FindInstalledPrograms(folders);

    // Names in the user's locale order; names it holds equal keep the byte
    // order they come in, so the order never depends on the listing. The plain
    // C locale has no order of its own but the bytes', which puts "Zeta" before
    // "apple"; a desktop sorts as people read, so English rules stand in.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const TInstalledProgram& row : rows)
        keys.push_back(collator.sortKey(ToDisplay(row.Name)));
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });

    LisPrograms->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (size_t i : order) {
        const TInstalledProgram& row = rows[i];
        auto* item = new QTreeWidgetItem;
        SetCell(item, ColName, row.Name, false);
        SetCell(item, ColVersion, row.Version, false);
        SetCell(item, ColPath, row.InstallationDirectory, true);
        SetCell(item, ColLanguageFile, row.LanguageFile, true);
        SetCell(item, ColSettings, row.SettingsPath, true);
        items.append(item);
    }
    LisPrograms->addTopLevelItems(items);
}

void TFrmWizard::LisProgramsClick() {
    BtnNext->setEnabled(false);
    const QTreeWidgetItem* row = SelectedRow(LisPrograms);
    if (!row) {
        LblStepThreeInfo->setText(StepThreeHeading);
        return;
    }
    const std::string catalogue = CellBytes(row, ColPath) + CellBytes(row, ColLanguageFile);
    if (!platform::FileExists(catalogue))
        return;
    CatalogueFile = catalogue;
    ProgramName = CellBytes(row, ColName);
    LblStepThreeInfo->setText(StepThreeHeading + " [ " + ToDisplay(ProgramName) + " ] ");
    const std::string settings = CellBytes(row, ColSettings);
    SettingsFile = platform::FileExists(settings) ? settings : std::string();
    BtnNext->setEnabled(true);
}

// Acts only on the row the click before it accepted, so that a double click
// never skips the checks of a click.
void TFrmWizard::LisProgramsDblClick() {
    const QTreeWidgetItem* row = SelectedRow(LisPrograms);
    if (!row || !Shown(PnlStepTwo) || !BtnNext->isEnabled())
        return;
    if (CellBytes(row, ColName) != ProgramName ||
        CellBytes(row, ColPath) + CellBytes(row, ColLanguageFile) != CatalogueFile)
        return;
    BtnNextClick();
}

void TFrmWizard::PopRefreshClick() {
    ScanInstalledPrograms();
}

void TFrmWizard::PopDeleteConfigurationClick() {
    const QTreeWidgetItem* row = SelectedRow(LisPrograms);
    if (!row)
        return;
    platform::Get().StartProgram(CleanupProgram(FWorkspace.ProgramFolder()),
                                 {CellBytes(row, ColName)});
}

void TFrmWizard::LblStepTwoUpdateClick() {
    platform::Get().OpenAddress(MakerHost);
}

// ---- Page 3: the translation ------------------------------------------------------

void TFrmWizard::RadAddClick() {
    LblStepThreeNewLanguage->show();
    CbbStepThreeNewLanguage->show();
    LblStepThreeSourceLanguage->hide();
    LisSourceLanguages->hide();
}

void TFrmWizard::RadModifyClick() {
    LblStepThreeNewLanguage->hide();
    CbbStepThreeNewLanguage->hide();
    LblStepThreeSourceLanguage->show();
    LisSourceLanguages->show();
    FillSourceLanguages();
}

void TFrmWizard::CbbStepThreeNewLanguageChange() {
    const bool named = !CbbStepThreeNewLanguage->currentText().isEmpty();
    LblStepThreeSourceLanguage->setVisible(named);
    LisSourceLanguages->setVisible(named);
    if (named)
        FillSourceLanguages();
}

// The rows follow the catalogue rule of the main window, so that a file chosen
// here is one the main window lists and saves the catalogue with: every file
// lies in the catalogue's own folder, whatever folder its entry names.
void TFrmWizard::FillSourceLanguages() {
    LisSourceLanguages->clear();
    if (!platform::FileExists(CatalogueFile))
        return;
    for (const TCatalogueEntry& entry : ReadCatalogue(CatalogueFile).Entries) {
        auto* item = new QTreeWidgetItem(LisSourceLanguages);
        SetCell(item, 0, entry.Name, false);
        SetCell(item, ColSourcePath, entry.Path, true);
    }
}

void TFrmWizard::LisSourceLanguagesClick() {
    BtnFinish->setEnabled(false);
    const QTreeWidgetItem* row = SelectedRow(LisSourceLanguages);
    if (!row)
        return;
    const std::string path = CellBytes(row, ColSourcePath);
    if (!platform::FileExists(path))
        return;
    TranslationFile = path;
    BtnFinish->setEnabled(true);
}

void TFrmWizard::LisSourceLanguagesDblClick() {
    const QTreeWidgetItem* row = SelectedRow(LisSourceLanguages);
    if (!row || !Shown(PnlStepThree) || !BtnFinish->isEnabled() ||
        CellBytes(row, ColSourcePath) != TranslationFile)
        return;
    if (HandOver())
        accept();
}

void TFrmWizard::PopRefreshLanguagesClick() {
    FillSourceLanguages();
}

void TFrmWizard::BtnFinishClick() {
    if (HandOver())
        accept();
}

bool TFrmWizard::HandOver() {
    // Opened from the main window, the wizard would replace its unsaved edits.
    if (FWorkspace.IsModified() && !FWorkspace.AskDiscard(this))
        return false;
    FWorkspace.LoadCatalogue(CatalogueFile);
    FWorkspace.SetCataloguePath(CatalogueFile);
    FWorkspace.SetProgramName(ProgramName);
    FWorkspace.RememberCatalogue(CatalogueFile);
    QString handedOver;
    if (RadAdd->isChecked()) {
        const QString language = CbbStepThreeNewLanguage->currentText();
        if (FWorkspace.AddTranslation(FromDisplay(language), TranslationFile))
            handedOver = language;
    } else {
        FWorkspace.OpenTranslation(TranslationFile, SettingsFile);
        handedOver = PathToQt(platform::ExtractFileName(TranslationFile));
    }
    if (!handedOver.isEmpty())
        FWorkspace.ShowHandedOver(handedOver);
    return true;
}
