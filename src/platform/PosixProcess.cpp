#ifndef _WIN32
#include "platform/Process.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {
// Children started without waiting for them; reaped whenever another program
// is started, so a finished one does not stay a zombie.
std::mutex& ChildrenLock() {
    static std::mutex lock;
    return lock;
}
std::vector<pid_t>& Children() {
    static std::vector<pid_t> children;
    return children;
}

void ReapFinished() {
    std::lock_guard<std::mutex> guard(ChildrenLock());
    auto& children = Children();
    for (auto it = children.begin(); it != children.end();) {
        const pid_t done = ::waitpid(*it, nullptr, WNOHANG);
        if (done == *it || (done < 0 && errno == ECHILD))
            it = children.erase(it);
        else
            ++it;
    }
}

void Adopt(pid_t pid) {
    std::lock_guard<std::mutex> guard(ChildrenLock());
    Children().push_back(pid);
}

// Spawns argv with stdin from /dev/null and the default signal mask; the child
// keeps our stdout and stderr. Returns 0 or the error number.
int Spawn(const std::vector<std::string>& argv, pid_t& pid) {
    if (argv.empty() || argv.front().empty())
        return ENOENT;
    std::vector<char*> args;
    args.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const int err = ::posix_spawnp(&pid, args.front(), &actions, &attributes, args.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return err;
}

std::string SpawnError(const std::string& program, int err) {
    return "Cannot start \"" + program + "\". " + std::strerror(err);
}
} // namespace

std::string StartProcess(const std::vector<std::string>& argv) {
    ReapFinished();
    pid_t pid = 0;
    const int err = Spawn(argv, pid);
    if (err != 0)
        return SpawnError(argv.empty() ? std::string() : argv.front(), err);
    Adopt(pid);
    return std::string();
}

TProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout) {
    ReapFinished();
    TProcessResult result;
    pid_t pid = 0;
    const int err = Spawn(argv, pid);
    if (err != 0) {
        result.Error = SpawnError(argv.empty() ? std::string() : argv.front(), err);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            if (WIFEXITED(status)) {
                result.State = TProcessResult::TState::Exited;
                result.ExitCode = WEXITSTATUS(status);
            } else {
                result.State = TProcessResult::TState::Killed;
            }
            return result;
        }
        if (done < 0 && errno != EINTR) {
            result.State = TProcessResult::TState::Killed;
            result.Error = std::strerror(errno);
            return result;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Adopt(pid);
    result.State = TProcessResult::TState::StillRunning;
    return result;
}

} // namespace platform
#endif
