// Frame objects and the region copy behind set-image; the one copy of every delivered frame happens here.
#include "sim/toolbox/frame_object.h"

#include <algorithm>
#include <cstring>

#include "sim/toolbox/records.h"

namespace qvxtb {

int Frame::bytesPerPixel() const { return detail::bytesPerPixel(frameType); }

std::vector<std::uint8_t> Frame::upright() const {
    const int bpp = bytesPerPixel();
    if (bpp == 0 || width <= 0 || height <= 0) return {};
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t h = static_cast<std::size_t>(height);
    if (!detail::isBottomUp(frameType)) return {data.begin(), data.end()};
    std::vector<std::uint8_t> rgb(w * h * 3);
    for (std::size_t row = 0; row < h; ++row) {
        const std::uint8_t* source = data.data() + (h - 1 - row) * w * static_cast<std::size_t>(bpp);
        std::uint8_t* target = rgb.data() + row * w * 3;
        for (std::size_t column = 0; column < w; ++column, source += bpp, target += 3) {
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
        }
    }
    return rgb;
}

namespace detail {

int bytesPerPixel(int frameType) {
    switch (frameType) {
    case imaqkit::kFrameMono8:
        return 1;
    case imaqkit::kFrameMono16:
        return 2;
    case imaqkit::kFrameBgr24:
        return 3;
    case imaqkit::kFrameBgrx32:
        return 4;
    default:
        return 0;
    }
}

bool isBottomUp(int frameType) {
    return frameType == imaqkit::kFrameBgr24 || frameType == imaqkit::kFrameBgrx32;
}

void copyRegion(Frame& frame, const std::uint8_t* buffer, int bufferWidth, int bufferHeight, int x, int y) {
    const long long bpp = bytesPerPixel(frame.frameType);
    if (buffer == nullptr || bpp == 0 || bufferWidth <= 0 || bufferHeight <= 0 || frame.width <= 0 ||
        frame.height <= 0)
        return;
    // 64-bit arithmetic throughout: offsets near the int limits must clip, not wrap.
    const long long w = frame.width, h = frame.height, bw = bufferWidth, bh = bufferHeight;
    const long long firstColumn = std::max(0LL, -static_cast<long long>(x));
    const long long endColumn = std::min(w, bw - x);
    if (endColumn <= firstColumn) return;
    const std::size_t rowBytes = static_cast<std::size_t>((endColumn - firstColumn) * bpp);
    const bool bottomUp = isBottomUp(frame.frameType);
    for (long long row = 0; row < h; ++row) { // row of the upright region
        const long long imageRow = y + row;
        if (imageRow < 0 || imageRow >= bh) continue;
        // Bottom-up layouts store the upright image's last row first, in the buffer and in the frame alike.
        const long long sourceRow = bottomUp ? bh - 1 - imageRow : imageRow;
        const long long targetRow = bottomUp ? h - 1 - row : row;
        const std::uint8_t* source = buffer + (sourceRow * bw + x + firstColumn) * bpp;
        std::uint8_t* target = frame.data.data() + (targetRow * w + firstColumn) * bpp;
        std::memcpy(target, source, rowBytes);
    }
}

std::size_t frameBytes(const Frame& frame) {
    if (frame.width <= 0 || frame.height <= 0) return 0;
    return static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height) *
           static_cast<std::size_t>(bytesPerPixel(frame.frameType));
}

void fillRegion(Frame& frame, const std::uint8_t* buffer, int bufferWidth, int bufferHeight, int x, int y) {
    FrameBytes& out = frame.data;
    const std::size_t total = frameBytes(frame);
    out.clear();
    const long long bpp = bytesPerPixel(frame.frameType);
    const long long w = frame.width, h = frame.height, bw = bufferWidth, bh = bufferHeight;
    const long long firstColumn = std::max(0LL, -static_cast<long long>(x));
    const long long endColumn = std::min(w, bw - x);
    if (total == 0 || buffer == nullptr || bw <= 0 || bh <= 0 || endColumn <= firstColumn) {
        out.assign(total, 0);
        return;
    }
    out.resize(total); // left unset: every byte is written below, once
    std::uint8_t* target = out.data();
    const bool bottomUp = isBottomUp(frame.frameType);
    // Memory row t of the frame holds upright row (bottomUp ? h - 1 - t : t), which is memory row
    // firstSourceRow + t of the buffer: the frame's rows are consecutive buffer rows in both layouts.
    const long long firstSourceRow = bottomUp ? bh - y - h : y;
    const long long rowStride = bw * bpp;
    const std::size_t lead = static_cast<std::size_t>(firstColumn * bpp);
    const std::size_t rowBytes = static_cast<std::size_t>((endColumn - firstColumn) * bpp);
    const std::size_t trail = static_cast<std::size_t>((w - endColumn) * bpp);
    const std::uint8_t* firstPixel = buffer + (x + firstColumn) * bpp;
    if (lead == 0 && trail == 0 && static_cast<long long>(rowBytes) == rowStride && firstSourceRow >= 0 &&
        firstSourceRow + h <= bh) {
        // The region is whole buffer rows: one block.
        std::memcpy(target, firstPixel + firstSourceRow * rowStride, total);
        return;
    }
    for (long long t = 0; t < h; ++t, target += lead + rowBytes + trail) {
        const long long sourceRow = firstSourceRow + t;
        if (sourceRow < 0 || sourceRow >= bh) {
            std::memset(target, 0, lead + rowBytes + trail);
            continue;
        }
        std::memset(target, 0, lead);
        std::memcpy(target + lead, firstPixel + sourceRow * rowStride, rowBytes);
        std::memset(target + lead + rowBytes, 0, trail);
    }
}

FrameObject::FrameObject(int frameType, int width, int height) {
    frame_.frameType = frameType;
    frame_.width = width;
    frame_.height = height;
    // The pixels are written once, by the first set-image (or as zeros when the frame is taken without one):
    // zeroing them here would cost a second pass over the frame's memory.
    frameObjectMade();
}

FrameObject::~FrameObject() { frameObjectGone(); }

void FrameObject::setImage(void* data, int bufferWidth, int bufferHeight, int x, int y) {
    record("frame", "setImage", bufferWidth, bufferHeight, x, y);
    const auto* buffer = static_cast<const std::uint8_t*>(data);
    if (frame_.data.empty())
        fillRegion(frame_, buffer, bufferWidth, bufferHeight, x, y);
    else
        copyRegion(frame_, buffer, bufferWidth, bufferHeight, x, y);
}

Frame FrameObject::take() {
    if (frame_.data.empty()) frame_.data.assign(frameBytes(frame_), 0);
    return std::move(frame_);
}

void FrameObject::setTime(double time) {
    record("frame", "setTime", time);
    frame_.time = time;
}

void FrameObject::discard() {
    record("frame", "discard");
    delete this;
}

} // namespace detail
} // namespace qvxtb
