// The one-pass frame fill behind set-image: the same pixels as the region copy onto zeros, every case.
#include <gtest/gtest.h>

#include <vector>

#include "host/frame.h"
#include "sim/toolbox/engine.h"
#include "sim/toolbox/frame_object.h"

namespace {

using qvxtb::Frame;

Frame emptyFrame(int type, int width, int height) {
    Frame frame;
    frame.frameType = type;
    frame.width = width;
    frame.height = height;
    return frame;
}

std::vector<std::uint8_t> countingBuffer(std::size_t bytes) {
    std::vector<std::uint8_t> buffer(bytes);
    for (std::size_t i = 0; i < bytes; ++i) buffer[i] = static_cast<std::uint8_t>(i * 13 + 1);
    return buffer;
}

// Every layout, every small region around, inside and beyond a 5 x 4 buffer, whole-row regions included.
TEST(ToolboxFrameFill, WritesWhatTheRegionCopyWritesOntoZeros) {
    const int types[] = {imaqkit::kFrameMono8, imaqkit::kFrameMono16, imaqkit::kFrameBgr24,
                         imaqkit::kFrameBgrx32};
    constexpr int kBufferWidth = 5, kBufferHeight = 4;
    for (const int type : types) {
        const int bpp = qvxtb::detail::bytesPerPixel(type);
        const auto buffer = countingBuffer(static_cast<std::size_t>(kBufferWidth * kBufferHeight * bpp));
        for (int width = 1; width <= 6; ++width)
            for (int height = 1; height <= 5; ++height)
                for (int x = -6; x <= 6; ++x)
                    for (int y = -5; y <= 5; ++y) {
                        Frame expected = emptyFrame(type, width, height);
                        expected.data.assign(qvxtb::detail::frameBytes(expected), 0);
                        qvxtb::detail::copyRegion(expected, buffer.data(), kBufferWidth, kBufferHeight, x, y);
                        Frame filled = emptyFrame(type, width, height);
                        qvxtb::detail::fillRegion(filled, buffer.data(), kBufferWidth, kBufferHeight, x, y);
                        ASSERT_EQ(filled.data, expected.data)
                            << "type " << type << " " << width << "x" << height << " at " << x << "," << y;
                    }
    }
}

TEST(ToolboxFrameFill, BuffersThatGiveNothingLeaveAFrameOfZeros) {
    const auto buffer = countingBuffer(64);
    Frame frame = emptyFrame(imaqkit::kFrameMono16, 3, 2);
    qvxtb::detail::fillRegion(frame, nullptr, 4, 4, 0, 0);
    EXPECT_EQ(frame.data, qvxtb::FrameBytes(12, 0));
    qvxtb::detail::fillRegion(frame, buffer.data(), -4, 4, 0, 0);
    EXPECT_EQ(frame.data, qvxtb::FrameBytes(12, 0));
    qvxtb::detail::fillRegion(frame, buffer.data(), 4, 4, 2147483647, -2147483647 - 1);
    EXPECT_EQ(frame.data, qvxtb::FrameBytes(12, 0));
}

TEST(ToolboxFrameFill, EngineFramesAreWholeWithOrWithoutSetImage) {
    auto* engine = new qvxtb::detail::Engine();
    const auto buffer = countingBuffer(16);

    // Never filled: the host still receives a frame of its full size, all zeros.
    engine->receiveFrame(engine->makeFrame(imaqkit::kFrameMono8, 4, 2));
    // Filled twice: the second region lands over the first, outside parts keep the first's pixels.
    imaqkit::IAdaptorFrame* twice = engine->makeFrame(imaqkit::kFrameMono8, 2, 2);
    twice->setImage(const_cast<std::uint8_t*>(buffer.data()), 4, 4, 0, 0);
    twice->setImage(const_cast<std::uint8_t*>(buffer.data()), 4, 4, 3, 2);
    engine->receiveFrame(twice);

    const auto& queue = engine->state()->queue;
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue[0].data, qvxtb::FrameBytes(8, 0));
    EXPECT_EQ(queue[1].data, (qvxtb::FrameBytes{buffer[11], buffer[1], buffer[15], buffer[5]}));
    delete engine;
}

} // namespace
