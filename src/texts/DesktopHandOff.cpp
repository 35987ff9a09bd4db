#include "texts/DesktopHandOff.h"

#include "texts/InterfaceTexts.h"
#include "texts/QtText.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#include <mutex>

using platform::THandOff;
using TReason = THandOff::TReason;

namespace {

// The object on the windows' thread that late ends are posted to. The
// platform's thread may post at any moment, also while the application ends:
// the lock keeps it from posting to an object that is going away.
class TLateEndRelay : public QObject {
public:
    using QObject::QObject;
    ~TLateEndRelay() override;
};

struct TRelay {
    std::mutex Lock;
    TLateEndRelay* Object = nullptr;
};

// Never destroyed: the platform's thread may still end a hand-off while the
// program's statics go away.
TRelay& Relay() {
    static TRelay* relay = new TRelay;
    return *relay;
}

TLateEndRelay::~TLateEndRelay() {
    std::lock_guard<std::mutex> guard(Relay().Lock);
    Relay().Object = nullptr;
}

// The relay, made as a child of the application when first needed.
void MakeRelay() {
    std::lock_guard<std::mutex> guard(Relay().Lock);
    if (!Relay().Object && QCoreApplication::instance())
        Relay().Object = new TLateEndRelay(QCoreApplication::instance());
}

const TReasonText OpenReasons[] = {
    {TReason::NotStarted, "Desktop.m_aMOpenNotStarted",
     "The desktop's tool for opening (xdg-open) could not be started."},
    {TReason::BadRequest, "Desktop.m_aMOpenBadRequest",
     "The desktop did not understand the request."},
    {TReason::NotFound, "Desktop.m_aMOpenNotFound", "The file or folder does not exist."},
    {TReason::NoHandler, "Desktop.m_aMOpenNoHandler",
     "No program on this computer is set up to open it."},
    {TReason::ActionFailed, "Desktop.m_aMOpenActionFailed",
     "The program that should open it reported an error."},
    {TReason::NoPermission, "Desktop.m_aMOpenNoPermission",
     "You do not have permission to open it."},
    {TReason::Other, "Desktop.m_aMOpenOther", "Opening ended with error code %1."},
    {TReason::Unknown, "Desktop.m_aMOpenUnknown", "Opening was broken off."},
};

} // namespace

platform::TLateEnd OnEventLoop(QObject* receiver,
                               std::function<void(const platform::THandOff& end)> onEnd) {
    MakeRelay();
    return [receiver = QPointer<QObject>(receiver), onEnd = std::move(onEnd)](const THandOff& end) {
        std::lock_guard<std::mutex> guard(Relay().Lock);
        if (!Relay().Object)
            return;
        QMetaObject::invokeMethod(
            Relay().Object,
            [receiver, onEnd, end] {
                if (receiver)
                    onEnd(end);
            },
            Qt::QueuedConnection);
    };
}

QString ReasonText(const THandOff& failure, std::span<const TReasonText> table,
                   const TTextLookup& text) {
    const TReasonText* unknown = nullptr;
    for (const TReasonText& entry : table) {
        if (entry.Reason == TReason::Unknown)
            unknown = &entry;
        if (entry.Reason != failure.Reason)
            continue;
        QString words = text(entry.Key, entry.DefaultText);
        return failure.Reason == TReason::Other ? words.arg(failure.Status) : words;
    }
    return unknown ? text(unknown->Key, unknown->DefaultText) : QString();
}

QString OpenFailedMessage(const THandOff& failure, TDesktopTarget kind, const std::string& target,
                          const TTextLookup& text) {
    const QString shown = kind == TDesktopTarget::Address
                              ? ToDisplay(platform::AddressWithScheme(target))
                              : PathToQt(target);
    return text("Desktop.m_aMOpenFailed", "It could not be opened.") + " " +
           ReasonText(failure, OpenReasons, text) + "\n\n" +
           text("Desktop.m_aMOpenByHand", "You can open it yourself:") + "\n" + shown;
}

THandOff OpenOnDesktop(TDesktopTarget kind, const std::string& target, QObject* receiver,
                       TTextLookup text, std::function<void(const QString& message)> tell) {
    auto report = [kind, target, text = std::move(text),
                   tell = std::move(tell)](const THandOff& end) {
        if (end.Failed())
            tell(OpenFailedMessage(end, kind, target, text));
    };
    platform::TLateEnd onLateEnd = OnEventLoop(receiver, report);
    platform::Platform& shell = platform::Get();
    THandOff answer;
    switch (kind) {
    case TDesktopTarget::Document:
        answer = shell.OpenDocument(target, std::move(onLateEnd));
        break;
    case TDesktopTarget::Folder:
        answer = shell.OpenFolder(target, std::move(onLateEnd));
        break;
    case TDesktopTarget::Address:
        answer = shell.OpenAddress(target, std::move(onLateEnd));
        break;
    }
    report(answer);
    return answer;
}

THandOff OpenOnDesktop(TDesktopTarget kind, const std::string& target, TInterfaceTexts& texts,
                       QWidget* owner) {
    return OpenOnDesktop(
        kind, target, owner,
        [&texts](const std::string& key, const QString& defaultText) {
            return texts.GetNationalText(key, defaultText);
        },
        [&texts, owner](const QString& message) {
            texts.DoMsgBox(message, QMessageBox::Warning, QMessageBox::Ok,
                           owner->isVisible() ? owner : owner->parentWidget());
        });
}
