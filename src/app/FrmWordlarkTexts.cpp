// The main window's interface texts and its localized message dialogs, given
// by the interface texts it owns, and its registration in the common maker
// folder.
#include "app/FrmWordlark.h"

#include "platform/Platform.h"
#include "texts/Maker.h"
#include "texts/Registration.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include <functional>

void TFrmWordlark::RegisterInstallation() {
    platform::Platform& os = platform::Get();
    WriteRegistration(MakerFolders(os.CommonAppDataRoots()), MakerFolders(os.RegistrationRoots()),
                      FProgramFolder, CurrentInstallDate());
}

QString TFrmWordlark::GetNationalText(const std::string& key, const QString& defaultText) {
    return FTexts->GetNationalText(key, defaultText);
}

void TFrmWordlark::SelectProgramLanguage(const std::string& languageName) {
    FTexts->Select(FProgramFolder, languageName);
}

// Loading a language has every part of the windows take its texts again, the
// main window first (ApplyMainTexts).
void TFrmWordlark::Nationalize(const std::string& languageFile, const std::string& languageName) {
    FTexts->Load(languageFile, languageName);
}

QMessageBox::StandardButton TFrmWordlark::DoMsgBox(const QString& text, QMessageBox::Icon type,
                                                   QMessageBox::StandardButtons buttons,
                                                   QWidget* owner) {
    return FTexts->DoMsgBox(text, type, buttons, owner ? owner : this);
}

void TFrmWordlark::NationalizeMsgBox(QMessageBox& dialog, QMessageBox::Icon type) {
    FTexts->NationalizeMsgBox(dialog, type);
}

void TFrmWordlark::ShowInputRefused(char32_t character, TTextEncoding encoding) {
    FTexts->ShowInputRefused(character, encoding, this);
}

namespace {
QString DefaultLblInfo() {
    return QString("This is a program which should make the translation of an 'Brightmoor' (") +
           MakerHost +
           ") program easier. And it is the only thing you can do with this program! Condition is "
           "also, that you already installed the program you want to translate!";
}

QString DefaultLblSend() {
    return QString("5. Optional (send the translation to ") + MakerDomain + ")";
}

} // namespace

void TFrmWordlark::ApplyMainTexts() {
    struct Caption {
        const char* key;
        QString text;
        std::function<void(const QString&)> apply;
    };
    auto label = [](QLabel* l) { return [l](const QString& t) { l->setText(t); }; };
    auto button = [](QPushButton* b) { return [b](const QString& t) { b->setText(t); }; };
    auto action = [](QAction* a) { return [a](const QString& t) { a->setText(t); }; };
    auto menu = [](QMenu* m) { return [m](const QString& t) { m->setTitle(t); }; };
    auto member = [](QString& s) { return [&s](const QString& t) { s = t; }; };
    const Caption controls[] = {
        {"FrmWordlark.LblInfo", DefaultLblInfo(), label(LblInfo)},
        {"FrmWordlark.LblSelectInitFile",
         "1. Select an INI file (this located in the installation directory, e.g. "
         "C:\\Programme\\Brightmoor\\Snapglass, mostly named Languages.ini)",
         label(LblSelectInitFile)},
        {"FrmWordlark.LblAvailableTranslations",
         "2. Available translations (modify an existing translation or add a new one)",
         label(LblAvailableTranslations)},
        {"FrmWordlark.BtnSelectInitFile", "Browse", button(BtnSelectInitFile)},
        {"FrmWordlark.BtnEdit", "Edit", button(BtnEdit)},
        {"FrmWordlark.BtnAdd", "Add new", button(BtnAdd)},
        {"FrmWordlark.LblCurrentDefault", "Current default language", label(LblCurrentDefault)},
        {"FrmWordlark.LblTranslations",
         "3. Modify the translations (Modify only the yellow marked phrases, leave the "
         "\"-characters, leave TAB-spaces and %s placeholders)",
         label(LblTranslations)},
        {"FrmWordlark.LblSave", "4. Save your settings", label(LblSave)},
        {"FrmWordlark.BtnSave", "Save translation", button(BtnSave)},
        {"FrmWordlark.LblSend", DefaultLblSend(), label(LblSend)},
        {"FrmWordlark.BtnSend", "Prepare to send", button(BtnSend)},
        {"FrmWordlark.BtnHelp", "Help", button(BtnHelp)},
        {"FrmWordlark.BtnDelete", "Delete", button(BtnDelete)},
        {"FrmWordlark.BtnWizard", "Wizard", button(BtnWizard)},
        {"FrmWordlark.PopRefresh", "Refresh", action(PopRefresh)},
        {"FrmWordlark.BtnFullscreen", "Fullscreen",
         [this](const QString& t) { BtnFullscreen->setToolTip(t); }},
        {"FrmWordlark.PopCut", "Cut", action(PopCut)},
        {"FrmWordlark.PopCopy", "Copy", action(PopCopy)},
        {"FrmWordlark.PopPaste", "Paste", action(PopPaste)},
        {"FrmWordlark.PopSelectAll", "SelectAll", action(PopSelectAll)},
        {"FrmWordlark.MenFile", "File", menu(MenFile)},
        {"FrmWordlark.MenExit", "Exit", action(MenExit)},
        {"FrmWordlark.MenTranslation", "Translation", menu(MenTranslation)},
        {"FrmWordlark.MenView", "View", menu(MenView)},
        {"FrmWordlark.MenLicense", "License", action(MenLicense)},
        {"FrmWordlark.MenReadMe", "Changes", action(MenReadMe)},
        {"FrmWordlark.MenCheckUpdate", "Check for update", action(MenCheckUpdate)},
        {"FrmWordlark.MenInfo", "Info", action(MenInfo)},
        {"FrmWordlark.PopUndo", "Undo", action(PopUndo)},
        {"FrmWordlark.PopRedo", "Redo", action(PopRedo)},
        {"FrmWordlark.MenRecent", "Recent catalogues", menu(MenRecent)},
        {"FrmWordlark.MenSaveAs", "Save translation as…", action(MenSaveAs)},
        {"FrmWordlark.MenLanguage", "Interface language", menu(MenLanguage)},
    };
    const Caption messages[] = {
        {"FrmWordlark.m_aMDiscard", "You made changes! Sure to discard them?", member(m_aMDiscard)},
        {"FrmWordlark.m_aMFailed", "Saving failed!", member(m_aMFailed)},
        {"FrmWordlark.m_aMNoTransFile", " seems to be no vaild translation file. Choose another!",
         member(m_aMNoTransFile)},
        {"FrmWordlark.m_aMSelectTrans", "Please select a translation", member(m_aMSelectTrans)},
        {"FrmWordlark.m_aMSelectTransSource",
         "Please select an existing translation as master for translation!",
         member(m_aMSelectTransSource)},
        {"FrmWordlark.m_aMNoDeleteGerman", "Deleting the german translation is not allowed!",
         member(m_aMNoDeleteGerman)},
        {"FrmWordlark.m_aMSureToDelete", "Sure to delete?", member(m_aMSureToDelete)},
        {"FrmWordlark.m_aMFileDoesNotExist",
         "The file you are trying to load does not exist. It might be a new translation that is "
         "not saved yet. Do you want to remove this translation entry from list:",
         member(m_aMFileDoesNotExist)},
        {"FrmWordlark.m_aMInvalidLanguageName",
         " cannot be used as a language name, because it names the translation file. Choose "
         "another!",
         member(m_aMInvalidLanguageName)},
        {"FrmWordlark.m_aMLanguageListed", " is listed already. Choose another name!",
         member(m_aMLanguageListed)},
        {"FrmWordlark.m_aMSavedWithProblems", "%1; problems left: %2",
         member(m_aMSavedWithProblems)},
        {"FrmWordlark.m_aStatusOpened", "Opened %1", member(m_aStatusOpened)},
        {"FrmWordlark.m_aStatusSaved", "Saved %1 and %2 in %3", member(m_aStatusSaved)},
        {"FrmWordlark.m_aStatusSavedCatalogue", "Saved %1 in %2", member(m_aStatusSavedCatalogue)},
        {"FrmWordlark.m_aStatusAdded", "Added %1 as a copy of %2 (not saved yet)",
         member(m_aStatusAdded)},
        {"FrmWordlark.m_aStatusRemoved", "Removed %1 from the list (not saved yet)",
         member(m_aStatusRemoved)},
        {"FrmWordlark.m_aStatusHandedOver", "The wizard handed over %1 of %2",
         member(m_aStatusHandedOver)},
        {"FrmWordlark.m_aStatusSavedAs", "Saved the translation as %1 (the catalogue is unchanged)",
         member(m_aStatusSavedAs)},
    };
    for (const Caption& c : controls)
        c.apply(GetNationalText(c.key, c.text));
    for (const Caption& c : messages)
        c.apply(GetNationalText(c.key, c.text));

    // Items without a key of their own take the caption of the control that
    // carries the same command.
    MenOpen->setText(BtnSelectInitFile->text());
    MenWizard->setText(BtnWizard->text());
    MenSave->setText(BtnSave->text());
    MenSend->setText(BtnSend->text());
    MenEdit->setText(BtnEdit->text());
    MenAdd->setText(BtnAdd->text());
    MenDelete->setText(BtnDelete->text());
    MenFullscreen->setText(BtnFullscreen->toolTip());
    MenUsage->setText(BtnHelp->text());
    PopEdit->setText(BtnEdit->text());
}
