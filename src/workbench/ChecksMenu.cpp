#include "workbench/ChecksMenu.h"

#include "initfile/WorkbenchChoices.h"
#include "texts/Guarded.h"
#include "texts/InterfaceTexts.h"
#include "texts/MenuItems.h"
#include "texts/QtText.h"
#include "workbench/TranslationChecker.h"

#include <QAction>
#include <QMenu>

namespace {
// The items' access letters in English.
constexpr const char* Letters[CheckCount] = {"P", "A", "T", "D", "w", "O", "M"};

std::string ItemName(TCheck check) {
    return "MenCheck" + std::string(CheckName(check));
}
} // namespace

TChecksMenu::TChecksMenu(TTranslationChecker& checker, QMenu* viewMenu, TInterfaceTexts& texts,
                         TChoicesStore& choices, QObject* parent)
    : QObject(parent), FChecker(checker), FTexts(texts), FChoices(choices) {
    MenChecks = MakeMenu(viewMenu, "MenChecks", "Checks");
    texts.RegisterAccessKey(MenChecks->menuAction(), "FrmWordlark.MenChecks.AccessKey", "C");
    for (std::size_t i = 0; i < CheckCount; ++i) {
        const auto check = static_cast<TCheck>(i);
        const std::string name = ItemName(check);
        QAction* item = MakeAction(MenChecks, name.c_str(), FromUtf8(CheckDefaultCaption(check)));
        item->setCheckable(true);
        FItems[i] = item;
        texts.RegisterAccessKey(item, "FrmWordlark." + name + ".AccessKey", Letters[i]);
        connect(item, &QAction::triggered, this, [this, check](bool on) {
            Guarded([&] {
                FChoices.Update(
                    [&](TWorkbenchChoices& c) { c.SetCheckOn(std::string(CheckName(check)), on); });
                Apply();
                emit ChecksChanged();
            });
        });
    }
    connect(MenChecks, &QMenu::aboutToShow, this, &TChecksMenu::Update);
    connect(&texts, &TInterfaceTexts::LanguageChanged, this, &TChecksMenu::ApplyTexts);
    ApplyTexts();
    Apply();
}

void TChecksMenu::Apply() {
    FChecker.SetChecks(Checks());
    Update();
}

TCheckSet TChecksMenu::Checks() const {
    TCheckSet checks = TCheckSet::None();
    for (std::size_t i = 0; i < CheckCount; ++i) {
        const auto check = static_cast<TCheck>(i);
        checks.Set(check, FChoices.Get().IsCheckOn(std::string(CheckName(check))));
    }
    return checks;
}

void TChecksMenu::Update() {
    const TCheckSet checks = Checks();
    for (std::size_t i = 0; i < CheckCount; ++i)
        FItems[i]->setChecked(checks.Has(static_cast<TCheck>(i)));
}

void TChecksMenu::ApplyTexts() {
    MenChecks->setTitle(FTexts.GetNationalText("FrmWordlark.MenChecks", "Checks"));
    for (std::size_t i = 0; i < CheckCount; ++i) {
        const auto check = static_cast<TCheck>(i);
        FItems[i]->setText(FTexts.GetNationalText("FrmWordlark." + ItemName(check),
                                                  FromUtf8(CheckDefaultCaption(check))));
    }
}
