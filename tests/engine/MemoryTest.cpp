#include "engine/Memory.h"

#include "engine/Exception.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(MemReAllocTest, GrowsKeepingTheContent) {
    auto* block = static_cast<char*>(MemReAlloc(nullptr, 4));
    std::memcpy(block, "abcd", 4);
    block = static_cast<char*>(MemReAlloc(block, 1 << 20));
    EXPECT_EQ(std::memcmp(block, "abcd", 4), 0);
    MemFree(block);
}

TEST(MemReAllocTest, ImpossibleSizeThrowsOutOfMemory) {
    void* block = MemReAlloc(nullptr, 16);
    try {
        MemReAlloc(block, SIZE_MAX / 2);
        FAIL() << "an impossible size was granted";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.Text(), "MemReAlloc OUTOFMEMORY");
    }
    // The block is still ours after the failure.
    MemFree(block);
}
