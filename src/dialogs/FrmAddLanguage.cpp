#include "dialogs/FrmAddLanguage.h"

#include "texts/InterfaceTexts.h"

#include "texts/FontMapping.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

TFrmAddLanguage::TFrmAddLanguage(QWidget* parent, TInterfaceTexts& texts)
    : QDialog(parent), FTexts(texts) {
    setObjectName("FrmAddLanguage");
    setWindowTitle("Add new language");
    setFixedSize(281, 114);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    PnlTop = new QWidget(this);
    PnlTop->setObjectName("PnlTop");
    PnlTop->setGeometry(0, 0, 281, 74);
    PnlTop->setAutoFillBackground(true);
    QPalette white = PnlTop->palette();
    white.setColor(QPalette::Window, Qt::white);
    PnlTop->setPalette(white);

    LblLanguageName = new QLabel("Language name:", PnlTop);
    LblLanguageName->setObjectName("LblLanguageName");
    LblLanguageName->setGeometry(8, 10, 265, 18);
    EdtLanguageName = new QLineEdit(PnlTop);
    EdtLanguageName->setObjectName("EdtLanguageName");
    EdtLanguageName->setGeometry(8, 34, 265, 24);

    BtnOK = new QPushButton("OK", this);
    BtnOK->setObjectName("BtnOK");
    BtnOK->setGeometry(112, 82, 75, 25);
    BtnOK->setDefault(true);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setGeometry(196, 82, 75, 25);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFrmAddLanguage::LanguageName() const {
    return EdtLanguageName->text();
}

void TFrmAddLanguage::showEvent(QShowEvent* event) {
    // The window system's own show events (a restore after minimizing) are no
    // new showing of the dialog.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmAddLanguage::FormShow() {
    EdtLanguageName->clear();
    setWindowTitle(FTexts.GetNationalText("FrmAddLang.Caption", "Add new language"));
    LblLanguageName->setText(
        FTexts.GetNationalText("FrmAddLang.LblLanguageName", "Language name:"));
    BtnOK->setText(FTexts.GetNationalText("FrmAddLang.BtnOK", "OK"));
    BtnCancel->setText(FTexts.GetNationalText("FrmAddLang.BtnCancel", "Cancel"));
    ApplyFont(FTexts.WindowFont());
    EdtLanguageName->setFocus();
}

void TFrmAddLanguage::ApplyFont(const QFont& font) {
    FollowMainFont(*this, font);
}
