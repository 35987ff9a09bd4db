// Windows implementation over the shell's folder and module calls.
#ifdef _WIN32
#include "platform/Platform.h"

#include <shlobj.h>
#include <windows.h>

namespace platform {

namespace {
class WindowsPlatform : public Platform {
public:
    std::string ExecutablePath() override {
        char buffer[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
        return std::string(buffer, n);
    }

    std::string GetShellFolder(ShellFolder folder) override {
        int csidl = CSIDL_LOCAL_APPDATA; // 0x1C
        if (folder == ShellFolder::RoamingAppData)
            csidl = CSIDL_APPDATA; // 0x1A
        else if (folder == ShellFolder::CommonAppData)
            csidl = CSIDL_COMMON_APPDATA; // 0x23
        char buffer[MAX_PATH] = {};
        if (SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer) != S_OK)
            return std::string();
        return std::string(buffer);
    }
};
} // namespace

std::unique_ptr<Platform> CreateNative() {
    return std::make_unique<WindowsPlatform>();
}

} // namespace platform
#endif
