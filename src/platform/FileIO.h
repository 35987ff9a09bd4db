// Reading and replacing whole files as bytes.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Reads the whole file in byte mode into `data`. False when the path is not a
// regular file or cannot be read; `data` is then left empty. On Windows the
// file is opened with every kind of sharing, so reading never stops a save.
bool ReadFileBytes(const std::string& path, std::string& data);

// Replaces the file at `path` (UTF-8) with `data` without ever leaving it half
// written: the bytes go to a temporary file of a name no other save uses, in
// the same folder, are flushed to the disk and then swapped in for the old
// file, keeping its permissions and owner (on Windows: ReplaceFileW, keeping
// attributes, owner, access rules and streams; MoveFileExW with write-through
// for a new file). A symbolic link is followed, so the file it names is
// replaced. A file nobody may write (no write permission at all, a read-only
// file on Windows) is left alone. Returns an empty text on success, otherwise
// the reason it failed, in the system's words.
std::string ReplaceFileBytes(const std::string& path, std::string_view data);

// Writes `data` over the existing file at `path` in place, for a writable file
// in a folder where no temporary file can be made (ReplaceFileBytes comes here
// by itself then). The old file is never lost: the room for the new content is
// reserved first, so a full disk fails before a byte of it changes; the old
// bytes are kept and put back when a write fails part way; the file is cut to
// the new length only once everything is written and flushed. Returns an empty
// text on success, otherwise the reason it failed, in the system's words.
std::string WriteFileInPlace(const std::string& path, std::string_view data);

// The system's error code (errno; GetLastError on Windows) of the last
// ReplaceFileBytes, WriteFileInPlace or RemoveFile of this thread that failed,
// or 0 when the last of them succeeded.
int LastWriteError();

// Whether `error`, a code as LastWriteError gives it, says that the file or
// its folder may not be written by this user: no permission, or a read-only
// file system or medium.
bool IsWriteRefusal(int error);

// The size in bytes of the regular file at `path` (a link is followed); -1 when
// there is none.
long long FileSize(const std::string& path);

// Deletes the file at `path`; a symbolic link is removed itself, never the file
// it names. A file nobody may write is refused, as a read-only file is on
// Windows, the superuser included. Returns an empty text on success, otherwise
// the reason it failed.
std::string RemoveFile(const std::string& path);

// Null in the program. Tests set it to stop ReplaceFileBytes at its most
// fragile moment: it is called with the temporary file's path once that file is
// completely written and closed, just before it is renamed over the old file.
extern void (*BeforeReplaceRenameHook)(const std::string& tempPath);

// Null in the program. Tests set it to make ReplaceFileBytes fail before it
// touches anything, as a folder or file system the user may not write makes it
// fail (for a superuser, whom permissions do not stop): it is called with the
// path; a non-zero result is the system error code the write then fails with.
extern int (*ReplaceFaultHook)(const std::string& path);

// The steps of WriteFileInPlace a test can make fail.
enum class InPlaceStep {
    Reserve, // reserving the room for the content beyond the old end
    Write,   // writing one piece of the new content (at most 64 KiB)
    Flush,   // flushing the written content to the disk
};
// Null in the program. Tests set it to make WriteFileInPlace fail part way: it
// is called before each step with the offset the step starts at; a non-zero
// result is the system error code (errno, or GetLastError on Windows) the step
// then fails with, without doing anything.
extern int (*InPlaceFaultHook)(InPlaceStep step, long long offset);

} // namespace platform
