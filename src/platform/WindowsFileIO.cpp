// Writing files on Windows, through the W forms of the calls: through a
// temporary file swapped in for the old one, or in place where that cannot be.
#ifdef _WIN32
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

#include <atomic>
#include <cwchar>
#include <windows.h>

namespace fs = std::filesystem;

namespace platform {

namespace {
std::string ErrorText(const std::string& what, const std::string& path, DWORD code) {
    LastError = static_cast<int>(code);
    return what + " \"" + path + "\". " + WindowsErrorText(code);
}

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : H(h) {}
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE Get() const { return H; }
    bool Valid() const { return H != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE h) {
        Close();
        H = h;
    }
    bool Close() {
        const bool ok = !Valid() || CloseHandle(H);
        H = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE H;
};

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The absolute form of a path with the \\?\ prefix, so that no MAX_PATH limit
// applies to it or to the temporary name beside it. A reserved device name
// ("nul", "con.ini"...) comes back as a \\.\ path and stays one.
std::wstring LongPath(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\"))
        return path;
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0)
        return path;
    std::wstring full(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    if (n == 0 || n >= full.size())
        return path;
    full.resize(n);
    if (StartsWith(full, L"\\\\.\\"))
        return full;
    if (StartsWith(full, L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// The path as people write it, without the \\?\ prefix.
std::wstring ShortForm(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\UNC\\"))
        return L"\\\\" + path.substr(8);
    if (StartsWith(path, L"\\\\?\\"))
        return path.substr(4);
    return path;
}

// The full path of an open file with every link and junction on the way
// resolved; empty when the file system cannot tell.
std::wstring FinalPath(HANDLE file) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD n = GetFinalPathNameByHandleW(file, buffer.data(), size,
                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0)
            return std::wstring();
        if (n < size) {
            buffer.resize(n);
            return buffer;
        }
        buffer.resize(n); // n counts the terminating NUL
    }
}

// A name beside the file that no other save of this process uses, and none of
// another running process (their ids differ). A name taken by a file left from
// a crash is never reused: the file is created only when it is new.
std::wstring TempName(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    const size_t cut = target.find_last_of(L'\\') + 1;
    // Keep the whole name within the 255 characters a folder entry may have.
    const std::wstring name = target.substr(cut, 200);
    wchar_t suffix[40];
    std::swprintf(suffix, 40, L".%lx-%x.tmp", GetCurrentProcessId(), counter++);
    return target.substr(0, cut) + name + suffix;
}

bool WriteAll(HANDLE file, std::string_view data) {
    while (!data.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, data.data(), chunk, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data.remove_prefix(written);
    }
    return true;
}

// The new content goes over the old file in pieces of this size, so that a
// write can fail part way.
constexpr size_t InPlacePiece = 64 * 1024;

DWORD InPlaceFault(InPlaceStep step, long long offset) {
    return InPlaceFaultHook ? static_cast<DWORD>(InPlaceFaultHook(step, offset)) : ERROR_SUCCESS;
}

OVERLAPPED At(long long offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    return at;
}

// Writes `data` at `offset`; ERROR_SUCCESS or the reason. `faults` lets the
// test hook stop it.
DWORD WriteAt(HANDLE file, std::string_view data, long long offset, bool faults) {
    while (!data.empty()) {
        if (const DWORD fault = faults ? InPlaceFault(InPlaceStep::Write, offset) : ERROR_SUCCESS)
            return fault;
        OVERLAPPED at = At(offset);
        DWORD written = 0;
        if (!WriteFile(file, data.data(), static_cast<DWORD>(std::min(data.size(), InPlacePiece)),
                       &written, &at))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        data.remove_prefix(written);
        offset += written;
    }
    return ERROR_SUCCESS;
}

DWORD ReadAt(HANDLE file, std::string& data, long long offset) {
    size_t done = 0;
    while (done < data.size()) {
        OVERLAPPED at = At(offset + static_cast<long long>(done));
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 30));
        if (!ReadFile(file, data.data() + done, chunk, &got, &at))
            return GetLastError();
        if (got == 0)
            return ERROR_HANDLE_EOF; // shorter than it said it was
        done += got;
    }
    return ERROR_SUCCESS;
}

DWORD Flush(HANDLE file, long long offset) {
    if (const DWORD fault = InPlaceFault(InPlaceStep::Flush, offset))
        return fault;
    return FlushFileBuffers(file) ? ERROR_SUCCESS : GetLastError();
}

DWORD SetLength(HANDLE file, long long size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) ? ERROR_SUCCESS
                                                                                 : GetLastError();
}

// Makes room for the bytes of `data` beyond the old end. Where the file system
// cannot reserve room, they are written there instead: that is where they go
// anyway, and the old bytes stay untouched. Tells whether the tail was written.
DWORD Reserve(HANDLE file, std::string_view data, long long oldSize, bool& tailWritten) {
    tailWritten = false;
    DWORD err = InPlaceFault(InPlaceStep::Reserve, oldSize);
    if (err == ERROR_SUCCESS) {
        FILE_ALLOCATION_INFO room{};
        room.AllocationSize.QuadPart = static_cast<long long>(data.size());
        if (!SetFileInformationByHandle(file, FileAllocationInfo, &room, sizeof room))
            err = GetLastError();
    }
    if (err != ERROR_NOT_SUPPORTED && err != ERROR_INVALID_PARAMETER &&
        err != ERROR_INVALID_FUNCTION && err != ERROR_CALL_NOT_IMPLEMENTED)
        return err;
    err = WriteAt(file, data.substr(static_cast<size_t>(oldSize)), oldSize, true);
    if (err == ERROR_SUCCESS)
        err = Flush(file, oldSize);
    tailWritten = err == ERROR_SUCCESS;
    return err;
}

// Writes in place, for a writable file in a folder where no temporary file can
// be made (see WriteFileInPlace).
std::string OverwriteInPlace(const std::wstring& target, const std::string& path,
                             std::string_view data) {
    Handle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return ErrorText("Cannot create file", path, GetLastError());
    if (GetFileType(file.Get()) != FILE_TYPE_DISK)
        return "Cannot write file \"" + path + "\". It is a device, not a file";
    LARGE_INTEGER size{};
    DWORD err = GetFileSizeEx(file.Get(), &size) ? ERROR_SUCCESS : GetLastError();
    std::string old;
    if (err == ERROR_SUCCESS) {
        if (static_cast<unsigned long long>(size.QuadPart) >= SIZE_MAX)
            return ErrorText("Cannot write file", path, ERROR_FILE_TOO_LARGE);
        old.resize(static_cast<size_t>(size.QuadPart));
        err = ReadAt(file.Get(), old, 0);
    }
    if (err != ERROR_SUCCESS)
        return ErrorText("Cannot write file", path, err);
    const long long oldSize = size.QuadPart;
    const long long newSize = static_cast<long long>(data.size());

    bool tailWritten = false;
    if (newSize > oldSize && (err = Reserve(file.Get(), data, oldSize, tailWritten)) != 0) {
        // Nothing of the old content was touched; give back the room taken.
        if (SetLength(file.Get(), oldSize) == ERROR_SUCCESS) {
            FILE_ALLOCATION_INFO room{};
            room.AllocationSize.QuadPart = oldSize;
            SetFileInformationByHandle(file.Get(), FileAllocationInfo, &room, sizeof room);
            FlushFileBuffers(file.Get());
        }
        return ErrorText("Cannot write file", path, err);
    }
    const std::string_view head = tailWritten ? data.substr(0, old.size()) : data;
    err = WriteAt(file.Get(), head, 0, true);
    if (err == ERROR_SUCCESS)
        err = Flush(file.Get(), 0);
    if (err == ERROR_SUCCESS && newSize != oldSize) {
        err = SetLength(file.Get(), newSize);
        if (err == ERROR_SUCCESS)
            err = Flush(file.Get(), newSize);
    }
    std::string result;
    if (err != ERROR_SUCCESS) {
        result = ErrorText("Cannot write file", path, err);
        // The room is there (the old bytes filled it before), so this write
        // cannot run out of it.
        const bool restored = WriteAt(file.Get(), old, 0, false) == ERROR_SUCCESS &&
                              SetLength(file.Get(), oldSize) == ERROR_SUCCESS &&
                              FlushFileBuffers(file.Get());
        if (!restored)
            result += " The old content could not be put back.";
    }
    if (!file.Close() && result.empty())
        result = ErrorText("Cannot write file", path, GetLastError());
    return result;
}

// Swaps the complete temporary file in at the name. For a file there,
// ReplaceFileW keeps the old file's attributes, owner, access rules and
// alternate streams. When no file is there (a new file, ReplaceFileW failed
// after taking the old one away, or another save is in the middle of its own
// swap), the new one is moved there with write-through. What is at the name is
// looked at again before each try. `tempKept` tells that a failure left no file
// at a name that had one, so the temporary file, now the only copy of the text,
// must stay.
DWORD SwapIn(const std::wstring& target, const std::wstring& temp, bool existed, bool& tempKept) {
    DWORD err = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 10; ++attempt) {
        if (attempt > 1)
            Sleep(10 * attempt);
        const bool there = GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES;
        const BOOL done = there ? ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                               REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                                : MoveFileExW(temp.c_str(), target.c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (done)
            return ERROR_SUCCESS;
        err = GetLastError();
        // A virus scanner, an indexer or a second save may hold the file for a
        // moment, or be between taking the old file away and putting its own
        // (a file about to be deleted denies all access). The read-only file,
        // denied for good, never gets here.
        const bool busy = err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION ||
                          err == ERROR_ACCESS_DENIED || err == ERROR_UNABLE_TO_REMOVE_REPLACED ||
                          err == ERROR_UNABLE_TO_MOVE_REPLACEMENT ||
                          err == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 || err == ERROR_FILE_NOT_FOUND;
        if (!busy)
            break;
    }
    tempKept = existed && GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES;
    return err;
}

// Sets again the attributes ReplaceFileW is to keep, where the swap lost them
// (as some implementations of it do).
void KeepAttributes(const std::wstring& target, DWORD old) {
    constexpr DWORD kept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    constexpr DWORD settable = kept | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE |
                               FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;
    const DWORD now = GetFileAttributesW(target.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (old & kept & ~now) != 0)
        SetFileAttributesW(target.c_str(), (now & settable) | (old & kept));
}
} // namespace

// DeleteFileW refuses a read-only file by itself and removes a link as a link;
// the checks before it only give the reasons in the program's words.
std::string RemoveFile(const std::string& path) {
    LastError = 0;
    if (path.empty())
        return "Cannot delete file \"\". No file name given";
    const std::wstring target = LongPath(WideFromUtf8(path));
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ErrorText("Cannot delete file", path, GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return ErrorText("Cannot delete file", path, ERROR_DIRECTORY);
    if (!DeleteFileW(target.c_str()))
        return ErrorText("Cannot delete file", path, GetLastError());
    return std::string();
}

std::string ReplaceFileBytes(const std::string& path, std::string_view data) {
    LastError = 0;
    if (path.empty())
        return "Cannot create file \"\". No file name given";
    if (const int fault = ReplaceFaultHook ? ReplaceFaultHook(path) : 0)
        return ErrorText("Cannot create file", path, static_cast<DWORD>(fault));
    std::wstring target = LongPath(WideFromUtf8(path));

    // Open what the path names, links followed, to learn which file is meant.
    bool exists = false;
    bool placeholder = false; // made here through a link to a missing file
    DWORD attributes = 0;
    {
        constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        Handle file(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, shareAll, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        DWORD err = file.Valid() ? ERROR_SUCCESS : GetLastError();
        if (err == ERROR_FILE_NOT_FOUND) {
            const DWORD own = GetFileAttributesW(target.c_str());
            if (own != INVALID_FILE_ATTRIBUTES && (own & FILE_ATTRIBUTE_REPARSE_POINT)) {
                // A link to a file that is not there yet: opening the link to
                // write makes that file, as it does for every Windows program.
                file.Reset(CreateFileW(target.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                       shareAll, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                       nullptr));
                err = file.Valid() ? ERROR_SUCCESS : GetLastError();
                placeholder = file.Valid();
            }
        }
        if (file.Valid()) {
            if (GetFileType(file.Get()) != FILE_TYPE_DISK)
                return "Cannot create file \"" + path + "\". It is a device, not a file";
            BY_HANDLE_FILE_INFORMATION info{};
            if (!GetFileInformationByHandle(file.Get(), &info))
                return ErrorText("Cannot create file", path, GetLastError());
            attributes = info.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                return "Cannot create file \"" + path + "\". It is a folder";
            if (attributes & FILE_ATTRIBUTE_READONLY)
                return ErrorText("Cannot create file", path, ERROR_ACCESS_DENIED);
            const std::wstring real = FinalPath(file.Get());
            if (!real.empty())
                target = real;
            exists = true;
        } else if (err != ERROR_FILE_NOT_FOUND) {
            return ErrorText("Cannot create file", path, err);
        }
    }
    auto dropPlaceholder = [&] {
        if (placeholder)
            DeleteFileW(target.c_str());
    };

    Handle out;
    std::wstring temp;
    DWORD err = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = TempName(target);
        out.Reset(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
        err = out.Valid() ? ERROR_SUCCESS : GetLastError();
        if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS)
            break;
    }
    if (!out.Valid()) {
        if (exists && !placeholder && err == ERROR_ACCESS_DENIED)
            return OverwriteInPlace(target, path, data);
        dropPlaceholder();
        return ErrorText("Cannot create file", path, err);
    }

    bool ok = WriteAll(out.Get(), data) && FlushFileBuffers(out.Get());
    err = ok ? ERROR_SUCCESS : GetLastError();
    if (!out.Close() && ok) {
        ok = false;
        err = GetLastError();
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
        dropPlaceholder();
        return ErrorText("Cannot write file", path, err);
    }
    if (BeforeReplaceRenameHook)
        BeforeReplaceRenameHook(Utf8FromWide(ShortForm(temp)));

    bool tempKept = false;
    err = SwapIn(target, temp, exists, tempKept);
    if (err != ERROR_SUCCESS) {
        std::string message = ErrorText("Cannot write file", path, err);
        if (tempKept)
            return message + " The new content is kept in \"" + Utf8FromWide(ShortForm(temp)) +
                   "\".";
        DeleteFileW(temp.c_str());
        dropPlaceholder();
        return message;
    }
    if (exists)
        KeepAttributes(target, attributes);
    return std::string();
}

std::string WriteFileInPlace(const std::string& path, std::string_view data) {
    LastError = 0;
    if (path.empty())
        return "Cannot create file \"\". No file name given";
    return OverwriteInPlace(LongPath(WideFromUtf8(path)), path, data);
}

} // namespace platform

#endif
