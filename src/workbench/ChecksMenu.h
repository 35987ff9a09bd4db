// "View › Checks": the checks a translator may switch off, one checkable item
// each. What is switched on or off is kept in the choices file, for every
// translation alike.
#pragma once

#include "workbench/Checks.h"

#include <QObject>

class QAction;
class QMenu;
class TChoicesStore;
class TInterfaceTexts;
class TTranslationChecker;

class TChecksMenu : public QObject {
    Q_OBJECT
public:
    // Adds the submenu to `viewMenu`; `checker` checks what is switched on.
    TChecksMenu(TTranslationChecker& checker, QMenu* viewMenu, TInterfaceTexts& texts,
                TChoicesStore& choices, QObject* parent);

    // The checks switched on, as the choices file keeps them.
    TCheckSet Checks() const;
    // Switches the checker's checks on and off as the choices file says
    // (another window may have changed them).
    void Apply();
    void ApplyTexts();

    QMenu* MenChecks = nullptr;

signals:
    // A check was switched on or off: everything is to be checked again.
    void ChecksChanged();

private:
    // The items' marks from the choices (another window may have changed them).
    void Update();

    TTranslationChecker& FChecker;
    TInterfaceTexts& FTexts;
    TChoicesStore& FChoices;
    QAction* FItems[CheckCount] = {};
};
