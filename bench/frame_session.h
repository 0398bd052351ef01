// One running acquisition on a benchmark camera, through the toolbox stand-in and the real adaptor library.
#pragma once

#include <memory>
#include <string>

#include "bench/bench_buffer.h"
#include "bench/bench_cameras.h"
#include "sim/toolbox/toolbox.h"

namespace qvxbench {

// The adaptor library, loaded once for the whole run as the toolbox would.
qvxtb::Adaptor& loadedAdaptor();

class FrameSession {
public:
    // Replaces the camera set with the one camera, opens a video input on it and starts an acquisition
    // that wants frames until stopped. Throws qvxtb::ToolboxError when any of it fails.
    FrameSession(const FrameShape& shape, bool roi, bool fast = false, bool pattern = false);
    ~FrameSession();
    FrameSession(const FrameSession&) = delete;
    FrameSession& operator=(const FrameSession&) = delete;

    // One buffer of our own through the adaptor's frame callback, on this thread.
    void deliver();
    // Takes every frame out of the engine's queue (the host consuming them); returns how many.
    long drain();

    qvxtb::VideoInput& video() { return *video_; }
    BenchBuffer& buffer() { return buffer_; }
    const FrameShape& shape() const { return shape_; }
    // Empty when every delivered buffer became exactly one counted frame and came back unlocked.
    std::string check() const;

private:
    FrameShape shape_;
    std::unique_ptr<qvxtb::VideoInput> video_;
    BenchBuffer buffer_;
    KapriLib::smart_ptr<KapriLib::MemBuffer> handle_;
    long delivered_ = 0;
    long drained_ = 0;
};

// The calling thread's processor time in nanoseconds, and the seconds since such a reading.
double secondsSince(long long startNanoseconds);
long long nowNanoseconds();

} // namespace qvxbench
