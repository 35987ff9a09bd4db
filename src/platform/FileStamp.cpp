#include "platform/FileStamp.h"

#include "platform/FileIO.h"

#ifndef _WIN32
#include <sys/stat.h>
#else
#include "platform/Utf8.h"

#include <windows.h>
#endif

namespace platform {

namespace {

// Size, time and identity of the regular file at `path`; false when there is none.
bool ReadMetadata(const std::string& path, TFileStamp& stamp) {
    stamp = TFileStamp();
    if (path.empty())
        return false;
#ifndef _WIN32
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
#ifdef __APPLE__
    const timespec& modified = st.st_mtimespec;
#else
    const timespec& modified = st.st_mtim;
#endif
    stamp.Size = static_cast<std::uint64_t>(st.st_size);
    stamp.ModifiedNs = static_cast<std::int64_t>(modified.tv_sec) * 1000000000 + modified.tv_nsec;
    stamp.Volume = static_cast<std::uint64_t>(st.st_dev);
    stamp.FileId = static_cast<std::uint64_t>(st.st_ino);
#else
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = GetFileType(file) == FILE_TYPE_DISK &&
                    GetFileInformationByHandle(file, &info) &&
                    !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(file);
    if (!ok)
        return false;
    auto join = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    stamp.Size = join(info.nFileSizeHigh, info.nFileSizeLow);
    stamp.ModifiedNs = static_cast<std::int64_t>(join(info.ftLastWriteTime.dwHighDateTime,
                                                      info.ftLastWriteTime.dwLowDateTime)) *
                       100;
    stamp.Volume = info.dwVolumeSerialNumber;
    stamp.FileId = join(info.nFileIndexHigh, info.nFileIndexLow);
#endif
    stamp.Exists = true;
    return true;
}

bool SameFile(const TFileStamp& a, const TFileStamp& b) {
    return a.Size == b.Size && a.ModifiedNs == b.ModifiedNs && a.Volume == b.Volume &&
           a.FileId == b.FileId;
}

} // namespace

std::uint64_t HashBytes(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

TFileStamp StampFile(const std::string& path) {
    std::string bytes;
    TFileStamp stamp;
    if (ReadMetadata(path, stamp) && ReadFileBytes(path, bytes))
        stamp.Hash = HashBytes(bytes);
    return stamp;
}

TFileStamp StampFile(const std::string& path, std::string_view bytes) {
    TFileStamp stamp;
    if (ReadMetadata(path, stamp))
        stamp.Hash = HashBytes(bytes);
    return stamp;
}

TFileChange CompareWithDisk(const TFileStamp& remembered, const std::string& path) {
    TFileStamp now;
    if (!ReadMetadata(path, now))
        return remembered.Exists ? TFileChange::Vanished : TFileChange::Unchanged;
    if (!remembered.Exists || now.Size != remembered.Size)
        return TFileChange::Changed;
    std::string bytes;
    // A file that is there but cannot be read is judged by what can be seen.
    if (!ReadFileBytes(path, bytes))
        return SameFile(now, remembered) ? TFileChange::Unchanged : TFileChange::Changed;
    if (bytes.size() != remembered.Size || HashBytes(bytes) != remembered.Hash)
        return TFileChange::Changed;
    return SameFile(now, remembered) ? TFileChange::Unchanged : TFileChange::Touched;
}

} // namespace platform
