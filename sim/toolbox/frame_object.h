// The engine's frame object: one frame's pixels, filled once from the adaptor's buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/frame.h"
#include "sim/toolbox/placeholder.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

// Bytes per pixel of a frame type code; 0 for a code the host does not know.
int bytesPerPixel(int frameType);
bool isBottomUp(int frameType);

// Copies `frame`'s region from a buffer of bufferWidth x bufferHeight pixels at (x, y) of the upright
// image. Parts of the region outside the buffer are left as they are; nothing outside it is read.
void copyRegion(Frame& frame, const std::uint8_t* buffer, int bufferWidth, int bufferHeight, int x, int y);
// The same region, written into an empty frame in one pass: every byte of the frame is written once, the
// parts outside the buffer as zeros. This is set-image's copy; copyRegion serves a second set-image.
void fillRegion(Frame& frame, const std::uint8_t* buffer, int bufferWidth, int bufferHeight, int x, int y);
// Bytes of a frame of its type and size.
std::size_t frameBytes(const Frame& frame);

class FrameObject final : public imaqkit::IAdaptorFrame {
public:
    QVXTB_PLACEHOLDER("frame", 1)
    QVXTB_PLACEHOLDER("frame", 2)
    QVXTB_PLACEHOLDER("frame", 3)
    QVXTB_PLACEHOLDER("frame", 4)
    QVXTB_PLACEHOLDER("frame", 5)
    QVXTB_PLACEHOLDER("frame", 7)
    QVXTB_PLACEHOLDER("frame", 8)
    QVXTB_PLACEHOLDER("frame", 9)
    QVXTB_PLACEHOLDER("frame", 10)
    QVXTB_PLACEHOLDER("frame", 11)
    QVXTB_PLACEHOLDER("frame", 12)
    QVXTB_PLACEHOLDER("frame", 13)
    QVXTB_PLACEHOLDER("frame", 14)
    QVXTB_PLACEHOLDER("frame", 15)
    QVXTB_PLACEHOLDER("frame", 16)
    FrameObject(int frameType, int width, int height);
    ~FrameObject();
    FrameObject(const FrameObject&) = delete;
    FrameObject& operator=(const FrameObject&) = delete;

    void setImage(void* data, int bufferWidth, int bufferHeight, int x, int y) override;
    void setTime(double time) override;
    void discard() override;

    // The frame, zeros when set-image never came.
    Frame take();

private:
    Frame frame_;
};

} // namespace qvxtb::detail
