// A platform for tests: the executable lives in <root>/bin/ and every shell
// folder lies under the test's temporary folder. What would have been opened or
// started is recorded instead. The all-users folders are searched as on Linux:
// the user's own data folder (<root>/local) first, then <root>/common.
#pragma once

#include "platform/Platform.h"
#include "support/FakeMapi.h"

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

    bool OpenDocument(const std::string& path) override { return Record("document", path); }
    bool OpenFolder(const std::string& path) override { return Record("folder", path); }
    bool OpenAddress(const std::string& address) override { return Record("address", address); }
    bool StartProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override {
        return Record("program", program, arguments);
    }

    // The mail system: a fake one that records every call.
    const smapi::TMapiFunctions* SimpleMapi() override {
        return Mail.Available ? &Mail.Table : nullptr;
    }
    std::optional<std::string> DefaultMailProfile() override { return MailProfile; }

    std::string Root; // with a trailing separator
    std::vector<std::string> CommonRoots;
    std::vector<std::string> RegistrationFolders;
    std::vector<ShellRequest> ShellRequests;
    TFakeMapi Mail;
    std::optional<std::string> MailProfile; // the system's default profile, if it keeps one

private:
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
