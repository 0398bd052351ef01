// Frames as Octave arrays: the kit's top-down rows of interleaved samples become column-major planes.
#include "matlab/octave/gateway/frames.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "host/frame.h"
#include "matlab/octave/gateway/gateway_error.h"

namespace qvxgw {
namespace {

mxClassID frameClass(int frameType) {
    return frameType == imaqkit::kFrameMono16 ? mxUINT16_CLASS : mxUINT8_CLASS;
}

void checkType(int frameType) {
    if (frameBands(frameType) == 0) {
        throw GatewayError("imaq:frame:unknownType", "The adaptor delivered a frame of unknown type " +
                                                         std::to_string(frameType) + ".");
    }
}

// Writes one frame's samples at `target` (H×W×B column-major, element size by its class).
void fill(const qvxtb::Frame& frame, void* target) {
    const std::size_t w = static_cast<std::size_t>(frame.width);
    const std::size_t h = static_cast<std::size_t>(frame.height);
    const std::vector<std::uint8_t> rows = frame.upright();
    if (frame.frameType == imaqkit::kFrameMono16) {
        if (rows.size() < w * h * 2) throw GatewayError("imaq:frame:short", "A frame holds too few bytes.");
        auto* out = static_cast<std::uint16_t*>(target);
        for (std::size_t r = 0; r < h; ++r) {
            for (std::size_t c = 0; c < w; ++c) {
                const std::uint8_t* sample = &rows[(r * w + c) * 2];
                out[r + c * h] = static_cast<std::uint16_t>(sample[0] | (sample[1] << 8)); // little-endian
            }
        }
        return;
    }
    const std::size_t bands = static_cast<std::size_t>(frameBands(frame.frameType));
    if (rows.size() < w * h * bands) throw GatewayError("imaq:frame:short", "A frame holds too few bytes.");
    auto* out = static_cast<std::uint8_t*>(target);
    for (std::size_t b = 0; b < bands; ++b) {
        for (std::size_t r = 0; r < h; ++r) {
            for (std::size_t c = 0; c < w; ++c) out[r + c * h + b * w * h] = rows[(r * w + c) * bands + b];
        }
    }
}

} // namespace

int frameBands(int frameType) {
    switch (frameType) {
    case imaqkit::kFrameMono8:
    case imaqkit::kFrameMono16:
        return 1;
    case imaqkit::kFrameBgr24:
    case imaqkit::kFrameBgrx32:
        return 3; // upright() gives RGB without the padding byte
    default:
        return 0;
    }
}

const char* frameClassName(int frameType) {
    if (frameBands(frameType) == 0) return "";
    return frameType == imaqkit::kFrameMono16 ? "uint16" : "uint8";
}

mxArray* frameArray(const qvxtb::Frame& frame) {
    checkType(frame.frameType);
    const int bands = frameBands(frame.frameType);
    const mwSize dims[3] = {static_cast<mwSize>(frame.height), static_cast<mwSize>(frame.width),
                            static_cast<mwSize>(bands)};
    mxArray* array = mxCreateNumericArray(bands == 1 ? 2 : 3, dims, frameClass(frame.frameType), mxREAL);
    try {
        fill(frame, mxGetData(array));
    } catch (...) {
        mxDestroyArray(array);
        throw;
    }
    return array;
}

mxArray* framesArray(const std::vector<qvxtb::Frame>& frames) {
    const qvxtb::Frame& first = frames.front();
    checkType(first.frameType);
    for (const qvxtb::Frame& frame : frames) {
        if (frame.frameType != first.frameType || frame.width != first.width || frame.height != first.height)
            throw GatewayError("imaq:getdata:mixedFrames", "The frames asked for differ in type or size.");
    }
    const mwSize dims[4] = {static_cast<mwSize>(first.height), static_cast<mwSize>(first.width),
                            static_cast<mwSize>(frameBands(first.frameType)),
                            static_cast<mwSize>(frames.size())};
    mxArray* array = mxCreateNumericArray(4, dims, frameClass(first.frameType), mxREAL);
    const std::size_t frameBytes =
        dims[0] * dims[1] * dims[2] * (first.frameType == imaqkit::kFrameMono16 ? 2 : 1);
    try {
        auto* data = static_cast<std::uint8_t*>(mxGetData(array));
        for (std::size_t i = 0; i < frames.size(); ++i) fill(frames[i], data + i * frameBytes);
    } catch (...) {
        mxDestroyArray(array);
        throw;
    }
    return array;
}

} // namespace qvxgw
