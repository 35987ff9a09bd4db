#include "app/Startup.h"

#include "app/FrmWordlark.h"
#include "app/WordlarkApplication.h"
#include "dialogs/FrmAddLanguage.h"
#include "send/FrmSend.h"

TWordlarkWindows::TWordlarkWindows() = default;
TWordlarkWindows::~TWordlarkWindows() = default;
TWordlarkWindows::TWordlarkWindows(TWordlarkWindows&&) noexcept = default;
TWordlarkWindows& TWordlarkWindows::operator=(TWordlarkWindows&&) noexcept = default;

TWordlarkWindows CreateWordlarkWindows() {
    TWordlarkWindows windows;
    windows.FrmWordlark = std::make_unique<TFrmWordlark>();
    windows.FrmSend = new TFrmSend(windows.FrmWordlark.get());
    windows.FrmWordlark->SetSendDialog(windows.FrmSend);
    windows.FrmAddLanguage = new TFrmAddLanguage(windows.FrmWordlark.get());
    windows.FrmWordlark->SetAddLanguageDialog(windows.FrmAddLanguage);
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
