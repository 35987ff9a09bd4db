// The main window's smaller commands: help in the interface language, licence,
// change log, update page, about box, settings-file viewer and full screen.
#include "app/FrmWordlark.h"

#include "dialogs/FrmInfo.h"
#include "dialogs/FrmIniFile.h"
#include "platform/Platform.h"
#include "texts/HelpFile.h"

#include <QPushButton>

void TFrmWordlark::BtnHelpClick() {
    platform::Get().OpenDocument(HelpFilePath(FProgramFolder, FCurrentLanguageFile));
}

void TFrmWordlark::MenLicenseClick() {
    platform::Get().OpenDocument(FLicensePath);
}

void TFrmWordlark::MenReadMeClick() {
    platform::Get().OpenDocument(FChangesPath);
}

void TFrmWordlark::MenCheckUpdateClick() {
    platform::Get().OpenAddress(UpdateAddress());
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
}

// The editor takes the whole window but for the save and send controls, and
// gives the space back.
void TFrmWordlark::BtnFullscreenClick() {
    if (PnlTop->isVisibleTo(this)) {
        PnlTop->hide();
        BtnFullscreen->setText("><");
    } else {
        PnlTop->show();
        BtnFullscreen->setText("<>");
    }
}
