// The toolbox's frame objects: the region copy of set-image, clipping, bottom-up rows and the engine's queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "host/frame.h"
#include "sim/toolbox/engine.h"
#include "sim/toolbox/frame_object.h"

namespace {

using qvxtb::Frame;
using qvxtb::detail::copyRegion;

Frame blankFrame(int type, int width, int height) {
    Frame frame;
    frame.frameType = type;
    frame.width = width;
    frame.height = height;
    frame.data.assign(static_cast<std::size_t>(width * height * qvxtb::detail::bytesPerPixel(type)), 0);
    return frame;
}

// A buffer whose every byte tells its own position: value = row * 16 + byte column (of the memory row).
std::vector<std::uint8_t> numberedBuffer(int width, int height, int bpp) {
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(width * height * bpp));
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width * bpp; ++column)
            buffer[static_cast<std::size_t>(row * width * bpp + column)] =
                static_cast<std::uint8_t>(row * 16 + column);
    return buffer;
}

TEST(ToolboxRegionCopy, Mono8TakesTheRegionAtItsOffset) {
    const auto buffer = numberedBuffer(8, 6, 1);
    Frame frame = blankFrame(imaqkit::kFrameMono8, 3, 2);
    copyRegion(frame, buffer.data(), 8, 6, 2, 1);
    EXPECT_EQ(frame.data, (qvxtb::FrameBytes{0x12, 0x13, 0x14, 0x22, 0x23, 0x24}));
}

TEST(ToolboxRegionCopy, Mono16CopiesTwoBytesPerPixel) {
    const auto buffer = numberedBuffer(4, 4, 2);
    Frame frame = blankFrame(imaqkit::kFrameMono16, 2, 1);
    copyRegion(frame, buffer.data(), 4, 4, 1, 2);
    EXPECT_EQ(frame.data, (qvxtb::FrameBytes{0x22, 0x23, 0x24, 0x25}));
}

TEST(ToolboxRegionCopy, BottomUpRegionRowsCountFromTheUprightTop) {
    // Memory row m of a bottom-up buffer is upright row (height - 1 - m). The region's upright rows 1 and 2
    // of a 4-row buffer are memory rows 2 and 1; the frame stores its own last upright row first.
    const auto buffer = numberedBuffer(4, 4, 3);
    Frame frame = blankFrame(imaqkit::kFrameBgr24, 1, 2);
    copyRegion(frame, buffer.data(), 4, 4, 1, 1);
    EXPECT_EQ(frame.data, (qvxtb::FrameBytes{0x13, 0x14, 0x15, 0x23, 0x24, 0x25}));
    // Upright, the region's top row is memory row 2, as RGB.
    EXPECT_EQ(frame.upright(), (std::vector<std::uint8_t>{0x25, 0x24, 0x23, 0x15, 0x14, 0x13}));
}

TEST(ToolboxRegionCopy, WholeBottomUpImageIsCopiedAsIs) {
    const auto buffer = numberedBuffer(3, 2, 4);
    Frame frame = blankFrame(imaqkit::kFrameBgrx32, 3, 2);
    copyRegion(frame, buffer.data(), 3, 2, 0, 0);
    EXPECT_TRUE(std::equal(frame.data.begin(), frame.data.end(), buffer.begin(), buffer.end()));
}

TEST(ToolboxRegionCopy, PartsOutsideTheBufferStayZero) {
    const auto buffer = numberedBuffer(4, 3, 1);
    Frame frame = blankFrame(imaqkit::kFrameMono8, 3, 3);
    copyRegion(frame, buffer.data(), 4, 3, -1, 1);
    EXPECT_EQ(frame.data, (qvxtb::FrameBytes{0, 0x10, 0x11, 0, 0x20, 0x21, 0, 0, 0}));

    Frame right = blankFrame(imaqkit::kFrameMono8, 3, 1);
    copyRegion(right, buffer.data(), 4, 3, 2, 0);
    EXPECT_EQ(right.data, (qvxtb::FrameBytes{0x02, 0x03, 0}));

    Frame colour = blankFrame(imaqkit::kFrameBgr24, 1, 2);
    const auto colourBuffer = numberedBuffer(2, 2, 3);
    copyRegion(colour, colourBuffer.data(), 2, 2, 0, -1);
    // The region's upright row 0 lies above the buffer: it is the frame's last memory row and stays zero.
    EXPECT_EQ(colour.data, (qvxtb::FrameBytes{0x10, 0x11, 0x12, 0, 0, 0}));
}

TEST(ToolboxRegionCopy, RegionsWhollyOutsideOrAtTheIntLimitsReadNothing) {
    const auto buffer = numberedBuffer(4, 4, 1);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{
             {4, 0}, {0, 4}, {-3, 0}, {2147483647, 0}, {0, -2147483647 - 1}, {-2147483647 - 1, 2147483647}}) {
        Frame frame = blankFrame(imaqkit::kFrameMono8, 3, 3);
        copyRegion(frame, buffer.data(), 4, 4, x, y);
        EXPECT_EQ(std::accumulate(frame.data.begin(), frame.data.end(), 0), 0) << x << "," << y;
    }
    Frame frame = blankFrame(imaqkit::kFrameMono8, 2, 2);
    copyRegion(frame, nullptr, 4, 4, 0, 0);
    copyRegion(frame, buffer.data(), -4, 4, 0, 0);
    EXPECT_EQ(std::accumulate(frame.data.begin(), frame.data.end(), 0), 0);
}

TEST(ToolboxEngine, MakesFramesByTypeAndQueuesWhatItReceives) {
    auto* engine = new qvxtb::detail::Engine();
    const long before = qvxtb::liveFrameObjects();
    EXPECT_EQ(engine->makeFrame(0x12345678, 4, 4), nullptr);
    EXPECT_EQ(engine->makeFrame(imaqkit::kFrameMono8, -1, 4), nullptr);

    imaqkit::IAdaptorFrame* frame = engine->makeFrame(imaqkit::kFrameMono16, 2, 2);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(qvxtb::liveFrameObjects(), before + 1);
    const std::vector<std::uint8_t> buffer(8, 7);
    frame->setImage(const_cast<std::uint8_t*>(buffer.data()), 2, 2, 0, 0);
    frame->setTime(12.5);
    engine->receiveFrame(frame);
    EXPECT_EQ(qvxtb::liveFrameObjects(), before);
    ASSERT_EQ(engine->state()->queue.size(), 1u);
    EXPECT_EQ(engine->state()->queue.front().time, 12.5);
    EXPECT_EQ(engine->state()->queue.front().upright(), buffer);

    qvxtb::failMakeFrameAfter(1);
    imaqkit::IAdaptorFrame* allowed = engine->makeFrame(imaqkit::kFrameMono8, 1, 1);
    EXPECT_NE(allowed, nullptr);
    EXPECT_EQ(engine->makeFrame(imaqkit::kFrameMono8, 1, 1), nullptr);
    qvxtb::failMakeFrameAfter(-1);
    engine->receiveFrame(allowed);
    engine->receiveFrame(nullptr);
    EXPECT_EQ(engine->state()->queue.size(), 2u);
    delete engine;
}

TEST(ToolboxFrame, UprightKeepsGreyAndTurnsColourToTopDownRgb) {
    Frame grey = blankFrame(imaqkit::kFrameMono16, 2, 1);
    grey.data = {1, 2, 3, 4};
    EXPECT_EQ(grey.upright(), (std::vector<std::uint8_t>{1, 2, 3, 4}));
    Frame colour = blankFrame(imaqkit::kFrameBgrx32, 1, 2);
    colour.data = {1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_EQ(colour.upright(), (std::vector<std::uint8_t>{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(colour.bytesPerPixel(), 4);
}

} // namespace
