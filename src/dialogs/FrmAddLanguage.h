// TFrmAddLanguage: asks for the name of a new language.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TInterfaceTexts;

class TFrmAddLanguage : public QDialog {
    Q_OBJECT
public:
    TFrmAddLanguage(QWidget* parent, TInterfaceTexts& texts);

    QString LanguageName() const;
    void FormShow();
    void ApplyFont(const QFont& font);

    QWidget* PnlTop = nullptr;
    QLabel* LblLanguageName = nullptr;
    QLineEdit* EdtLanguageName = nullptr;
    QPushButton* BtnOK = nullptr;
    QPushButton* BtnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TInterfaceTexts& FTexts;
};
