// Frames as Octave arrays: the kit's top-down rows of interleaved samples become column-major planes.
#include "matlab/octave/gateway/frames.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>

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

// A sample as the class asked for: integers saturate, as Octave's cast does; floating point keeps the value.
template <typename T> T converted(unsigned sample) {
    if constexpr (std::is_integral_v<T>) {
        return static_cast<T>(std::min<unsigned long>(sample, std::numeric_limits<T>::max()));
    } else {
        return static_cast<T>(sample);
    }
}

// Writes one frame's samples at `out` (H×W×B column-major) as T.
template <typename T> void fillAs(const qvxtb::Frame& frame, T* out) {
    const std::size_t w = static_cast<std::size_t>(frame.width);
    const std::size_t h = static_cast<std::size_t>(frame.height);
    const std::vector<std::uint8_t> rows = frame.upright();
    if (frame.frameType == imaqkit::kFrameMono16) {
        if (rows.size() < w * h * 2) throw GatewayError("imaq:frame:short", "A frame holds too few bytes.");
        for (std::size_t r = 0; r < h; ++r) {
            for (std::size_t c = 0; c < w; ++c) {
                const std::uint8_t* sample = &rows[(r * w + c) * 2];
                out[r + c * h] = converted<T>(static_cast<unsigned>(sample[0] | (sample[1] << 8))); // LE
            }
        }
        return;
    }
    const std::size_t bands = static_cast<std::size_t>(frameBands(frame.frameType));
    if (rows.size() < w * h * bands) throw GatewayError("imaq:frame:short", "A frame holds too few bytes.");
    for (std::size_t b = 0; b < bands; ++b) {
        for (std::size_t r = 0; r < h; ++r) {
            for (std::size_t c = 0; c < w; ++c)
                out[r + c * h + b * w * h] = converted<T>(rows[(r * w + c) * bands + b]);
        }
    }
}

// Writes frame `index` of an array of frames of this one's size (or the only one, index 0) into `array`.
void fill(const qvxtb::Frame& frame, mxArray* array, std::size_t index) {
    const std::size_t samples = static_cast<std::size_t>(frame.width) *
                                static_cast<std::size_t>(frame.height) *
                                static_cast<std::size_t>(frameBands(frame.frameType));
    const std::size_t at = index * samples;
    switch (mxGetClassID(array)) {
    case mxUINT8_CLASS:
        return fillAs(frame, static_cast<std::uint8_t*>(mxGetData(array)) + at);
    case mxUINT16_CLASS:
        return fillAs(frame, static_cast<std::uint16_t*>(mxGetData(array)) + at);
    case mxUINT32_CLASS:
        return fillAs(frame, static_cast<std::uint32_t*>(mxGetData(array)) + at);
    case mxSINGLE_CLASS:
        return fillAs(frame, static_cast<float*>(mxGetData(array)) + at);
    case mxDOUBLE_CLASS:
        return fillAs(frame, static_cast<double*>(mxGetData(array)) + at);
    default:
        throw GatewayError("imaq:getdata:invalidType", "Frames cannot be given in this class.");
    }
}

// Destroys the array unless released: a result under construction that fails goes away whole.
class Owned {
public:
    explicit Owned(mxArray* array) : array_(array) {}
    ~Owned() {
        if (array_ != nullptr) mxDestroyArray(array_);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    mxArray* get() const { return array_; }
    mxArray* release() {
        mxArray* array = array_;
        array_ = nullptr;
        return array;
    }

private:
    mxArray* array_;
};

mxArray* oneFrame(const qvxtb::Frame& frame, mxClassID target) {
    checkType(frame.frameType);
    const int bands = frameBands(frame.frameType);
    const mwSize dims[3] = {static_cast<mwSize>(frame.height), static_cast<mwSize>(frame.width),
                            static_cast<mwSize>(bands)};
    Owned array(mxCreateNumericArray(bands == 1 ? 2 : 3, dims, target, mxREAL));
    fill(frame, array.get(), 0);
    return array.release();
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

mxArray* frameArray(const qvxtb::Frame& frame) { return oneFrame(frame, frameClass(frame.frameType)); }

mxClassID nativeClass(int frameType) { return frameClass(frameType); }

mxArray* framesArray(const std::vector<const qvxtb::Frame*>& frames, mxClassID target, bool cell) {
    const qvxtb::Frame& first = *frames.front();
    checkType(first.frameType);
    for (const qvxtb::Frame* frame : frames) {
        if (frame->frameType != first.frameType || frame->width != first.width ||
            frame->height != first.height)
            throw GatewayError("imaq:getdata:mixedFrames", "The frames asked for differ in type or size.");
    }
    if (cell) {
        Owned result(mxCreateCellMatrix(frames.size(), 1));
        for (std::size_t i = 0; i < frames.size(); ++i)
            mxSetCell(result.get(), i, oneFrame(*frames[i], target));
        return result.release();
    }
    const mwSize dims[4] = {static_cast<mwSize>(first.height), static_cast<mwSize>(first.width),
                            static_cast<mwSize>(frameBands(first.frameType)),
                            static_cast<mwSize>(frames.size())};
    Owned array(mxCreateNumericArray(4, dims, target, mxREAL));
    for (std::size_t i = 0; i < frames.size(); ++i) fill(*frames[i], array.get(), i);
    return array.release();
}

} // namespace qvxgw
