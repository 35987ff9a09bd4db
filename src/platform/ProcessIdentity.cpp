#include "platform/ProcessIdentity.h"

#ifndef _WIN32
#include <cerrno>
#include <climits>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <sstream>
#include <string>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace platform {

#ifndef _WIN32

namespace {

enum class TStat { Unknown, Ended, Running };

// What /proc tells of the process (Linux and others that have it): whether it
// still runs and when it started, in clock ticks after the system's start.
TStat ReadStat(std::uint64_t id, std::uint64_t& started) {
    std::ifstream in("/proc/" + std::to_string(id) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The name in parentheses may hold blanks and parentheses itself; the
    // fields after the last ")" are the state (field 3), ..., the start time
    // (field 22).
    const auto close = text.rfind(')');
    if (close == std::string::npos)
        return TStat::Unknown;
    std::istringstream fields(text.substr(close + 1));
    std::string state;
    fields >> state;
    if (state == "Z" || state == "X")
        return TStat::Ended;
    std::string skipped;
    for (int field = 4; field < 22 && fields >> skipped; ++field) {
    }
    return fields >> started ? TStat::Running : TStat::Unknown;
}

} // namespace

TProcessIdentity CurrentProcess() {
    TProcessIdentity self;
    self.Id = static_cast<std::uint64_t>(::getpid());
    if (ReadStat(self.Id, self.Started) != TStat::Running)
        self.Started = 0;
    return self;
}

bool ProcessRunning(const TProcessIdentity& process) {
    if (process.Id == 0 || process.Id > static_cast<std::uint64_t>(INT_MAX))
        return false;
    if (::kill(static_cast<pid_t>(process.Id), 0) != 0 && errno == ESRCH)
        return false;
    std::uint64_t started = 0;
    switch (ReadStat(process.Id, started)) {
    case TStat::Ended:
        return false;
    case TStat::Running:
        return process.Started == 0 || started == process.Started;
    case TStat::Unknown:
        break;
    }
    return true; // there is a process of that id; nothing tells more
}

#else

namespace {

std::uint64_t StartedAt(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

} // namespace

TProcessIdentity CurrentProcess() {
    return {GetCurrentProcessId(), StartedAt(GetCurrentProcess())};
}

bool ProcessRunning(const TProcessIdentity& process) {
    if (process.Id == 0 || process.Id > 0xFFFFFFFFu)
        return false;
    const HANDLE handle =
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process.Id));
    if (handle == nullptr)
        return GetLastError() == ERROR_ACCESS_DENIED; // there, but not ours to look at
    DWORD code = 0;
    bool running = GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
    if (running && process.Started != 0)
        running = StartedAt(handle) == process.Started;
    CloseHandle(handle);
    return running;
}

#endif

} // namespace platform
