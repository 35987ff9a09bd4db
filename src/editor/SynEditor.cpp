#include "editor/SynEditor.h"

#include "platform/FileIO.h"

#include <stdexcept>

TSynEditor::TSynEditor(QWidget* parent) : QsciScintilla(parent) {
    connect(this, &QsciScintilla::textChanged, this, [this] {
        if (!signalsBlocked())
            emit UserChange();
    });
}

void TSynEditor::LoadFromFile(const std::string& path) {
    std::string bytes;
    if (!platform::ReadFileBytes(path, bytes))
        throw std::runtime_error("Cannot open file \"" + path + "\".");
    const bool blocked = blockSignals(true);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_APPENDTEXT, bytes.size(), bytes.data());
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    SendScintilla(SCI_SETSAVEPOINT);
    blockSignals(blocked);
}

void TSynEditor::SaveToFile(const std::string& path) {
    std::string error = platform::ReplaceFileBytes(path, Bytes());
    if (!error.empty())
        throw std::runtime_error(error);
}

void TSynEditor::ClearAll() {
    const bool blocked = blockSignals(true);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    blockSignals(blocked);
}

void TSynEditor::SetOpenState(bool open) {
    setEnabled(open);
    const QColor paper =
        open ? palette().color(QPalette::Active, QPalette::Base) : QColor(212, 208, 200);
    setPaper(paper);
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, paper);
}

void TSynEditor::SetFontSizes(int textPoints, int gutterPoints) {
    SendScintilla(SCI_STYLESETSIZE, STYLE_DEFAULT, textPoints);
    SendScintilla(SCI_STYLESETSIZE, STYLE_LINENUMBER, gutterPoints);
}

bool TSynEditor::IsEmpty() const {
    return SendScintilla(SCI_GETLENGTH) == 0;
}

std::string TSynEditor::Bytes() const {
    long length = SendScintilla(SCI_GETLENGTH);
    std::string bytes(static_cast<size_t>(length) + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), bytes.data());
    bytes.resize(static_cast<size_t>(length));
    return bytes;
}
