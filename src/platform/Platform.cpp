#include "platform/Platform.h"

#include "platform/Utf8.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

namespace {
std::unique_ptr<Platform>& Current() {
    static std::unique_ptr<Platform> current;
    return current;
}

bool IsDelimiter(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '\\' || c == '/';
#endif
}
} // namespace

bool Platform::FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(PathFromUtf8(path), ec);
}

bool Platform::DirectoryExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(PathFromUtf8(path), ec);
}

bool Platform::CreateDir(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::create_directory(PathFromUtf8(path), ec);
}

std::string Platform::GetCurrentDir() {
    std::error_code ec;
    auto p = fs::current_path(ec);
    return ec ? std::string() : Utf8FromPath(p);
}

bool Platform::SetCurrentDir(const std::string& path) {
    std::error_code ec;
    fs::current_path(PathFromUtf8(path), ec);
    return !ec;
}

std::vector<std::string> Platform::CommonAppDataRoots() {
    std::string common = GetShellFolder(ShellFolder::CommonAppData);
    if (common.empty())
        return {};
    return {common};
}

std::vector<std::string> Platform::RegistrationRoots() {
    return CommonAppDataRoots();
}

std::vector<std::string> Platform::ListFolder(const std::string& path) {
    std::vector<std::string> names;
    if (path.empty())
        return names;
    // A folder that cannot be read, or that vanishes while it is read, ends
    // the listing; nothing is thrown.
    std::error_code ec;
    fs::directory_iterator it(PathFromUtf8(path), ec);
    for (const fs::directory_iterator end; !ec && it != end; it.increment(ec))
        names.push_back(Utf8FromPath(it->path().filename()));
    return names;
}

Platform& Get() {
    auto& current = Current();
    if (!current)
        current = CreateNative();
    return *current;
}

std::unique_ptr<Platform> Install(std::unique_ptr<Platform> replacement) {
    auto& current = Current();
    auto previous = std::move(current);
    current = std::move(replacement);
    return previous;
}

std::string AddressWithScheme(const std::string& address) {
    // A scheme is letters, digits, "+", "-" and "." after a first letter, then ":".
    const size_t colon = address.find(':');
    if (colon != std::string::npos && colon > 0) {
        bool scheme = std::isalpha(static_cast<unsigned char>(address[0])) != 0;
        for (size_t i = 1; i < colon && scheme; ++i) {
            const unsigned char c = static_cast<unsigned char>(address[i]);
            scheme = std::isalnum(c) || c == '+' || c == '-' || c == '.';
        }
        // "host:8080/path" is a host with a port, not a scheme.
        if (scheme && !(colon + 1 < address.size() &&
                        std::isdigit(static_cast<unsigned char>(address[colon + 1]))))
            return address;
    }
    return address.empty() ? address : "https://" + address;
}

std::string IncludeTrailingDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == PathDelim)
        return path;
    return path + PathDelim;
}

std::string ExtractFileName(const std::string& path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsDelimiter(path[i - 1]))
            return path.substr(i);
    return path;
}

std::string ExtractFilePath(const std::string& path) {
    return path.substr(0, path.size() - ExtractFileName(path).size());
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty())
        return path;
    std::error_code ec;
    auto abs = fs::absolute(PathFromUtf8(path), ec);
    if (ec)
        return path;
    return Utf8FromPath(abs.lexically_normal());
}

} // namespace platform
