#include "platform/FileIO.h"

#include "platform/FileWriters.h"
#include "platform/ReadableFile.h"
#include "platform/Utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <atomic>
#include <cwchar>
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace platform {

void (*BeforeReplaceRenameHook)(const std::string& tempPath) = nullptr;
int (*InPlaceFaultHook)(InPlaceStep step, long long offset) = nullptr;
int (*ReplaceFaultHook)(const std::string& path) = nullptr;

thread_local int LastError = 0;

int LastWriteError() {
    return LastError;
}

bool IsWriteRefusal(int error) {
#ifdef _WIN32
    return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT;
#else
    return error == EACCES || error == EPERM || error == EROFS;
#endif
}

long long FileSize(const std::string& path) {
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(PathFromUtf8(path), ec))
        return -1;
    const auto size = fs::file_size(PathFromUtf8(path), ec);
    return ec ? -1 : static_cast<long long>(size);
}

namespace {
// `data` made `size` bytes long for `fill` to write them all; true when it
// did. Where the library allows, the bytes are not set to zero first.
template <class Fill> bool FillString(std::string& data, std::size_t size, Fill&& fill) {
#if defined(__cpp_lib_string_resize_and_overwrite)
    bool ok = false;
    data.resize_and_overwrite(size, [&](char* p, std::size_t n) {
        ok = fill(p, n);
        return ok ? n : 0;
    });
    return ok;
#else
    data.resize(size);
    return fill(data.data(), size);
#endif
}
} // namespace

bool ReadFileBytes(const std::string& path, std::string& data) {
    data.clear();
    TReadableFile file(path);
    bool ok = file.IsOpen() && file.Size() < SIZE_MAX;
    if (ok)
        ok = FillString(data, static_cast<std::size_t>(file.Size()), [&](char* p, std::size_t n) {
            std::size_t done = 0;
            while (done < n) {
                const std::size_t got = file.ReadSome(p + done, n - done);
                if (got == 0)
                    return false;
                done += got;
            }
            return true;
        });
    if (!ok)
        data.clear();
    return ok;
}

} // namespace platform
