// Which process is which, also after the system gave a finished process's id
// to a new one: its id together with the moment it started.
#pragma once

#include <cstdint>

namespace platform {

struct TProcessIdentity {
    std::uint64_t Id = 0;
    // When the process started, in the system's own units; 0 where the
    // system cannot tell, and then any process of that id is taken for it.
    std::uint64_t Started = 0;
    bool operator==(const TProcessIdentity&) const = default;
};

TProcessIdentity CurrentProcess();

// True while the process is running: a process of its id that started at the
// same moment (one that has ended but was not yet reaped is no longer running).
// A process of another user counts too.
bool ProcessRunning(const TProcessIdentity& process);

} // namespace platform
