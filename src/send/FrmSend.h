// TFrmSend: the last step of a translation. It lists the translation file and
// the catalogue that the user's work produced and hands them to the maker:
// as an e-mail prepared in the user's own mail client, or as copies in a
// folder of the user's choice.
#pragma once

#include "send/Email.h"
#include "texts/DesktopHandOff.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class TInterfaceTexts;
class TWorkspace;

// Where translations are sent: shown in the dialog and used as the recipient.
inline const char* const SubmissionAddress = "translations@brightmoor.example";

class TFrmSend : public QDialog {
    Q_OBJECT
public:
    TFrmSend(QWidget* parent, TInterfaceTexts& texts, TWorkspace& workspace);
    ~TFrmSend() override;

    void FormShow();
    void Nationalize();
    void ApplyFont(const QFont& font);

    void BtnGenerateClick();
    void BtnSendManuallyClick();
    void LblFileOneClick();
    void LblFileTwoClick();
    void BtnOpenClick();

    // The folder browser of "I send them manually", made when first needed.
    QFileDialog* OpdSelectTargetPath();

    // The files offered, in order: the translation (unless the editor holds
    // none, as after a Delete) and the catalogue.
    std::vector<std::string> Files() const;

    // Texts in the interface language.
    QString m_aSelectTargetPath;
    QString m_aMMailFailed;
    QString m_aMCopyFailed;
    // What the main window's status line says after copying and after mailing.
    QString m_aStatusCopied;
    QString m_aStatusMailed;
    // ... while the mail program is still preparing the message, and when it
    // failed after that.
    QString m_aStatusMailPending;
    QString m_aStatusMailFailed;

    QLabel* ImgWizard = nullptr;
    QWidget* PnlMain = nullptr;
    QLabel* LblStepFourInfo = nullptr;
    QLabel* LblInfo = nullptr;
    QLabel* LblFiles = nullptr;
    QLabel* LblFileOne = nullptr;
    QLabel* LblFileTwo = nullptr;
    QPushButton* BtnOpen = nullptr;
    QLabel* LblRecipient = nullptr;
    QLineEdit* EdtRecipient = nullptr;
    QLabel* LblChoose = nullptr;
    QWidget* PnlBottom = nullptr;
    QPushButton* BtnSendManually = nullptr;
    QPushButton* BtnGenerate = nullptr;

    // The mail component.
    std::unique_ptr<TEmail> EmlMail;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    void OpenFileOf(const std::string& path);
    // Why the e-mail could not be made: the mail tool's reason where the
    // platform tells one, else the mail system's code.
    QString MailFailedMessage(smapi::ULONG code,
                              const std::optional<platform::THandOff>& handOff) const;
    // A message the mail tool still held when the dialog closed has been
    // handed over, or not: the status line and, for a failure, a message say so.
    void MailEndedLate(const platform::THandOff& end, const QString& names, const QString& pending);

    TInterfaceTexts& FTexts;
    TWorkspace& FWorkspace;
    std::string FFileOne; // the translation, or empty
    std::string FFileTwo; // the catalogue
    QFileDialog* FOpdSelectTargetPath = nullptr;
    std::vector<smapi::ULONG> FMailErrors; // reported while the e-mail is made
};
