// The main window's menus as a desktop program has them: the items with the
// platform's keys and an access letter each in the interface language, the
// status line, and the recent catalogues kept in the data folder.
#include "app/FrmWordlark.h"

#include "editor/SynEditor.h"
#include "initfile/WorkbenchChoices.h"
#include "platform/FileIO.h"
#include "platform/Platform.h"
#include "texts/AccessKeys.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>

#include <tuple>
#include <utility>

namespace {
// The key for the wizard: no platform has a standard one, and Ctrl+W closes a
// document on both.
const QKeySequence WizardKey(Qt::CTRL | Qt::SHIFT | Qt::Key_W);
} // namespace

void TFrmWordlark::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MenMain");
    FAccessKeys = new TAccessKeys(bar, this);
    MenFile = bar->addMenu("File");
    MenFile->setObjectName("MenFile");
    MenOpen = MakeAction(MenFile, "MenOpen", "Open");
    MenRecent = MakeMenu(MenFile, "MenRecent", "Recent catalogues");
    for (std::size_t i = 0; i < TWorkbenchChoices::MaxRecentCatalogues; ++i) {
        QAction* item = MakeAction(MenRecent, "MenRecentItem", QString());
        // The list's number is its access letter.
        SetAccessLetter(item, QChar(u'1' + static_cast<char16_t>(i)));
        connect(item, &QAction::triggered, this, [this, item] {
            const QStringList recent = item->data().toStringList();
            Guarded([&] {
                MenRecentItemClick(PathFromQt(recent.value(0)), FromDisplay(recent.value(1)));
            });
        });
    }
    MenWizard = MakeAction(MenFile, "MenWizard", "Wizard");
    MenSave = MakeAction(MenFile, "MenSave", "Save");
    MenSend = MakeAction(MenFile, "MenSend", "Send");
    MenFile->addSeparator();
    MenExit = MakeAction(MenFile, "MenExit", "Exit");

    MenTranslation = bar->addMenu("Translation");
    MenTranslation->setObjectName("MenTranslation");
    MenEdit = MakeAction(MenTranslation, "MenEdit", "Edit");
    MenAdd = MakeAction(MenTranslation, "MenAdd", "Add new");
    MenDelete = MakeAction(MenTranslation, "MenDelete", "Delete");

    MenView = bar->addMenu("View");
    MenView->setObjectName("MenView");
    MenFullscreen = MakeAction(MenView, "MenFullscreen", "Fullscreen");
    MenLanguage = MakeMenu(MenView, "MenLanguage", "Interface language");

    MenHelp = bar->addMenu("?");
    MenHelp->setObjectName("MenHelp");
    MenUsage = MakeAction(MenHelp, "MenUsage", "Help");
    MenLicense = MakeAction(MenHelp, "MenLicense", "License");
    MenReadMe = MakeAction(MenHelp, "MenReadMe", "Changes");
    MenCheckUpdate = MakeAction(MenHelp, "MenCheckUpdate", "Check for update");
    MenHelp->addSeparator();
    MenInfo = MakeAction(MenHelp, "MenInfo", "Info");

    PopLanguages = new QMenu(this);
    PopLanguages->setObjectName("PopLanguages");
    PopEdit = MakeAction(PopLanguages, "PopEdit", "Edit");
    PopLanguages->addSeparator();
    PopRefresh = MakeAction(PopLanguages, "PopRefresh", "Refresh");

    PopInput = new QMenu(this);
    PopInput->setObjectName("PopInput");
    PopUndo = MakeAction(PopInput, "PopUndo", "Undo");
    PopRedo = MakeAction(PopInput, "PopRedo", "Redo");
    PopInput->addSeparator();
    PopCut = MakeAction(PopInput, "PopCut", "Cut");
    PopCopy = MakeAction(PopInput, "PopCopy", "Copy");
    PopPaste = MakeAction(PopInput, "PopPaste", "Paste");
    PopInput->addSeparator();
    PopSelectAll = MakeAction(PopInput, "PopSelectAll", "Select all");

    // The platform's keys, shown beside the items. The editor's own keys for
    // the clipboard are shown beside its pop-up items; undo and redo also work
    // by every key the platform has for them.
    const std::pair<QAction*, QKeySequence::StandardKey> keys[] = {
        {MenOpen, QKeySequence::Open},           {MenSave, QKeySequence::Save},
        {MenExit, QKeySequence::Quit},           {MenFullscreen, QKeySequence::FullScreen},
        {MenUsage, QKeySequence::HelpContents},  {PopUndo, QKeySequence::Undo},
        {PopRedo, QKeySequence::Redo},           {PopCut, QKeySequence::Cut},
        {PopCopy, QKeySequence::Copy},           {PopPaste, QKeySequence::Paste},
        {PopSelectAll, QKeySequence::SelectAll},
    };
    for (const auto& [item, key] : keys)
        item->setShortcuts(key);
    // Desktops without a full-screen key of their own take the common F11.
    if (MenFullscreen->shortcut().isEmpty())
        MenFullscreen->setShortcut(QKeySequence(Qt::Key_F11));
    MenWizard->setShortcut(WizardKey);
    for (QAction* item : {PopUndo, PopRedo}) {
        item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        MemTranslation->addAction(item);
    }

    // Access letters: each menu and item, in the interface language.
    const std::tuple<QAction*, const char*, const char*> letters[] = {
        {MenFile->menuAction(), "FrmWordlark.MenFile.AccessKey", "F"},
        {MenOpen, "FrmWordlark.MenOpen.AccessKey", "B"},
        {MenRecent->menuAction(), "FrmWordlark.MenRecent.AccessKey", "R"},
        {MenWizard, "FrmWordlark.MenWizard.AccessKey", "W"},
        {MenSave, "FrmWordlark.MenSave.AccessKey", "S"},
        {MenSend, "FrmWordlark.MenSend.AccessKey", "P"},
        {MenExit, "FrmWordlark.MenExit.AccessKey", "x"},
        {MenTranslation->menuAction(), "FrmWordlark.MenTranslation.AccessKey", "T"},
        {MenEdit, "FrmWordlark.MenEdit.AccessKey", "E"},
        {MenAdd, "FrmWordlark.MenAdd.AccessKey", "A"},
        {MenDelete, "FrmWordlark.MenDelete.AccessKey", "D"},
        {MenView->menuAction(), "FrmWordlark.MenView.AccessKey", "V"},
        {MenFullscreen, "FrmWordlark.MenFullscreen.AccessKey", "F"},
        {MenLanguage->menuAction(), "FrmWordlark.MenLanguage.AccessKey", "L"},
        {MenHelp->menuAction(), "FrmWordlark.MenHelp.AccessKey", "?"},
        {MenUsage, "FrmWordlark.MenUsage.AccessKey", "H"},
        {MenLicense, "FrmWordlark.MenLicense.AccessKey", "L"},
        {MenReadMe, "FrmWordlark.MenReadMe.AccessKey", "C"},
        {MenCheckUpdate, "FrmWordlark.MenCheckUpdate.AccessKey", "U"},
        {MenInfo, "FrmWordlark.MenInfo.AccessKey", "I"},
        {PopEdit, "FrmWordlark.PopEdit.AccessKey", "E"},
        {PopRefresh, "FrmWordlark.PopRefresh.AccessKey", "R"},
        {PopUndo, "FrmWordlark.PopUndo.AccessKey", "U"},
        {PopRedo, "FrmWordlark.PopRedo.AccessKey", "R"},
        {PopCut, "FrmWordlark.PopCut.AccessKey", "t"},
        {PopCopy, "FrmWordlark.PopCopy.AccessKey", "C"},
        {PopPaste, "FrmWordlark.PopPaste.AccessKey", "P"},
        {PopSelectAll, "FrmWordlark.PopSelectAll.AccessKey", "A"},
    };
    for (const auto& [item, key, letter] : letters)
        FAccessKeyItems.push_back({item, key, letter});
}

void TFrmWordlark::AddAccessKey(QAction* item, const std::string& key,
                                const QString& defaultLetter) {
    FAccessKeyItems.push_back({item, key, defaultLetter});
    ApplyAccessKeys();
}

void TFrmWordlark::ApplyAccessKeys() {
    std::erase_if(FAccessKeyItems, [](const TAccessKey& a) { return a.Item.isNull(); });
    for (const TAccessKey& a : FAccessKeyItems) {
        const QString letter = GetNationalText(a.Key, a.DefaultLetter);
        SetAccessLetter(a.Item, letter.isEmpty() ? QChar() : letter.front());
        for (QObject* holder : a.Item->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(holder))
                FAccessKeys->Watch(menu);
    }
    FAccessKeys->Update();
}

bool TFrmWordlark::event(QEvent* event) {
    // Hovering over a menu item without a tip of its own would clear the status
    // line; it shows a tip while there is one and otherwise keeps its text.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        StbStatus->showMessage(tip.isEmpty() ? FStatusText : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void TFrmWordlark::ShowStatus(const QString& text) {
    FStatusText = text;
    StbStatus->showMessage(text);
}

// ---- Recent catalogues ------------------------------------------------------

void TFrmWordlark::MenRecentItemClick(const std::string& path, const std::string& programName) {
    if (Modified && !AskDiscard())
        return;
    ProgramName = programName;
    if (OpenCatalogue(path))
        return;
    // A catalogue that is gone or lists nothing leaves the list.
    ProgramName.clear();
    UpdateChoices([&](TWorkbenchChoices& choices) { choices.RemoveRecentCatalogue(path); });
    FillRecentMenu();
}

void TFrmWordlark::RememberCatalogue(const std::string& path) {
    UpdateChoices(
        [&](TWorkbenchChoices& choices) { choices.AddRecentCatalogue(path, ProgramName); });
    FillRecentMenu();
}

// The items are made once and only relabelled, since one of them may be the
// command that is running.
void TFrmWordlark::FillRecentMenu() {
    const auto recent = FChoices.RecentCatalogues();
    const QList<QAction*> items = MenRecent->actions();
    for (qsizetype i = 0; i < items.size(); ++i) {
        QAction* item = items[i];
        const bool listed = i < static_cast<qsizetype>(recent.size());
        item->setVisible(listed);
        if (!listed)
            continue;
        const auto& [path, program] = recent[static_cast<std::size_t>(i)];
        QString caption = QString::number(i + 1) + " " + PathToQt(path);
        if (!program.empty())
            caption += " [" + ToDisplay(program) + "]";
        item->setText(caption);
        item->setData(QStringList{PathToQt(path), ToDisplay(program)});
    }
    MenRecent->setEnabled(!recent.empty());
}

std::string TFrmWordlark::OpenFolder() const {
    std::string folder = FChoices.OpenFolder();
    if (folder.empty() || !platform::DirectoryExists(folder)) {
        const auto recent = FChoices.RecentCatalogues();
        folder = recent.empty() ? std::string() : platform::ExtractFilePath(recent.front().Path);
    }
    return platform::DirectoryExists(folder) ? folder : std::string();
}
