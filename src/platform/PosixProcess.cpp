#ifndef _WIN32
#include "platform/Process.h"

#include <cerrno>
#include <condition_variable>
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
using namespace std::chrono_literals;

// How often the watching thread looks whether a child has ended.
constexpr auto PollInterval = 20ms;

TProcessResult ResultOf(int status) {
    TProcessResult result;
    if (WIFEXITED(status)) {
        result.State = TProcessResult::TState::Exited;
        result.ExitCode = WEXITSTATUS(status);
    } else {
        result.State = TProcessResult::TState::Killed;
    }
    return result;
}

// Watches the children nobody waits for any more: each is reaped when it ends,
// so that none stays a zombie, and the caller who asked is told how it ended.
// One thread does it, started with the first child; it looks every
// PollInterval while there are children and sleeps otherwise. Only the
// children it was given are waited for, never any child of the process (Qt
// waits for its own).
class TWatcher {
public:
    ~TWatcher() {
        {
            std::lock_guard<std::mutex> guard(FLock);
            FStop = true;
        }
        FWake.notify_all();
        if (FThread.joinable())
            FThread.join();
    }

    void Watch(pid_t pid, TProcessEnd onEnd) {
        std::lock_guard<std::mutex> guard(FLock);
        FChildren.push_back({pid, std::move(onEnd)});
        if (!FThread.joinable())
            FThread = std::thread([this] { Run(); });
        FWake.notify_all();
    }

private:
    struct TChild {
        pid_t Pid;
        TProcessEnd OnEnd;
    };

    void Run() {
        std::unique_lock<std::mutex> lock(FLock);
        while (!FStop) {
            std::vector<std::pair<TProcessEnd, TProcessResult>> ended;
            for (auto it = FChildren.begin(); it != FChildren.end();) {
                int status = 0;
                const pid_t done = ::waitpid(it->Pid, &status, WNOHANG);
                if (done == it->Pid || (done < 0 && errno == ECHILD)) {
                    TProcessResult result;
                    if (done == it->Pid) {
                        result = ResultOf(status);
                    } else { // waited for elsewhere: how it ended is not known
                        result.State = TProcessResult::TState::Killed;
                        result.Error = std::strerror(ECHILD);
                    }
                    if (it->OnEnd)
                        ended.emplace_back(std::move(it->OnEnd), std::move(result));
                    it = FChildren.erase(it);
                } else {
                    ++it;
                }
            }
            if (!ended.empty()) {
                // Told without the lock, so that the one told may start
                // another program.
                lock.unlock();
                for (auto& [onEnd, result] : ended) {
                    try {
                        onEnd(result);
                    } catch (...) {
                        // Nobody on this thread to tell; the child is reaped.
                    }
                }
                ended.clear();
                lock.lock();
                continue;
            }
            if (FChildren.empty())
                FWake.wait(lock);
            else
                FWake.wait_for(lock, PollInterval);
        }
    }

    std::mutex FLock;
    std::condition_variable FWake;
    std::vector<TChild> FChildren;
    std::thread FThread;
    bool FStop = false;
};

TWatcher& Watcher() {
    static TWatcher watcher;
    return watcher;
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
    pid_t pid = 0;
    const int err = Spawn(argv, pid);
    if (err != 0)
        return SpawnError(argv.empty() ? std::string() : argv.front(), err);
    Watcher().Watch(pid, {});
    return std::string();
}

TProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                          TProcessEnd onLateEnd) {
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
        if (done == pid)
            return ResultOf(status);
        if (done < 0 && errno != EINTR) {
            result.State = TProcessResult::TState::Killed;
            result.Error = std::strerror(errno);
            return result;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    Watcher().Watch(pid, std::move(onLateEnd));
    result.State = TProcessResult::TState::StillRunning;
    return result;
}

} // namespace platform
#endif
