// The benchmark acquisition: camera set, video input, started acquisition, our buffer and the drain.
#include "bench/frame_session.h"

#include <chrono>
#include <ctime>

#include "sim/cameras/sim_api.h"

namespace qvxbench {
namespace {

const char* const kDeviceName = "Bench Camera";

} // namespace

qvxtb::Adaptor& loadedAdaptor() {
    static qvxtb::Adaptor* adaptor = [] {
        // Call records and printed warnings would time the stand-in's bookkeeping, not the path.
        qvxtb::setRecordCalls(false);
        qvxtb::setPrintWarnings(false);
        return new qvxtb::Adaptor(QVX_ADAPTOR_PATH); // kept to the end: delivery threads may outlive statics
    }();
    return *adaptor;
}

FrameSession::FrameSession(const FrameShape& shape, bool roi, bool fast, bool pattern)
    : shape_(shape), buffer_(shape.width, shape.height, shape.bytesPerPixel()), handle_(buffer_.handle()) {
    qvxtb::Adaptor& adaptor = loadedAdaptor();
    qvxsim::loadCameras(cameraSet(frameCameraJson(kDeviceName, shape, roi, fast, pattern)));
    adaptor.hwinfo(); // the toolbox keeps the last device list; this camera set is new
    video_ = adaptor.videoinput(kDeviceName, frameCameraFormat(shape, roi));
    if (video_->adaptor() == nullptr) throw qvxtb::ToolboxError("the adaptor made no object");
    video_->setFramesPerTrigger(0);
    video_->start();
}

FrameSession::~FrameSession() {
    video_->stop();
    video_.reset();
}

void FrameSession::deliver() {
    qvxsim::deliverBuffer(kDeviceName, handle_);
    ++delivered_;
}

long FrameSession::drain() {
    const long available = video_->framesAvailable();
    if (available > 0) video_->getdata(static_cast<int>(available), 1.0);
    drained_ += available;
    return available;
}

std::string FrameSession::check() const {
    if (buffer_.locks() != 0) return "a buffer was left locked";
    if (buffer_.handlesAlive() != 1) return "a buffer handle was not released";
    if (video_->framesAcquired() != delivered_) return "not every buffer became a counted frame";
    if (drained_ + video_->framesAvailable() != delivered_) return "the engine did not receive every frame";
    return {};
}

long long nowNanoseconds() {
#if defined(_MSC_VER)
    // MSVC's C library has no thread clock: wall time is what is left there.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
#else
    // The thread's own processor time: on a machine shared with other work, wall time would measure the
    // waits for a processor, while memory stalls still count here.
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
#endif
}

double secondsSince(long long startNanoseconds) { return (nowNanoseconds() - startNanoseconds) * 1e-9; }

} // namespace qvxbench
