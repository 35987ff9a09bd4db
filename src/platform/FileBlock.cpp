#include "platform/FileBlock.h"

#include "platform/ReadableFile.h"

#include <algorithm>
#include <cstdint>

#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

namespace platform {

namespace {
// Read at a time: small enough to stay in the processor's cache for `piece`.
constexpr std::size_t PieceSize = std::size_t{1} << 20;
} // namespace

#ifndef _WIN32

namespace {
constexpr std::size_t LargePage = std::size_t{2} << 20;

// Room for `size` bytes from a page boundary, a large page's for a large
// block: the mapping made and the block's start in it.
bool Allocate(std::size_t size, void*& base, std::size_t& reserved, char*& data) {
    const std::size_t align =
        size >= LargePage ? LargePage : static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t rounded = (size + align - 1) / align * align;
    reserved = rounded + align;
    base = ::mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) {
        base = nullptr;
        return false;
    }
    const auto at = reinterpret_cast<std::uintptr_t>(base);
    data = reinterpret_cast<char*>((at + align - 1) / align * align);
#ifdef MADV_HUGEPAGE
    if (align == LargePage)
        ::madvise(data, rounded, MADV_HUGEPAGE); // a wish only
#endif
    return true;
}
} // namespace

TFileBlock::~TFileBlock() {
    if (FBase)
        ::munmap(FBase, FReserved);
}

#else

namespace {
// Room for `size` bytes: VirtualAlloc gives whole pages, from a page boundary.
bool Allocate(std::size_t size, void*& base, std::size_t& reserved, char*& data) {
    base = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    reserved = size;
    data = static_cast<char*>(base);
    return base != nullptr;
}
} // namespace

TFileBlock::~TFileBlock() {
    if (FBase)
        VirtualFree(FBase, 0, MEM_RELEASE);
}

#endif

std::shared_ptr<const TFileBlock>
TFileBlock::Read(const std::string& path, const std::function<void(std::string_view)>& piece) {
    TReadableFile file(path);
    if (!file.IsOpen() || file.Size() >= SIZE_MAX)
        return nullptr;
    std::shared_ptr<TFileBlock> block(new TFileBlock);
    const auto size = static_cast<std::size_t>(file.Size());
    if (size == 0)
        return block;
    if (!Allocate(size, block->FBase, block->FReserved, block->FData))
        return nullptr;
    for (std::size_t done = 0; done < size;) {
        const std::size_t got =
            file.ReadSome(block->FData + done, std::min(size - done, PieceSize));
        if (got == 0)
            return nullptr;
        if (piece)
            piece({block->FData + done, got});
        done += got;
        block->FSize = done;
    }
    return block;
}

} // namespace platform
