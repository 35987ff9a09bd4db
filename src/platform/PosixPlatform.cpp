// POSIX implementation: the executable's path from /proc, the shell folders
// from the XDG base-directory variables as every Linux desktop program does.
#ifndef _WIN32
#include "platform/Platform.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace platform {

namespace {
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

class PosixPlatform : public Platform {
public:
    std::string ExecutablePath() override {
        char buffer[PATH_MAX];
        ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0)
            return std::string();
        return std::string(buffer, static_cast<size_t>(n));
    }

    std::string GetShellFolder(ShellFolder folder) override {
        std::string home = Env("HOME");
        switch (folder) {
        case ShellFolder::LocalAppData: {
            std::string dir = Env("XDG_DATA_HOME");
            return WithoutTrailingSlash(dir.empty() ? home + "/.local/share" : dir);
        }
        case ShellFolder::RoamingAppData: {
            std::string dir = Env("XDG_CONFIG_HOME");
            return WithoutTrailingSlash(dir.empty() ? home + "/.config" : dir);
        }
        case ShellFolder::CommonAppData: {
            std::string dirs = Env("XDG_DATA_DIRS");
            std::string first = dirs.substr(0, dirs.find(':'));
            return WithoutTrailingSlash(first.empty() ? "/usr/local/share" : first);
        }
        }
        return std::string();
    }
};
} // namespace

std::unique_ptr<Platform> CreateNative() {
    return std::make_unique<PosixPlatform>();
}

} // namespace platform
#endif
