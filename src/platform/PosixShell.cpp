// The shell on POSIX desktops: documents, folders and addresses go to
// xdg-open, which hands them to the desktop's handler; its exit status says
// whether that worked. Programs are started directly and not waited for.
#ifndef _WIN32
#include "platform/Platform.h"
#include "platform/Process.h"

#include <unistd.h>

namespace platform {

std::chrono::milliseconds XdgOpenTimeout{2000};

THandOff XdgHandOff(const TProcessResult& result) {
    using TReason = THandOff::TReason;
    THandOff handOff;
    switch (result.State) {
    case TProcessResult::TState::StillRunning:
        handOff.State = THandOff::TState::Running;
        return handOff;
    case TProcessResult::TState::Exited:
        if (result.ExitCode == 0)
            return handOff;
        handOff.Status = result.ExitCode;
        switch (result.ExitCode) {
        case 1:
            handOff.Reason = TReason::BadRequest;
            break;
        case 2:
            handOff.Reason = TReason::NotFound;
            break;
        case 3:
            handOff.Reason = TReason::NoHandler;
            break;
        case 4:
            handOff.Reason = TReason::ActionFailed;
            break;
        case 5:
            handOff.Reason = TReason::NoPermission;
            break;
        default:
            handOff.Reason = TReason::Other;
            break;
        }
        break;
    case TProcessResult::TState::NotStarted:
        handOff.Reason = TReason::NotStarted;
        handOff.Status = -1;
        break;
    case TProcessResult::TState::Killed:
        handOff.Reason = TReason::Unknown;
        handOff.Status = -1;
        break;
    }
    handOff.State = THandOff::TState::Failed;
    handOff.Error = result.Error;
    return handOff;
}

namespace {
// xdg-open takes a leading "-" for an option of its own; a relative path is
// given a "./" so that it stays a path.
std::string AsOperand(const std::string& path) {
    return !path.empty() && path.front() == '-' ? "./" + path : path;
}

THandOff XdgOpen(const std::string& target, TLateEnd onLateEnd) {
    if (target.empty())
        return {THandOff::TState::Failed, THandOff::TReason::NotFound, -1, {}};
    TProcessEnd onEnd;
    if (onLateEnd)
        onEnd = [onLateEnd = std::move(onLateEnd)](const TProcessResult& end) {
            onLateEnd(XdgHandOff(end));
        };
    return XdgHandOff(RunProcess({"xdg-open", target}, XdgOpenTimeout, std::move(onEnd)));
}
} // namespace

THandOff Platform::OpenDocument(const std::string& path, TLateEnd onLateEnd) {
    return XdgOpen(AsOperand(path), std::move(onLateEnd));
}

THandOff Platform::OpenFolder(const std::string& path, TLateEnd onLateEnd) {
    return XdgOpen(AsOperand(path), std::move(onLateEnd));
}

THandOff Platform::OpenAddress(const std::string& address, TLateEnd onLateEnd) {
    return XdgOpen(AddressWithScheme(address), std::move(onLateEnd));
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
