// A regular file opened for reading, as every reader of whole files opens it:
// on POSIX systems without blocking (a pipe or device by that name is no
// regular file and fails instead of waiting), on Windows with every kind of
// sharing (reading never stops another save from swapping its new file in).
// For the readers in this folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class TReadableFile {
public:
    explicit TReadableFile(const std::string& path);
    ~TReadableFile();
    TReadableFile(const TReadableFile&) = delete;
    TReadableFile& operator=(const TReadableFile&) = delete;

    // A regular file was opened and its size read.
    bool IsOpen() const { return FOpen; }
    // The size when it was opened: a file that shrinks meanwhile fails to be
    // read whole, one that grows is read as far as that size.
    std::uint64_t Size() const { return FSize; }
    // Reads at most `n` bytes (n > 0) into `to`: how many, 0 at an error or
    // the end of the file.
    std::size_t ReadSome(char* to, std::size_t n);

private:
    bool FOpen = false;
    std::uint64_t FSize = 0;
#ifdef _WIN32
    void* FHandle = nullptr;
#else
    int FDescriptor = -1;
#endif
};

} // namespace platform
