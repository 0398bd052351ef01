// Streaming frames out of an acquisition.
#include "cli/frame_stream.h"

#include <algorithm>
#include <limits>

namespace qvxcli {
namespace {

// Stops the acquisition however the stream ends.
struct StopOnExit {
    qvxtb::VideoInput& input;
    ~StopOnExit() {
        try {
            input.stop();
        } catch (...) {
            // The error that ended the stream is the one to report.
        }
    }
};

int startPart(qvxtb::VideoInput& input, long frames) {
    input.setFramesPerTrigger(static_cast<int>(std::min<long>(frames, std::numeric_limits<int>::max())));
    input.start();
    return 0;
}

} // namespace

StreamResult streamFrames(qvxtb::VideoInput& input, long wanted, double timeout,
                          const std::function<void(const qvxtb::Frame&, int part)>& use,
                          const StreamLimits& limits) {
    StreamResult result;
    StopOnExit stopper{input};
    startPart(input, wanted);
    long waitingLimit = limits.minFrames;
    bool paused = false;
    while (result.frames < wanted) {
        // A paused acquisition starts again once its frames are used up (start empties the queue).
        if (paused && input.framesAvailable() == 0) {
            startPart(input, wanted - result.frames);
            paused = false;
            ++result.pauses;
        }
        std::vector<qvxtb::Frame> frames = input.getdata(1, timeout);
        const qvxtb::Frame& frame = frames.front();
        if (result.frames == 0) {
            const std::size_t bytes = std::max<std::size_t>(frame.data.size(), 1);
            waitingLimit = std::max<long>(
                limits.minFrames, static_cast<long>(std::min<std::size_t>(limits.waitingBytes / bytes,
                                                                          std::numeric_limits<long>::max())));
        }
        use(frame, result.pauses);
        ++result.frames;
        frames.clear();
        if (!paused && input.isRunning() && input.framesAvailable() > waitingLimit) {
            input.stop();
            paused = true;
        }
    }
    return result;
}

} // namespace qvxcli
