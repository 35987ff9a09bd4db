// The shell on POSIX desktops: documents, folders and addresses go to
// xdg-open, which hands them to the desktop's handler; programs are started
// directly. Nothing waits for the program that was started.
#ifndef _WIN32
#include "platform/Platform.h"
#include "platform/Process.h"

#include <unistd.h>

namespace platform {

namespace {
// xdg-open takes a leading "-" for an option of its own; a relative path is
// given a "./" so that it stays a path.
std::string AsOperand(const std::string& path) {
    return !path.empty() && path.front() == '-' ? "./" + path : path;
}

bool XdgOpen(const std::string& target) {
    if (target.empty())
        return false;
    return StartProcess({"xdg-open", target}).empty();
}
} // namespace

bool Platform::OpenDocument(const std::string& path) {
    return XdgOpen(AsOperand(path));
}

bool Platform::OpenFolder(const std::string& path) {
    return XdgOpen(AsOperand(path));
}

bool Platform::OpenAddress(const std::string& address) {
    return XdgOpen(AddressWithScheme(address));
}

bool Platform::IsExecutable(const std::string& path) {
    return FileExists(path) && ::access(path.c_str(), X_OK) == 0;
}

bool Platform::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return StartProcess(argv).empty();
}

} // namespace platform
#endif
