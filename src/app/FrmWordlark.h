// TFrmWordlark: the main window. It owns the editing state (the open catalogue,
// the translation list, the editor) and runs the commands on it. Its parts are
// classes of their own: the interface texts (TInterfaceTexts), the menus
// (TMainMenuItems), the recent catalogues, the interface-language menu, the
// status line and the translator's workbench around the editor (TWorkbench).
#pragma once

#include "app/WatchedFlag.h"
#include "initfile/Catalogue.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileStamp.h"
#include "texts/InterfaceTexts.h"
#include "texts/MainMenu.h"
#include "texts/Workspace.h"

#include <QMainWindow>
#include <QMessageBox>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTreeWidget;
class QTreeWidgetItem;
class TFrmAddLanguage;
class TFrmInfo;
class TFrmIniFile;
class TFrmSend;
class TFileSafety;
class TFrmWizard;
class TLanguageMenu;
class TRecentCatalogues;
class TRecoveryKeeper;
class TStatusLine;
class TSynEditor;
class TUserCopy;
class TWorkbench;

class TFrmWordlark : public QMainWindow, public TMainMenuItems, public TWorkspace {
    Q_OBJECT
    // Declared first: the dialog words below refer to it.
    std::unique_ptr<TInterfaceTexts> FTexts = std::make_unique<TInterfaceTexts>();

public:
    // `controlsLater`: the window without its controls, menus and parts
    // until CompleteWindow(), so that the wizard is shown sooner at start-up.
    explicit TFrmWordlark(QWidget* parent = nullptr, bool controlsLater = false);
    void CompleteWindow();
    ~TFrmWordlark() override;

    // The windows the commands show, handed over at start-up.
    void SetDialogs(TFrmWizard* wizard, TFrmSend* send, TFrmAddLanguage* addLanguage,
                    TFrmIniFile* iniFile, TFrmInfo* info);

    // The interface texts every window takes, and the workbench.
    TInterfaceTexts& Texts() const { return *FTexts; }
    TWorkbench* Workbench() const { return FWorkbench; }
    // The guards of the work: changes on disk, the window lock, recovery.
    TFileSafety* Safety() const { return FSafety; }
    TRecoveryKeeper* Recovery() const { return FRecovery; }
    // The user's own copy the window may work on instead of the installed files.
    TUserCopy& UserCopy() const { return *FUserCopy; }

    // Operations other windows call (TWorkspace says what each does).
    bool LoadCatalogue(const std::string& path) override;
    void SetProgramName(const std::string& name) override { ProgramName = name; }
    bool OpenTranslation(const std::string& translationPath,
                         const std::string& settingsFilePath) override;
    bool AddTranslation(const std::string& languageName, const std::string& masterPath) override;
    void RememberCatalogue(const std::string& path) override;
    void ShowStatus(const QString& text) override;
    QString StatusText() const override;
    bool IsModified() const override { return Modified; }
    bool AskDiscard(QWidget* owner = nullptr) override;
    void ShowHandedOver(const QString& what) override;
    void ShowInputRefused(char32_t character, TTextEncoding encoding);

    // Message dialog in the interface language over `owner` (a dialog of the
    // main window's) or the main window; returns the button pressed.
    QMessageBox::StandardButton DoMsgBox(const QString& text, QMessageBox::Icon type,
                                         QMessageBox::StandardButtons buttons,
                                         QWidget* owner = nullptr);
    void NationalizeMsgBox(QMessageBox& dialog, QMessageBox::Icon type);

    // Interface texts.
    void SelectProgramLanguage(const std::string& languageName);
    void Nationalize(const std::string& languageFile, const std::string& languageName);
    QString GetNationalText(const std::string& key, const QString& defaultText);
    const std::string& QtLocale() const { return FTexts->QtLocale(); }

    // Preferences.
    void LoadSettings(const std::string& path);
    void RestoreWindowPlacement(const std::string& path);
    void SaveSettings(const std::string& path);
    void ApplyFont(const QFont& font);
    int ScaleByDpi(int pixels) const;

    void RegisterInstallation();
    // The catalogue's file-open dialog, made when it is first needed.
    QFileDialog* OpdInitFile();
    // The file dialog of "Save translation as", made when it is first needed.
    QFileDialog* SdTranslation();

    // State other windows and tests read.
    std::string CataloguePath() const override;
    std::string TranslationToSend() const override;
    void SetCataloguePath(const std::string& path) override;
    const std::string& ProgramFolder() const override { return FProgramFolder; }
    const std::string& DataFolder() const { return FDataFolder; }
    const std::string& LocalMakerFolder() const override { return FLocalMakerFolder; }
    const std::string& RoamingMakerFolder() const override { return FRoamingMakerFolder; }
    const std::string& CurrentLanguageName() const { return FTexts->LanguageName(); }
    const std::string& CurrentLanguageFile() const { return FTexts->LanguageFile(); }

    std::string TranslationPath;
    std::string SettingsFilePath;
    std::string ProgramName;
    // The editor or the list holds unsaved changes; the title shows a marker.
    TWatchedFlag Modified{[this] { ModifiedChanged(); }};
    int DefaultLanguageIndex = -1;
    bool UsesMisspelledDefaultKey = false;

    // Message texts, status texts and dialog words in the interface language.
    QString m_aMDiscard, m_aMFailed, m_aMNoTransFile, m_aMSelectTrans, m_aMSelectTransSource,
        m_aMNoDeleteGerman, m_aMSureToDelete, m_aMFileDoesNotExist, m_aMInvalidLanguageName,
        m_aMLanguageListed, m_aMSavedWithProblems;
    QString m_aStatusOpened, m_aStatusSaved, m_aStatusSavedCatalogue, m_aStatusAdded,
        m_aStatusRemoved, m_aStatusHandedOver, m_aStatusSavedAs;
    QString &m_aMYes = FTexts->m_aMYes, &m_aMYesToAll = FTexts->m_aMYesToAll,
            &m_aMNo = FTexts->m_aMNo, &m_aMNoToAll = FTexts->m_aMNoToAll,
            &m_aMCancel = FTexts->m_aMCancel, &m_aMError = FTexts->m_aMError,
            &m_aMInformation = FTexts->m_aMInformation,
            &m_aMConfirmation = FTexts->m_aMConfirmation, &m_aMWarning = FTexts->m_aMWarning;

    // Command handlers.
    void BtnSelectInitFileClick();
    void PopRefreshClick();
    void BtnEditClick();
    void BtnAddClick();
    void BtnDeleteClick();
    void BtnSaveClick();
    void MenSaveAsClick();
    void BtnSendClick();
    void BtnWizardClick();
    void BtnIniFileClick();
    void MenExitClick();
    void MenInfoClick();
    void BtnHelpClick();
    void MenLicenseClick();
    void MenReadMeClick();
    void MenCheckUpdateClick();
    void BtnFullscreenClick();
    void PopCutClick();
    void PopCopyClick();
    void PopPasteClick();
    void PopSelectAllClick();
    void PopUndoClick();
    void PopRedoClick();
    void MenRecentItemClick(const std::string& path, const std::string& programName);
    void MenLanguageItemClick(const std::string& languageName);
    void MemTranslationChange();
    void MemTranslationInputRefused(char32_t character, const QString& text);
    void FormShow();
    bool FormCloseQuery();
    void FormResize();

    // Controls, each under its name: the three areas, their labels, buttons
    // and boxes, the editor and the status line.
    QWidget *PnlTop = nullptr, *PnlTranslations = nullptr, *PnlBottom = nullptr;
    QLabel *LblInfo = nullptr, *LblSelectInitFile = nullptr, *LblAvailableTranslations = nullptr,
           *LblCurrentDefault = nullptr, *LblTranslations = nullptr, *LblSave = nullptr,
           *LblSend = nullptr;
    QPushButton *BtnSelectInitFile = nullptr, *BtnWizard = nullptr, *BtnEdit = nullptr,
                *BtnAdd = nullptr, *BtnDelete = nullptr, *BtnHelp = nullptr, *BtnIniFile = nullptr,
                *BtnFullscreen = nullptr, *BtnSave = nullptr, *BtnSend = nullptr;
    QLineEdit* EdtInitFile = nullptr;
    QTreeWidget* LisTranslations = nullptr;
    QComboBox* CbbDefaultLanguage = nullptr;
    TSynEditor* MemTranslation = nullptr;
    QStatusBar* StbStatus = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window itself, what the wizard takes of it (its font), and the rest.
    void BuildShell();
    void BuildControls();
    void ConnectCommands();
    void ApplyMainTexts();
    // "Save": true when both files were written.
    bool SaveTranslationAndCatalogue();
    // The translation is saved at `path` from now on; its list entry says so.
    void MoveTranslation(const std::string& path);
    // Takes a language that left the list out of the default box.
    void DropDefaultChoice(const std::string& name);
    // The selected translation (none: says so), the one named `name`, all
    // of them as the list holds them (names and paths as bytes).
    QTreeWidgetItem* SelectedTranslation(const QString& noSelectionMessage);
    QTreeWidgetItem* FindTranslation(const std::string& name) const;
    std::vector<TCatalogueEntry> ListedTranslations() const;
    void EmptyEditor();
    void OpenEditor();
    // Loads a file into the editor, shown as `shownAsPath` was last.
    platform::TFileStamp LoadTranslationFile(const std::string& path,
                                             const std::string& shownAsPath);
    // The title names the editor's file and the wizard's program.
    void UpdateCaption();
    void UpdateIniFileButton();
    // Opens a catalogue as "Browse" does; false, said, when it lists nothing.
    bool OpenCatalogue(const std::string& path);
    // The guards of the work (FrmWordlarkSafety.cpp): false from GuardSave
    // stops a save; OfferRecovery is true when unsaved work was restored.
    void BuildSafety(QWidget* editorArea);
    void ModifiedChanged();
    bool GuardSave();
    void ReloadFromDisk(bool translation, bool catalogue);
    bool OfferRecovery();
    // Tells the parts that keep files in the data folder where it is.
    void AttachDataFolder();
    // Loads the catalogue at `path` itself (LoadCatalogue may offer a copy).
    bool LoadCatalogueFile(const std::string& path);

    // The folders computed at construction, and the files of the "?" menu.
    std::string FProgramFolder, FDataFolder, FLocalMakerFolder, FRoamingMakerFolder, FLicensePath,
        FChangesPath;
    // The preferences' font choices, and whether the language is kept.
    int FDesignFontHeight = -12, FFontCharset = 1;
    bool FUseBuildInFont = false, FUseFontSettings = true, FUseFontHeight = false,
         FLanguageStored = false, FShown = false;
    TChoicesStore FChoices;
    std::string FOpeningDefault; // the catalogue's default when opened
    QFileDialog *FOpdInitFile = nullptr, *FSdTranslation = nullptr;
    TFrmAddLanguage* FFrmAddLanguage = nullptr;
    TFrmWizard* FFrmWizard = nullptr;
    TFrmSend* FFrmSend = nullptr;
    TFrmIniFile* FFrmIniFile = nullptr;
    TFrmInfo* FFrmInfo = nullptr;
    // The window's parts.
    TWorkbench* FWorkbench = nullptr;
    TRecentCatalogues* FRecent = nullptr;
    TLanguageMenu* FLanguageMenu = nullptr;
    TStatusLine* FStatusLine = nullptr;
    TFileSafety* FSafety = nullptr;
    TRecoveryKeeper* FRecovery = nullptr;
    TUserCopy* FUserCopy = nullptr;
};
