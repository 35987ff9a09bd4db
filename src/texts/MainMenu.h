// The main window's menu bar and pop-up menus, each item under its object
// name, with the platform's keys and an access letter in the interface
// language. The main window holds the items (it derives from TMainMenuItems)
// and connects them to its commands.
#pragma once

class QAction;
class QMainWindow;
class QMenu;
class TInterfaceTexts;

struct TMainMenuItems {
    QMenu* MenFile = nullptr;
    QAction* MenOpen = nullptr;
    QMenu* MenRecent = nullptr;
    QAction* MenWizard = nullptr;
    QAction* MenSave = nullptr;
    QAction* MenSaveAs = nullptr;
    QAction* MenSend = nullptr;
    QAction* MenExit = nullptr;
    QMenu* MenTranslation = nullptr;
    QAction* MenEdit = nullptr;
    QAction* MenAdd = nullptr;
    QAction* MenDelete = nullptr;
    QMenu* MenView = nullptr;
    QAction* MenFullscreen = nullptr;
    QMenu* MenLanguage = nullptr;
    QMenu* MenHelp = nullptr;
    QAction* MenUsage = nullptr;
    QAction* MenLicense = nullptr;
    QAction* MenReadMe = nullptr;
    QAction* MenCheckUpdate = nullptr;
    QAction* MenInfo = nullptr;
    QMenu* PopLanguages = nullptr;
    QAction* PopEdit = nullptr;
    QAction* PopRefresh = nullptr;
    QMenu* PopInput = nullptr;
    QAction* PopCut = nullptr;
    QAction* PopCopy = nullptr;
    QAction* PopPaste = nullptr;
    QAction* PopSelectAll = nullptr;
    QAction* PopUndo = nullptr;
    QAction* PopRedo = nullptr;
};

// Builds the menus into `window`'s menu bar ("MenMain") and as its pop-up
// menus, and registers their access letters with `texts`, which from now on
// makes the letters work from the keyboard.
void BuildMainMenu(QMainWindow& window, TMainMenuItems& items, TInterfaceTexts& texts);
