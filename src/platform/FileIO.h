// Reading and replacing whole files as bytes.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Reads the whole file in byte mode into `data`. False when the path is not a
// regular file or cannot be read; `data` is then left empty.
bool ReadFileBytes(const std::string& path, std::string& data);

// Replaces the file at `path` with `data` without ever leaving it half written:
// the bytes go to a temporary file in the same folder that is then renamed over
// the old file, keeping its permissions. A symbolic link is followed, so the
// file it names is replaced. A file nobody may write (no write permission at
// all, like a read-only file on Windows) is left alone. Returns an empty text on
// success, otherwise the reason it failed.
std::string ReplaceFileBytes(const std::string& path, std::string_view data);

// Null in the program. Tests set it to stop ReplaceFileBytes at its most
// fragile moment: it is called with the temporary file's path once that file is
// completely written and closed, just before it is renamed over the old file.
extern void (*BeforeReplaceRenameHook)(const std::string& tempPath);

} // namespace platform
