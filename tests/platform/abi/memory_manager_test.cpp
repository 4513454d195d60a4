#include "platform/abi/memory_manager.h"
#include "tests/support/readable_name.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

using namespace hostabi;

namespace {

bool allZero(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (b[i] != 0)
            return false;
    return true;
}

bool fitsIn32Bits(const void* p, std::size_t n) {
    return std::uint64_t(reinterpret_cast<std::uintptr_t>(p)) + n <= (std::uint64_t(1) << 32);
}

} // namespace

// Sizes around the small-block classes and beyond them (blocks of their own).
class MemoryBlockSize : public ::testing::TestWithParam<std::size_t> {};

TEST_P(MemoryBlockSize, IsLowAlignedZeroFilledAndCounted) {
    const std::size_t size = GetParam();
    const std::size_t before = mem::blockCount();
    void* p = mem::allocate(size);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(fitsIn32Bits(p, size));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 16, 0u);
    EXPECT_TRUE(allZero(p, size));
    EXPECT_EQ(mem::blockSize(p), size);
    EXPECT_EQ(mem::blockCount(), before + 1);

    // A recycled block is zero-filled again.
    std::memset(p, 0x5A, size);
    mem::release(p);
    EXPECT_EQ(mem::blockCount(), before);
    void* q = mem::allocate(size);
    EXPECT_TRUE(allZero(q, size));
    mem::release(q);
    EXPECT_EQ(mem::blockCount(), before);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MemoryBlockSize,
                         ::testing::Values(1, 15, 16, 56, 600, 4096, 65520, 65521, 300000),
                         testsupport::ReadableName());

TEST(MemoryManager, ReallocateKeepsContentsAndZeroFillsGrowth) {
    const std::size_t before = mem::blockCount();
    auto* p = static_cast<unsigned char*>(mem::allocate(10));
    std::memset(p, 7, 10);
    for (std::size_t size : {20u, 5000u, 70000u, 200000u}) { // in place, moved, large, large
        p = static_cast<unsigned char*>(mem::reallocate(p, size));
        EXPECT_TRUE(fitsIn32Bits(p, size));
        EXPECT_EQ(mem::blockSize(p), size);
        EXPECT_EQ(p[0], 7);
        EXPECT_EQ(p[9], 7);
        EXPECT_TRUE(allZero(p + 10, size - 10));
    }
    p = static_cast<unsigned char*>(mem::reallocate(p, 4));
    EXPECT_EQ(p[3], 7);
    EXPECT_EQ(mem::reallocate(p, 0), nullptr);
    EXPECT_EQ(mem::blockCount(), before);
    EXPECT_EQ(mem::allocate(0), nullptr);
    mem::release(nullptr);
    EXPECT_EQ(mem::blockCount(), before);
}

TEST(MemoryManager, StatisticsFollowTheBlocksInUse) {
    const mem::Stats before = mem::stats();
    void* a = mem::allocate(100);
    void* b = mem::allocate(100000);
    const mem::Stats during = mem::stats();
    EXPECT_EQ(during.blocks, before.blocks + 2);
    EXPECT_EQ(during.bytes, before.bytes + 100100);
    EXPECT_GE(during.reserved, during.bytes);
    mem::release(a);
    mem::release(b);
    EXPECT_EQ(mem::stats().blocks, before.blocks);
    EXPECT_EQ(mem::stats().bytes, before.bytes);
}

TEST(MemoryManager, ThreadsShareItSafely) {
    const std::size_t before = mem::blockCount();
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &failures] {
            std::vector<unsigned char*> blocks;
            for (int i = 0; i < 3000; ++i) {
                const std::size_t size = 1 + std::size_t(i * 37 + t) % 3000;
                auto* p = static_cast<unsigned char*>(mem::allocate(size));
                std::memset(p, t + 1, size);
                blocks.push_back(p);
                if (i % 3 == 2) { // release a third, keep the rest until the end
                    unsigned char* q = blocks[blocks.size() - 2];
                    failures[t] += q[mem::blockSize(q) - 1] != t + 1;
                    mem::release(q);
                    blocks.erase(blocks.end() - 2);
                }
            }
            for (unsigned char* p : blocks) {
                failures[t] += p[0] != t + 1;
                mem::release(p);
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
    EXPECT_EQ(mem::blockCount(), before);
}

TEST(MemoryManagerDeathTest, DoubleReleaseAborts) {
    void* p = mem::allocate(32);
    mem::release(p);
    EXPECT_DEATH(mem::release(p), "not in use");
}
