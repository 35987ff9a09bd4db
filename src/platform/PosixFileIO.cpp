// Writing files on POSIX systems: through a temporary file renamed over the
// old one, or in place where the folder may not be written.
#ifndef _WIN32
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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

namespace {
std::string ErrorText(const std::string& what, const std::string& path, int err) {
    LastError = err;
    return what + " \"" + path + "\". " + std::strerror(err);
}

bool WriteAll(int fd, std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// The new content goes over the old file in pieces of this size, so that a
// write can fail part way.
constexpr size_t InPlacePiece = 64 * 1024;

int InPlaceFault(InPlaceStep step, long long offset) {
    return InPlaceFaultHook ? InPlaceFaultHook(step, offset) : 0;
}

// Writes `data` at `offset`; 0 or the reason (errno). `faults` lets the test
// hook stop it.
int WriteAt(int fd, std::string_view data, off_t offset, bool faults) {
    while (!data.empty()) {
        const size_t piece = std::min(data.size(), InPlacePiece);
        if (const int fault = faults ? InPlaceFault(InPlaceStep::Write, offset) : 0)
            return fault;
        const ssize_t n = ::pwrite(fd, data.data(), piece, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        data.remove_prefix(static_cast<size_t>(n));
        offset += n;
    }
    return 0;
}

int ReadAt(int fd, std::string& data, off_t offset) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pread(fd, data.data() + done, data.size() - done, offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO; // shorter than it said it was
        done += static_cast<size_t>(n);
    }
    return 0;
}

int Flush(int fd, off_t offset) {
    if (const int fault = InPlaceFault(InPlaceStep::Flush, offset))
        return fault;
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Makes room for the bytes of `data` beyond the old end. Where the file system
// cannot reserve room, they are written there instead: that is where they go
// anyway, and the old bytes stay untouched. Returns whether the tail was
// written, or the reason it failed.
int Reserve(int fd, std::string_view data, off_t oldSize, bool& tailWritten) {
    tailWritten = false;
    int err = InPlaceFault(InPlaceStep::Reserve, oldSize);
    if (err == 0) {
        do
            err = ::posix_fallocate(fd, oldSize, static_cast<off_t>(data.size()) - oldSize);
        while (err == EINTR);
    }
    if (err != EOPNOTSUPP && err != EINVAL && err != ENOSYS)
        return err;
    err = WriteAt(fd, data.substr(static_cast<size_t>(oldSize)), oldSize, true);
    if (err == 0)
        err = Flush(fd, oldSize);
    tailWritten = err == 0;
    return err;
}
} // namespace

std::string WriteFileInPlace(const std::string& path, std::string_view data) {
    LastError = 0;
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return ErrorText("Cannot create file", path, errno);
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    std::string old;
    if (err == 0) {
        old.resize(static_cast<size_t>(st.st_size));
        err = ReadAt(fd, old, 0);
    }
    if (err != 0) {
        ::close(fd);
        return ErrorText("Cannot write file", path, err);
    }
    const off_t oldSize = static_cast<off_t>(old.size());
    const off_t newSize = static_cast<off_t>(data.size());

    bool tailWritten = false;
    if (newSize > oldSize && (err = Reserve(fd, data, oldSize, tailWritten)) != 0) {
        // Nothing of the old content was touched; drop what was added.
        if (::ftruncate(fd, oldSize) == 0)
            ::fsync(fd);
        ::close(fd);
        return ErrorText("Cannot write file", path, err);
    }
    const std::string_view head = tailWritten ? data.substr(0, old.size()) : data;
    err = WriteAt(fd, head, 0, true);
    if (err == 0)
        err = Flush(fd, 0);
    if (err == 0 && newSize < oldSize) {
        err = ::ftruncate(fd, newSize) == 0 ? 0 : errno;
        if (err == 0)
            err = Flush(fd, newSize);
    }
    std::string result;
    if (err != 0) {
        result = ErrorText("Cannot write file", path, err);
        // The room is there (the old bytes filled it before), so this write
        // cannot run out of it.
        const bool restored =
            WriteAt(fd, old, 0, false) == 0 && ::ftruncate(fd, oldSize) == 0 && ::fsync(fd) == 0;
        if (!restored)
            result += " The old content could not be put back.";
    }
    if (::close(fd) != 0 && result.empty())
        result = ErrorText("Cannot write file", path, errno);
    return result;
}

std::string RemoveFile(const std::string& path) {
    LastError = 0;
    struct stat st {};
    if (path.empty() || ::lstat(path.c_str(), &st) != 0)
        return ErrorText("Cannot delete file", path, path.empty() ? ENOENT : errno);
    if (S_ISDIR(st.st_mode))
        return ErrorText("Cannot delete file", path, EISDIR);
    if (!S_ISLNK(st.st_mode) && (st.st_mode & 0222) == 0)
        return ErrorText("Cannot delete file", path, EACCES);
    if (::unlink(path.c_str()) != 0)
        return ErrorText("Cannot delete file", path, errno);
    return std::string();
}

std::string ReplaceFileBytes(const std::string& path, std::string_view data) {
    LastError = 0;
    if (path.empty())
        return "Cannot create file \"\". No file name given";
    if (const int fault = ReplaceFaultHook ? ReplaceFaultHook(path) : 0)
        return ErrorText("Cannot create file", path, fault);
    // Follow symbolic links so that the file they name is replaced, even when
    // that file does not exist yet: the links themselves always stay.
    std::string target = path;
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::path(target), ec); ++hops) {
        const fs::path link = fs::read_symlink(fs::path(target), ec);
        if (ec)
            break;
        target =
            link.is_absolute() ? link.string() : (fs::path(target).parent_path() / link).string();
    }

    struct stat old {};
    bool exists = ::stat(target.c_str(), &old) == 0;
    // A loop of links, or a folder on the way that is no folder.
    if (!exists && errno != ENOENT)
        return ErrorText("Cannot create file", path, errno);
    if (exists) {
        if (S_ISDIR(old.st_mode))
            return ErrorText("Cannot create file", path, EISDIR);
        // A file without any write permission counts as read-only for everyone,
        // the superuser included, as the read-only attribute does on Windows.
        if ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)
            return ErrorText("Cannot create file", path, EACCES);
    }

    std::string folder = fs::path(target).parent_path().string();
    std::string name = fs::path(target).filename().string();
    std::string temp = (folder.empty() ? std::string() : folder + "/") + "." + name + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        int err = errno;
        if (exists && (err == EACCES || err == EPERM || err == EROFS))
            return WriteFileInPlace(target, data);
        return ErrorText("Cannot create file", path, err);
    }
    mode_t mode;
    if (exists) {
        mode = old.st_mode & 07777;
        // Keep the owner where we may (only the superuser can give a file away).
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        }
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    bool ok = WriteAll(fd, data);
    int err = errno;
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && BeforeReplaceRenameHook)
        BeforeReplaceRenameHook(temp);
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return ErrorText("Cannot write file", path, err);
    }
    return std::string();
}

} // namespace platform

#endif
