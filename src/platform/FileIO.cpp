#include "platform/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace platform {

void (*BeforeReplaceRenameHook)(const std::string& tempPath) = nullptr;

bool ReadFileBytes(const std::string& path, std::string& data) {
    data.clear();
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(fs::path(path), ec))
        return false;
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0)
        return false;
    in.seekg(0, std::ios::beg);
    data.resize(static_cast<size_t>(size));
    if (size > 0 && !in.read(data.data(), size)) {
        data.clear();
        return false;
    }
    return true;
}

#ifndef _WIN32

namespace {
std::string ErrorText(const std::string& what, const std::string& path, int err) {
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

// Writes in place, for a writable file in a folder where no temporary file can
// be made.
std::string OverwriteInPlace(const std::string& path, std::string_view data) {
    int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return ErrorText("Cannot create file", path, errno);
    bool ok = WriteAll(fd, data);
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    return ok ? std::string() : ErrorText("Cannot write file", path, err);
}
} // namespace

std::string ReplaceFileBytes(const std::string& path, std::string_view data) {
    if (path.empty())
        return "Cannot create file \"\". No file name given";
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
            return OverwriteInPlace(target, data);
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

#else // _WIN32

std::string ReplaceFileBytes(const std::string& path, std::string_view data) {
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec))
        target = fs::weakly_canonical(target, ec);
    bool exists = fs::exists(target, ec);
    if (exists) {
        if (fs::is_directory(target, ec))
            return "Cannot create file \"" + path + "\". It is a folder";
        auto perms = fs::status(target, ec).permissions();
        if ((perms & fs::perms::owner_write) == fs::perms::none)
            return "Cannot create file \"" + path + "\". Access denied";
    }
    fs::path temp = target;
    temp += ".wordlark-tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return "Cannot create file \"" + path + "\"";
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            out.close();
            fs::remove(temp, ec);
            return "Cannot write file \"" + path + "\"";
        }
    }
    if (BeforeReplaceRenameHook)
        BeforeReplaceRenameHook(temp.string());
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return "Cannot write file \"" + path + "\"";
    }
    return std::string();
}

#endif

} // namespace platform
