#include "platform/FileBlock.h"

#include "platform/Utf8.h"

#include <algorithm>
#include <cstdint>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
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

// Room for `size` bytes from a boundary of `align` bytes: the mapping made and
// the block's start in it.
bool Allocate(std::size_t size, std::size_t align, void*& base, std::size_t& reserved,
              char*& data) {
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

std::shared_ptr<const TFileBlock>
TFileBlock::Read(const std::string& path, const std::function<void(std::string_view)>& piece) {
    if (path.empty())
        return nullptr;
    // Not blocking: a pipe or device by that name fails below instead of waiting.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    std::shared_ptr<TFileBlock> block(new TFileBlock);
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size >= 0;
    if (ok && info.st_size > 0) {
        const auto size = static_cast<std::size_t>(info.st_size);
        const std::size_t align =
            size >= LargePage ? LargePage : static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        ok = Allocate(size, align, block->FBase, block->FReserved, block->FData);
        // The size read when opened: a file that shrinks meanwhile fails to
        // read, one that grows is read as far as that size.
        std::size_t done = 0;
        while (ok && done < size) {
            const ssize_t got = ::read(fd, block->FData + done, std::min(size - done, PieceSize));
            if (got < 0 && errno == EINTR)
                continue;
            ok = got > 0;
            if (ok) {
                if (piece)
                    piece({block->FData + done, static_cast<std::size_t>(got)});
                done += static_cast<std::size_t>(got);
            }
        }
        block->FSize = done;
    }
    ::close(fd);
    return ok ? block : nullptr;
}

TFileBlock::~TFileBlock() {
    if (FBase)
        ::munmap(FBase, FReserved);
}

#else

// Read with every kind of sharing, so that reading never stops another save
// from swapping its new file in.
std::shared_ptr<const TFileBlock>
TFileBlock::Read(const std::string& path, const std::function<void(std::string_view)>& piece) {
    if (path.empty())
        return nullptr;
    const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    std::shared_ptr<TFileBlock> block(new TFileBlock);
    LARGE_INTEGER size{};
    bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
              size.QuadPart >= 0 && static_cast<unsigned long long>(size.QuadPart) < SIZE_MAX;
    if (ok && size.QuadPart > 0) {
        const auto bytes = static_cast<std::size_t>(size.QuadPart);
        // VirtualAlloc gives whole pages, from a page boundary.
        block->FBase = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        block->FReserved = bytes;
        block->FData = static_cast<char*>(block->FBase);
        ok = block->FBase != nullptr;
        std::size_t done = 0;
        while (ok && done < bytes) {
            const DWORD chunk = static_cast<DWORD>(std::min(bytes - done, PieceSize));
            DWORD got = 0;
            ok = ReadFile(file, block->FData + done, chunk, &got, nullptr) && got > 0;
            if (ok && piece)
                piece({block->FData + done, got});
            done += got;
        }
        block->FSize = done;
    }
    CloseHandle(file);
    return ok ? block : nullptr;
}

TFileBlock::~TFileBlock() {
    if (FBase)
        VirtualFree(FBase, 0, MEM_RELEASE);
}

#endif

} // namespace platform
