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
    long acquired = 0; // counted by the adaptor through the manager since the last start
    long received = 0; // frames handed to the engine since the last start; the count follows each one
    int restarts = 0;
    bool roiKnown = false;
    std::array<int, 4> roi{};
    std::deque<Frame> queue;
    std::string failure; // why the acquisition ended by itself; "" while it did not
    // getsnapshot while running: the next frame handed over is copied here, and still logged as usual.
    bool snapshotWanted = false;
    bool snapshotTaken = false;
    Frame snapshot;

    // Frames one acquisition wants; negative: until stopped.
    long wanted() const { return framesPerTrigger <= 0 ? -1 : framesPerTrigger * (triggerRepeat + 1); }
    // A frame is handed over before it is counted; a reader that has it in hand must see it as in.
    bool complete() const { return wanted() >= 0 && (acquired >= wanted() || received >= wanted()); }
    bool framesWanted() const { return (starting || running) && !complete() && failure.empty(); }
};

} // namespace qvxtb::detail
