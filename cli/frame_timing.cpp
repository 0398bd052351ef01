// Frame rates for the grab summary.
#include "cli/frame_timing.h"

#include <algorithm>
#include <cstdio>

namespace qvxcli {

void FrameTiming::add(double stamp, int stretch, double clock) {
    if (stretch == stretch_ && count_ > 0) {
        const double interval = stamp - last_;
        shortest_ = std::min(shortest_, interval);
        longest_ = std::max(longest_, interval);
        spread_ += interval;
        ++intervals_;
    }
    if (count_ == 0) firstClock_ = clock;
    lastClock_ = clock;
    stretch_ = stretch;
    last_ = stamp;
    ++count_;
}

double FrameTiming::overallRate() const {
    const double seconds = lastClock_ - firstClock_;
    return count_ > 1 && seconds > 0 ? static_cast<double>(count_ - 1) / seconds : 0;
}

double FrameTiming::stretchRate() const {
    return intervals_ > 0 && spread_ > 0 ? static_cast<double>(intervals_) / spread_ : 0;
}

std::string FrameTiming::summary() const {
    if (intervals_ == 0) return "Time stamps: one frame, no spread\n";
    char text[320];
    // With pauses, the camera's own rate within a stretch says little about the run: both are given.
    if (stretch_ > 0) {
        std::snprintf(text, sizeof text,
                      "Achieved: %.2f frames per second over the whole run, pauses included (%.2f within "
                      "the %d stretches between them)\n",
                      overallRate(), stretchRate(), stretch_ + 1);
    } else {
        std::snprintf(text, sizeof text, "Achieved: %.2f frames per second\n", stretchRate());
    }
    std::string lines = text;
    std::snprintf(text, sizeof text, "Time stamps: spread %.4f s, intervals %.4f s to %.4f s\n", spread_,
                  shortest_, longest_);
    return lines + text;
}

} // namespace qvxcli
