// What was read of a file, remembered so that a change someone else made to it
// on disk is noticed before it is written over.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

struct TFileStamp {
    bool Exists = false; // a regular file was there
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0; // last write, in nanoseconds of the system's clock
    // Which file it is: the device and inode, or the volume serial number and
    // file index on Windows. A file put in its place by a rename has others.
    std::uint64_t Volume = 0;
    std::uint64_t FileId = 0;
    std::uint64_t Hash = 0; // HashBytes of the content
    bool operator==(const TFileStamp&) const = default;
};

// A cheap, stable 64-bit hash of bytes (FNV-1a), the same on every system.
std::uint64_t HashBytes(std::string_view bytes);

// The stamp of the file at `path` (links followed) as it is now, its bytes read
// to hash them. A path without a regular file gives a stamp that does not exist.
TFileStamp StampFile(const std::string& path);
// The same for bytes just read from the file or written to it, so they are not
// read a second time.
TFileStamp StampFile(const std::string& path, std::string_view bytes);

enum class TFileChange {
    Unchanged, // the same file with the same bytes
    Touched,   // the same bytes, but touched or put back by another file
    Changed,   // other bytes, or a file where there was none
    Vanished,  // no file any more
};

// How the file at `path` differs from what `remembered` describes. Only the
// content counts as a change: a file touched or replaced by an identical copy
// is Touched, and may be written over without losing anything.
TFileChange CompareWithDisk(const TFileStamp& remembered, const std::string& path);

} // namespace platform
