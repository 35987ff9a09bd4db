// Start-up: creates the program's windows once, in their fixed order. main() and
// the window tests both start the program through here.
#pragma once

#include <memory>

class TFrmWordlark;
class TFrmAddLanguage;
class TFrmSend;
class TFrmWizard;
class TFrmIniFile;
class TFrmInfo;

struct TWordlarkWindows {
    // The first window created is the application's main window; the dialogs
    // are owned by it.
    std::unique_ptr<TFrmWordlark> FrmWordlark;
    TFrmWizard* FrmWizard = nullptr;
    TFrmSend* FrmSend = nullptr;
    TFrmAddLanguage* FrmAddLanguage = nullptr;
    TFrmIniFile* FrmIniFile = nullptr;
    TFrmInfo* FrmInfo = nullptr;

    TWordlarkWindows();
    ~TWordlarkWindows();
    TWordlarkWindows(TWordlarkWindows&&) noexcept;
    TWordlarkWindows& operator=(TWordlarkWindows&&) noexcept;
};

// Creates the windows; throws when start-up fails.
TWordlarkWindows CreateWordlarkWindows();

// Start-up as the program does it: the wizard is shown first and painted
// before the main window builds its controls and the other windows are made;
// right after its first paint they are, and the main window's first show runs
// the wizard as ever. Throws when start-up fails.
void StartWordlark(TWordlarkWindows& windows);

// The program: starts (StartWordlark) and runs the message loop until the
// main window closes. An exception during start-up is shown and ends the
// program. Returns 0.
int RunWordlark();
