#include "send/Email.h"

#include "encoding/TextEncoding.h"
#include "platform/Platform.h"
#include "send/FileCopy.h"

#include <array>
#include <deque>
#include <new>
#include <set>

using namespace smapi;

namespace {
// A text handed to the mail system: the interface takes "char*" even where it
// only reads, so every text gets a copy of its own that lives as long as the
// call needs it.
class TTexts {
public:
    char* Add(const std::string& text) {
        FTexts.push_back(text);
        return FTexts.back().data();
    }
    // Null for an empty text ("none").
    char* AddOrNull(const std::string& text) { return text.empty() ? nullptr : Add(text); }

private:
    std::deque<std::string> FTexts; // references stay valid as it grows
};

std::string Copy(const char* text) {
    return text ? std::string(text) : std::string();
}

// The recipient lists of a message, each with its class, in the order they
// are handed to the mail system.
std::array<std::pair<std::vector<std::string>*, ULONG>, 3> RecipientLists(TEmail& mail) {
    return {{{&mail.Recipient, MAPI_TO}, {&mail.CC, MAPI_CC}, {&mail.Bcc, MAPI_BCC}}};
}

// Refills the recipient lists from the mail system's table: each entry by its
// name, or its address when it has none; entries of other classes are dropped.
void SortRecipients(TEmail& mail, const MapiRecipDesc* recipients, ULONG count) {
    const auto lists = RecipientLists(mail);
    for (const auto& [list, recipClass] : lists)
        list->clear();
    for (ULONG i = 0; recipients && i < count; ++i) {
        const MapiRecipDesc& r = recipients[i];
        for (const auto& [list, recipClass] : lists) {
            if (r.ulRecipClass != recipClass)
                continue;
            const std::string name = Copy(r.lpszName);
            list->push_back(name.empty() ? Copy(r.lpszAddress) : name);
            break;
        }
    }
}

// An entry that holds its address in brackets, such as "[SMTP:a@b.example]".
bool HasBrackets(const std::string& text) {
    return text.find('[') != std::string::npos && text.find(']') != std::string::npos;
}

bool HasNoBracket(const std::string& text) {
    return text.find_first_of("[]") == std::string::npos;
}

std::string WithoutBrackets(std::string text) {
    text.erase(text.find(']'), 1);
    text.erase(text.find('['), 1);
    return text;
}

// Whether a byte begins a character: every byte of a text that is no UTF-8,
// the first byte of each sequence of one that is.
bool IsCharacterStart(bool utf8, char byte) {
    return !utf8 || (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// Offsets where the characters of a text begin: UTF-8 sequences when the text
// is valid UTF-8, otherwise single bytes.
std::vector<size_t> CharacterStarts(std::string_view text) {
    std::vector<size_t> starts;
    const bool utf8 = IsValidUtf8(text);
    for (size_t i = 0; i < text.size(); ++i)
        if (IsCharacterStart(utf8, text[i]))
            starts.push_back(i);
    return starts;
}
} // namespace

// Logs on when no session is open and, when it did, logs off again as the
// operation ends, also when it ends by an exception.
class TEmail::TSessionScope {
public:
    explicit TSessionScope(TEmail& mail) : FMail(mail), FWasOpen(mail.FSession != 0) {}
    ~TSessionScope() {
        if (FWasOpen || FMail.FSession == 0)
            return;
        try {
            FMail.Logoff();
        } catch (...) {
        }
    }
    ULONG Open() { return FMail.Logon(); }

private:
    TEmail& FMail;
    bool FWasOpen;
};

// The recipients of a message and every buffer the mail system handed out
// while resolving them; the buffers are released when the table goes, whatever
// way the operation ends.
struct TEmail::TRecipientTable {
    explicit TRecipientTable(TEmail& mail) : Mail(mail) {}
    ~TRecipientTable() {
        for (void* buffer : Buffers)
            Mail.FreeBuffer(buffer);
    }
    TEmail& Mail;
    std::vector<MapiRecipDesc> Recipients;
    std::vector<void*> Buffers;
    TTexts Texts;
};

std::string TEmail::CutText(std::string_view text, size_t count) {
    if (text.size() <= count)
        return std::string(text);
    // Cut where character number count + 1 begins; a text with no more
    // characters than that stays whole.
    const bool utf8 = IsValidUtf8(text);
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsCharacterStart(utf8, text[i]) && characters++ == count)
            return std::string(text.substr(0, i));
    }
    return std::string(text);
}

TEmail::TEmail() = default;

TEmail::~TEmail() {
    // Logs off with the entry points that opened the session; never raises,
    // and fires no events, as whatever they would reach may be gone already.
    if (FSession != 0) {
        try {
            FSessionMapi->Logoff(FSession, 0, 0, 0);
        } catch (...) {
        }
    }
}

void TEmail::SetSubject(std::string_view subject) {
    FSubject = CutText(subject, MaxText);
}
void TEmail::SetText(std::string_view text) {
    FText = CutText(text, MaxText);
}
void TEmail::SetProfile(std::string_view profile) {
    FProfile = CutText(profile, MaxText);
}
void TEmail::SetPassword(std::string_view password) {
    FPassword = CutText(password, MaxText);
}

void TEmail::SetNewSession(bool value) {
    FLogonFlags = value ? (FLogonFlags | MAPI_NEW_SESSION) : (FLogonFlags & ~MAPI_NEW_SESSION);
}

void TEmail::SetDownLoadFirst(bool value) {
    FLogonFlags =
        value ? (FLogonFlags | MAPI_FORCE_DOWNLOAD) : (FLogonFlags & ~MAPI_FORCE_DOWNLOAD);
}

bool TEmail::MapiAvail() const {
    try {
        return platform::Get().SimpleMapi() != nullptr;
    } catch (const std::exception&) {
        return false;
    }
}

void TEmail::CheckMapi() {
    FMapi = platform::Get().SimpleMapi();
    if (!FMapi)
        throw EMapiUnavailable();
}

void TEmail::DoBeforeLogon() {
    if (OnBeforeLogon)
        OnBeforeLogon(*this);
}
void TEmail::DoAfterLogon() {
    if (OnAfterLogon)
        OnAfterLogon(*this);
}
void TEmail::DoBeforeLogoff() {
    if (OnBeforeLogoff)
        OnBeforeLogoff(*this);
}
void TEmail::DoAfterLogoff() {
    if (OnAfterLogoff)
        OnAfterLogoff(*this);
}
void TEmail::DoBeforeSaveMail() {
    if (OnBeforeSaveMail)
        OnBeforeSaveMail(*this);
}
void TEmail::DoAfterSaveMail() {
    if (OnAfterSaveMail)
        OnAfterSaveMail(*this);
}
void TEmail::DoBeforeSendMail() {
    if (OnBeforeSendMail)
        OnBeforeSendMail(*this);
}
void TEmail::DoAfterSendMail() {
    if (OnAfterSendMail)
        OnAfterSendMail(*this);
}
void TEmail::DoMapiError(ULONG errorCode) {
    if (OnMapiError)
        OnMapiError(*this, errorCode);
}

void TEmail::FreeBuffer(void* buffer) {
    if (buffer && FMapi)
        FMapi->FreeBuffer(buffer);
}

void TEmail::Clear() {
    Acknowledge = false;
    Attachment.clear();
    Bcc.clear();
    CC.clear();
    Recipient.clear();
    FSubject.clear();
    FLongText.reset();
    FText.clear();
}

size_t TEmail::SetLongText(const char* text) {
    FLongText.reset();
    if (!text)
        return 0;
    FLongText = std::string(text);
    FText.clear();
    return FLongText->size();
}

ULONG TEmail::Logon() {
    CheckMapi();
    if (FSession != 0)
        return SUCCESS_SUCCESS;
    if (UseDefProfile) {
        if (std::optional<std::string> profile = platform::Get().DefaultMailProfile())
            SetProfile(*profile);
    }
    DoBeforeLogon();
    TTexts texts;
    LHANDLE session = 0;
    ULONG code = FMapi->Logon(0, texts.AddOrNull(FProfile), texts.AddOrNull(FPassword), FLogonFlags,
                              0, &session);
    if (code != SUCCESS_SUCCESS) {
        // The default profile, or the mail system asks the user.
        session = 0;
        code = FMapi->Logon(0, nullptr, nullptr, FLogonFlags | MAPI_LOGON_UI, 0, &session);
    }
    if (code != SUCCESS_SUCCESS) {
        DoMapiError(code);
        return code;
    }
    FSession = session;
    FSessionMapi = FMapi;
    DoAfterLogon();
    return code;
}

ULONG TEmail::Logoff() {
    CheckMapi();
    if (FSession == 0)
        return SUCCESS_SUCCESS;
    DoBeforeLogoff();
    const ULONG code = FSessionMapi->Logoff(FSession, 0, 0, 0);
    FSession = 0;
    FSessionMapi = nullptr;
    DoAfterLogoff();
    return code;
}

ULONG TEmail::ResolveOne(const std::string& entry, lpMapiRecipDesc& resolved) {
    TTexts texts;
    char* name = texts.Add(entry);
    resolved = nullptr;
    ULONG code = FMapi->ResolveName(FSession, 0, name, 0, 0, &resolved);
    if (code == MAPI_E_UNKNOWN_RECIPIENT || code == MAPI_E_AMBIGUOUS_RECIPIENT) {
        // Let the user pick.
        FreeBuffer(resolved);
        resolved = nullptr;
        code = FMapi->ResolveName(FSession, 0, name, MAPI_DIALOG, 0, &resolved);
    }
    if (code == SUCCESS_SUCCESS && !resolved)
        code = MAPI_E_FAILURE;
    if (code != SUCCESS_SUCCESS) {
        FreeBuffer(resolved);
        resolved = nullptr;
        DoMapiError(code);
    }
    return code;
}

ULONG TEmail::SendMailEx(bool save) {
    CheckMapi();
    if (Recipient.size() + CC.size() + Bcc.size() > MaxEntries) {
        DoMapiError(ErrTooManyRecips);
        return ErrTooManyRecips;
    }
    if (Attachment.size() > MaxEntries) {
        DoMapiError(ErrTooManyFiles);
        return ErrTooManyFiles;
    }
    TSessionScope scope(*this);
    if (scope.Open() != SUCCESS_SUCCESS) {
        DoMapiError(ErrLogon);
        return ErrLogon;
    }

    TRecipientTable table(*this);
    MapiMessage message{};
    message.lpszSubject = table.Texts.AddOrNull(FSubject);
    message.lpszNoteText = table.Texts.AddOrNull(FLongText ? *FLongText : FText);
    message.lpszMessageType = table.Texts.AddOrNull(FMessageType);

    for (const auto& [list, recipClass] : RecipientLists(*this)) {
        for (std::string& entry : *list) {
            if (entry.empty())
                continue;
            const std::string given = CutText(entry, MaxText);
            lpMapiRecipDesc resolved = nullptr;
            if (ResolveOne(given, resolved) != SUCCESS_SUCCESS)
                continue; // reported; the message goes to the others
            // Kept until the send has returned: the entry identifier lives in it.
            table.Buffers.push_back(resolved);
            const std::string resolvedName = Copy(resolved->lpszName);
            MapiRecipDesc recipient{};
            recipient.ulRecipClass = recipClass;
            if (HasBrackets(given) && HasNoBracket(resolvedName)) {
                char* text = table.Texts.Add(WithoutBrackets(given));
                recipient.lpszName = text;
                recipient.lpszAddress = text;
            } else {
                const std::string name = resolvedName.empty() ? given : resolvedName;
                const std::string address = resolved->lpszAddress && *resolved->lpszAddress
                                                ? std::string(resolved->lpszAddress)
                                                : name;
                entry = name;
                recipient.lpszName = table.Texts.Add(name);
                recipient.lpszAddress = table.Texts.Add(address);
                recipient.ulEIDSize = resolved->lpEntryID ? resolved->ulEIDSize : 0;
                recipient.lpEntryID = resolved->lpEntryID;
            }
            table.Recipients.push_back(recipient);
        }
    }
    FLAGS sendFlags = 0;
    if (table.Recipients.empty()) {
        // Nobody to send to: the user fills in the compose window.
        sendFlags = MAPI_DIALOG;
    } else {
        sendFlags = ShowDialog ? MAPI_DIALOG : 0;
        message.nRecipCount = static_cast<ULONG>(table.Recipients.size());
        message.lpRecips = table.Recipients.data();
    }

    std::vector<MapiFileDesc> files;
    files.reserve(Attachment.size());
    for (const std::string& path : Attachment) {
        // The whole path: a shortened one would name another file, or none.
        if (!platform::FileExists(path)) {
            DoMapiError(ErrNoAttachment);
            return ErrNoAttachment;
        }
        std::string name = platform::ExtractFileName(path);
        if (TruncAttFN)
            name = TruncAttachmentFN(name);
        MapiFileDesc file{};
        file.nPosition = 0xFFFFFFFF; // not placed in the body
        file.lpszPathName = table.Texts.Add(path);
        file.lpszFileName = table.Texts.Add(name);
        files.push_back(file);
    }
    if (!files.empty()) {
        message.nFileCount = static_cast<ULONG>(files.size());
        message.lpFiles = files.data();
    }
    if (Acknowledge)
        message.flFlags |= MAPI_RECEIPT_REQUESTED;

    ULONG code = SUCCESS_SUCCESS;
    if (save) {
        DoBeforeSaveMail();
        std::string id = FMessageId;
        id.resize(MessageIdBufferSize, '\0');
        code = FMapi->SaveMail(FSession, 0, &message, 0, 0, id.data());
        if (code == SUCCESS_SUCCESS) {
            SetMessageId(id.c_str());
            DoAfterSaveMail();
        } else {
            DoMapiError(code);
        }
    } else {
        DoBeforeSendMail();
        code = FMapi->SendMail(FSession, 0, &message, sendFlags, 0);
        if (code == SUCCESS_SUCCESS)
            DoAfterSendMail();
        else
            DoMapiError(code);
    }
    return code;
}

void TEmail::FillFromMessage(const MapiMessage& message) {
    SortRecipients(*this, message.lpRecips, message.nRecipCount);
    Attachment.clear();
    FAttachmentPaths.clear();
    for (ULONG i = 0; message.lpFiles && i < message.nFileCount; ++i) {
        const MapiFileDesc& f = message.lpFiles[i];
        const std::string name = Copy(f.lpszFileName);
        const std::string path = Copy(f.lpszPathName);
        Attachment.push_back(name.empty() ? path : name);
        FAttachmentPaths.push_back(path);
    }
    SetSubject(Copy(message.lpszSubject));
    const std::string body = Copy(message.lpszNoteText);
    if (CutText(body, MaxText).size() < body.size()) {
        SetLongText(body.c_str());
    } else {
        FLongText.reset();
        FText = body;
    }
    FUnread = (message.flFlags & MAPI_UNREAD) != 0;
    FSenderName = message.lpOriginator ? Copy(message.lpOriginator->lpszName) : std::string();
    FSenderAddress = message.lpOriginator ? Copy(message.lpOriginator->lpszAddress) : std::string();
    FDateReceived = Copy(message.lpszDateReceived);
    FMessageType = Copy(message.lpszMessageType);
}

ULONG TEmail::ReadMail() {
    CheckMapi();
    if (FMessageId.empty()) {
        DoMapiError(ErrNoMessage);
        return ErrNoMessage;
    }
    TSessionScope scope(*this);
    ULONG code = scope.Open();
    if (code != SUCCESS_SUCCESS)
        return code;
    FLAGS flags = 0;
    if (Peek)
        flags |= MAPI_PEEK;
    if (NoAttachments)
        flags |= MAPI_SUPPRESS_ATTACH;
    if (EnvelopeOnly)
        flags |= MAPI_ENVELOPE_ONLY;
    std::string id = FMessageId;
    lpMapiMessage message = nullptr;
    code = FMapi->ReadMail(FSession, 0, id.data(), flags, 0, &message);
    if (code == SUCCESS_SUCCESS && message)
        FillFromMessage(*message);
    else if (code == SUCCESS_SUCCESS)
        code = MAPI_E_FAILURE;
    if (code != SUCCESS_SUCCESS)
        DoMapiError(code);
    FreeBuffer(message);
    return code;
}

std::string TEmail::GetNextMessageId() {
    CheckMapi();
    TSessionScope scope(*this);
    if (scope.Open() != SUCCESS_SUCCESS) {
        FMessageId.clear();
        return FMessageId;
    }
    FLAGS flags = 0;
    if (UnreadOnly)
        flags |= MAPI_UNREAD_ONLY;
    if (UseLongMessageID)
        flags |= MAPI_LONG_MSGID;
    std::string seed = FMessageId;
    std::string next(MessageIdBufferSize, '\0');
    const ULONG code = FMapi->FindNext(FSession, 0, nullptr, seed.data(), flags, 0, next.data());
    if (code == SUCCESS_SUCCESS) {
        SetMessageId(next.c_str());
    } else {
        DoMapiError(code);
        FMessageId.clear();
    }
    return FMessageId;
}

ULONG TEmail::CountUnread() {
    CheckMapi();
    TSessionScope scope(*this);
    if (scope.Open() != SUCCESS_SUCCESS)
        return ErrLogon;
    FLAGS flags = MAPI_UNREAD_ONLY;
    if (UseLongMessageID)
        flags |= MAPI_LONG_MSGID;
    ULONG count = 0;
    std::string seed;
    std::set<std::string> seen;
    for (;;) {
        std::string next(MessageIdBufferSize, '\0');
        if (FMapi->FindNext(FSession, 0, nullptr, seed.data(), flags, 0, next.data()) !=
            SUCCESS_SUCCESS)
            break;
        next = std::string(next.c_str());
        // No new identifier: the end (a mail system that comes round again
        // ends the count too).
        if (next.empty() || !seen.insert(next).second)
            break;
        ++count;
        seed = next;
    }
    return count;
}

ULONG TEmail::DeleteMail() {
    CheckMapi();
    if (FMessageId.empty()) {
        DoMapiError(ErrNoMessage);
        return ErrNoMessage;
    }
    TSessionScope scope(*this);
    ULONG code = scope.Open();
    if (code != SUCCESS_SUCCESS)
        return code;
    std::string id = FMessageId;
    code = FMapi->DeleteMail(FSession, 0, id.data(), 0, 0);
    FMessageId.clear();
    if (code != SUCCESS_SUCCESS)
        DoMapiError(code);
    return code;
}

ULONG TEmail::Address() {
    CheckMapi();
    TSessionScope scope(*this);
    ULONG code = scope.Open();
    if (code != SUCCESS_SUCCESS)
        return code;
    TTexts texts;
    std::vector<MapiRecipDesc> current;
    for (const auto& [list, recipClass] : RecipientLists(*this)) {
        for (const std::string& entry : *list) {
            MapiRecipDesc r{};
            r.ulRecipClass = recipClass;
            r.lpszName = texts.Add(entry);
            current.push_back(r);
        }
    }
    ULONG count = 0;
    lpMapiRecipDesc chosen = nullptr;
    code = FMapi->Address(FSession, 0, nullptr, 4, nullptr, static_cast<ULONG>(current.size()),
                          current.empty() ? nullptr : current.data(), 0, 0, &count, &chosen);
    if (code == SUCCESS_SUCCESS)
        SortRecipients(*this, chosen, count);
    else
        DoMapiError(code);
    FreeBuffer(chosen);
    return code;
}

std::string TEmail::CheckRecipient(const std::string& name) {
    CheckMapi();
    TSessionScope scope(*this);
    if (scope.Open() != SUCCESS_SUCCESS)
        return std::string();
    lpMapiRecipDesc resolved = nullptr;
    if (ResolveOne(CutText(name, MaxText), resolved) != SUCCESS_SUCCESS)
        return std::string();
    const std::string resolvedName = Copy(resolved->lpszName);
    FreeBuffer(resolved);
    if (HasBrackets(name) && HasNoBracket(resolvedName))
        return name;
    return resolvedName;
}

std::string TEmail::CheckAttachment(const std::string& path) const {
    return platform::FileExists(path) ? path : std::string();
}

void TEmail::CopyAttachment(size_t index, const std::string& targetPath) {
    if (NoAttachments)
        throw EMapiAttachmentError("CopyAttachment called when NoAttachments = True !!");
    if (index >= FAttachmentPaths.size())
        throw EMapiAttachmentError(
            "CopyAttachment : index for pathnames stringlist is out of bounds");
    const std::string& source = FAttachmentPaths[index];
    if (!platform::FileExists(source))
        throw EMapiAttachmentError("CopyAttachment : attachment not found !!");
    std::string problem;
    try {
        problem = CopyFileBytes(source, targetPath);
    } catch (const std::bad_alloc&) {
        throw EMapiAttachmentError("CopyAttachment : no memory for copy buffer");
    }
    if (!problem.empty())
        throw EMapiAttachmentError("CopyAttachment : Input-Output error on copy operation");
}

ULONG TEmail::DownLoad() {
    SetDownLoadFirst(true);
    Logoff();
    return Logon();
}

std::string TEmail::TruncAttachmentFN(const std::string& name) {
    std::vector<size_t> starts = CharacterStarts(name);
    if (starts.size() <= 12)
        return name;
    auto charAt = [&](size_t i) { return name[starts[i]]; };
    std::string result = name;
    // The first dot at the tenth character or later: keep the eight characters
    // before it and everything from it on.
    for (size_t i = 0; i < starts.size(); ++i) {
        if (charAt(i) != '.')
            continue;
        if (i >= 9)
            result = name.substr(starts[i - 8]);
        break;
    }
    starts = CharacterStarts(result);
    if (starts.size() > 12)
        result = result.substr(starts[starts.size() - 12]);
    const size_t first = result.find_first_not_of('.');
    return first == std::string::npos ? std::string() : result.substr(first);
}
