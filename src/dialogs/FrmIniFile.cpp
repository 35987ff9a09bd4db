#include "dialogs/FrmIniFile.h"

#include "texts/InterfaceTexts.h"

#include "editor/SynEditor.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "texts/FontMapping.h"
#include "texts/Guarded.h"
#include "texts/QtText.h"

#include <QPushButton>
#include <QShowEvent>

#include <stdexcept>

TFrmIniFile::TFrmIniFile(QWidget* parent, TInterfaceTexts& texts) : QDialog(parent), FTexts(texts) {
    setObjectName("FrmIniFile");
    setFixedSize(534, 380);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);

    MemIniFile = new TSynEditor(this);
    MemIniFile->setObjectName("MemIniFile");
    MemIniFile->SetPlain();
    MemIniFile->setGeometry(0, 0, 534, 337);
    MemIniFile->setWrapMode(QsciScintilla::WrapNone);
    MemIniFile->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemIniFile->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemIniFile->SetOpenState(true);

    BtnDelete = new QPushButton("Delete", this);
    BtnDelete->setObjectName("BtnDelete");
    BtnDelete->setGeometry(8, 347, 75, 25);
    BtnDelete->setAutoDefault(false);
    BtnSave = new QPushButton("Save", this);
    BtnSave->setObjectName("BtnSave");
    BtnSave->setGeometry(370, 347, 75, 25);
    BtnSave->setAutoDefault(false);
    BtnCancel = new QPushButton("Cancel", this);
    BtnCancel->setObjectName("BtnCancel");
    BtnCancel->setGeometry(451, 347, 75, 25);
    BtnCancel->setDefault(true);

    // A failed save or delete ends its command with the reason shown; the
    // dialog stays open with the text as it is.
    connect(BtnSave, &QPushButton::clicked, this, [this] { Guarded([this] { BtnSaveClick(); }); });
    connect(BtnDelete, &QPushButton::clicked, this,
            [this] { Guarded([this] { BtnDeleteClick(); }); });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Text the file's encoding cannot hold is refused where it is typed or
    // pasted, with the same message as in the translation editor.
    connect(MemIniFile, &TSynEditor::InputRefused, this, [this](char32_t character) {
        Guarded([&] { FTexts.ShowInputRefused(character, MemIniFile->Encoding(), this); });
    });
}

void TFrmIniFile::LoadFile(const std::string& path) {
    if (!platform::FileExists(path))
        return;
    if (platform::FileSize(path) > MaxFileSize)
        throw std::runtime_error(
            FromDisplay(FTexts.GetNationalText(
                "FrmIniFile.m_aMTooLarge",
                "This file is too large to be a settings file (more than 16 MB); it is not "
                "shown:")) +
            " " + path);
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        throw std::runtime_error("Cannot open file \"" + path + "\".");
    // Every lone CR and every lone LF becomes CR LF; nothing else changes.
    MemIniFile->LoadFromBytes(TSynEditor::ConvertLineBreaks(bytes, TSynEditor::TLineBreak::CrLf));
    FFilePath = path;
    setWindowTitle(PathToQt(path));
}

void TFrmIniFile::showEvent(QShowEvent* event) {
    // The window system's own show events (a restore after minimizing) are no
    // new showing of the dialog.
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmIniFile::FormShow() {
    BtnSave->setText(FTexts.GetNationalText("FrmIniFile.BtnSave", "Save"));
    BtnCancel->setText(FTexts.GetNationalText("FrmIniFile.BtnCancel", "Cancel"));
    BtnDelete->setText(FTexts.GetNationalText("FrmIniFile.BtnDelete", "Delete"));
    ApplyFont(FTexts.WindowFont());
    MemIniFile->setFocus();
}

void TFrmIniFile::ApplyFont(const QFont& font) {
    const int dpi = logicalDpiY();
    QFont own = this->font();
    own.setFamily(font.family());
    SetFontPitch(own, FontPitch(font));
    SetFontHeight(own, FontHeight(font, dpi));
    setFont(own);
    // The text stays in its fixed-pitch face, one point larger than the window.
    const int size = FontSize(own, dpi) + 1;
    MemIniFile->SetFontSizes(size, size - 1);
}

void TFrmIniFile::BtnSaveClick() {
    MemIniFile->SaveToFile(FFilePath);
    accept();
}

void TFrmIniFile::BtnDeleteClick() {
    const std::string failure = platform::RemoveFile(FFilePath);
    if (!failure.empty())
        throw std::runtime_error(
            FromDisplay(FTexts.GetNationalText("FrmIniFile.m_aMDeleteFailed",
                                               "The settings file could not be deleted.")) +
            " " + failure);
    accept();
}
