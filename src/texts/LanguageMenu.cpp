#include "texts/LanguageMenu.h"

#include "texts/AccessKeys.h"
#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"

#include <QAction>
#include <QMenu>

namespace {
std::string LanguageOf(const QAction* item) {
    return item->data().toByteArray().toStdString();
}
} // namespace

TLanguageMenu::TLanguageMenu(QMenu* menu, TInterfaceTexts& texts)
    : QObject(menu), FMenu(menu), FTexts(texts) {
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TLanguageMenu::UpdateChecks);
}

// The languages are listed once, at the first show; choosing one only moves
// the check mark, since the item chosen is the command that is running.
void TLanguageMenu::Fill(const std::string& programFolder) {
    std::vector<TInterfaceTexts::TLanguage> languages;
    std::string defaultName;
    TInterfaceTexts::ReadLanguages(programFolder + "Languages.ini", languages, defaultName);
    FMenu->clear();
    QString taken;
    for (const TInterfaceTexts::TLanguage& language : languages) {
        const QString caption = ToDisplay(language.Name);
        QAction* item = FMenu->addAction(caption);
        item->setObjectName("MenLanguageItem");
        item->setCheckable(true);
        item->setData(QByteArray::fromStdString(language.Name));
        const QChar letter = FreeLetter(caption, taken);
        SetAccessLetter(item, letter);
        taken += letter;
        connect(item, &QAction::triggered, this,
                [this, name = language.Name] { emit Chosen(name); });
    }
    FMenu->setEnabled(!languages.empty());
    FTexts.WatchMenu(FMenu);
    UpdateChecks();
}

void TLanguageMenu::UpdateChecks() {
    for (QAction* item : FMenu->actions())
        item->setChecked(LanguageOf(item) == FTexts.LanguageName());
}
