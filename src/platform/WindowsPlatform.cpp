// Windows implementation over the shell's folder and module calls, through
// their W forms so that paths outside the ANSI code page survive.
#ifdef _WIN32
#include "platform/Platform.h"

#include "platform/Utf8.h"

#include <cstdio>

#include <shlobj.h>
#include <windows.h>

namespace platform {

namespace {
class WindowsPlatform : public Platform {
public:
    std::string ExecutablePath() override {
        // A path may be up to 32767 characters long; the call cuts it silently
        // (returning the buffer's size) when the buffer is too small.
        std::wstring buffer(MAX_PATH, L'\0');
        for (;;) {
            const DWORD size = static_cast<DWORD>(buffer.size());
            const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), size);
            if (n == 0)
                return std::string();
            if (n < size) {
                buffer.resize(n);
                return Utf8FromWide(buffer);
            }
            if (size >= 65536)
                return std::string();
            buffer.resize(size * 2);
        }
    }

    std::string GetShellFolder(ShellFolder folder) override {
        int csidl = CSIDL_LOCAL_APPDATA; // 0x1C
        if (folder == ShellFolder::RoamingAppData)
            csidl = CSIDL_APPDATA; // 0x1A
        else if (folder == ShellFolder::CommonAppData)
            csidl = CSIDL_COMMON_APPDATA; // 0x23
        wchar_t buffer[MAX_PATH] = {};
        if (SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK)
            return std::string();
        return Utf8FromWide(buffer);
    }
};
} // namespace

std::unique_ptr<Platform> CreateNative() {
    return std::make_unique<WindowsPlatform>();
}

void UseStartingConsole() {
    const auto usable = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    };
    const bool out = usable(STD_OUTPUT_HANDLE);
    const bool err = usable(STD_ERROR_HANDLE);
    if ((!out || !err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!out && !std::freopen("CONOUT$", "w", stdout))
            return;
        if (!err && !std::freopen("CONOUT$", "w", stderr))
            return;
    }
    SetConsoleOutputCP(CP_UTF8);
}

} // namespace platform
#endif
