// A whole file read into one block of memory of its own, for readers that
// take parts of it as they are, arrays included, instead of copying them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class TFileBlock {
public:
    // The bytes of the regular file at `path` (UTF-8); null when there is
    // none or it cannot be read. The block starts at a page boundary. A large
    // block asks the system for large pages where it offers them (Linux:
    // transparent huge pages): read into 4 KiB pages, a file of tens of
    // megabytes spends most of its reading on the first touch of each page.
    // `piece`, when given, is called with each piece of the file as soon as
    // it is read (in order; together, the whole file), while the piece is
    // still in the processor's cache.
    static std::shared_ptr<const TFileBlock>
    Read(const std::string& path, const std::function<void(std::string_view)>& piece = {});

    TFileBlock(const TFileBlock&) = delete;
    TFileBlock& operator=(const TFileBlock&) = delete;
    ~TFileBlock();

    std::string_view Bytes() const { return {FData, FSize}; }

private:
    TFileBlock() = default;

    void* FBase = nullptr; // as allocated
    std::size_t FReserved = 0;
    char* FData = nullptr;
    std::size_t FSize = 0;
};

} // namespace platform
