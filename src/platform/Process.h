// Starting outside programs on POSIX systems: an argument vector handed to
// posix_spawn, never a shell, so no byte of a path or an argument is ever
// interpreted. Every child is waited for: by the caller up to its limit, then
// by a watching thread of the platform's own, so none stays a zombie.
#pragma once

#ifndef _WIN32

#include "platform/Platform.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// Starts argv[0] (searched on PATH when it holds no "/") with the arguments of
// `argv` and does not wait for it. Returns an empty text when it was started,
// otherwise the reason it could not be. The child is reaped when it ends.
std::string StartProcess(const std::vector<std::string>& argv);

struct TProcessResult {
    enum class TState {
        NotStarted,   // could not be started; Error says why
        Exited,       // ended by itself; ExitCode holds its status
        Killed,       // ended by a signal
        StillRunning, // still running when the wait ended; left to run
    };
    TState State = TState::NotStarted;
    int ExitCode = -1;
    std::string Error;
};

// Called once, on the watching thread, when a program that was StillRunning
// at the end of the wait ends.
using TProcessEnd = std::function<void(const TProcessResult& end)>;

// Starts argv[0] like StartProcess and waits at most `timeout` for it to end.
// A program still running then is left to run; `onLateEnd`, when given, is
// told how it ended.
TProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                          TProcessEnd onLateEnd = {});

// What an exit of xdg-open or xdg-email means: both tell 1 for a request
// they do not understand, 2 for a file that does not exist, 3 for a tool they
// need that cannot be found (no program set up for it), 4 for an action that
// failed and 5 (xdg-email) for a file that may not be read.
THandOff XdgHandOff(const TProcessResult& result);

// How long an open waits for xdg-open's answer before it counts the target as
// handed over and lets the window go on.
extern std::chrono::milliseconds XdgOpenTimeout;

} // namespace platform

#endif
