// Drawing the progress line in place.
#include "cli/progress.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#define QVX_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define QVX_ISATTY(fd) isatty(fd)
#endif

namespace qvxcli {

Progress::Progress(long wanted)
    : shown_(QVX_ISATTY(1) != 0), wanted_(wanted), begin_(std::chrono::steady_clock::now()), last_(begin_) {}

Progress::~Progress() { finish(); }

void Progress::update(long frames, long files) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && frames < wanted_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - begin_).count();
    const double rate = seconds > 0 ? static_cast<double>(frames) / seconds : 0;
    std::printf("\rAcquiring: %ld of %ld frames, %.1f frames/s, %ld file%s written   ", frames, wanted_, rate,
                files, files == 1 ? "" : "s");
    std::fflush(stdout);
    drawn_ = true;
}

void Progress::finish() {
    if (!drawn_) return;
    std::printf("\n");
    std::fflush(stdout);
    drawn_ = false;
}

} // namespace qvxcli
