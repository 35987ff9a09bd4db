#include "app/Startup.h"

#include "app/FrmWordlark.h"
#include "app/WordlarkApplication.h"
#include "dialogs/FrmAddLanguage.h"
#include "dialogs/FrmInfo.h"
#include "dialogs/FrmIniFile.h"
#include "send/FrmSend.h"
#include "wizard/FrmWizard.h"

#include <functional>
#include <utility>

TWordlarkWindows::TWordlarkWindows() = default;
TWordlarkWindows::~TWordlarkWindows() = default;
TWordlarkWindows::TWordlarkWindows(TWordlarkWindows&&) noexcept = default;
TWordlarkWindows& TWordlarkWindows::operator=(TWordlarkWindows&&) noexcept = default;

namespace {

// The main window's and the wizard's followers: send dialog, new-language
// dialog, settings-file viewer, about box. They take the main window's
// interface texts; the send dialog works on its workspace.
void CreateDialogs(TWordlarkWindows& windows) {
    TFrmWordlark* main = windows.FrmWordlark.get();
    TInterfaceTexts& texts = main->Texts();
    windows.FrmSend = new TFrmSend(main, texts, *main);
    windows.FrmAddLanguage = new TFrmAddLanguage(main, texts);
    windows.FrmIniFile = new TFrmIniFile(main, texts);
    windows.FrmInfo = new TFrmInfo(main, texts);
    main->SetDialogs(windows.FrmWizard, windows.FrmSend, windows.FrmAddLanguage, windows.FrmIniFile,
                     windows.FrmInfo);
}

// Completes start-up once `window` (the wizard) has been painted: `build`
// makes the rest of the windows and `show` shows the main window. Both run
// from the event loop after the first paint and after every event posted
// before it; input that reaches the windows sooner has the rest built first.
class TAfterFirstPaint : public QObject {
public:
    TAfterFirstPaint(QWidget* window, std::function<void()> build, std::function<void()> show)
        : FWindow(window), FBuild(std::move(build)), FShow(std::move(show)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Paint:
        case QEvent::Hide: // answered already
            if (watched == FWindow && !FPosted) {
                FPosted = true;
                QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::LowEventPriority);
            }
            break;
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Close:
            Build();
            break;
        default:
            break;
        }
        return false;
    }

    void customEvent(QEvent*) override {
        QCoreApplication::instance()->removeEventFilter(this);
        Build();
        deleteLater();
        const std::function<void()> show = std::move(FShow);
        show();
    }

private:
    void Build() {
        if (FBuilt)
            return;
        FBuilt = true;
        FBuild();
    }

    QWidget* FWindow;
    std::function<void()> FBuild, FShow;
    bool FPosted = false, FBuilt = false;
};

} // namespace

// The windows in their fixed order: main window, wizard, send dialog,
// new-language dialog, settings-file viewer, about box.
TWordlarkWindows CreateWordlarkWindows() {
    TWordlarkWindows windows;
    windows.FrmWordlark = std::make_unique<TFrmWordlark>();
    TFrmWordlark* main = windows.FrmWordlark.get();
    // The wizard takes the main window's interface texts and works on its workspace.
    windows.FrmWizard = new TFrmWizard(main, main->Texts(), *main);
    CreateDialogs(windows);
    return windows;
}

void StartWordlark(TWordlarkWindows& windows) {
    windows.FrmWordlark = std::make_unique<TFrmWordlark>(nullptr, true);
    TFrmWordlark* main = windows.FrmWordlark.get();
    windows.FrmWizard = new TFrmWizard(main, main->Texts(), *main, true);
    // The language and the font the wizard takes, as the main window's first
    // show chooses them again.
    main->SelectProgramLanguage("");
    main->LoadSettings(main->DataFolder() + "Wordlark.ini");
    new TAfterFirstPaint(
        windows.FrmWizard,
        [&windows] {
            try {
                windows.FrmWizard->CompletePages();
                windows.FrmWordlark->CompleteWindow();
                CreateDialogs(windows);
            } catch (const std::exception& error) {
                TWordlarkApplication::HandleException(error);
                QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                          Qt::QueuedConnection);
            }
        },
        [&windows] {
            if (!windows.FrmInfo) // the rest could not be built
                return;
            // A wizard that the user answered already is not shown again.
            const bool answered = !windows.FrmWizard->isVisible();
            if (answered)
                windows.FrmWordlark->SetDialogs(nullptr, windows.FrmSend, windows.FrmAddLanguage,
                                                windows.FrmIniFile, windows.FrmInfo);
            windows.FrmWordlark->show();
            windows.FrmWordlark->SetDialogs(windows.FrmWizard, windows.FrmSend,
                                            windows.FrmAddLanguage, windows.FrmIniFile,
                                            windows.FrmInfo);
        });
    windows.FrmWizard->setAttribute(Qt::WA_ShowModal, true);
    windows.FrmWizard->show();
}

int RunWordlark() {
    TWordlarkWindows windows;
    try {
        StartWordlark(windows);
    } catch (const std::exception& error) {
        TWordlarkApplication::HandleException(error);
        return 0;
    }
    QApplication::exec();
    return 0;
}
