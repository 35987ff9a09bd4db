// The main window's smaller commands: help in the interface language, licence,
// change log, update page, about box, settings-file viewer, the recent
// catalogues, the interface language and the status line.
#include "app/FrmWordlark.h"

#include "dialogs/FrmInfo.h"
#include "dialogs/FrmIniFile.h"
#include "platform/Platform.h"
#include "texts/DesktopHandOff.h"
#include "texts/HelpFile.h"
#include "texts/QtText.h"
#include "texts/RecentCatalogues.h"
#include "texts/StatusLine.h"
#include "workbench/Workbench.h"

// A document or page the desktop cannot open is told, with where it is, so
// that the user can open it by hand.
void TFrmWordlark::BtnHelpClick() {
    OpenOnDesktop(TDesktopTarget::Document, HelpFilePath(FProgramFolder, CurrentLanguageFile()),
                  Texts(), this);
}

void TFrmWordlark::MenLicenseClick() {
    OpenOnDesktop(TDesktopTarget::Document, FLicensePath, Texts(), this);
}

void TFrmWordlark::MenReadMeClick() {
    OpenOnDesktop(TDesktopTarget::Document, FChangesPath, Texts(), this);
}

void TFrmWordlark::MenCheckUpdateClick() {
    OpenOnDesktop(TDesktopTarget::Address, UpdateAddress(), Texts(), this);
}

void TFrmWordlark::MenInfoClick() {
    if (FFrmInfo)
        FFrmInfo->exec();
}

void TFrmWordlark::BtnIniFileClick() {
    if (!FFrmIniFile || !platform::FileExists(SettingsFilePath))
        return;
    FFrmIniFile->LoadFile(SettingsFilePath);
    FFrmIniFile->exec();
    // The viewer may have deleted the file.
    UpdateIniFileButton();
}

void TFrmWordlark::MenLanguageItemClick(const std::string& languageName) {
    SelectProgramLanguage(languageName);
    // Chosen by the user, the language is kept in the preferences from now on.
    FLanguageStored = true;
    // Written at once, so that a crash does not lose the choice.
    SaveSettings(FDataFolder + "Wordlark.ini");
}

void TFrmWordlark::MemTranslationInputRefused(char32_t character, const QString& text) {
    FWorkbench->OfferShowAs(character, text);
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
    FRecent->Forget(path);
}

void TFrmWordlark::RememberCatalogue(const std::string& path) {
    FRecent->Remember(path, ProgramName);
}

// ---- The status line ----------------------------------------------------------

void TFrmWordlark::ShowStatus(const QString& text) {
    FStatusLine->Show(text);
}

QString TFrmWordlark::StatusText() const {
    return FStatusLine->Text();
}

void TFrmWordlark::ShowHandedOver(const QString& what) {
    ShowStatus(m_aStatusHandedOver.arg(what, ToDisplay(ProgramName)));
}
