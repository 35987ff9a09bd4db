// TStatusLine: the line at the bottom of the main window that says what the
// last command did. The text stays until the next command; a menu item's tip
// shows while the mouse is on the item, and then the text comes back. Its
// permanent area on the right holds what is always in view (the workbench's
// progress and problem count, the place of the user's own copy).
#pragma once

#include <QObject>
#include <QString>

class QMainWindow;
class QStatusBar;
class QWidget;

class TStatusLine : public QObject {
    Q_OBJECT
public:
    explicit TStatusLine(QMainWindow* window);

    QStatusBar* Bar() const { return FBar; }
    // Shows `text`; an empty text clears the line.
    void Show(const QString& text);
    const QString& Text() const { return FText; }
    // Puts `widget` into the permanent area, right of those put there before.
    void AddPermanent(QWidget* widget, int stretch = 0);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStatusBar* FBar;
    QString FText;
};
