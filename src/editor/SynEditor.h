// TSynEditor: the translation editor, a QScintilla control that holds a file's
// bytes exactly and keeps its line-break style.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <string>

class TSynEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit TSynEditor(QWidget* parent = nullptr);

    // Replaces the text with the file's bytes and clears the undo history.
    // Throws std::runtime_error when the file cannot be read.
    void LoadFromFile(const std::string& path);
    // Writes the text back with the line-break style found when loading.
    // Throws std::runtime_error when the file cannot be written.
    void SaveToFile(const std::string& path);
    // Empties the text and the undo history.
    void ClearAll();
    bool IsEmpty() const;
    // Open: enabled on the window colour. Empty: disabled and grey.
    void SetOpenState(bool open);
    // Font sizes in points of the text and of the line-number gutter.
    void SetFontSizes(int textPoints, int gutterPoints);
    // The document's bytes as they stand.
    std::string Bytes() const;

signals:
    // Raised for every change that enters the undo history, not for loading.
    void UserChange();
};
