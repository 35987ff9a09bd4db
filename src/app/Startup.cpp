#include "app/Startup.h"

#include "app/FrmWordlark.h"
#include "app/WordlarkApplication.h"
#include "dialogs/FrmAddLanguage.h"
#include "dialogs/FrmInfo.h"
#include "dialogs/FrmIniFile.h"
#include "send/FrmSend.h"
#include "wizard/FrmWizard.h"

TWordlarkWindows::TWordlarkWindows() = default;
TWordlarkWindows::~TWordlarkWindows() = default;
TWordlarkWindows::TWordlarkWindows(TWordlarkWindows&&) noexcept = default;
TWordlarkWindows& TWordlarkWindows::operator=(TWordlarkWindows&&) noexcept = default;

// The windows in their fixed order: main window, wizard, send dialog,
// new-language dialog, settings-file viewer, about box.
TWordlarkWindows CreateWordlarkWindows() {
    TWordlarkWindows windows;
    windows.FrmWordlark = std::make_unique<TFrmWordlark>();
    TFrmWordlark* main = windows.FrmWordlark.get();

    // The dialogs take the main window's interface texts; the wizard and the
    // send dialog work on its workspace.
    TInterfaceTexts& texts = main->Texts();
    windows.FrmWizard = new TFrmWizard(main, texts, *main);
    windows.FrmSend = new TFrmSend(main, texts, *main);
    windows.FrmAddLanguage = new TFrmAddLanguage(main, texts);
    windows.FrmIniFile = new TFrmIniFile(main, texts);
    windows.FrmInfo = new TFrmInfo(main, texts);
    main->SetDialogs(windows.FrmWizard, windows.FrmSend, windows.FrmAddLanguage, windows.FrmIniFile,
                     windows.FrmInfo);
    return windows;
}

int RunWordlark() {
    TWordlarkWindows windows;
    try {
        windows = CreateWordlarkWindows();
        windows.FrmWordlark->show();
    } catch (const std::exception& error) {
        TWordlarkApplication::HandleException(error);
        return 0;
    }
    QApplication::exec();
    return 0;
}
