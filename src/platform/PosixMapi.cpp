// Simple MAPI on POSIX desktops: the ten calls served by the program itself.
// A message goes to the desktop's mail client through xdg-email, which opens
// the client's compose window filled in; there is no mail store, so reading,
// saving and the address book are not there. Without xdg-email there is no
// mail system at all.
#ifndef _WIN32
#include "platform/Platform.h"
#include "platform/Process.h"
#include "platform/SimpleMapi.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <strings.h>

namespace platform {

std::chrono::milliseconds XdgEmailTimeout{5000};

namespace {
using namespace smapi;

std::set<LHANDLE>& Sessions() {
    static std::set<LHANDLE> sessions;
    return sessions;
}

// Session 0 stands for "log on for this call only".
bool KnownSession(LHANDLE session) {
    return session == 0 || Sessions().count(session) != 0;
}

// Whether a program can be found on PATH as posix_spawnp would find it.
bool OnPath(Platform& platform, const std::string& program) {
    const char* path = std::getenv("PATH");
    const std::string folders = path ? path : "/bin:/usr/bin";
    size_t start = 0;
    for (;;) {
        const size_t end = folders.find(':', start);
        std::string folder = folders.substr(start, end - start);
        if (folder.empty())
            folder = ".";
        if (platform.IsExecutable(folder + "/" + program))
            return true;
        if (end == std::string::npos)
            return false;
        start = end + 1;
    }
}

std::string Text(const char* text) {
    return text ? std::string(text) : std::string();
}

// The address a recipient is reached at, without a transport prefix.
std::string MailAddress(const MapiRecipDesc& recipient) {
    std::string address = Text(recipient.lpszAddress);
    if (address.empty())
        address = Text(recipient.lpszName);
    if (address.size() > 5 && strncasecmp(address.c_str(), "SMTP:", 5) == 0)
        address.erase(0, 5);
    return address;
}

// An address inside a mailto: URI: everything but letters, digits and the
// few characters that never mean anything there is percent-encoded, so "?",
// "&", "," and "%" stay part of the address.
std::string UriEncoded(const std::string& address) {
    static const char* const hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : address) {
        if (std::isalnum(c) || std::strchr("-._~@+", c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

ULONG WORDLARK_MAPI_CALL Logon(ULONG_PTR, char*, char*, FLAGS, ULONG, LHANDLE* session) {
    if (!session)
        return MAPI_E_FAILURE;
    static LHANDLE last = 0;
    *session = ++last;
    Sessions().insert(*session);
    return SUCCESS_SUCCESS;
}

ULONG WORDLARK_MAPI_CALL Logoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
    return Sessions().erase(session) != 0 ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
}

// Every name is taken as the address it is: there is no address book.
ULONG WORDLARK_MAPI_CALL ResolveName(LHANDLE session, ULONG_PTR, char* name, FLAGS, ULONG,
                                     lpMapiRecipDesc* recipient) {
    if (!recipient)
        return MAPI_E_FAILURE;
    *recipient = nullptr;
    if (!KnownSession(session))
        return MAPI_E_INVALID_SESSION;
    const size_t length = name ? std::strlen(name) : 0;
    if (length == 0)
        return MAPI_E_UNKNOWN_RECIPIENT;
    // One block that MAPIFreeBuffer releases at once: the record, then the text
    // that serves as both name and address.
    void* block = std::malloc(sizeof(MapiRecipDesc) + length + 1);
    if (!block)
        return MAPI_E_INSUFFICIENT_MEMORY;
    auto* desc = static_cast<MapiRecipDesc*>(block);
    char* text = static_cast<char*>(block) + sizeof(MapiRecipDesc);
    std::memcpy(text, name, length + 1);
    *desc = MapiRecipDesc{};
    desc->ulRecipClass = MAPI_TO;
    desc->lpszName = text;
    desc->lpszAddress = text;
    *recipient = desc;
    return SUCCESS_SUCCESS;
}

ULONG WORDLARK_MAPI_CALL FreeBuffer(void* buffer) {
    std::free(buffer);
    return SUCCESS_SUCCESS;
}

// What the last SendMail did with xdg-email, and who hears of a late end.
std::optional<THandOff>& LastMail() {
    static std::optional<THandOff> last;
    return last;
}
TLateEnd& MailLateEnd() {
    static TLateEnd onLateEnd;
    return onLateEnd;
}

// How the hand-off went, as the mail system's code: a message xdg-email still
// holds has been taken by the mail client, which is still showing it.
ULONG MailResult(const THandOff& handOff) {
    switch (handOff.Reason) {
    case THandOff::TReason::None:
        return SUCCESS_SUCCESS;
    case THandOff::TReason::NotFound:
        return MAPI_E_ATTACHMENT_NOT_FOUND;
    case THandOff::TReason::NoPermission:
        return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    default:
        return MAPI_E_FAILURE;
    }
}

// A message that did not reach xdg-email: the provider's own code, and a
// failure with no tool status for LastMailHandOff.
ULONG Refused(ULONG code) {
    LastMail() = THandOff{THandOff::TState::Failed, THandOff::TReason::Unknown, -1, {}};
    return code;
}

ULONG WORDLARK_MAPI_CALL SendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS, ULONG) {
    if (!message)
        return Refused(MAPI_E_FAILURE);
    if (!KnownSession(session))
        return Refused(MAPI_E_INVALID_SESSION);
    std::vector<std::string> argv = {"xdg-email", "--utf8"};
    std::string to;
    for (ULONG i = 0; message->lpRecips && i < message->nRecipCount; ++i) {
        const MapiRecipDesc& recipient = message->lpRecips[i];
        const std::string address = MailAddress(recipient);
        if (address.empty())
            return Refused(MAPI_E_INVALID_RECIPS);
        switch (recipient.ulRecipClass) {
        case MAPI_TO:
            to += (to.empty() ? "" : ",") + UriEncoded(address);
            break;
        case MAPI_CC:
            argv.insert(argv.end(), {"--cc", address});
            break;
        case MAPI_BCC:
            argv.insert(argv.end(), {"--bcc", address});
            break;
        default:
            return Refused(MAPI_E_BAD_RECIPTYPE);
        }
    }
    // xdg-email refuses an option with an empty text.
    if (const std::string subject = Text(message->lpszSubject); !subject.empty())
        argv.insert(argv.end(), {"--subject", subject});
    if (const std::string body = Text(message->lpszNoteText); !body.empty())
        argv.insert(argv.end(), {"--body", body});
    for (ULONG i = 0; message->lpFiles && i < message->nFileCount; ++i) {
        const std::string path = Text(message->lpFiles[i].lpszPathName);
        if (path.empty())
            return Refused(MAPI_E_ATTACHMENT_NOT_FOUND);
        argv.insert(argv.end(), {"--attach", path});
    }
    if (!to.empty())
        argv.push_back("mailto:" + to);
    TProcessEnd onEnd;
    if (const TLateEnd& onLateEnd = MailLateEnd())
        onEnd = [onLateEnd](const TProcessResult& end) { onLateEnd(XdgHandOff(end)); };
    const THandOff handOff = XdgHandOff(RunProcess(argv, XdgEmailTimeout, std::move(onEnd)));
    LastMail() = handOff;
    return MailResult(handOff);
}

ULONG WORDLARK_MAPI_CALL SaveMail(LHANDLE session, ULONG_PTR, lpMapiMessage, FLAGS, ULONG, char*) {
    return KnownSession(session) ? MAPI_E_NOT_SUPPORTED : MAPI_E_INVALID_SESSION;
}

ULONG WORDLARK_MAPI_CALL ReadMail(LHANDLE session, ULONG_PTR, char*, FLAGS, ULONG,
                                  lpMapiMessage* message) {
    if (message)
        *message = nullptr;
    return KnownSession(session) ? MAPI_E_INVALID_MESSAGE : MAPI_E_INVALID_SESSION;
}

ULONG WORDLARK_MAPI_CALL FindNext(LHANDLE session, ULONG_PTR, char*, char*, FLAGS, ULONG, char*) {
    return KnownSession(session) ? MAPI_E_NO_MESSAGES : MAPI_E_INVALID_SESSION;
}

ULONG WORDLARK_MAPI_CALL DeleteMail(LHANDLE session, ULONG_PTR, char*, FLAGS, ULONG) {
    return KnownSession(session) ? MAPI_E_INVALID_MESSAGE : MAPI_E_INVALID_SESSION;
}

ULONG WORDLARK_MAPI_CALL Address(LHANDLE session, ULONG_PTR, char*, ULONG, char*, ULONG,
                                 lpMapiRecipDesc, FLAGS, ULONG, ULONG* count,
                                 lpMapiRecipDesc* chosen) {
    if (count)
        *count = 0;
    if (chosen)
        *chosen = nullptr;
    return KnownSession(session) ? MAPI_E_NOT_SUPPORTED : MAPI_E_INVALID_SESSION;
}

const TMapiFunctions XdgEmailMapi = {FindNext,   Logoff,      Logon,      SendMail, ReadMail,
                                     DeleteMail, ResolveName, FreeBuffer, Address,  SaveMail};
} // namespace

const smapi::TMapiFunctions* Platform::SimpleMapi() {
    return OnPath(*this, "xdg-email") ? &XdgEmailMapi : nullptr;
}

std::optional<std::string> Platform::DefaultMailProfile() {
    return std::nullopt;
}

std::optional<THandOff> Platform::LastMailHandOff() {
    return LastMail();
}

void Platform::SetMailLateEnd(TLateEnd onLateEnd) {
    MailLateEnd() = std::move(onLateEnd);
}

} // namespace platform
#endif
