#include "platform/ReadableFile.h"

#include "platform/Utf8.h"

#include <algorithm>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace platform {

#ifndef _WIN32

TReadableFile::TReadableFile(const std::string& path) {
    if (path.empty())
        return;
    FDescriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    FOpen = FDescriptor >= 0 && ::fstat(FDescriptor, &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_size >= 0;
    if (FOpen)
        FSize = static_cast<std::uint64_t>(info.st_size);
}

TReadableFile::~TReadableFile() {
    if (FDescriptor >= 0)
        ::close(FDescriptor);
}

std::size_t TReadableFile::ReadSome(char* to, std::size_t n) {
    for (;;) {
        const ssize_t got = ::read(FDescriptor, to, n);
        if (got < 0 && errno == EINTR)
            continue;
        return got > 0 ? static_cast<std::size_t>(got) : 0;
    }
}

#else

TReadableFile::TReadableFile(const std::string& path) {
    if (path.empty())
        return;
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FHandle = file;
    LARGE_INTEGER size{};
    FOpen = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) && size.QuadPart >= 0;
    if (FOpen)
        FSize = static_cast<std::uint64_t>(size.QuadPart);
}

TReadableFile::~TReadableFile() {
    if (FHandle)
        CloseHandle(static_cast<HANDLE>(FHandle));
}

std::size_t TReadableFile::ReadSome(char* to, std::size_t n) {
    DWORD got = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(n, std::size_t{1} << 30));
    return ReadFile(static_cast<HANDLE>(FHandle), to, chunk, &got, nullptr) ? got : 0;
}

#endif

} // namespace platform
