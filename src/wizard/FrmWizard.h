// TFrmWizard: the three-page guide from the maker's installed programs to one
// translation, handed over to the main window on Finish.
#pragma once

#include <QDialog>

#include <string>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class TInterfaceTexts;
class TWorkspace;

class TFrmWizard : public QDialog {
    Q_OBJECT
public:
    // `pagesLater`: pages 2 and 3 are built by CompletePages(), so that the
    // first page is shown sooner at start-up; going on to page 2 builds them.
    TFrmWizard(QWidget* parent, TInterfaceTexts& texts, TWorkspace& workspace,
               bool pagesLater = false);
    void CompletePages();

    // Operations.
    void ScanInstalledPrograms();
    void FillSourceLanguages();
    void Nationalize();
    void ApplyFont(const QFont& font);

    // Handlers.
    void FormShow();
    void BtnNextClick();
    void BtnBackClick();
    void BtnFinishClick();
    void LisProgramsClick();
    void LisProgramsDblClick();
    void RadAddClick();
    void RadModifyClick();
    void CbbStepThreeNewLanguageChange();
    void LisSourceLanguagesClick();
    void LisSourceLanguagesDblClick();
    void PopRefreshClick();
    void PopRefreshLanguagesClick();
    void PopDeleteConfigurationClick();
    void LblStepTwoUpdateClick();

    // The choice made so far (bytes, as read from the files).
    std::string CatalogueFile;
    std::string ProgramName;
    std::string SettingsFile;
    std::string TranslationFile;
    QString StepThreeHeading;

    // Columns of LisPrograms: the caption and its four sub-items.
    enum TProgramColumn { ColName, ColVersion, ColPath, ColLanguageFile, ColSettings };
    // Column of a source row's file path in LisSourceLanguages.
    static constexpr int ColSourcePath = 1;

    // Controls, each under its name.
    QWidget* PnlImage = nullptr;
    QLabel* ImgWizard = nullptr;
    QWidget* PnlBottom = nullptr;
    QPushButton* BtnBack = nullptr;
    QPushButton* BtnNext = nullptr;
    QPushButton* BtnCancel = nullptr;
    QPushButton* BtnFinish = nullptr;

    QWidget* PnlStepOne = nullptr;
    QLabel* LblWelcome = nullptr;
    QLabel* LblIntroduction = nullptr;
    QLabel* LblHintNext = nullptr;

    QWidget* PnlStepTwo = nullptr;
    QLabel* LblStepTwoInfo = nullptr;
    QLabel* LblStepTwoText = nullptr;
    QLabel* LblStepTwoPrograms = nullptr;
    QLabel* LblStepTwoUpdate = nullptr;
    QTreeWidget* LisPrograms = nullptr;
    QMenu* PopPrograms = nullptr;
    QAction* PopRefresh = nullptr;
    QAction* PopDeleteConfiguration = nullptr;

    QWidget* PnlStepThree = nullptr;
    QLabel* LblStepThreeInfo = nullptr;
    QLabel* LblStepThreeHint = nullptr;
    QRadioButton* RadAdd = nullptr;
    QRadioButton* RadModify = nullptr;
    QLabel* LblStepThreeNewLanguage = nullptr;
    QComboBox* CbbStepThreeNewLanguage = nullptr;
    QLabel* LblStepThreeSourceLanguage = nullptr;
    QTreeWidget* LisSourceLanguages = nullptr;
    QMenu* PopLanguages = nullptr;
    QAction* PopRefreshLanguages = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The frame, the picture, the buttons and page 1.
    void BuildWindow();
    // What showing the wizard sets on pages 2 and 3 besides their texts and font.
    void PreparePages();
    // Shows page 1, 2 or 3 alone, with Back from page 2 on, Next before
    // page 3 and Finish on it.
    void ShowPage(int page);
    void ShowPageTwo();
    // The hand-over to the main window; false when the user kept the
    // unsaved edits of the main window.
    bool HandOver();
    void ClearRadioButtons();
    template <class Sender, class Signal>
    void Command(Sender* sender, Signal signal, void (TFrmWizard::*handler)());
    void Guard(void (TFrmWizard::*handler)());

    TInterfaceTexts& FTexts;
    TWorkspace& FWorkspace;
    // A mouse release that ends a double click is no click of its own.
    bool FSkipRelease = false;
    // Shown at least once (FormShow ran).
    bool FShown = false;
};
