// The frame memory pool: large blocks come back for the next frame of their size, within bounds.
#include <gtest/gtest.h>

#include <vector>

#include "sim/toolbox/frame_memory.h"

namespace {

using qvxtb::detail::giveFrameBlock;
using qvxtb::detail::pooledFrameBytes;
using qvxtb::detail::takeFrameBlock;

constexpr std::size_t kLarge = 3u * 1024 * 1024 + 8; // no frame size of the other tests

TEST(ToolboxFrameMemory, ALargeBlockServesTheNextFrameOfItsSizeOnly) {
    if (!qvxtb::detail::frameMemoryPooled()) GTEST_SKIP() << "this build gives every block straight back";
    const std::size_t before = pooledFrameBytes();
    void* block = takeFrameBlock(kLarge);
    giveFrameBlock(block, kLarge);
    EXPECT_EQ(pooledFrameBytes(), before + kLarge);

    void* other = takeFrameBlock(kLarge + 1);
    EXPECT_NE(other, block) << "a block serves its own size only";
    EXPECT_EQ(takeFrameBlock(kLarge), block);
    EXPECT_EQ(pooledFrameBytes(), before);
    giveFrameBlock(other, kLarge + 1);
    giveFrameBlock(block, kLarge);
}

TEST(ToolboxFrameMemory, SmallBlocksAndNullAreNotKept) {
    const std::size_t before = pooledFrameBytes();
    giveFrameBlock(takeFrameBlock(4096), 4096);
    giveFrameBlock(takeFrameBlock(0), 0);
    giveFrameBlock(nullptr, kLarge);
    EXPECT_EQ(pooledFrameBytes(), before);
}

TEST(ToolboxFrameMemory, KeepsABoundedNumberOfBlocks) {
    // A reader far behind the camera must not make the pool hold every frame it ever saw.
    constexpr std::size_t kSize = 2u * 1024 * 1024 + 16;
    std::vector<void*> blocks;
    for (int i = 0; i < 40; ++i) blocks.push_back(takeFrameBlock(kSize));
    const std::size_t before = pooledFrameBytes();
    for (void* block : blocks) giveFrameBlock(block, kSize);
    EXPECT_LE(pooledFrameBytes() - before, 8 * kSize);
    if (qvxtb::detail::frameMemoryPooled()) {
        EXPECT_GT(pooledFrameBytes(), before);
    }
    // Whatever was kept is handed out again, then the allocator serves the rest.
    blocks.clear();
    for (int i = 0; i < 10; ++i) blocks.push_back(takeFrameBlock(kSize));
    EXPECT_EQ(pooledFrameBytes(), before);
    for (void* block : blocks) giveFrameBlock(block, kSize);
}

TEST(ToolboxFrameMemory, FramePixelsRoundTripThroughThePool) {
    qvxtb::FrameBytes first(kLarge, 5);
    const std::uint8_t* where = first.data();
    first = qvxtb::FrameBytes();
    qvxtb::FrameBytes second;
    second.reserve(kLarge);
    if (qvxtb::detail::frameMemoryPooled()) {
        EXPECT_EQ(second.data(), where);
    }
    second.assign(kLarge, 9);
    EXPECT_EQ(second[kLarge - 1], 9);
}

} // namespace
