// Whole files read into a block of their own.
#include "platform/FileBlock.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

TEST(FileBlockTest, HoldsTheFileFromAPageBoundaryOrNothing) {
    TempDir dir;
    std::string large(5u << 20, '\0'); // past the size that asks for large pages
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 131 % 251);
    const struct {
        const char* name;
        std::string bytes;
    } files[] = {
        {"empty.bin", ""}, {"small.bin", std::string("a\0b\r\n", 5)}, {"large.bin", large}};
    for (const auto& f : files) {
        const auto block = platform::TFileBlock::Read(dir.Write(f.name, f.bytes));
        ASSERT_NE(block, nullptr) << f.name;
        EXPECT_EQ(block->Bytes(), f.bytes) << f.name;
        const auto start = reinterpret_cast<std::uintptr_t>(block->Bytes().data());
        EXPECT_TRUE(f.bytes.empty() || start % 4096 == 0) << f.name;
    }
    std::filesystem::create_directories(dir / "folder");
    for (const std::string& path : {std::string(), dir / "missing.bin", dir / "folder"})
        EXPECT_EQ(platform::TFileBlock::Read(path), nullptr) << path;
}

} // namespace
