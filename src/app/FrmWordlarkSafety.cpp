// The main window's guards for the translator's work: changes other programs
// made on disk, the lock that keeps a translation to one window, and the
// recovery file that keeps unsaved edits through a crash. The guards are parts
// of their own (TFileSafety, TRecoveryKeeper); here they meet the window's state.
#include "app/FrmWordlark.h"
#include "app/TranslationItems.h"

#include "editor/SynEditor.h"
#include "platform/Platform.h"
#include "texts/FileSafety.h"
#include "texts/Guarded.h"
#include "texts/QtText.h"
#include "texts/RecoveryKeeper.h"
#include "workbench/Workbench.h"

#include <QComboBox>
#include <QTreeWidget>

void TFrmWordlark::BuildSafety(QWidget* editorArea) {
    FSafety = new TFileSafety(this, editorArea, *FTexts, [this] { return bool(Modified); });
    connect(FSafety, &TFileSafety::StatusMessage, this, &TFrmWordlark::ShowStatus);
    connect(FSafety, &TFileSafety::ReloadWanted, this, [this](bool translation, bool catalogue) {
        Guarded([&] { ReloadFromDisk(translation, catalogue); });
    });
    FRecovery = new TRecoveryKeeper(this, *FTexts, [this] {
        TRecoveredWork work;
        work.ProgramName = ProgramName;
        work.CataloguePath = CataloguePath();
        work.Entries = ListedTranslations();
        const int choice = CbbDefaultLanguage->currentIndex();
        if (choice >= 0)
            work.DefaultLanguage = CbbDefaultLanguage->itemData(choice).toByteArray().toStdString();
        if (QTreeWidgetItem* item = LisTranslations->currentItem(); item && item->isSelected())
            work.SelectedEntry = LisTranslations->indexOfTopLevelItem(item);
        if (MemTranslation->IsOpen()) {
            work.TranslationPath = TranslationPath;
            work.SettingsFilePath = SettingsFilePath;
            work.Text = MemTranslation->Bytes();
        }
        return work;
    });
}

void TFrmWordlark::ModifiedChanged() {
    UpdateCaption();
    if (!FRecovery)
        return;
    // Saved or discarded work needs no recovery file any more.
    if (Modified)
        FRecovery->Changed();
    else
        FRecovery->Clear();
}

bool TFrmWordlark::GuardSave() {
    bool changed[TFileSafety::WatchedCount] = {false, false};
    switch (FSafety->BeforeSave(changed)) {
    case TFileSafety::TSaveChoice::Write:
        return true;
    case TFileSafety::TSaveChoice::Reload:
        ReloadFromDisk(changed[TFileSafety::Translation], changed[TFileSafety::Catalogue]);
        ShowStatus(FSafety->ReloadedMessage(changed));
        return false;
    case TFileSafety::TSaveChoice::Cancel:
        break;
    }
    return false;
}

void TFrmWordlark::ReloadFromDisk(bool translation, bool catalogue) {
    const bool open = MemTranslation->IsOpen();
    const std::string translationPath = TranslationPath, settingsPath = SettingsFilePath;
    // The edits are given up, as the question or the bar said.
    Modified = false;
    if (catalogue) {
        const std::string path = CataloguePath();
        LoadCatalogue(path);
        SetCataloguePath(path);
        if (!open || !platform::FileExists(translationPath))
            return;
        for (int i = 0; i < LisTranslations->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = LisTranslations->topLevelItem(i);
            if (ItemBytes(item, PathColumn) == translationPath) {
                LisTranslations->setCurrentItem(item);
                item->setSelected(true);
            }
        }
        OpenTranslation(translationPath, settingsPath);
    } else if (translation && open && platform::FileExists(translationPath)) {
        OpenTranslation(translationPath, settingsPath);
    }
}

bool TFrmWordlark::OfferRecovery() {
    const std::optional<TRecoveredWork> work = FRecovery->Offer(this);
    if (!work)
        return false;
    // The lists as they were, the catalogue's own file remembered as it is now.
    ProgramName = work->ProgramName;
    LoadCatalogue(work->CataloguePath);
    SetCataloguePath(work->CataloguePath);
    LisTranslations->clear();
    for (const TCatalogueEntry& entry : work->Entries) {
        auto* item = new QTreeWidgetItem(LisTranslations);
        SetItemBytes(item, 0, entry.Name);
        SetItemBytes(item, PathColumn, entry.Path);
    }
    if (!work->DefaultLanguage.empty()) {
        const QByteArray name = QByteArray::fromStdString(work->DefaultLanguage);
        int index = CbbDefaultLanguage->findData(name);
        if (index < 0) {
            CbbDefaultLanguage->addItem(ToDisplay(work->DefaultLanguage), name);
            index = CbbDefaultLanguage->count() - 1;
        }
        CbbDefaultLanguage->setCurrentIndex(index);
    }
    if (work->SelectedEntry >= 0 && work->SelectedEntry < LisTranslations->topLevelItemCount()) {
        QTreeWidgetItem* item = LisTranslations->topLevelItem(work->SelectedEntry);
        LisTranslations->setCurrentItem(item);
        item->setSelected(true);
    }
    // The editor's bytes as they were, as unsaved edits of their translation.
    if (!work->TranslationPath.empty()) {
        TranslationPath = work->TranslationPath;
        SettingsFilePath = work->SettingsFilePath;
        MemTranslation->LoadFromBytes(work->Text, FChoices.Get().ShowAs(TranslationPath));
        FSafety->TranslationOpened(TranslationPath);
        OpenEditor();
        UpdateIniFileButton();
    }
    Modified = true;
    RememberCatalogue(work->CataloguePath);
    ShowStatus(FRecovery->RestoredMessage(work->TranslationPath.empty() ? work->CataloguePath
                                                                        : work->TranslationPath));
    return true;
}
