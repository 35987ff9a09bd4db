// TFrmWordlark: the main window. It owns the editing state (the open catalogue,
// the translation list, the editor) and runs the commands on it.
#pragma once

#include "app/WordlarkApplication.h"
#include "encoding/TextEncoding.h"
#include "initfile/InitFile.h"
#include "initfile/WorkbenchChoices.h"
#include "workbench/Checks.h"
#include "workbench/Find.h"
#include "workbench/ProblemLines.h"
#include "workbench/TranslationChecker.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QListView;
class QSplitter;
class TProblemListModel;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTranslator;
class QTreeWidgetItem;
class TSynEditor;
class TFrmAddLanguage;
class TFrmWizard;
class TFrmSend;
class TFrmIniFile;
class TFrmInfo;
class TAccessKeys;
class QStatusBar;

// A flag that reports every change of its value, so that what shows it follows
// whoever sets it.
class TWatchedFlag {
public:
    explicit TWatchedFlag(std::function<void()> changed) : FChanged(std::move(changed)) {}
    TWatchedFlag(const TWatchedFlag&) = delete;
    TWatchedFlag& operator=(const TWatchedFlag&) = delete;
    TWatchedFlag& operator=(bool value) {
        if (value != FValue) {
            FValue = value;
            FChanged();
        }
        return *this;
    }
    operator bool() const { return FValue; }

private:
    bool FValue = false;
    std::function<void()> FChanged;
};

class TFrmWordlark : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrmWordlark(QWidget* parent = nullptr);
    ~TFrmWordlark() override;

    // The new-language dialog the "Add new" command shows.
    void SetAddLanguageDialog(TFrmAddLanguage* dialog) { FFrmAddLanguage = dialog; }
    // The wizard, shown at the first show and by the wizard command.
    void SetWizard(TFrmWizard* wizard) { FFrmWizard = wizard; }
    // The send dialog the "Send" command shows.
    void SetSendDialog(TFrmSend* dialog) { FFrmSend = dialog; }
    // The settings-file viewer and the about box the commands show.
    void SetIniFileDialog(TFrmIniFile* dialog) { FFrmIniFile = dialog; }
    void SetInfoDialog(TFrmInfo* dialog) { FFrmInfo = dialog; }

    // Operations other windows call.
    bool LoadCatalogue(const std::string& path);
    void SetProgramName(const std::string& name) { ProgramName = name; }
    bool OpenTranslation(const std::string& translationPath, const std::string& settingsFilePath);
    bool AddTranslation(const std::string& languageName, const std::string& masterPath);

    // The status line at the bottom of the window: what the last command did.
    // The text stays until the next one; pass an empty text to clear it.
    void ShowStatus(const QString& text);
    QString StatusText() const { return FStatusText; }

    // Gives a menu (pass its menuAction()) or a menu item an access letter: the
    // first character of the interface text under `key`, `defaultLetter` in
    // English, e.g. AddAccessKey(MenFind, "FrmWordlark.MenFind.AccessKey", "F").
    // The letter is underlined in the caption, chooses the item when typed in
    // its open menu and, for a menu of the menu bar, opens it with Alt. It is
    // taken again at every language change, so ship the key in every language
    // file: the letter must occur in the caption and be unique in its menu.
    void AddAccessKey(QAction* item, const std::string& key, const QString& defaultLetter);

    // Remembers the catalogue at `path` as the most recently opened one, with
    // the program chosen for it (ProgramName), for the File menu's list.
    void RememberCatalogue(const std::string& path);

    // Tells the user that typed, pasted or dropped text was refused because a
    // document in this encoding cannot hold the character.
    void ShowInputRefused(char32_t character, TTextEncoding encoding);

    // Message dialog in the interface language; returns the button pressed.
    // It stands over `owner` (a dialog of the main window's) or the main window.
    QMessageBox::StandardButton DoMsgBox(const QString& text, QMessageBox::Icon type,
                                         QMessageBox::StandardButtons buttons,
                                         QWidget* owner = nullptr);
    void NationalizeMsgBox(QMessageBox& dialog, QMessageBox::Icon type);

    // Interface texts.
    void SelectProgramLanguage(const std::string& languageName);
    void Nationalize(const std::string& languageFile, const std::string& languageName);
    QString GetNationalText(const std::string& key, const QString& defaultText);
    // The locale whose translation of Qt's own texts is in use; empty for
    // Qt's English.
    const std::string& QtLocale() const { return FQtLocale; }

    // Preferences.
    void LoadSettings(const std::string& path);
    void RestoreWindowPlacement(const std::string& path);
    void SaveSettings(const std::string& path);
    void ApplyFont(const QFont& font);
    int ScaleByDpi(int pixels) const;

    void RegisterInstallation();

    // The catalogue's file-open dialog, made when it is first needed (building a
    // file dialog costs as much as the rest of the window).
    QFileDialog* OpdInitFile();

    // State other windows and tests read.
    std::string CataloguePath() const;
    // The translation file that "Save" writes and "Send" offers: none while
    // the editor is empty (after a Delete), since nothing of it is saved then.
    std::string TranslationToSend() const;
    void SetCataloguePath(const std::string& path);
    const std::string& ProgramFolder() const { return FProgramFolder; }
    const std::string& DataFolder() const { return FDataFolder; }
    const std::string& LocalMakerFolder() const { return FLocalMakerFolder; }
    const std::string& RoamingMakerFolder() const { return FRoamingMakerFolder; }
    const std::string& CurrentLanguageName() const { return FCurrentLanguageName; }
    const std::string& CurrentLanguageFile() const { return FCurrentLanguageFile; }

    std::string TranslationPath;
    std::string SettingsFilePath;
    std::string ProgramName;
    // The editor or the list holds unsaved changes; the title shows a marker
    // while it is set.
    TWatchedFlag Modified{[this] { UpdateCaption(); }};
    int DefaultLanguageIndex = -1;
    bool UsesMisspelledDefaultKey = false;

    // Message texts and dialog words in the interface language.
    QString m_aMDiscard, m_aMFailed, m_aMNoTransFile, m_aMSelectTrans, m_aMSelectTransSource,
        m_aMNoDeleteGerman, m_aMSureToDelete, m_aMFileDoesNotExist, m_aMInvalidLanguageName,
        m_aMLanguageListed, m_aMNotInEncoding;
    // The workbench's texts: the reasons of the checks (by TReason), progress,
    // navigation, find and replace, "Show as" and saving.
    QString m_aMCheck[ReasonCount];
    QString m_aMProgress, m_aMProblems, m_aMUntranslated, m_aMAllTranslated, m_aMNoProblems,
        m_aMNotFound, m_aMReplaced, m_aMShowAsOffer, m_aMSavedWithProblems;
    QString m_aMYes, m_aMYesToAll, m_aMNo, m_aMNoToAll, m_aMCancel, m_aMError, m_aMInformation,
        m_aMConfirmation, m_aMWarning;
    // Texts of the status line.
    QString m_aStatusOpened, m_aStatusSaved, m_aStatusSavedCatalogue, m_aStatusAdded,
        m_aStatusRemoved, m_aStatusHandedOver;

    // Command handlers.
    void BtnSelectInitFileClick();
    void PopRefreshClick();
    void BtnEditClick();
    void BtnAddClick();
    void BtnDeleteClick();
    void BtnSaveClick();
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

    // The translator's workbench: the reference beside the translation,
    // checks, progress, navigation, find and replace, "Show as".
    void CbbReferenceChange();
    void ChkSideBySideClick();
    void MenNextUntranslatedClick();
    void MenPreviousUntranslatedClick();
    void MenNextProblemClick();
    void MenPreviousProblemClick();
    void MenFindClick();
    void MenReplaceClick();
    void BtnFindNextClick();
    void BtnFindPreviousClick();
    void BtnReplaceClick();
    void BtnReplaceAllClick();
    void BtnCloseFindClick();
    void LisProblemsClick(int row);
    void ShowAs(TTextEncoding encoding);
    // What the workbench knows of the open translation.
    const TTranslationChecker& Checker() const { return FChecker; }
    // The text shown when the mouse rests on a line's marker.
    QString LineHint(std::size_t line) const;
    // The text of one problem, in the interface language.
    QString ProblemText(const TProblem& problem) const;
    // The problems list's rows: a line with problems, or a missing key.
    int ProblemRowCount() const { return static_cast<int>(FProblemRows.size()); }
    QString ProblemRowText(int row) const;
    // The choices remembered in the data folder.
    const TWorkbenchChoices& WorkbenchChoices() const { return FChoices; }

    void FormShow();
    bool FormCloseQuery();
    void FormResize();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void BuildWindow();
    void BuildMenus();
    // Connects a command so that an exception it raises reaches the
    // application's error handler instead of the event loop.
    template <class Sender, class Signal>
    void Command(Sender* sender, Signal signal, void (TFrmWordlark::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    }
    bool AskDiscard();
    // "Save": true when both files were written.
    bool SaveTranslationAndCatalogue();
    // The selected translation; without one, says so and gives none.
    QTreeWidgetItem* SelectedTranslation(const QString& noSelectionMessage);
    void EmptyEditor();
    void OpenEditor();
    // Loads a translation file into the editor, shown as the file at
    // `shownAsPath` was shown last ("Show as").
    void LoadTranslationFile(const std::string& path, const std::string& shownAsPath);
    // The title names what the editor holds: the file it is saved to, and the
    // program chosen in the wizard, or nothing while it is empty.
    void UpdateCaption();
    // The listed translation with exactly this name, or none.
    QTreeWidgetItem* FindTranslation(const std::string& name) const;
    // The translations as the list holds them: names and paths as bytes.
    std::vector<TCatalogueEntry> ListedTranslations() const;
    void UpdateIniFileButton();
    void ApplyMainTexts();
    // The access letters of every registered item in the interface language
    // (the recent catalogues and the languages take theirs when listed).
    void ApplyAccessKeys();
    // The File menu's recent catalogues, as the data folder's choices file
    // holds them; the interface-language menu, as the program's catalogue
    // lists them.
    void FillRecentMenu();
    void FillLanguageMenu();
    // Where the catalogue's file dialog starts: the folder last chosen in it,
    // else that of the catalogue opened last.
    std::string OpenFolder() const;
    // Opens the catalogue at `path` as "Browse" does after the file dialog;
    // false, after saying so, when it lists nothing.
    bool OpenCatalogue(const std::string& path);
    // Qt's own texts (file dialogs, standard buttons) in the interface
    // language: Qt's translation for the locale, none for English.
    void ApplyQtTexts(const std::string& locale);
    // The workbench's part of the window and its commands.
    void BuildWorkbench(QWidget* editorArea);
    void BuildWorkbenchMenus();
    void ApplyWorkbenchTexts();
    // Fills the reference choice for the open translation and loads it.
    void FillReferenceChoices();
    void LoadReference();
    // Checks the whole text again and refreshes everything shown of it.
    void ResetWorkbench();
    void TranslationModified(int position, int type, int linesAdded);
    void TranslationUpdateUi(int updated);
    void RefreshMarkers(std::size_t line);
    void RefreshProgress();
    void RefreshReferenceLine(bool force);
    void RebuildProblemRows();
    void RebuildReferenceView();
    std::string AlignedReferenceLine(std::size_t line) const;
    void GoToLine(std::size_t line, bool toPhrase);
    void GoToUntranslated(bool forward);
    void FollowScroll(TSynEditor* leader, TSynEditor* follower);
    void GoToProblem(bool forward);
    // Shows the find bar, with its replace row or without.
    void ShowFindBar(bool replace);
    void UpdateShowAsMenu();
    // Changes the workbench's choices for this run and in their file, where
    // the change is made to what the file holds now, so that what another
    // running Wordlark remembered meanwhile is kept.
    void UpdateChoices(const std::function<void(TWorkbenchChoices&)>& change);
    TFindOptions FindOptions() const;
    bool FindInEditor(bool forward);
    // Whether the replacement can be stored; says so when not.
    bool ReplacementHoldable(const std::string& replacement);
    QString DefaultLblInfo() const;
    QString DefaultLblSend() const;

    std::string FProgramFolder;
    std::string FDataFolder;
    std::string FLocalMakerFolder;
    std::string FRoamingMakerFolder;
    std::string FLicensePath;
    std::string FChangesPath;
    int FDesignFontHeight = -12;
    std::unique_ptr<TInitFile> FInterfaceTexts;
    std::string FCurrentLanguageName;
    std::string FCurrentLanguageFile;
    std::unique_ptr<QTranslator> FQtTranslator;
    std::string FQtLocale;
    bool FShown = false;
    bool FUseBuildInFont = false;
    bool FUseFontSettings = true;
    bool FUseFontHeight = false;
    bool FLanguageStored = false;
    int FFontCharset = 1;
    QFileDialog* FOpdInitFile = nullptr;
    TFrmAddLanguage* FFrmAddLanguage = nullptr;
    TFrmWizard* FFrmWizard = nullptr;
    TFrmSend* FFrmSend = nullptr;
    TFrmIniFile* FFrmIniFile = nullptr;
    TFrmInfo* FFrmInfo = nullptr;
    TAccessKeys* FAccessKeys = nullptr;
    struct TAccessKey {
        QPointer<QAction> Item;
        std::string Key;
        QString DefaultLetter;
    };
    std::vector<TAccessKey> FAccessKeyItems;
    QString FStatusText;

    TTranslationChecker FChecker;
    TProblemLines FProblemLines;
    std::vector<TTranslationChecker::TMissingKey> FMissingKeys;
    struct TProblemRow {
        std::size_t Line;
        int Missing; // index into FMissingKeys, or -1 for a line's problems
    };
    std::vector<TProblemRow> FProblemRows;
    TProblemListModel* FProblemModel = nullptr;
    TWorkbenchChoices FChoices;
    std::vector<std::string> FReferencePaths; // per item of CbbReference
    long FReferenceShownLine = -1;
    bool FBulkEdit = false;
    bool FSyncingScroll = false;

public:
    // Controls, each under its name.
    QWidget* PnlTop = nullptr;
    QWidget* PnlTranslations = nullptr;
    QWidget* PnlBottom = nullptr;
    QLabel* LblInfo = nullptr;
    QLabel* LblSelectInitFile = nullptr;
    QLineEdit* EdtInitFile = nullptr;
    QPushButton* BtnSelectInitFile = nullptr;
    QPushButton* BtnWizard = nullptr;
    QLabel* LblAvailableTranslations = nullptr;
    QTreeWidget* LisTranslations = nullptr;
    QPushButton* BtnEdit = nullptr;
    QPushButton* BtnAdd = nullptr;
    QPushButton* BtnDelete = nullptr;
    QLabel* LblCurrentDefault = nullptr;
    QComboBox* CbbDefaultLanguage = nullptr;
    QPushButton* BtnHelp = nullptr;
    QPushButton* BtnIniFile = nullptr;
    QLabel* LblTranslations = nullptr;
    QPushButton* BtnFullscreen = nullptr;
    TSynEditor* MemTranslation = nullptr;
    QWidget* PnlWorkbench = nullptr;
    QLabel* LblReference = nullptr;
    QComboBox* CbbReference = nullptr;
    QCheckBox* ChkSideBySide = nullptr;
    QLabel* LblProgress = nullptr;
    QLabel* LblProblems = nullptr;
    TSynEditor* MemReference = nullptr;
    QSplitter* PnlSplitter = nullptr;
    QSplitter* PnlProblemsSplitter = nullptr;
    TSynEditor* MemReferenceView = nullptr;
    QListView* LisProblems = nullptr;
    QWidget* PnlFind = nullptr;
    QLabel* LblFind = nullptr;
    QLineEdit* EdtFind = nullptr;
    QLabel* LblReplace = nullptr;
    QLineEdit* EdtReplace = nullptr;
    QCheckBox* ChkMatchCase = nullptr;
    QCheckBox* ChkWholeWord = nullptr;
    QCheckBox* ChkPhrasesOnly = nullptr;
    QPushButton* BtnFindNext = nullptr;
    QPushButton* BtnFindPrevious = nullptr;
    QPushButton* BtnReplace = nullptr;
    QPushButton* BtnReplaceAll = nullptr;
    QPushButton* BtnCloseFind = nullptr;
    QLabel* LblSave = nullptr;
    QPushButton* BtnSave = nullptr;
    QLabel* LblSend = nullptr;
    QPushButton* BtnSend = nullptr;

    QMenu* MenFile = nullptr;
    QAction* MenOpen = nullptr;
    QAction* MenWizard = nullptr;
    QAction* MenSave = nullptr;
    QAction* MenSend = nullptr;
    QAction* MenExit = nullptr;
    QMenu* MenTranslation = nullptr;
    QAction* MenEdit = nullptr;
    QAction* MenAdd = nullptr;
    QAction* MenDelete = nullptr;
    QAction* MenNextUntranslated = nullptr;
    QAction* MenPreviousUntranslated = nullptr;
    QAction* MenNextProblem = nullptr;
    QAction* MenPreviousProblem = nullptr;
    QAction* MenFind = nullptr;
    QAction* MenFindNext = nullptr;
    QAction* MenFindPrevious = nullptr;
    QAction* MenReplace = nullptr;
    QMenu* MenView = nullptr;
    QAction* MenFullscreen = nullptr;
    QAction* MenSideBySide = nullptr;
    QMenu* MenShowAs = nullptr;
    QActionGroup* FShowAsGroup = nullptr;
    QMenu* MenHelp = nullptr;
    QAction* MenUsage = nullptr;
    QAction* MenLicense = nullptr;
    QAction* MenReadMe = nullptr;
    QAction* MenCheckUpdate = nullptr;
    QAction* MenInfo = nullptr;
    QMenu* PopLanguages = nullptr;
    QAction* PopEdit = nullptr;
    QAction* PopRefresh = nullptr;
    QMenu* PopInput = nullptr;
    QAction* PopCut = nullptr;
    QAction* PopCopy = nullptr;
    QAction* PopPaste = nullptr;
    QAction* PopSelectAll = nullptr;
    QAction* PopUndo = nullptr;
    QAction* PopRedo = nullptr;
    QMenu* MenRecent = nullptr;
    QMenu* MenLanguage = nullptr;
    QStatusBar* StbStatus = nullptr;
};
