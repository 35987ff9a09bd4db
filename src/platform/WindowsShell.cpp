// The shell on Windows: ShellExecuteW with the verb "open" for documents,
// addresses and programs, and "explorer" for folders; it answers at once, so
// no hand-off is ever still running. Texts cross the Win32 boundary as UTF-16.
#ifdef _WIN32
#include "platform/Platform.h"

#include "platform/Utf8.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

namespace {
// One argument as CommandLineToArgvW reads it back: quoted when it holds a
// blank, a tab or a quote, backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count double only before a quote.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

// ShellExecuteW's answer: above 32 when the shell took the request, else the
// reason it did not.
THandOff HandOffOf(INT_PTR result) {
    using TReason = THandOff::TReason;
    if (result > 32)
        return {};
    THandOff handOff{THandOff::TState::Failed, TReason::Other, static_cast<int>(result), {}};
    switch (result) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        handOff.Reason = TReason::NotFound;
        break;
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
        handOff.Reason = TReason::NoHandler;
        break;
    case SE_ERR_ACCESSDENIED:
        handOff.Reason = TReason::NoPermission;
        break;
    case ERROR_BAD_FORMAT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEBUSY:
    case SE_ERR_SHARE:
    case SE_ERR_DLLNOTFOUND:
        handOff.Reason = TReason::ActionFailed;
        break;
    default:
        break;
    }
    return handOff;
}

// The shell answers at once: nothing is left running to report later.
THandOff Execute(const std::wstring& file, const std::wstring& parameters) {
    if (file.empty())
        return {THandOff::TState::Failed, THandOff::TReason::NotFound, -1, {}};
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", file.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return HandOffOf(reinterpret_cast<INT_PTR>(result));
}
} // namespace

THandOff Platform::OpenDocument(const std::string& path, TLateEnd) {
    return Execute(WideFromUtf8(path), std::wstring());
}

THandOff Platform::OpenFolder(const std::string& path, TLateEnd) {
    if (path.empty())
        return {THandOff::TState::Failed, THandOff::TReason::NotFound, -1, {}};
    return Execute(L"explorer", Quoted(WideFromUtf8(path)));
}

THandOff Platform::OpenAddress(const std::string& address, TLateEnd) {
    return Execute(WideFromUtf8(AddressWithScheme(address)), std::wstring());
}

// Whether a program may be started is the shell's to say when it starts it.
bool Platform::IsExecutable(const std::string& path) {
    return FileExists(path);
}

bool Platform::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring parameters;
    for (const std::string& arg : arguments) {
        if (!parameters.empty())
            parameters += L' ';
        parameters += Quoted(WideFromUtf8(arg));
    }
    return !Execute(WideFromUtf8(program), parameters).Failed();
}

} // namespace platform
#endif
