// A platform for tests: the executable lives in <root>/bin/ and every shell
// folder lies under the test's temporary folder. What would have been opened or
// started is recorded instead. The all-users folders are searched as on Linux:
// the user's own data folder (<root>/local) first, then <root>/common.
#pragma once

#include "platform/Platform.h"
#include "support/FakeMapi.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

// One request to the shell, as the program made it.
struct ShellRequest {
    std::string What; // "document", "folder", "address" or "program"
    std::string Target;
    std::vector<std::string> Arguments;

    bool operator==(const ShellRequest&) const = default;
};

class FakePlatform : public platform::Platform {
public:
    explicit FakePlatform(const std::string& root) : Root(root) {
        CommonRoots = {root + "local", root + "common"};
        RegistrationFolders = {root + "common", root + "local"};
    }

    std::string ExecutablePath() override { return Root + "bin/wordlark"; }
    std::string GetShellFolder(platform::ShellFolder folder) override {
        switch (folder) {
        case platform::ShellFolder::LocalAppData:
            return Root + "local";
        case platform::ShellFolder::RoamingAppData:
            return Root + "roaming";
        case platform::ShellFolder::CommonAppData:
            return Root + "common";
        }
        return std::string();
    }

    std::vector<std::string> CommonAppDataRoots() override { return CommonRoots; }
    std::vector<std::string> RegistrationRoots() override { return RegistrationFolders; }

    platform::THandOff OpenDocument(const std::string& path,
                                    platform::TLateEnd onLateEnd) override {
        return Open("document", path, std::move(onLateEnd));
    }
    platform::THandOff OpenFolder(const std::string& path, platform::TLateEnd onLateEnd) override {
        return Open("folder", path, std::move(onLateEnd));
    }
    platform::THandOff OpenAddress(const std::string& address,
                                   platform::TLateEnd onLateEnd) override {
        return Open("address", address, std::move(onLateEnd));
    }
    bool StartProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override {
        return Record("program", program, arguments);
    }

    // The mail system: a fake one that records every call.
    const smapi::TMapiFunctions* SimpleMapi() override {
        return Mail.Available ? &Mail.Table : nullptr;
    }
    std::optional<std::string> DefaultMailProfile() override { return MailProfile; }
    std::optional<platform::THandOff> LastMailHandOff() override { return MailHandOff; }
    void SetMailLateEnd(platform::TLateEnd) override {}

    std::string Root; // with a trailing separator
    std::vector<std::string> CommonRoots;
    std::vector<std::string> RegistrationFolders;
    std::vector<ShellRequest> ShellRequests;
    TFakeMapi Mail;
    std::optional<std::string> MailProfile; // the system's default profile, if it keeps one
    // How the next opens go, in order (Succeeded when none is left); the
    // late-end callback of each open answered Running, for the test to call.
    std::deque<platform::THandOff> OpenResults;
    std::vector<platform::TLateEnd> LateEnds;
    // What LastMailHandOff tells: nothing, as on Windows.
    std::optional<platform::THandOff> MailHandOff;

private:
    platform::THandOff Open(const char* what, const std::string& target,
                            platform::TLateEnd onLateEnd) {
        Record(what, target);
        platform::THandOff result;
        if (!OpenResults.empty()) {
            result = OpenResults.front();
            OpenResults.pop_front();
        }
        if (result.State == platform::THandOff::TState::Running)
            LateEnds.push_back(std::move(onLateEnd));
        return result;
    }
    bool Record(const char* what, const std::string& target,
                const std::vector<std::string>& arguments = {}) {
        ShellRequests.push_back({what, target, arguments});
        return true;
    }
};

// The fake in use; null when the platform in use is another.
inline FakePlatform* CurrentFake() {
    return dynamic_cast<FakePlatform*>(&platform::Get());
}

// Installs a FakePlatform for the life of the object and restores the previous
// platform (and current directory) afterwards.
class ScopedFakePlatform {
public:
    explicit ScopedFakePlatform(const std::string& root)
        : FCwd(platform::Get().GetCurrentDir()),
          FPrevious(platform::Install(std::make_unique<FakePlatform>(root))) {}
    ~ScopedFakePlatform() {
        platform::Install(std::move(FPrevious));
        platform::Get().SetCurrentDir(FCwd);
    }

private:
    std::string FCwd;
    std::unique_ptr<platform::Platform> FPrevious;
};
