// The editor's input: keys, input methods, pasting, dropping and the mouse,
// each refusing text the file's encoding cannot hold.
#include "editor/SynEditor.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

bool TSynEditor::event(QEvent* e) {
    // Ctrl+F1 is the editor's help key; F1 is left to the window's help.
    if (e->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_F1 && mods == Qt::ControlModifier) {
            e->accept();
            return true;
        }
    }
    return TScintillaControl::event(e);
}

std::optional<char32_t> TSynEditor::Unencodable(const QString& text) const {
    if (text.isEmpty())
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    return FirstUnencodable(std::string_view(utf8.constData(), utf8.size()), FEncoding);
}

std::optional<char32_t> TSynEditor::Unencodable(const QMimeData* source) const {
    if (!source || !canInsertFromMimeData(source))
        return std::nullopt;
    // The text exactly as it would go in.
    bool rectangular = false;
    const QByteArray utf8 = QsciScintilla::fromMimeData(source, rectangular);
    return FirstUnencodable(std::string_view(utf8.constData(), utf8.size()), FEncoding);
}

bool TSynEditor::IsPasteKey(const QKeyEvent* e) const {
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                         Qt::AltModifier | Qt::MetaModifier);
    const QsciCommand* command = standardCommands()->boundTo(e->key() | mods.toInt());
    return command && command->command() == QsciCommand::Paste;
}

void TSynEditor::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1 && (e->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
        emit ContextHelp();
        e->accept();
        return;
    }
    // Pasting by key takes the same road as the paste command.
    if (IsPasteKey(e)) {
        paste();
        e->accept();
        return;
    }
    if (const auto refused = Unencodable(e->text())) {
        e->accept();
        emit InputRefused(*refused, e->text());
        return;
    }
    // QScintilla drops a typed character beyond the 16-bit range (its text is
    // a surrogate pair); it goes in as a composed text would.
    if (e->text().size() == 2 && e->text().front().isHighSurrogate()) {
        QInputMethodEvent commit;
        commit.setCommitString(e->text());
        QsciScintilla::inputMethodEvent(&commit);
        e->accept();
        return;
    }
    QsciScintilla::keyPressEvent(e);
}

void TSynEditor::inputMethodEvent(QInputMethodEvent* e) {
    if (const auto refused = Unencodable(e->commitString())) {
        // The composition ends without putting anything in.
        std::unique_ptr<QInputMethodEvent> copy(e->clone());
        copy->setCommitString(QString());
        QsciScintilla::inputMethodEvent(copy.get());
        emit InputRefused(*refused, e->commitString());
        return;
    }
    QsciScintilla::inputMethodEvent(e);
}

bool TSynEditor::AcceptsInput(const QString& text) {
    const auto refused = Unencodable(text);
    if (refused)
        emit InputRefused(*refused, text);
    return !refused;
}

void TSynEditor::paste() {
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    if (const auto refused = Unencodable(clipboard)) {
        emit InputRefused(*refused, clipboard->text());
        return;
    }
    TScintillaControl::paste();
}

// The middle button pastes the selection where the system has one.
void TSynEditor::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton && QApplication::clipboard()->supportsSelection()) {
        if (const auto refused =
                Unencodable(QApplication::clipboard()->mimeData(QClipboard::Selection))) {
            e->accept();
            emit InputRefused(*refused, QString());
            return;
        }
    }
    QsciScintilla::mousePressEvent(e);
}

void TSynEditor::dropEvent(QDropEvent* e) {
    const auto refused = Unencodable(e->mimeData());
    if (!refused) {
        QsciScintilla::dropEvent(e);
        return;
    }
    e->ignore();
    QDragLeaveEvent leave; // takes the drop caret away
    QsciScintilla::dragLeaveEvent(&leave);
    // Reported once the drop is over, not while the drag's source waits for it.
    QMetaObject::invokeMethod(
        this, [this, character = *refused] { emit InputRefused(character, QString()); },
        Qt::QueuedConnection);
}

// Pasted and dropped text comes through here, checked already; text from
// anywhere else that the encoding cannot hold is still never stored.
QByteArray TSynEditor::fromMimeData(const QMimeData* source, bool& rectangular) const {
    QByteArray text = QsciScintilla::fromMimeData(source, rectangular);
    if (FirstUnencodable(std::string_view(text.constData(), text.size()), FEncoding))
        return QByteArray();
    return text;
}
