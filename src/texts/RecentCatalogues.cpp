#include "texts/RecentCatalogues.h"

#include "initfile/WorkbenchChoices.h"
#include "platform/Platform.h"
#include "texts/AccessKeys.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"

#include <QAction>
#include <QMenu>

TRecentCatalogues::TRecentCatalogues(QMenu* menu, TChoicesStore& choices)
    : QObject(menu), FMenu(menu), FChoices(choices) {
    // The items are made once and only relabelled, since one of them may be
    // the command that is running.
    for (std::size_t i = 0; i < TWorkbenchChoices::MaxRecentCatalogues; ++i) {
        QAction* item = MakeAction(menu, "MenRecentItem", QString());
        // The list's number is its access letter.
        SetAccessLetter(item, QChar(u'1' + static_cast<char16_t>(i)));
        connect(item, &QAction::triggered, this, [this, item] {
            const QStringList recent = item->data().toStringList();
            emit Chosen(PathFromQt(recent.value(0)), FromDisplay(recent.value(1)));
        });
    }
}

void TRecentCatalogues::Remember(const std::string& path, const std::string& programName) {
    FChoices.Update(
        [&](TWorkbenchChoices& choices) { choices.AddRecentCatalogue(path, programName); });
    Refill();
}

void TRecentCatalogues::Forget(const std::string& path) {
    FChoices.Update([&](TWorkbenchChoices& choices) { choices.RemoveRecentCatalogue(path); });
    Refill();
}

void TRecentCatalogues::Refill() {
    const auto recent = FChoices.Get().RecentCatalogues();
    const QList<QAction*> items = FMenu->actions();
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
    FMenu->setEnabled(!recent.empty());
}

std::string TRecentCatalogues::OpenFolder() const {
    std::string folder = FChoices.Get().OpenFolder();
    if (folder.empty() || !platform::DirectoryExists(folder)) {
        const auto recent = FChoices.Get().RecentCatalogues();
        folder = recent.empty() ? std::string() : platform::ExtractFilePath(recent.front().Path);
    }
    return platform::DirectoryExists(folder) ? folder : std::string();
}

void TRecentCatalogues::SetOpenFolder(const std::string& folder) {
    FChoices.Update([&](TWorkbenchChoices& choices) { choices.SetOpenFolder(folder); });
}
