// Starting outside programs on POSIX systems: an argument vector handed to
// posix_spawn, never a shell, so no byte of a path or an argument is ever
// interpreted.
#pragma once

#ifndef _WIN32

#include <chrono>
#include <string>
#include <vector>

namespace platform {

// Starts argv[0] (searched on PATH when it holds no "/") with the arguments of
// `argv` and does not wait for it. Returns an empty text when it was started,
// otherwise the reason it could not be. The child is reaped later, so it never
// lingers as a zombie for long.
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

// Starts argv[0] like StartProcess and waits at most `timeout` for it to end.
// A program still running then is left to run and reaped later.
TProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);

} // namespace platform

#endif
