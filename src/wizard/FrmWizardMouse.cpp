// The wizard's mouse: clicks and double clicks on the rows of its two lists,
// and the link to the maker's site.
#include "wizard/FrmWizard.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTreeWidget>

bool TFrmWizard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool mouse = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                       type == QEvent::MouseButtonDblClick;
    if (!mouse || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return QDialog::eventFilter(watched, event);
    if (!PnlStepTwo) // the lists and the link are built with the pages
        return QDialog::eventFilter(watched, event);
    const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();

    if (watched == LblStepTwoUpdate) {
        if (type == QEvent::MouseButtonRelease && LblStepTwoUpdate->rect().contains(pos))
            Guard(&TFrmWizard::LblStepTwoUpdateClick);
        return QDialog::eventFilter(watched, event);
    }

    QTreeWidget* list = nullptr;
    void (TFrmWizard::*click)() = nullptr;
    void (TFrmWizard::*doubleClick)() = nullptr;
    if (watched == LisPrograms->viewport()) {
        list = LisPrograms;
        click = &TFrmWizard::LisProgramsClick;
        doubleClick = &TFrmWizard::LisProgramsDblClick;
    } else if (watched == LisSourceLanguages->viewport()) {
        list = LisSourceLanguages;
        click = &TFrmWizard::LisSourceLanguagesClick;
        doubleClick = &TFrmWizard::LisSourceLanguagesDblClick;
    } else {
        return QDialog::eventFilter(watched, event);
    }
    // A click beside the rows leaves none selected, as in a list of the system.
    if (type != QEvent::MouseButtonRelease && !list->indexAt(pos).isValid())
        list->clearSelection();
    if (type == QEvent::MouseButtonDblClick) {
        FSkipRelease = true;
        Guard(doubleClick);
    } else if (type == QEvent::MouseButtonRelease) {
        if (FSkipRelease)
            FSkipRelease = false;
        else
            Guard(click);
    }
    return QDialog::eventFilter(watched, event);
}
