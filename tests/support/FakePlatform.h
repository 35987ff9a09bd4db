// A platform for tests: the executable lives in <root>/bin/ and every shell
// folder lies under the test's temporary folder.
#pragma once

#include "platform/Platform.h"

#include <memory>
#include <string>

class FakePlatform : public platform::Platform {
public:
    explicit FakePlatform(const std::string& root) : Root(root) {}

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

    std::string Root; // with a trailing separator
};

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
