// One acquisition whose frames are taken out of the engine as they come, with a bound on the frames waiting.
#pragma once

#include <cstddef>
#include <functional>

#include "sim/toolbox/toolbox.h"

namespace qvxcli {

struct StreamLimits {
    // Frames waiting in the engine may take this much memory; at least `minFrames` may always wait.
    std::size_t waitingBytes = std::size_t{64} << 20;
    long minFrames = 4;
};

struct StreamResult {
    long frames = 0;
    // Times the acquisition was stopped and started again because the frames came faster than they were
    // used and the waiting ones reached the limit. Time stamps restart with each part.
    int pauses = 0;
};

// Acquires `wanted` frames and hands each to `use` in order as it comes, with the number of the part of the
// acquisition it belongs to (0, then 1 after the first pause...). `timeout` bounds the wait for each frame.
// Throws what the toolbox throws (a timeout, an acquisition that ends early) and what `use` throws; the
// acquisition is stopped in every case.
StreamResult streamFrames(qvxtb::VideoInput& input, long wanted, double timeout,
                          const std::function<void(const qvxtb::Frame&, int part)>& use,
                          const StreamLimits& limits = StreamLimits());

} // namespace qvxcli
