#include "send/FileCopy.h"

#include "platform/FileIO.h"
#include "platform/Utf8.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

std::string CopyFileBytes(const std::string& source, const std::string& destination) {
    std::string data;
    if (!platform::ReadFileBytes(source, data))
        return "Cannot read file \"" + source + "\"";
    // A file copied onto itself already holds what the copy would write; it is
    // left untouched (a read-only file too, and its times stay as they are).
    std::error_code ec;
    if (fs::equivalent(platform::PathFromUtf8(source), platform::PathFromUtf8(destination), ec) &&
        !ec)
        return std::string();
    return platform::ReplaceFileBytes(destination, data);
}
