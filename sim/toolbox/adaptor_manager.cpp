// The adaptor manager; called from the host's thread and, for frame counting, from the delivery thread.
#include "sim/toolbox/adaptor_manager.h"

#include "sim/toolbox/engine.h"
#include "sim/toolbox/records.h"

namespace qvxtb::detail {

AdaptorManager::AdaptorManager(imaqkit::IAdaptor* adaptor, imaqkit::IEngine* engine,
                               std::shared_ptr<AcquisitionState> state)
    : adaptor_(adaptor), engine_(engine), state_(std::move(state)) {}

AdaptorManager::~AdaptorManager() { record("adaptorManager", "delete"); }

bool AdaptorManager::startAcquisition() {
    record("adaptorManager", "startAcquisition");
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->starting = true;
        ++state_->restarts;
    }
    bool started = false;
    struct Finish {
        AcquisitionState& state;
        bool& started;
        ~Finish() {
            std::lock_guard<std::mutex> lock(state.mutex);
            state.starting = false;
            state.running = started;
            state.changed.notify_all();
        }
    } finish{*state_, started};
    // The lock is never held across a call into the adaptor: its start and stop wait for the
    // delivery thread, which needs the lock to count frames.
    started = adaptor_ != nullptr && adaptor_->startCapture();
    return started;
}

bool AdaptorManager::stopAcquisition() {
    record("adaptorManager", "stopAcquisition");
    struct Finish {
        AcquisitionState& state;
        ~Finish() {
            std::lock_guard<std::mutex> lock(state.mutex);
            state.running = false;
            state.changed.notify_all();
        }
    } finish{*state_};
    return adaptor_ == nullptr || adaptor_->stopCapture();
}

bool AdaptorManager::isOpen() {
    record("adaptorManager", "isOpen");
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->open;
}

bool AdaptorManager::isAcquisitionActive() {
    record("adaptorManager", "isAcquisitionActive");
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->running;
}

imaqkit::IEngine* AdaptorManager::getEngine() {
    record("adaptorManager", "getEngine");
    return engine_;
}

int AdaptorManager::hostDefault() {
    record("adaptorManager", "hostDefault");
    return 0;
}

void AdaptorManager::ensureRoi() {
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->roiKnown) return;
    }
    // The adaptor is fully built by the time anyone asks for a region (the manager is made inside its
    // constructor, so the size cannot be read earlier).
    const int width = adaptor_ != nullptr ? adaptor_->getMaxWidth() : 0;
    const int height = adaptor_ != nullptr ? adaptor_->getMaxHeight() : 0;
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->roiKnown) {
        state_->roi = {0, 0, width, height};
        state_->roiKnown = true;
    }
}

void AdaptorManager::getROI(int* x, int* y, int* width, int* height) {
    record("adaptorManager", "getROI");
    ensureRoi();
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (x != nullptr) *x = state_->roi[0];
    if (y != nullptr) *y = state_->roi[1];
    if (width != nullptr) *width = state_->roi[2];
    if (height != nullptr) *height = state_->roi[3];
}

void AdaptorManager::setROI(int x, int y, int width, int height) {
    record("adaptorManager", "setROI", x, y, width, height);
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->roi = {x, y, width, height};
    state_->roiKnown = true;
}

void AdaptorManager::incrementFrameCount() {
    record("adaptorManager", "incrementFrameCount");
    std::lock_guard<std::mutex> lock(state_->mutex);
    ++state_->acquired;
    state_->changed.notify_all();
}

bool AdaptorManager::isSendFrame() {
    record("adaptorManager", "isSendFrame");
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->framesWanted() && state_->sendsCurrentFrame();
}

bool AdaptorManager::isAcquisitionNotComplete() {
    record("adaptorManager", "isAcquisitionNotComplete");
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->framesWanted();
}

} // namespace qvxtb::detail

namespace imaqkit {

IAdaptorManager* createAdaptorManager(IAdaptor* adaptor, IEngine* engine) {
    qvxtb::detail::record("imaqkit", "createAdaptorManager");
    // An engine the toolbox did not make (a test's own) gets a state of its own: nothing open, nothing
    // running.
    auto* ours = dynamic_cast<qvxtb::detail::Engine*>(engine);
    auto state = ours != nullptr ? ours->state() : std::make_shared<qvxtb::detail::AcquisitionState>();
    return new qvxtb::detail::AdaptorManager(adaptor, engine, std::move(state));
}

} // namespace imaqkit
