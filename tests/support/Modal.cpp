#include "support/Modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

struct ModalAnswers::Timer {
    QTimer timer;
};

ModalAnswers::ModalAnswers() : FTimer(std::make_unique<Timer>()) {
    FTimer->timer.setInterval(5);
    QObject::connect(&FTimer->timer, &QTimer::timeout, [this] { Poll(); });
    FTimer->timer.start();
}

ModalAnswers::~ModalAnswers() = default;

ModalAnswers& ModalAnswers::Click(const QString& buttonName) {
    return Then([buttonName](QWidget* dialog) { ClickNamedButton(dialog, buttonName); });
}

ModalAnswers& ModalAnswers::Then(Answer answer) {
    FAnswers.push_back(std::move(answer));
    return *this;
}

void ModalAnswers::Poll() {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog->property("answered").toBool() || FNext >= FAnswers.size() ||
        !dialog->isVisible())
        return;
    dialog->setProperty("answered", true);
    SeenDialog seen;
    seen.Title = dialog->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(dialog))
        seen.Text = box->text();
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (!b->objectName().isEmpty())
            seen.Buttons << b->objectName() + "=" + b->text();
    FSeen.push_back(seen);
    Answer answer = FAnswers[FNext++];
    // Answer from the event loop, not from inside the timer's own slot.
    QPointer<QWidget> guard(dialog);
    QTimer::singleShot(0, [guard, answer] {
        if (!guard)
            return;
        answer(guard);
        // Dialogs that live on (the file dialog) may be answered again later.
        if (guard && !guard->isVisible())
            guard->setProperty("answered", false);
    });
}

bool ClickNamedButton(QWidget* dialog, const QString& buttonName) {
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
        if (b->objectName() == buttonName) {
            b->click();
            return true;
        }
    }
    return false;
}
