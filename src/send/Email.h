// TEmail: a mail message (recipients, copies, attachments, subject, body,
// options) and the operations that log on to the mail system, send, save,
// read, address and delete mail through the Simple MAPI entry points the
// platform provides. Failures other than a missing mail system are reported
// through OnMapiError and the operation's result.
#pragma once

#include "platform/SimpleMapi.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// An operation was called while no mail system can be reached.
class EMapiUnavailable : public std::runtime_error {
public:
    EMapiUnavailable() : std::runtime_error("MAPI services are not available on this system") {}
};

class TEmail {
public:
    using TNotifyEvent = std::function<void(TEmail& sender)>;
    using TMapiErrorEvent = std::function<void(TEmail& sender, smapi::ULONG errorCode)>;

    // Codes of the component's own, beside those of the mail system.
    static constexpr smapi::ULONG ErrLogon = 3;          // logging on failed
    static constexpr smapi::ULONG ErrTooManyFiles = 9;   // too many attachments
    static constexpr smapi::ULONG ErrTooManyRecips = 10; // too many recipients
    static constexpr smapi::ULONG ErrNoAttachment = 11;  // an attachment file does not exist
    static constexpr smapi::ULONG ErrNoMessage = 17;     // no current message
    // The most entries whose table of 24-byte records fits in 2 GiB.
    static constexpr size_t MaxEntries = 89478485;
    // Texts the component holds are cut to this many characters.
    static constexpr size_t MaxText = 255;

    TEmail();
    virtual ~TEmail();
    TEmail(const TEmail&) = delete;
    TEmail& operator=(const TEmail&) = delete;

    // The message. Full paths in Attachment; after reading, the attachments'
    // names.
    std::vector<std::string> Recipient;
    std::vector<std::string> CC;
    std::vector<std::string> Bcc;
    std::vector<std::string> Attachment;

    // Texts of at most MaxText characters: a longer one is cut at a character
    // boundary (UTF-8 sequences stay whole).
    const std::string& Subject() const { return FSubject; }
    void SetSubject(std::string_view subject);
    const std::string& Text() const { return FText; }
    void SetText(std::string_view text);
    const std::string& Profile() const { return FProfile; }
    void SetProfile(std::string_view profile);
    const std::string& Password() const { return FPassword; }
    void SetPassword(std::string_view password);

    // Options.
    bool Acknowledge = false;     // ask for a read receipt
    bool ShowDialog = false;      // let the mail client show its compose window
    bool UseDefProfile = false;   // take the system's default profile at logon
    bool TruncAttFN = true;       // shorten attachment names toward 8.3
    bool UnreadOnly = false;      // step through unread messages only
    bool UseLongMessageID = true; // ask for long message identifiers
    bool NewSession() const { return (FLogonFlags & smapi::MAPI_NEW_SESSION) != 0; }
    void SetNewSession(bool value);
    bool DownLoadFirst() const { return (FLogonFlags & smapi::MAPI_FORCE_DOWNLOAD) != 0; }
    void SetDownLoadFirst(bool value);
    smapi::FLAGS LogonFlags() const { return FLogonFlags; }

    // Whether a mail system can be reached.
    bool MapiAvail() const;
    std::string Version() const { return "2.09.02"; }
    // The open session; 0 when none is open.
    smapi::LHANDLE Session() const { return FSession; }

    // Events, fired around the operations named.
    TNotifyEvent OnBeforeLogon, OnAfterLogon, OnBeforeLogoff, OnAfterLogoff;
    TNotifyEvent OnBeforeSendMail, OnAfterSendMail, OnBeforeSaveMail, OnAfterSaveMail;
    TMapiErrorEvent OnMapiError;

    // Empties the message: lists, subject, both bodies, the receipt request.
    void Clear();
    // Opens a session unless one is open; 0 or the mail system's code.
    smapi::ULONG Logon();
    // Closes the open session; the mail system's code, 0 when none was open.
    smapi::ULONG Logoff();
    smapi::ULONG SendMail() { return SendMailEx(false); }
    smapi::ULONG SaveMail() { return SendMailEx(true); }
    // The common body of SendMail and SaveMail.
    smapi::ULONG SendMailEx(bool save);
    smapi::ULONG ReadMail();
    std::string GetNextMessageId();
    smapi::ULONG CountUnread();
    smapi::ULONG DeleteMail();
    smapi::ULONG Address();
    // The display name the mail system resolves a name to; empty after an error.
    std::string CheckRecipient(const std::string& name);
    // The path when a file exists there, else an empty text.
    std::string CheckAttachment(const std::string& path) const;
    // Copies a received attachment from where the mail system left it.
    void CopyAttachment(size_t index, const std::string& targetPath);
    // Logs on again with the mail system downloading new mail first.
    smapi::ULONG DownLoad();

    // The long body, sent in place of Text when set. A null text only drops
    // it. Returns the new body's length.
    size_t SetLongText(const char* text);
    const char* GetLongText() const { return FLongText ? FLongText->c_str() : nullptr; }

    // The message read or saved last.
    const std::string& MessageId() const { return FMessageId; }
    void SetMessageId(std::string_view id) { FMessageId = CutText(id, MessageIdLength); }
    const std::string& MessageType() const { return FMessageType; }
    void SetMessageType(std::string_view type) { FMessageType = type; }
    const std::string& SenderName() const { return FSenderName; }
    const std::string& SenderAddress() const { return FSenderAddress; }
    const std::string& DateReceived() const { return FDateReceived; }
    bool Unread() const { return FUnread; }
    // Where the mail system left the attachments of the message read last.
    const std::vector<std::string>& AttachmentPaths() const { return FAttachmentPaths; }
    // Reading options.
    bool Peek = true;
    bool EnvelopeOnly = false;
    bool NoAttachments = false;

    // Raises EMapiUnavailable when no mail system can be reached.
    virtual void CheckMapi();
    // Shortens an attachment name toward the 8.3 form.
    virtual std::string TruncAttachmentFN(const std::string& name);

    // The first `count` characters of a text (bytes when it is no UTF-8).
    static std::string CutText(std::string_view text, size_t count);

protected:
    virtual void DoBeforeLogon();
    virtual void DoAfterLogon();
    virtual void DoBeforeLogoff();
    virtual void DoAfterLogoff();
    virtual void DoBeforeSaveMail();
    virtual void DoAfterSaveMail();
    virtual void DoBeforeSendMail();
    virtual void DoAfterSendMail();
    virtual void DoMapiError(smapi::ULONG errorCode);

private:
    static constexpr size_t MessageIdLength = 512;
    class TSessionScope;
    struct TRecipientTable;

    smapi::ULONG ResolveOne(const std::string& entry, smapi::lpMapiRecipDesc& resolved);
    void FreeBuffer(void* buffer);
    void FillFromMessage(const smapi::MapiMessage& message);

    const smapi::TMapiFunctions* FMapi = nullptr;        // checked last by CheckMapi
    const smapi::TMapiFunctions* FSessionMapi = nullptr; // the one that opened the session
    smapi::LHANDLE FSession = 0;
    smapi::FLAGS FLogonFlags = 0;
    std::string FSubject, FText, FProfile, FPassword;
    std::optional<std::string> FLongText;
    std::string FMessageId, FMessageType, FSenderName, FSenderAddress, FDateReceived;
    bool FUnread = false;
    std::vector<std::string> FAttachmentPaths;
};
