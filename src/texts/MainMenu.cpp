#include "texts/MainMenu.h"

#include "texts/AccessKeys.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <tuple>
#include <utility>

namespace {
// The key for the wizard: no platform has a standard one, and Ctrl+W closes a
// document on both.
const QKeySequence WizardKey(Qt::CTRL | Qt::SHIFT | Qt::Key_W);
} // namespace

void BuildMainMenu(QMainWindow& window, TMainMenuItems& m, TInterfaceTexts& texts) {
    QMenuBar* bar = window.menuBar();
    bar->setObjectName("MenMain");
    texts.SetMenuKeys(new TAccessKeys(bar, &window));
    m.MenFile = bar->addMenu("File");
    m.MenFile->setObjectName("MenFile");
    m.MenOpen = MakeAction(m.MenFile, "MenOpen", "Open");
    m.MenRecent = MakeMenu(m.MenFile, "MenRecent", "Recent catalogues");
    m.MenWizard = MakeAction(m.MenFile, "MenWizard", "Wizard");
    m.MenSave = MakeAction(m.MenFile, "MenSave", "Save");
    m.MenSaveAs = MakeAction(m.MenFile, "MenSaveAs", "Save translation as…");
    m.MenSend = MakeAction(m.MenFile, "MenSend", "Send");
    m.MenFile->addSeparator();
    m.MenExit = MakeAction(m.MenFile, "MenExit", "Exit");

    m.MenTranslation = bar->addMenu("Translation");
    m.MenTranslation->setObjectName("MenTranslation");
    m.MenEdit = MakeAction(m.MenTranslation, "MenEdit", "Edit");
    m.MenAdd = MakeAction(m.MenTranslation, "MenAdd", "Add new");
    m.MenDelete = MakeAction(m.MenTranslation, "MenDelete", "Delete");

    m.MenView = bar->addMenu("View");
    m.MenView->setObjectName("MenView");
    m.MenFullscreen = MakeAction(m.MenView, "MenFullscreen", "Fullscreen");
    m.MenLanguage = MakeMenu(m.MenView, "MenLanguage", "Interface language");

    m.MenHelp = bar->addMenu("?");
    m.MenHelp->setObjectName("MenHelp");
    m.MenUsage = MakeAction(m.MenHelp, "MenUsage", "Help");
    m.MenLicense = MakeAction(m.MenHelp, "MenLicense", "License");
    m.MenReadMe = MakeAction(m.MenHelp, "MenReadMe", "Changes");
    m.MenCheckUpdate = MakeAction(m.MenHelp, "MenCheckUpdate", "Check for update");
    m.MenHelp->addSeparator();
    m.MenInfo = MakeAction(m.MenHelp, "MenInfo", "Info");

    m.PopLanguages = new QMenu(&window);
    m.PopLanguages->setObjectName("PopLanguages");
    m.PopEdit = MakeAction(m.PopLanguages, "PopEdit", "Edit");
    m.PopLanguages->addSeparator();
    m.PopRefresh = MakeAction(m.PopLanguages, "PopRefresh", "Refresh");

    m.PopInput = new QMenu(&window);
    m.PopInput->setObjectName("PopInput");
    m.PopUndo = MakeAction(m.PopInput, "PopUndo", "Undo");
    m.PopRedo = MakeAction(m.PopInput, "PopRedo", "Redo");
    m.PopInput->addSeparator();
    m.PopCut = MakeAction(m.PopInput, "PopCut", "Cut");
    m.PopCopy = MakeAction(m.PopInput, "PopCopy", "Copy");
    m.PopPaste = MakeAction(m.PopInput, "PopPaste", "Paste");
    m.PopInput->addSeparator();
    m.PopSelectAll = MakeAction(m.PopInput, "PopSelectAll", "Select all");

    // The platform's keys, shown beside the items. The editor's own keys for
    // the clipboard are shown beside its pop-up items; undo and redo also work
    // by every key the platform has for them.
    const std::pair<QAction*, QKeySequence::StandardKey> keys[] = {
        {m.MenOpen, QKeySequence::Open},
        {m.MenSave, QKeySequence::Save},
        {m.MenSaveAs, QKeySequence::SaveAs},
        {m.MenExit, QKeySequence::Quit},
        {m.MenFullscreen, QKeySequence::FullScreen},
        {m.MenUsage, QKeySequence::HelpContents},
        {m.PopUndo, QKeySequence::Undo},
        {m.PopRedo, QKeySequence::Redo},
        {m.PopCut, QKeySequence::Cut},
        {m.PopCopy, QKeySequence::Copy},
        {m.PopPaste, QKeySequence::Paste},
        {m.PopSelectAll, QKeySequence::SelectAll},
    };
    for (const auto& [item, key] : keys)
        item->setShortcuts(key);
    // Desktops without a full-screen key of their own take the common F11.
    if (m.MenFullscreen->shortcut().isEmpty())
        m.MenFullscreen->setShortcut(QKeySequence(Qt::Key_F11));
    m.MenWizard->setShortcut(WizardKey);
    // Windows has no key of its own for "Save as"; the common one stands in.
    if (m.MenSaveAs->shortcut().isEmpty())
        m.MenSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));

    // Access letters: each menu and item, in the interface language.
    const std::tuple<QAction*, const char*, const char*> letters[] = {
        {m.MenFile->menuAction(), "FrmWordlark.MenFile.AccessKey", "F"},
        {m.MenOpen, "FrmWordlark.MenOpen.AccessKey", "B"},
        {m.MenRecent->menuAction(), "FrmWordlark.MenRecent.AccessKey", "R"},
        {m.MenWizard, "FrmWordlark.MenWizard.AccessKey", "W"},
        {m.MenSave, "FrmWordlark.MenSave.AccessKey", "S"},
        {m.MenSaveAs, "FrmWordlark.MenSaveAs.AccessKey", "a"},
        {m.MenSend, "FrmWordlark.MenSend.AccessKey", "P"},
        {m.MenExit, "FrmWordlark.MenExit.AccessKey", "x"},
        {m.MenTranslation->menuAction(), "FrmWordlark.MenTranslation.AccessKey", "T"},
        {m.MenEdit, "FrmWordlark.MenEdit.AccessKey", "E"},
        {m.MenAdd, "FrmWordlark.MenAdd.AccessKey", "A"},
        {m.MenDelete, "FrmWordlark.MenDelete.AccessKey", "D"},
        {m.MenView->menuAction(), "FrmWordlark.MenView.AccessKey", "V"},
        {m.MenFullscreen, "FrmWordlark.MenFullscreen.AccessKey", "F"},
        {m.MenLanguage->menuAction(), "FrmWordlark.MenLanguage.AccessKey", "L"},
        {m.MenHelp->menuAction(), "FrmWordlark.MenHelp.AccessKey", "?"},
        {m.MenUsage, "FrmWordlark.MenUsage.AccessKey", "H"},
        {m.MenLicense, "FrmWordlark.MenLicense.AccessKey", "L"},
        {m.MenReadMe, "FrmWordlark.MenReadMe.AccessKey", "C"},
        {m.MenCheckUpdate, "FrmWordlark.MenCheckUpdate.AccessKey", "U"},
        {m.MenInfo, "FrmWordlark.MenInfo.AccessKey", "I"},
        {m.PopEdit, "FrmWordlark.PopEdit.AccessKey", "E"},
        {m.PopRefresh, "FrmWordlark.PopRefresh.AccessKey", "R"},
        {m.PopUndo, "FrmWordlark.PopUndo.AccessKey", "U"},
        {m.PopRedo, "FrmWordlark.PopRedo.AccessKey", "R"},
        {m.PopCut, "FrmWordlark.PopCut.AccessKey", "t"},
        {m.PopCopy, "FrmWordlark.PopCopy.AccessKey", "C"},
        {m.PopPaste, "FrmWordlark.PopPaste.AccessKey", "P"},
        {m.PopSelectAll, "FrmWordlark.PopSelectAll.AccessKey", "A"},
    };
    for (const auto& [item, key, letter] : letters)
        texts.RegisterAccessKey(item, key, letter);
}
