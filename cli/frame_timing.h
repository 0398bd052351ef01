// The rates a grab reports: over the whole run, and within the stretches between the acquisition's pauses.
#pragma once

#include <string>

namespace qvxcli {

class FrameTiming {
public:
    // `stamp`: the frame's time stamp, which restarts with each stretch; `stretch`: its number (0, 1 after
    // the first pause...); `clock`: seconds on a steady clock when the frame was taken out.
    void add(double stamp, int stretch, double clock);
    long frames() const { return count_; }
    // Frames per second from the first frame to the last, pauses included; 0 below two frames.
    double overallRate() const;
    // Frames per second within the stretches, by their time stamps, pauses left out; 0 without intervals.
    double stretchRate() const;
    // The summary's lines about time.
    std::string summary() const;

private:
    long count_ = 0, intervals_ = 0;
    int stretch_ = 0;
    double last_ = 0, spread_ = 0, shortest_ = 1e300, longest_ = 0;
    double firstClock_ = 0, lastClock_ = 0;
};

} // namespace qvxcli
