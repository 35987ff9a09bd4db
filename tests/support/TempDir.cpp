#include "support/TempDir.h"

#include "platform/Platform.h"
#include "platform/Utf8.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
    const fs::path base = fs::temp_directory_path();
    std::random_device random;
    // A folder of our own: create_directory says false for one that exists.
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, "wordlark-test-%08x", static_cast<unsigned>(random()));
        const fs::path folder = base / name;
        std::error_code ec;
        if (fs::create_directory(folder, ec)) {
            FPath = platform::Utf8FromPath(folder) + platform::PathDelim;
            return;
        }
        if (ec)
            break;
    }
    throw std::runtime_error("cannot create a temporary folder in " + platform::Utf8FromPath(base));
}

TempDir::~TempDir() {
    std::error_code ec;
    const fs::path folder = platform::PathFromUtf8(FPath);
    // Give back write permission that a test took away (on Windows: clear the
    // read-only attribute), so everything goes.
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::end(it);
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(folder, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    const fs::path path = platform::PathFromUtf8(FPath + name);
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return FPath + name;
}

std::string TempDir::Read(const std::string& path) {
    std::ifstream in(platform::PathFromUtf8(path), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
