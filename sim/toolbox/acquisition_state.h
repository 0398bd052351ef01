// The state of one video input's acquisition, shared by its engine, adaptor manager and VideoInput.
#pragma once

#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>

#include "host/adaptor.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

struct AcquisitionState {
    std::mutex mutex;
    std::condition_variable changed;

    bool open = false;     // the host called the adaptor's open
    bool starting = false; // inside the adaptor's start: frames are wanted, but no acquisition is active yet
    bool running = false;
    long framesPerTrigger = 10;
    long triggerRepeat = 0;
    long frameGrabInterval = 1; // log every Nth frame, the first one before the interval applies
    long triggerFrameDelay = 0; // frames skipped after each trigger before logging begins
    long acquired = 0; // counted by the adaptor through the manager since the last start, sent or not
    long received = 0; // frames handed to the engine since the last start: the frames logged
    int restarts = 0;
    bool roiKnown = false;
    std::array<int, 4> roi{};
    std::deque<Frame> queue;
    std::string failure; // why the acquisition ended by itself; "" while it did not
    // getsnapshot while running: the next frame handed over is copied here, and still logged as usual.
    bool snapshotWanted = false;
    bool snapshotTaken = false;
    Frame snapshot;

    // Frames one acquisition logs; negative: until stopped.
    long wanted() const { return framesPerTrigger <= 0 ? -1 : framesPerTrigger * (triggerRepeat + 1); }
    // Frames the camera delivers for one trigger: the delay, then the logged frames an interval apart.
    long framesPerTriggerAcquired() const {
        return triggerFrameDelay + (framesPerTrigger - 1) * frameGrabInterval + 1;
    }
    // Whether the frame the adaptor counts next is one to log: each trigger follows the previous one's
    // last frame at once (immediate trigger).
    bool sendsCurrentFrame() const {
        long index = acquired;
        if (wanted() >= 0) index %= framesPerTriggerAcquired();
        return index >= triggerFrameDelay && (index - triggerFrameDelay) % frameGrabInterval == 0;
    }
    // A frame is handed over before it is counted; a reader that has it in hand must see it as in.
    bool complete() const {
        return wanted() >= 0 &&
               (received >= wanted() || acquired >= framesPerTriggerAcquired() * (triggerRepeat + 1));
    }
    bool framesWanted() const { return (starting || running) && !complete() && failure.empty(); }
};

} // namespace qvxtb::detail
