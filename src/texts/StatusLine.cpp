#include "texts/StatusLine.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QStatusTipEvent>

TStatusLine::TStatusLine(QMainWindow* window) : QObject(window), FBar(window->statusBar()) {
    FBar->setObjectName("StbStatus");
    window->installEventFilter(this);
}

void TStatusLine::Show(const QString& text) {
    FText = text;
    FBar->showMessage(text);
}

void TStatusLine::AddPermanent(QWidget* widget, int stretch) {
    FBar->addPermanentWidget(widget, stretch);
}

bool TStatusLine::eventFilter(QObject* watched, QEvent* event) {
    // Hovering over a menu item without a tip of its own would clear the
    // line; it shows a tip while there is one and otherwise keeps its text.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        FBar->showMessage(tip.isEmpty() ? FText : tip);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
