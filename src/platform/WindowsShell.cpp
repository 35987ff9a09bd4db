// The shell on Windows: ShellExecuteW with the verb "open" for documents,
// addresses and programs, and "explorer" for folders. Texts cross the Win32
// boundary as UTF-16.
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

bool Execute(const std::wstring& file, const std::wstring& parameters) {
    if (file.empty())
        return false;
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", file.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}
} // namespace

bool Platform::OpenDocument(const std::string& path) {
    return Execute(WideFromUtf8(path), std::wstring());
}

bool Platform::OpenFolder(const std::string& path) {
    if (path.empty())
        return false;
    return Execute(L"explorer", Quoted(WideFromUtf8(path)));
}

bool Platform::OpenAddress(const std::string& address) {
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
    return Execute(WideFromUtf8(program), parameters);
}

} // namespace platform
#endif
