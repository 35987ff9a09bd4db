// Hand-offs to the desktop as the windows see them: the late end of one that
// was still running brought onto the windows' event loop, the reason one
// failed in the interface language, and one call that opens a document, a
// folder or an address and, when that fails, says so with the path or
// address, so that the user can open it by hand.
#pragma once

#include "platform/Platform.h"

#include <QObject>
#include <QString>

#include <functional>
#include <span>
#include <string>

class QWidget;
class TInterfaceTexts;

// Looks up the interface text under `key`; `defaultText` is the English one.
using TTextLookup = std::function<QString(const std::string& key, const QString& defaultText)>;

// A late-end callback for the platform that runs `onEnd` on the windows'
// event loop (the platform calls it on a thread of its own), and not at all
// once `receiver` is gone. Make it on the windows' thread.
platform::TLateEnd OnEventLoop(QObject* receiver,
                               std::function<void(const platform::THandOff& end)> onEnd);

// The words for one reason a hand-off fails: an interface-text key and its
// English default. The text for TReason::Other may hold %1 for the tool's
// status.
struct TReasonText {
    platform::THandOff::TReason Reason;
    const char* Key;
    const char* DefaultText;
};
// Why `failure` failed, in the words `table` gives for its reason; a reason
// the table lacks takes the words for TReason::Unknown.
QString ReasonText(const platform::THandOff& failure, std::span<const TReasonText> table,
                   const TTextLookup& text);

enum class TDesktopTarget { Document, Folder, Address };

// The message for an open that failed: that it failed, why, and the path or
// address to open by hand.
QString OpenFailedMessage(const platform::THandOff& failure, TDesktopTarget kind,
                          const std::string& target, const TTextLookup& text);

// Hands `target` to the desktop. When that fails, `tell` is called with
// OpenFailedMessage: at once when the desktop answers within the platform's
// wait, later on the event loop (while `receiver` lives) when it answers
// after it. Returns the platform's first answer.
platform::THandOff OpenOnDesktop(TDesktopTarget kind, const std::string& target, QObject* receiver,
                                 TTextLookup text,
                                 std::function<void(const QString& message)> tell);

// The same in the interface language: a failure is told in a warning that
// stands over `owner` while it is shown, else over the window `owner` belongs
// to (a dialog closed meanwhile gives way to the main window).
platform::THandOff OpenOnDesktop(TDesktopTarget kind, const std::string& target,
                                 TInterfaceTexts& texts, QWidget* owner);
