// TFrmInfo: the about box. Name, version, what the program is for, the maker's
// web and mail addresses and the translators of the program's own interface;
// each address opens on a double click.
#pragma once

#include <QDialog>

#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TInterfaceTexts;

class TFrmInfo : public QDialog {
    Q_OBJECT
public:
    TFrmInfo(QWidget* parent, TInterfaceTexts& texts);

    void FormShow();
    void ApplyFont(const QFont& font);

    // What a double click on each address opens.
    void EdtWebDblClick();
    void EdtMailDblClick();
    void EdtGreekDblClick();
    void EdtFrenchDblClick();
    void EdtItalianDblClick();
    void EdtSwedishDblClick();
    void EdtSlovenianDblClick();
    void EdtRussianDblClick();

    QFrame* PnlAbout = nullptr;
    QLabel* ImgIcon = nullptr;
    QLabel* ImgLogo = nullptr;
    QLabel* LblApplicationName = nullptr;
    QLabel* LblVersion = nullptr;
    QLabel* LblComment = nullptr;
    QLineEdit* EdtWeb = nullptr;
    QLineEdit* EdtMail = nullptr;
    QLabel* LblCredits = nullptr;
    QLabel* LblGreek = nullptr;
    QLineEdit* EdtGreek = nullptr;
    QLabel* LblFrench = nullptr;
    QLineEdit* EdtFrench = nullptr;
    QLabel* LblItalian = nullptr;
    QLineEdit* EdtItalian = nullptr;
    QLabel* LblSwedish = nullptr;
    QLineEdit* EdtSwedish = nullptr;
    QLabel* LblSlovenian = nullptr;
    QLineEdit* EdtSlovenian = nullptr;
    QLabel* LblRussian = nullptr;
    QLineEdit* EdtRussian = nullptr;
    QPushButton* BtnOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* MakeLink(const char* name, const QString& text, int x, int y, int w);
    void CreditRow(const char* labelName, const char* language, const char* editName,
                   QLabel*& label, QLineEdit*& edit, int row);
    // Hands an address to the desktop; when nothing opens, a message says so
    // and gives the address.
    void Open(const std::string& address);

    TInterfaceTexts& FTexts;
};
