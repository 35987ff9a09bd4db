// Answers the modal dialogs a command opens, in order, while the test waits in
// the command itself.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

// What a message box showed when it was answered.
struct SeenDialog {
    QString Title;
    QString Text;
    QStringList Buttons; // "objectName=caption"
};

class ModalAnswers {
public:
    using Answer = std::function<void(QWidget* dialog)>;

    ModalAnswers();
    ~ModalAnswers();

    // Clicks the dialog's button with this object name ("Yes", "OK", ...).
    ModalAnswers& Click(const QString& buttonName);
    // Runs any answer of the test's own (e.g. choosing a file).
    ModalAnswers& Then(Answer answer);

    const std::vector<SeenDialog>& Seen() const { return FSeen; }
    // Answers still waiting for a dialog.
    size_t Pending() const { return FAnswers.size() - FNext; }

private:
    void Poll();

    std::vector<Answer> FAnswers;
    size_t FNext = 0;
    std::vector<SeenDialog> FSeen;
    struct Timer;
    std::unique_ptr<Timer> FTimer;
};

// Clicks a dialog's named child button; false when there is none.
bool ClickNamedButton(QWidget* dialog, const QString& buttonName);
