// Frame metadata: clock vectors of the frames' time stamps and their place among the logged frames.
#include "matlab/octave/gateway/metadata.h"

#include <cmath>
#include <ctime>

#include "matlab/octave/gateway/mx_values.h"

namespace qvxgw {

mxArray* clockVector(double seconds) {
    const double whole = std::floor(seconds);
    const std::time_t time = static_cast<std::time_t>(whole);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    return makeRow({local.tm_year + 1900.0, local.tm_mon + 1.0, double(local.tm_mday), double(local.tm_hour),
                    double(local.tm_min), local.tm_sec + (seconds - whole)});
}

mxArray* loggedMetadata(const std::vector<const qvxtb::Frame*>& frames, double logged,
                        double framesPerTrigger) {
    StructBuilder result({"AbsTime", "FrameNumber", "RelativeFrame", "TriggerIndex"}, frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const double index = logged + static_cast<double>(i); // 0 for the first frame after START
        const bool endless = std::isinf(framesPerTrigger);
        result.set(i, "AbsTime", clockVector(frames[i]->time));
        result.set(i, "FrameNumber", makeNumber(index + 1));
        result.set(i, "RelativeFrame",
                   makeNumber(endless ? index + 1 : std::fmod(index, framesPerTrigger) + 1));
        result.set(i, "TriggerIndex", makeNumber(endless ? 1 : std::floor(index / framesPerTrigger) + 1));
    }
    mxArray* row = result.release();
    // The toolbox gives F×1; StructBuilder makes 1×F.
    const mwSize dims[2] = {static_cast<mwSize>(frames.size()), 1};
    mxSetDimensions(row, dims, 2);
    return row;
}

mxArray* snapshotMetadata(const qvxtb::Frame& frame) {
    StructBuilder result({"AbsTime"});
    result.set(0, "AbsTime", clockVector(frame.time));
    return result.release();
}

} // namespace qvxgw
