#include "platform/FileIO.h"

#include "platform/FileWriters.h"
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

#ifndef _WIN32
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
    if (path.empty())
        return false;
    // Not blocking: a pipe or device by that name fails below instead of waiting.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0;
    // The size read when opened: a file that shrinks meanwhile fails to read,
    // one that grows is read as far as that size.
    if (ok)
        ok = FillString(data, static_cast<std::size_t>(info.st_size), [fd](char* p, std::size_t n) {
            std::size_t done = 0;
            while (done < n) {
                const ssize_t got = ::read(fd, p + done, n - done);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    return false;
                done += static_cast<std::size_t>(got);
            }
            return true;
        });
    ::close(fd);
    if (!ok)
        data.clear();
    return ok;
}

#else
// Reads with every kind of sharing, so that reading never stops another save
// from swapping its new file in.
bool ReadFileBytes(const std::string& path, std::string& data) {
    data.clear();
    if (path.empty())
        return false;
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
              size.QuadPart >= 0 && static_cast<unsigned long long>(size.QuadPart) < SIZE_MAX;
    if (ok) {
        data.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (ok && done < data.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
            DWORD got = 0;
            ok = ReadFile(file, data.data() + done, chunk, &got, nullptr) && got > 0;
            done += got;
        }
    }
    CloseHandle(file);
    if (!ok)
        data.clear();
    return ok;
}
#endif

} // namespace platform
