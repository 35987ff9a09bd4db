// TStatusLine: the line at the bottom of the main window that says what the
// last command did. The text stays until the next command; a menu item's tip
// shows while the mouse is on the item, and then the text comes back.
#pragma once

#include <QObject>
#include <QString>

class QMainWindow;
class QStatusBar;

class TStatusLine : public QObject {
    Q_OBJECT
public:
    explicit TStatusLine(QMainWindow* window);

    QStatusBar* Bar() const { return FBar; }
    // Shows `text`; an empty text clears the line.
    void Show(const QString& text);
    const QString& Text() const { return FText; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStatusBar* FBar;
    QString FText;
};
