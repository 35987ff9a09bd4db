// Menus and menu items made under their object names.
#pragma once

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QString>

inline QAction* MakeAction(QMenu* menu, const char* name, const QString& caption,
                           const QKeySequence& keys = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!keys.isEmpty())
        action->setShortcut(keys);
    return action;
}

inline QMenu* MakeMenu(QMenu* parent, const char* name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    return menu;
}
