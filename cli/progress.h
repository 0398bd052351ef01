// The progress line of a long acquisition: frames, rate and files written, on a terminal only.
#pragma once

#include <chrono>

namespace qvxcli {

class Progress {
public:
    // Shown only when standard output is a terminal, so that pipes and files get clean output.
    explicit Progress(long wanted);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Redraws at most ten times a second, and always for the last frame.
    void update(long frames, long files);
    // Ends the line; later output starts on a line of its own.
    void finish();

private:
    bool shown_;
    long wanted_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point begin_, last_;
};

} // namespace qvxcli
