// Simple MAPI on Windows: the loader of the system's mapi32.dll.
//
// - It runs at the first request for the entry points, never while static
//   objects are built, so nothing happens before the program's windows exist.
// - MAPI counts as installed only when the registry says so (the value "MAPI"
//   of HKLM\SOFTWARE\Microsoft\Windows Messaging Subsystem is exactly "1").
// - The library is loaded from the system folder only, never from the
//   program's folder or the current one, with the system's error boxes off.
// - MAPI counts as available only once all ten entry points are bound; a
//   library that lacks one is released again, and asking for the entry points
//   then raises EMapiDllError, so no call ever goes through a null pointer.
// - The entry points are the ANSI ones: the program's UTF-8 texts are handed
//   over in the system's code page, paths it cannot hold in their short form.
#ifdef _WIN32
#include "platform/SimpleMapi.h" // before <mapi.h>

#include "platform/Platform.h"
#include "platform/Utf8.h"

#include <windows.h>

#include <mapi.h>

#include <cstddef>
#include <deque>
#include <string>
#include <type_traits>
#include <vector>

// ---- Our declarations are the SDK's ----------------------------------------------

#define WORDLARK_CHECK_MAPI_CONSTANT(name, value)                                                  \
    static_assert((value) == (name), #name " differs from <mapi.h>");
WORDLARK_SIMPLE_MAPI_CONSTANTS(WORDLARK_CHECK_MAPI_CONSTANT)
#undef WORDLARK_CHECK_MAPI_CONSTANT

static_assert(std::is_same_v<smapi::ULONG, ::ULONG>);
static_assert(std::is_same_v<smapi::FLAGS, ::FLAGS>);
static_assert(std::is_same_v<smapi::ULONG_PTR, ::ULONG_PTR>);
static_assert(std::is_same_v<smapi::LHANDLE, ::LHANDLE>);
static_assert(sizeof(smapi::LHANDLE) == sizeof(void*), "a session handle is pointer-sized");

#define WORDLARK_CHECK_FIELD(record, field)                                                        \
    static_assert(offsetof(smapi::record, field) == offsetof(::record, field) &&                   \
                      sizeof(smapi::record::field) == sizeof(::record::field),                     \
                  #record "." #field " differs from <mapi.h>");
WORDLARK_CHECK_FIELD(MapiRecipDesc, ulReserved)
WORDLARK_CHECK_FIELD(MapiRecipDesc, ulRecipClass)
WORDLARK_CHECK_FIELD(MapiRecipDesc, lpszName)
WORDLARK_CHECK_FIELD(MapiRecipDesc, lpszAddress)
WORDLARK_CHECK_FIELD(MapiRecipDesc, ulEIDSize)
WORDLARK_CHECK_FIELD(MapiRecipDesc, lpEntryID)
WORDLARK_CHECK_FIELD(MapiFileDesc, ulReserved)
WORDLARK_CHECK_FIELD(MapiFileDesc, flFlags)
WORDLARK_CHECK_FIELD(MapiFileDesc, nPosition)
WORDLARK_CHECK_FIELD(MapiFileDesc, lpszPathName)
WORDLARK_CHECK_FIELD(MapiFileDesc, lpszFileName)
WORDLARK_CHECK_FIELD(MapiFileDesc, lpFileType)
WORDLARK_CHECK_FIELD(MapiMessage, ulReserved)
WORDLARK_CHECK_FIELD(MapiMessage, lpszSubject)
WORDLARK_CHECK_FIELD(MapiMessage, lpszNoteText)
WORDLARK_CHECK_FIELD(MapiMessage, lpszMessageType)
WORDLARK_CHECK_FIELD(MapiMessage, lpszDateReceived)
WORDLARK_CHECK_FIELD(MapiMessage, lpszConversationID)
WORDLARK_CHECK_FIELD(MapiMessage, flFlags)
WORDLARK_CHECK_FIELD(MapiMessage, lpOriginator)
WORDLARK_CHECK_FIELD(MapiMessage, nRecipCount)
WORDLARK_CHECK_FIELD(MapiMessage, lpRecips)
WORDLARK_CHECK_FIELD(MapiMessage, nFileCount)
WORDLARK_CHECK_FIELD(MapiMessage, lpFiles)
#undef WORDLARK_CHECK_FIELD
static_assert(sizeof(smapi::MapiRecipDesc) == sizeof(::MapiRecipDesc));
static_assert(sizeof(smapi::MapiFileDesc) == sizeof(::MapiFileDesc));
static_assert(sizeof(smapi::MapiMessage) == sizeof(::MapiMessage));

// The entry points without records in their parameters are the SDK's types
// exactly, calling convention included.
static_assert(std::is_same_v<smapi::TMapiLogon, ::MAPILOGON>);
static_assert(std::is_same_v<smapi::TMapiLogoff, ::MAPILOGOFF>);
static_assert(std::is_same_v<smapi::TMapiFindNext, ::MAPIFINDNEXT>);
static_assert(std::is_same_v<smapi::TMapiDeleteMail, ::MAPIDELETEMAIL>);
static_assert(std::is_same_v<smapi::TMapiFreeBuffer*, ::LPMAPIFREEBUFFER>);

namespace platform {

namespace {

// ---- Texts in the system's code page -----------------------------------------------

// UTF-8 as UTF-16; `valid` tells whether the text was UTF-8 at all.
std::wstring WideIfUtf8(const std::string& utf8, bool& valid) {
    valid = true;
    if (utf8.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                      static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0) {
        valid = false;
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string AnsiFromWide(const std::wstring& wide, bool& lossless) {
    lossless = true;
    if (wide.empty())
        return std::string();
    BOOL usedDefault = FALSE;
    const int n =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                            static_cast<int>(wide.size()), nullptr, 0, nullptr, &usedDefault);
    std::string ansi(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                            static_cast<int>(wide.size()), ansi.data(), n, nullptr, &usedDefault);
    lossless = n > 0 && !usedDefault;
    return ansi;
}

// A text for the ANSI entry points. A text that is no UTF-8 is taken to be in
// the code page already (the mail system's own answers are). A path the code
// page cannot hold is given in its short form, which can.
std::string Ansi(const char* text, bool isPath) {
    const std::string utf8(text);
    bool valid = false;
    const std::wstring wide = WideIfUtf8(utf8, valid);
    if (!valid)
        return utf8;
    bool lossless = false;
    std::string ansi = AnsiFromWide(wide, lossless);
    if (!lossless && isPath) {
        const DWORD n = GetShortPathNameW(wide.c_str(), nullptr, 0);
        if (n > 0) {
            std::wstring shortPath(n, L'\0');
            const DWORD written = GetShortPathNameW(wide.c_str(), shortPath.data(), n);
            if (written > 0 && written < n) {
                shortPath.resize(written);
                bool shortLossless = false;
                std::string shortAnsi = AnsiFromWide(shortPath, shortLossless);
                if (shortLossless)
                    return shortAnsi;
            }
        }
    }
    return ansi;
}

// A copy of a message with its texts in the code page, for as long as a call
// needs it.
class TAnsiMessage {
public:
    explicit TAnsiMessage(const smapi::MapiMessage& message) : Message(message) {
        Message.lpszSubject = Add(message.lpszSubject, false);
        Message.lpszNoteText = Add(message.lpszNoteText, false);
        Message.lpszMessageType = Add(message.lpszMessageType, false);
        Message.lpszDateReceived = Add(message.lpszDateReceived, false);
        Message.lpszConversationID = Add(message.lpszConversationID, false);
        if (message.lpOriginator) {
            FOriginator = Recipient(*message.lpOriginator);
            Message.lpOriginator = &FOriginator;
        }
        for (smapi::ULONG i = 0; message.lpRecips && i < message.nRecipCount; ++i)
            FRecipients.push_back(Recipient(message.lpRecips[i]));
        Message.lpRecips = FRecipients.empty() ? nullptr : FRecipients.data();
        for (smapi::ULONG i = 0; message.lpFiles && i < message.nFileCount; ++i) {
            smapi::MapiFileDesc file = message.lpFiles[i];
            file.lpszPathName = Add(file.lpszPathName, true);
            file.lpszFileName = Add(file.lpszFileName, false);
            FFiles.push_back(file);
        }
        Message.lpFiles = FFiles.empty() ? nullptr : FFiles.data();
    }

    smapi::MapiMessage Message;

private:
    char* Add(const char* text, bool isPath) {
        if (!text)
            return nullptr;
        FTexts.push_back(Ansi(text, isPath));
        return FTexts.back().data();
    }
    smapi::MapiRecipDesc Recipient(smapi::MapiRecipDesc recipient) {
        recipient.lpszName = Add(recipient.lpszName, false);
        recipient.lpszAddress = Add(recipient.lpszAddress, false);
        return recipient;
    }

    std::deque<std::string> FTexts;
    smapi::MapiRecipDesc FOriginator{};
    std::vector<smapi::MapiRecipDesc> FRecipients;
    std::vector<smapi::MapiFileDesc> FFiles;
};

// ---- The library ---------------------------------------------------------------------

bool MapiInstalled() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    wchar_t value[8] = {};
    DWORD type = 0;
    DWORD size = sizeof(value) - sizeof(wchar_t);
    const LONG read =
        RegQueryValueExW(key, L"MAPI", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::wstring text(value, size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text == L"1";
}

HMODULE LoadFromSystemFolder() {
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE library = LoadLibraryExW(L"mapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!library && GetLastError() == ERROR_INVALID_PARAMETER) {
        // A system without the search flags: the full path in the system folder.
        wchar_t folder[MAX_PATH] = {};
        const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
        if (n > 0 && n < MAX_PATH) {
            const std::wstring path = std::wstring(folder, n) + L"\\mapi32.dll";
            library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        }
    }
    SetThreadErrorMode(previousMode, nullptr);
    return library;
}

template <class Function> bool Bind(HMODULE library, const char* name, Function*& slot) {
    const FARPROC address = GetProcAddress(library, name);
    slot = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(address));
    return slot != nullptr;
}

class TMapiLibrary {
public:
    TMapiLibrary() = default;
    TMapiLibrary(const TMapiLibrary&) = delete;
    TMapiLibrary& operator=(const TMapiLibrary&) = delete;
    // At program end the library is released and the entry points forgotten.
    ~TMapiLibrary() { Release(); }

    const smapi::TMapiFunctions* Functions();

    // The library's own entry points.
    smapi::TMapiFunctions Raw{};

private:
    void Load();
    void Release() {
        if (FLibrary)
            FreeLibrary(FLibrary);
        FLibrary = nullptr;
        Raw = smapi::TMapiFunctions{};
        FAvailable = false;
    }

    HMODULE FLibrary = nullptr;
    bool FTried = false;
    bool FAvailable = false;
    bool FMissingEntryPoint = false;
};

TMapiLibrary& Library() {
    static TMapiLibrary library;
    return library;
}

smapi::ULONG WORDLARK_MAPI_CALL LogonAnsi(smapi::ULONG_PTR window, char* profile, char* password,
                                          smapi::FLAGS flags, smapi::ULONG reserved,
                                          smapi::LHANDLE* session) {
    std::string ansiProfile = profile ? Ansi(profile, false) : std::string();
    std::string ansiPassword = password ? Ansi(password, false) : std::string();
    return Library().Raw.Logon(window, profile ? ansiProfile.data() : nullptr,
                               password ? ansiPassword.data() : nullptr, flags, reserved, session);
}

smapi::ULONG WORDLARK_MAPI_CALL SendMailAnsi(smapi::LHANDLE session, smapi::ULONG_PTR window,
                                             smapi::lpMapiMessage message, smapi::FLAGS flags,
                                             smapi::ULONG reserved) {
    if (!message)
        return Library().Raw.SendMail(session, window, message, flags, reserved);
    TAnsiMessage ansi(*message);
    return Library().Raw.SendMail(session, window, &ansi.Message, flags, reserved);
}

smapi::ULONG WORDLARK_MAPI_CALL SaveMailAnsi(smapi::LHANDLE session, smapi::ULONG_PTR window,
                                             smapi::lpMapiMessage message, smapi::FLAGS flags,
                                             smapi::ULONG reserved, char* messageId) {
    if (!message)
        return Library().Raw.SaveMail(session, window, message, flags, reserved, messageId);
    TAnsiMessage ansi(*message);
    return Library().Raw.SaveMail(session, window, &ansi.Message, flags, reserved, messageId);
}

smapi::ULONG WORDLARK_MAPI_CALL ResolveNameAnsi(smapi::LHANDLE session, smapi::ULONG_PTR window,
                                                char* name, smapi::FLAGS flags,
                                                smapi::ULONG reserved,
                                                smapi::lpMapiRecipDesc* recipient) {
    std::string ansiName = name ? Ansi(name, false) : std::string();
    return Library().Raw.ResolveName(session, window, name ? ansiName.data() : nullptr, flags,
                                     reserved, recipient);
}

const smapi::TMapiFunctions* TMapiLibrary::Functions() {
    if (!FTried) {
        FTried = true;
        Load();
    }
    if (FMissingEntryPoint)
        throw smapi::EMapiDllError();
    if (!FAvailable)
        return nullptr;
    // The library's entry points, with the texts of the program turned into
    // the code page on their way in.
    static smapi::TMapiFunctions offered;
    offered = Raw;
    offered.Logon = LogonAnsi;
    offered.SendMail = SendMailAnsi;
    offered.SaveMail = SaveMailAnsi;
    offered.ResolveName = ResolveNameAnsi;
    return &offered;
}

void TMapiLibrary::Load() {
    if (!MapiInstalled())
        return;
    FLibrary = LoadFromSystemFolder();
    if (!FLibrary)
        return;
    smapi::TMapiFunctions bound{};
    const bool complete = Bind(FLibrary, "MAPIFindNext", bound.FindNext) &&
                          Bind(FLibrary, "MAPILogoff", bound.Logoff) &&
                          Bind(FLibrary, "MAPILogon", bound.Logon) &&
                          Bind(FLibrary, "MAPISendMail", bound.SendMail) &&
                          Bind(FLibrary, "MAPIReadMail", bound.ReadMail) &&
                          Bind(FLibrary, "MAPIDeleteMail", bound.DeleteMail) &&
                          Bind(FLibrary, "MAPIResolveName", bound.ResolveName) &&
                          Bind(FLibrary, "MAPIFreeBuffer", bound.FreeBuffer) &&
                          Bind(FLibrary, "MAPIAddress", bound.Address) &&
                          Bind(FLibrary, "MAPISaveMail", bound.SaveMail);
    if (!complete) {
        Release();
        FMissingEntryPoint = true;
        return;
    }
    Raw = bound;
    FAvailable = true;
}

// The default profile's name from the current user's messaging settings.
std::optional<std::string> ReadDefaultProfile() {
    const wchar_t* const keys[] = {
        L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles",
        L"Software\\Microsoft\\Windows Messaging Subsystem\\Profiles"};
    for (const wchar_t* name : keys) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        std::wstring value(256, L'\0');
        DWORD type = 0;
        DWORD size = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
        const LONG read = RegQueryValueExW(key, L"DefaultProfile", nullptr, &type,
                                           reinterpret_cast<BYTE*>(value.data()), &size);
        RegCloseKey(key);
        if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::string();
        value.resize(size / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0')
            value.pop_back();
        return Utf8FromWide(value);
    }
    return std::nullopt;
}
} // namespace

const smapi::TMapiFunctions* Platform::SimpleMapi() {
    return Library().Functions();
}

std::optional<std::string> Platform::DefaultMailProfile() {
    return ReadDefaultProfile();
}

// The mail system's own library answers SendMail itself.
std::optional<THandOff> Platform::LastMailHandOff() {
    return std::nullopt;
}

void Platform::SetMailLateEnd(TLateEnd) {}

} // namespace platform
#endif
