// TFrmAddLanguage: asks for the name of a new language.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TFrmWordlark;

class TFrmAddLanguage : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAddLanguage(TFrmWordlark* main);

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
    TFrmWordlark* FMain;
};
