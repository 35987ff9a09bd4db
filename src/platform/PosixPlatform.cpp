// POSIX implementation: the executable's path from /proc, the shell folders
// from the XDG base-directory variables as every Linux desktop program does.
// The per-user folders may not exist yet on a fresh account; they are made
// (parents included, mode 0700, as the XDG rules ask) when handed out, just as
// the Windows shell folders always exist.
#ifndef _WIN32
#include "platform/Platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// Makes every missing folder of an absolute path, each with mode 0700.
// Folders that exist already keep their mode; failures are left for the
// folder's users to meet.
void MakePrivateFolders(const std::string& path) {
    struct stat info {};
    if (path.empty() || path[0] != '/' || stat(path.c_str(), &info) == 0)
        return;
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) == 0)
            chmod(prefix.c_str(), 0700); // whatever the umask took away
        else if (errno != EEXIST)
            return;
        if (slash == std::string::npos)
            return;
    }
}

// A per-user base folder: the variable's value when it is an absolute path
// (the XDG rules ignore relative ones), else the fallback under $HOME.
std::string PerUserFolder(const char* variable, const char* fallback) {
    std::string dir = Env(variable);
    if (dir.empty() || dir[0] != '/') {
        const std::string home = Env("HOME");
        dir = home + fallback;
        if (home.empty() || home[0] != '/')
            return WithoutTrailingSlash(dir); // no home to make anything in
    }
    dir = WithoutTrailingSlash(dir);
    MakePrivateFolders(dir);
    return dir;
}

// The system's data folders: every absolute entry of $XDG_DATA_DIRS, in order
// (a relative entry is no folder the XDG rules allow); the XDG default when it
// names none.
std::vector<std::string> SystemDataFolders() {
    std::vector<std::string> folders;
    const std::string dirs = Env("XDG_DATA_DIRS");
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string entry = dirs.substr(start, end - start);
        if (!entry.empty() && entry.front() == '/')
            folders.push_back(WithoutTrailingSlash(entry));
        start = end + 1;
    }
    if (folders.empty())
        folders = {"/usr/local/share", "/usr/share"};
    return folders;
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
        switch (folder) {
        case ShellFolder::LocalAppData:
            return PerUserFolder("XDG_DATA_HOME", "/.local/share");
        case ShellFolder::RoamingAppData:
            return PerUserFolder("XDG_CONFIG_HOME", "/.config");
        case ShellFolder::CommonAppData:
            return SystemDataFolders().front();
        }
        return std::string();
    }

    // The user's own data folder first, then the system's, as XDG data files
    // are searched.
    std::vector<std::string> CommonAppDataRoots() override {
        std::vector<std::string> roots{GetShellFolder(ShellFolder::LocalAppData)};
        for (std::string& folder : SystemDataFolders())
            roots.push_back(std::move(folder));
        return roots;
    }

    // The first system data folder, where every user finds the registration;
    // the user's own data folder for a user who may not write there.
    std::vector<std::string> RegistrationRoots() override {
        return {SystemDataFolders().front(), GetShellFolder(ShellFolder::LocalAppData)};
    }
};
} // namespace

std::unique_ptr<Platform> CreateNative() {
    return std::make_unique<PosixPlatform>();
}

void UseStartingConsole() {}

} // namespace platform
#endif
