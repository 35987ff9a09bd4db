#include "app/FrmWordlark.h"
#include "app/TranslationItems.h"

#include "dialogs/FrmAddLanguage.h"
#include "editor/SynEditor.h"
#include "platform/FileBlock.h"
#include "platform/FileIO.h"
#include "platform/JoinedTask.h"
#include "platform/Platform.h"
#include "send/FrmSend.h"
#include "texts/FileSafety.h"
#include "texts/Guarded.h"
#include "texts/LanguageMenu.h"
#include "texts/QtText.h"
#include "texts/RecentCatalogues.h"
#include "texts/RecoveryKeeper.h"
#include "texts/StatusLine.h"
#include "texts/UserCopy.h"
#include "wizard/FrmWizard.h"
#include "workbench/Workbench.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <stdexcept>

namespace {
const char* const Caption = "Brightmoor Wordlark";

QByteArray ChoiceData(const std::string& name) {
    return QByteArray(name.data(), static_cast<qsizetype>(name.size()));
}

void AddChoice(QComboBox* box, const std::string& name) {
    box->addItem(ToDisplay(name), ChoiceData(name));
}

// Selects the list's item of the file at `path`, when it lists one.
void SelectItemOfPath(QTreeWidget* list, const std::string& path) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (ItemBytes(item, PathColumn) != path)
            continue;
        list->clearSelection();
        list->setCurrentItem(item);
        item->setSelected(true);
        return;
    }
}

std::string ChoiceBytes(const QComboBox* box, int index) {
    return box->itemData(index).toByteArray().toStdString();
}

} // namespace

TFrmWordlark::TFrmWordlark(QWidget* parent, bool controlsLater) : QMainWindow(parent) {
    // 1. The window as designed; all fields empty.
    BuildShell();
    if (!controlsLater)
        BuildControls();
    FDesignFontHeight = -12;

    // 2. The program folder.
    platform::Platform& os = platform::Get();
    FProgramFolder = platform::ExtractFilePath(os.ExecutablePath());

    // 3. Menu items for files that are not there are hidden (CompleteWindow).
    FLicensePath = FProgramFolder + "License.txt";
    FChangesPath = FProgramFolder + "ReadMe.txt";
    if (!controlsLater)
        CompleteWindow();

    // 4. The interface texts (FTexts) live as long as the window.

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
    FChoices.Open(FDataFolder + TWorkbenchChoices::FileName);
    if (PnlTop)
        AttachDataFolder();
}

void TFrmWordlark::AttachDataFolder() {
    // The window locks, the recovery files and the user's own copies are kept
    // in the data folder.
    FSafety->SetLockFolder(FDataFolder);
    FRecovery->SetFolder(FDataFolder);
    FWorkbench->ApplyKeptView();
    FUserCopy->SetDataFolder(FDataFolder);
}

TFrmWordlark::~TFrmWordlark() = default;

void TFrmWordlark::CompleteWindow() {
    if (!PnlTop) {
        // Built after the constructor, the parts learn the data folder now.
        BuildControls();
        AttachDataFolder();
    }
    MenLicense->setVisible(platform::FileExists(FLicensePath));
    const bool hasChanges = platform::FileExists(FChangesPath);
    MenReadMe->setVisible(hasChanges);
    MenCheckUpdate->setVisible(hasChanges);
}

void TFrmWordlark::SetDialogs(TFrmWizard* wizard, TFrmSend* send, TFrmAddLanguage* addLanguage,
                              TFrmIniFile* iniFile, TFrmInfo* info) {
    FFrmWizard = wizard;
    FFrmSend = send;
    FFrmAddLanguage = addLanguage;
    FFrmIniFile = iniFile;
    FFrmInfo = info;
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
    FLanguageMenu->Fill(FProgramFolder);
    FRecent->Refill();
    UpdateCaption();
    // Work a crashed window left is offered first; restored, it takes the
    // wizard's place. What the user chooses in the wizard is handed over
    // before it returns.
    if (!OfferRecovery() && FFrmWizard)
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

bool TFrmWordlark::FormCloseQuery() {
    if (Modified && !AskDiscard())
        return false;
    SaveSettings(FDataFolder + "Wordlark.ini");
    // A clean exit: the unsaved work was given up when asked.
    FRecovery->Clear();
    FSafety->TranslationClosed();
    FTexts->Release();
    return true;
}

bool TFrmWordlark::AskDiscard(QWidget* owner) {
    return DoMsgBox(m_aMDiscard, QMessageBox::Warning, QMessageBox::Yes | QMessageBox::Cancel,
                    owner) == QMessageBox::Yes;
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
    MemTranslation->setReadOnly(false);
    MemTranslation->ClearAll();
    MemTranslation->SetOpenState(false);
    UpdateCaption();
    FWorkbench->Emptied();
    FSafety->TranslationClosed();
}

void TFrmWordlark::OpenEditor() {
    MemTranslation->SetOpenState(true);
    // A translation another window holds may be opened only to be read.
    MemTranslation->setReadOnly(FSafety->ReadOnly());
    UpdateCaption();
    FWorkbench->Opened({TranslationPath, CataloguePath(), ListedTranslations()});
}

platform::TFileStamp TFrmWordlark::LoadTranslationFile(const std::string& path,
                                                       const std::string& shownAsPath) {
    // Read into a block of its own: large pages where the system offers them,
    // and UTF-8 goes from it to the editor uncopied.
    const auto block = platform::TFileBlock::Read(path);
    if (!block)
        throw std::runtime_error("Cannot open file \"" + path + "\".");
    // The file as read, so that watching it for changes need not read it again;
    // its hash is taken on a thread of its own while the editor takes the text.
    platform::TJoinedTask<platform::TFileStamp> stamp(
        [&path, &block] { return platform::StampFile(path, block->Bytes()); });
    // A file that is not UTF-8 is shown as it was shown last time.
    MemTranslation->setReadOnly(false);
    MemTranslation->LoadFromView(block->Bytes(), FChoices.Get().ShowAs(shownAsPath));
    return stamp.Take();
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
    // Working on the user's own copy, the title says where it is.
    if (FUserCopy && FUserCopy->Active())
        caption += " - " + FUserCopy->CaptionPart();
    setWindowTitle(caption);
}

void TFrmWordlark::UpdateIniFileButton() {
    BtnIniFile->setVisible(platform::FileExists(SettingsFilePath));
}

void TFrmWordlark::MemTranslationChange() {
    Modified = true;
    FRecovery->Changed();
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
    EdtInitFile->setText(PathToQt(FUserCopy->ShownCatalogue(path)));
}

// Opened again, an installed catalogue may be worked on in the user's own copy.
bool TFrmWordlark::LoadCatalogue(const std::string& path) {
    return LoadCatalogueFile(FUserCopy->ChooseCatalogue(path));
}

bool TFrmWordlark::LoadCatalogueFile(const std::string& path) {
    LisTranslations->clear();
    CbbDefaultLanguage->clear();
    EdtInitFile->clear();
    EmptyEditor();
    DefaultLanguageIndex = -1;
    Modified = false;

    const TCatalogueContents contents = ReadCatalogue(path);
    if (!contents.FileFound) {
        FSafety->Forget(TFileSafety::Catalogue);
        return false;
    }
    FSafety->Remember(TFileSafety::Catalogue, path);
    for (const TCatalogueEntry& entry : FUserCopy->Resolved(contents.Entries)) {
        auto* item = new QTreeWidgetItem(LisTranslations);
        SetItemBytes(item, 0, entry.Name);
        SetItemBytes(item, PathColumn, entry.Path);
    }
    for (const std::string& choice : contents.DefaultChoices)
        AddChoice(CbbDefaultLanguage, choice);
    CbbDefaultLanguage->setCurrentIndex(contents.SelectedChoice);
    DefaultLanguageIndex = contents.DefaultLanguageIndex;
    FOpeningDefault = contents.DefaultLanguageIndex >= 0 && contents.SelectedChoice >= 0
                          ? contents.DefaultChoices[static_cast<size_t>(contents.SelectedChoice)]
                          : std::string();
    UsesMisspelledDefaultKey = contents.UsesMisspelledDefaultKey;
    return !contents.Entries.empty();
}

void TFrmWordlark::BtnSelectInitFileClick() {
    if (Modified && !AskDiscard())
        return;
    QFileDialog* dialog = OpdInitFile();
    const std::string folder = FRecent->OpenFolder();
    if (!folder.empty())
        dialog->setDirectory(PathToQt(folder));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const std::string path = PathFromQt(dialog->selectedFiles().first());
    FRecent->SetOpenFolder(platform::ExtractFilePath(path));
    ProgramName.clear();
    OpenCatalogue(path);
}

bool TFrmWordlark::OpenCatalogue(const std::string& path) {
    const bool opened = LoadCatalogue(path);
    if (opened) {
        SetCataloguePath(path);
        RememberCatalogue(path);
        ShowStatus(m_aStatusOpened.arg(PathToQt(CataloguePath())));
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
    LoadCatalogueFile(path);
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
    DropDefaultChoice(name);
    ShowStatus(m_aStatusRemoved.arg(ToDisplay(name)));
}

void TFrmWordlark::DropDefaultChoice(const std::string& name) {
    // A selected default gives way to the one ListedDefault names.
    const int index = CbbDefaultLanguage->findData(ChoiceData(name));
    if (index < 0)
        return;
    const bool selected = CbbDefaultLanguage->currentIndex() == index;
    CbbDefaultLanguage->removeItem(index);
    if (selected)
        CbbDefaultLanguage->setCurrentIndex(
            std::max(0, CbbDefaultLanguage->findData(ChoiceData(
                            ListedDefault(name, FOpeningDefault, ListedTranslations())))));
}

bool TFrmWordlark::OpenTranslation(const std::string& requestedPath,
                                   const std::string& settingsFilePath) {
    // Working on the user's own copy, its file of that name is opened.
    const std::string translationPath = FUserCopy->OpenedTranslation(requestedPath);
    // The file is read first: one that cannot be read leaves the editor's text,
    // the path it is saved to and the title as they were, so that a later save
    // never writes this text over the file that failed to open. A file
    // another window holds is opened as the user chooses.
    const TFileSafety::TOpenChoice choice = FSafety->ClaimTranslation(translationPath);
    if (choice == TFileSafety::TOpenChoice::Cancel)
        return false;
    // The reference is read meanwhile, on a thread of its own.
    FWorkbench->Prefetch({translationPath, CataloguePath(), ListedTranslations()});
    platform::TFileStamp stamp;
    try {
        stamp = LoadTranslationFile(translationPath, translationPath);
    } catch (...) {
        // Nothing read ahead outlives the failed open: a later one would take
        // a reference read before the user changed it.
        FWorkbench->Prefetch({});
        throw;
    }
    FSafety->TranslationOpened(translationPath, choice == TFileSafety::TOpenChoice::ReadOnly,
                               stamp);
    TranslationPath = translationPath;
    SettingsFilePath = settingsFilePath;
    Modified = false;
    OpenEditor();
    UpdateIniFileButton();
    // The list shows which translation is open, however it was chosen.
    SelectItemOfPath(LisTranslations, translationPath);
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
    FSafety->TranslationOpened(TranslationPath);
    // The new translation starts in its master's encoding; its phrases wait
    // for their translation while they read as the master's.
    FChoices.Update([&](TWorkbenchChoices& choices) {
        choices.CopyShowAs(masterPath, TranslationPath);
        choices.SetMaster(TranslationPath, masterPath);
    });
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
    // The catalogue never names as default a language it does not list.
    DropDefaultChoice(name);
    EmptyEditor();
    ShowStatus(m_aStatusRemoved.arg(ToDisplay(name)));
}

// ---- Saving -------------------------------------------------------------------------

void TFrmWordlark::BtnSaveClick() {
    SaveTranslationAndCatalogue();
}

bool TFrmWordlark::SaveTranslationAndCatalogue() {
    // Working on the user's own copy, the translation is saved into it.
    if (!MemTranslation->IsEmpty())
        MoveTranslation(FUserCopy->SavePath(TranslationPath));
    const std::string cataloguePath = CataloguePath();
    const std::string folder = platform::ExtractFilePath(cataloguePath);
    if (!platform::DirectoryExists(folder)) {
        ShowStatus(m_aMFailed);
        DoMsgBox(m_aMFailed, QMessageBox::Critical, QMessageBox::Ok);
        return false;
    }
    // Neither file is written over changes another program made without asking.
    if (!GuardSave())
        return false;
    // A translation file that cannot be written raises the file error, which
    // ends the command before the catalogue is touched.
    if (!MemTranslation->IsEmpty()) {
        try {
            MemTranslation->SaveToFile(TranslationPath);
            FSafety->Remember(TFileSafety::Translation, TranslationPath);
        } catch (...) {
            // Where the user may not write, the user's own folder is offered.
            if (FUserCopy->OfferAfterRefusal(TranslationPath, cataloguePath, ProgramName)) {
                SetCataloguePath(cataloguePath);
                return SaveTranslationAndCatalogue();
            }
            ShowStatus(m_aMFailed);
            throw;
        }
    }

    bool saved = false;
    std::string failure;
    try {
        const int choice = CbbDefaultLanguage->currentIndex();
        const std::vector<TCatalogueEntry> listed = ListedTranslations();
        const std::string defaultLanguage =
            ListedDefault(choice < 0 ? std::string() : ChoiceBytes(CbbDefaultLanguage, choice),
                          FOpeningDefault, listed);
        const std::string text =
            BuildCatalogueText(ProgramName, listed, defaultLanguage, UsesMisspelledDefaultKey);
        // Unlike a silent failure, a catalogue that could not be written is
        // reported and the changes stay marked as unsaved.
        failure = platform::ReplaceFileBytes(cataloguePath, text);
        saved = failure.empty();
        if (saved)
            FSafety->Remember(TFileSafety::Catalogue, cataloguePath);
    } catch (const std::exception&) {
        saved = false;
    }
    if (!saved && !failure.empty() &&
        FUserCopy->OfferAfterRefusal(cataloguePath, cataloguePath, ProgramName)) {
        SetCataloguePath(cataloguePath);
        return SaveTranslationAndCatalogue();
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
            QString::number(FWorkbench->Checker().ProblemCount())));
    }
    return true;
}

void TFrmWordlark::MoveTranslation(const std::string& path) {
    if (path == TranslationPath)
        return;
    for (int i = 0; i < LisTranslations->topLevelItemCount(); ++i)
        if (ItemBytes(LisTranslations->topLevelItem(i), PathColumn) == TranslationPath)
            SetItemBytes(LisTranslations->topLevelItem(i), PathColumn, path);
    TranslationPath = path;
    OpenEditor();
}

// A copy of the editor's text in a file of the user's choice, written as
// "Save" writes it; the translation's own file and the catalogue stay as they are.
void TFrmWordlark::MenSaveAsClick() {
    if (!MemTranslation->IsOpen())
        return;
    QFileDialog* dialog = SdTranslation();
    dialog->setWindowTitle(MenSaveAs->text());
    std::string folder = FChoices.Get().DialogFolder("translation");
    if (folder.empty() || !platform::DirectoryExists(folder))
        folder = platform::ExtractFilePath(TranslationPath);
    dialog->setDirectory(PathToQt(folder));
    dialog->selectFile(PathToQt(platform::ExtractFileName(TranslationPath)));
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    const std::string path = PathFromQt(dialog->selectedFiles().first());
    FChoices.Update([&](TWorkbenchChoices& choices) {
        choices.SetDialogFolder("translation", platform::ExtractFilePath(path));
    });
    try {
        MemTranslation->SaveToFile(path);
    } catch (...) {
        ShowStatus(m_aMFailed);
        throw;
    }
    ShowStatus(m_aMSavedWithProblems.arg(m_aStatusSavedAs.arg(PathToQt(path)),
                                         QString::number(FWorkbench->Checker().ProblemCount())));
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
