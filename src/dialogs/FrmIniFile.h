// TFrmIniFile: shows the translated program's own settings file as plain text;
// the user may edit and save it, or delete it.
#pragma once

#include <QDialog>

#include <string>

class QPushButton;
class TInterfaceTexts;
class TSynEditor;

class TFrmIniFile : public QDialog {
    Q_OBJECT
public:
    // Settings files larger than this are not shown: a settings file is a few
    // kilobytes, and a huge one would only freeze the window.
    static constexpr long long MaxFileSize = 16LL * 1024 * 1024;

    TFrmIniFile(QWidget* parent, TInterfaceTexts& texts);

    // Shows the file at `path` with every line break as CR LF and makes the
    // path the window's title. Nothing changes when no file is there. Throws
    // std::runtime_error, changing nothing, when the file is too large or
    // cannot be read.
    void LoadFile(const std::string& path);
    const std::string& FilePath() const { return FFilePath; }

    void FormShow();
    void ApplyFont(const QFont& font);
    void BtnSaveClick();
    void BtnDeleteClick();

    TSynEditor* MemIniFile = nullptr;
    QPushButton* BtnSave = nullptr;
    QPushButton* BtnDelete = nullptr;
    QPushButton* BtnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TInterfaceTexts& FTexts;
    std::string FFilePath;
};
