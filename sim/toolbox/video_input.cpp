// A video input: acquisitions, the region of interest and property access, driven from the caller's thread.
#include <chrono>

#include "sim/toolbox/adaptor_calls.h"
#include "sim/toolbox/interruptible_wait.h"
#include "sim/toolbox/listener_value.h"
#include "sim/toolbox/records.h"
#include "sim/toolbox/video_input_impl.h"

namespace qvxtb {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point deadline(double seconds) {
    if (!(seconds > 0)) seconds = 0;
    if (seconds > 1e6) seconds = 1e6;
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

imaqkit::IAdaptor* requireAdaptor(imaqkit::IAdaptor* adaptor) {
    if (adaptor == nullptr)
        throw ToolboxError("The video input has no adaptor object: createInstance returned none.");
    return adaptor;
}

std::string timeoutText(long acquired, long wanted, double seconds) {
    return "Timeout: " + std::to_string(acquired) + " of " +
           (wanted < 0 ? std::string("unlimited") : std::to_string(wanted)) + " frames acquired after " +
           std::to_string(seconds) + " s; the frames did not come.";
}

// Waits until `frames` frames are queued, under the state's lock, or throws why they will not come.
void waitForQueuedFrames(detail::AcquisitionState& state, std::unique_lock<std::mutex>& lock, int frames,
                         double timeoutSeconds) {
    if (frames < 1) throw ToolboxError("getdata needs a number of frames of 1 or more.");
    const auto enough = [&] { return state.queue.size() >= static_cast<std::size_t>(frames); };
    const auto noMoreComing = [&] {
        return (!state.running && !state.starting) || state.complete() || !state.failure.empty();
    };
    // The adaptor hands a frame over before it counts it, so once the count is complete the frames are in.
    const bool ready = detail::waitInterruptibly(state.changed, lock, deadline(timeoutSeconds),
                                                 [&] { return enough() || noMoreComing(); });
    if (!ready) throw TimeoutError(timeoutText(state.received, state.wanted(), timeoutSeconds));
    if (!enough() && !state.failure.empty()) throw ToolboxError(state.failure);
    if (!enough()) {
        throw ToolboxError("getdata asked for " + std::to_string(frames) + " frames, but only " +
                           std::to_string(state.queue.size()) + " are available and no more will come.");
    }
}

// While an acquisition runs: a copy of the next frame it logs into frame; false when it is not running
// or ends without another frame.
bool nextLoggedFrame(detail::AcquisitionState& state, double timeoutSeconds, Frame& frame) {
    std::unique_lock<std::mutex> lock(state.mutex);
    if (!state.running && !state.starting) return false;
    state.snapshotTaken = false;
    state.snapshotWanted = true;
    // Whatever ends the wait, an interrupt included, the request and its copy go.
    struct Withdraw {
        detail::AcquisitionState& state;
        ~Withdraw() {
            state.snapshotWanted = false;
            state.snapshotTaken = false;
            state.snapshot = Frame();
        }
    } withdraw{state};
    const bool settled = detail::waitInterruptibly(state.changed, lock, deadline(timeoutSeconds), [&] {
        return state.snapshotTaken || !state.framesWanted();
    });
    const bool taken = state.snapshotTaken;
    if (taken) frame = std::move(state.snapshot);
    if (!settled)
        throw TimeoutError("getsnapshot: no frame came within " + std::to_string(timeoutSeconds) + " s.");
    return taken;
}

// Sets one of the acquisition's settings, which stay as they are while it runs.
void setWhileStopped(detail::AcquisitionState& state, long detail::AcquisitionState::*setting, int value,
                     const char* name) {
    std::lock_guard<std::mutex> lock(state.mutex);
    if (state.running || state.starting)
        throw ToolboxError(std::string(name) + " cannot change while running.");
    state.*setting = value;
}

} // namespace

VideoInput::Impl::~Impl() {
    if (adaptor != nullptr) {
        bool running = false;
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            running = state->running || state->starting;
        }
        try {
            if (running) adaptor->stopCapture();
        } catch (...) {
            // Deleting the adaptor stops it as well; a destructor cannot report this.
        }
        try {
            detail::record("imaqkit", "deleteAdaptor");
            delete adaptor;
        } catch (...) {
        }
        adaptor = nullptr;
    }
    // The listeners belong to the host and go after the adaptor they point to.
    delete engine;
}

VideoInput::VideoInput() : impl_(std::make_unique<Impl>()) {}
VideoInput::~VideoInput() = default;

imaqkit::IAdaptor* VideoInput::adaptor() const { return impl_->adaptor; }
const DeviceDescription& VideoInput::description() const { return impl_->description; }

void VideoInput::setFramesPerTrigger(int frames) {
    setWhileStopped(*impl_->state, &detail::AcquisitionState::framesPerTrigger, frames, "FramesPerTrigger");
}

void VideoInput::setTriggerRepeat(int repeats) {
    if (repeats < 0) throw ToolboxError("TriggerRepeat must be 0 or more.");
    setWhileStopped(*impl_->state, &detail::AcquisitionState::triggerRepeat, repeats, "TriggerRepeat");
}

void VideoInput::setFrameGrabInterval(int interval) {
    if (interval < 1) throw ToolboxError("FrameGrabInterval must be 1 or more.");
    setWhileStopped(*impl_->state, &detail::AcquisitionState::frameGrabInterval, interval,
                    "FrameGrabInterval");
}

void VideoInput::setTriggerFrameDelay(int frames) {
    if (frames < 0) throw ToolboxError("TriggerFrameDelay must be 0 or more.");
    setWhileStopped(*impl_->state, &detail::AcquisitionState::triggerFrameDelay, frames, "TriggerFrameDelay");
}

void VideoInput::start() {
    imaqkit::IAdaptor* adaptor = requireAdaptor(impl_->adaptor);
    detail::AcquisitionState& state = *impl_->state;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.running || state.starting) throw ToolboxError("The video input is already running.");
        state.acquired = 0;
        state.received = 0;
        state.queue.clear();
        state.failure.clear();
    }
    detail::record("imaqkit", "openDevice");
    if (!detail::callAdaptor("Opening the device", [&] { return adaptor->openDevice(); })) {
        throw ToolboxError("The adaptor could not open the device.");
    }
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.open = true;
        state.starting = true;
    }
    bool started = false;
    struct Finish {
        detail::AcquisitionState& state;
        bool& started;
        ~Finish() {
            std::lock_guard<std::mutex> lock(state.mutex);
            state.starting = false;
            state.running = started;
            state.changed.notify_all();
        }
    };
    {
        Finish finish{state, started};
        detail::record("imaqkit", "startCapture");
        started = detail::callAdaptor("Starting the acquisition", [&] { return adaptor->startCapture(); });
    }
    if (!started) throw ToolboxError("The adaptor could not start the acquisition.");
}

void VideoInput::stop() {
    if (impl_->adaptor == nullptr) return;
    detail::AcquisitionState& state = *impl_->state;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.running && !state.starting) return;
    }
    struct Finish {
        detail::AcquisitionState& state;
        ~Finish() {
            std::lock_guard<std::mutex> lock(state.mutex);
            state.running = false;
            state.changed.notify_all();
        }
    } finish{state};
    detail::record("imaqkit", "stopCapture");
    detail::callAdaptor("Stopping the acquisition", [&] { return impl_->adaptor->stopCapture(); });
}

bool VideoInput::isRunning() const {
    std::lock_guard<std::mutex> lock(impl_->state->mutex);
    return impl_->state->running || impl_->state->starting;
}

void VideoInput::wait(double timeoutSeconds) {
    detail::AcquisitionState& state = *impl_->state;
    {
        std::unique_lock<std::mutex> lock(state.mutex);
        const bool done = detail::waitInterruptibly(state.changed, lock, deadline(timeoutSeconds), [&] {
            return (!state.running && !state.starting) || state.complete() || !state.failure.empty();
        });
        if (!done) throw TimeoutError(timeoutText(state.received, state.wanted(), timeoutSeconds));
    }
    stop();
}

std::vector<Frame> VideoInput::getdata(int frames, double timeoutSeconds) {
    detail::AcquisitionState& state = *impl_->state;
    std::vector<Frame> taken;
    bool complete = false;
    {
        std::unique_lock<std::mutex> lock(state.mutex);
        waitForQueuedFrames(state, lock, frames, timeoutSeconds);
        taken.reserve(static_cast<std::size_t>(frames));
        for (int i = 0; i < frames; ++i) {
            taken.push_back(std::move(state.queue.front()));
            state.queue.pop_front();
        }
        complete = state.running && (state.complete() || !state.failure.empty());
    }
    if (complete) stop();
    return taken;
}

long VideoInput::framesAvailable() const {
    std::lock_guard<std::mutex> lock(impl_->state->mutex);
    return static_cast<long>(impl_->state->queue.size());
}

long VideoInput::framesAcquired() const {
    std::lock_guard<std::mutex> lock(impl_->state->mutex);
    return impl_->state->received;
}

Frame VideoInput::getsnapshot(double timeoutSeconds) {
    requireAdaptor(impl_->adaptor);
    detail::AcquisitionState& state = *impl_->state;
    Frame logged;
    if (nextLoggedFrame(state, timeoutSeconds, logged)) return logged;
    // An acquisition that ended without another frame is stopped, as the toolbox stops a complete one.
    stop();
    // The snapshot is an acquisition of its own; the user's settings and frames are put back afterwards.
    struct Restore {
        VideoInput& input;
        detail::AcquisitionState& state;
        long framesPerTrigger, triggerRepeat, frameGrabInterval, triggerFrameDelay, acquired, received;
        std::deque<Frame> queue;
        ~Restore() {
            try {
                input.stop();
            } catch (...) {
            }
            std::lock_guard<std::mutex> lock(state.mutex);
            state.framesPerTrigger = framesPerTrigger;
            state.triggerRepeat = triggerRepeat;
            state.frameGrabInterval = frameGrabInterval;
            state.triggerFrameDelay = triggerFrameDelay;
            state.acquired = acquired;
            state.received = received;
            state.queue = std::move(queue);
        }
    };
    std::unique_ptr<Restore> restore;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (state.running || state.starting)
            throw ToolboxError("getsnapshot needs a video input that is not running.");
        restore.reset(new Restore{*this, state, state.framesPerTrigger, state.triggerRepeat,
                                  state.frameGrabInterval, state.triggerFrameDelay, state.acquired,
                                  state.received, std::move(state.queue)});
        state.queue.clear();
        state.framesPerTrigger = 1;
        state.triggerRepeat = 0;
        state.frameGrabInterval = 1;
        state.triggerFrameDelay = 0;
    }
    start();
    std::vector<Frame> frames = getdata(1, timeoutSeconds);
    return std::move(frames.front());
}

std::array<int, 4> VideoInput::getROIPosition() {
    imaqkit::IAdaptor* adaptor = requireAdaptor(impl_->adaptor);
    std::array<int, 4> roi{};
    {
        std::lock_guard<std::mutex> lock(impl_->state->mutex);
        roi = impl_->state->roi;
    }
    detail::record("imaqkit", "getROI");
    detail::callAdaptor("Reading ROIPosition", [&] { adaptor->getROI(&roi[0], &roi[1], &roi[2], &roi[3]); });
    return roi;
}

void VideoInput::setROIPosition(int x, int y, int width, int height) {
    imaqkit::IAdaptor* adaptor = requireAdaptor(impl_->adaptor);
    // Allowed while running: the adaptor's region change stops and restarts live mode around itself.
    // Only a region that cannot be one is refused; fitting it to the image is the adaptor's business.
    if (x < 0 || y < 0 || width < 1 || height < 1) {
        throw ToolboxError("Invalid ROIPosition [" + std::to_string(x) + " " + std::to_string(y) + " " +
                           std::to_string(width) + " " + std::to_string(height) +
                           "]: offsets must be 0 or more and the size 1 or more.");
    }
    detail::record("imaqkit", "setROI", x, y, width, height);
    detail::callAdaptor("Setting ROIPosition", [&] { adaptor->setROI(x, y, width, height); });
}

namespace {

detail::PropertyEntry& deviceProperty(detail::Engine& engine, const std::string& name) {
    detail::PropertyEntry* entry = engine.deviceProperties().find(name);
    if (entry == nullptr) throw ToolboxError("\"" + name + "\" is not a property of this device.");
    return *entry;
}

} // namespace

PropertyValue VideoInput::get(const std::string& name) {
    detail::PropertyEntry& entry = deviceProperty(*impl_->engine, name);
    detail::ValueBuffer value = entry.value;
    if (entry.getter != nullptr) {
        // As big as the declared type, no more: the getter writes what that type holds.
        detail::ListenerValue buffer(entry.info.type, entry.value, detail::ListenerValue::Use::Getter);
        detail::callAdaptor("Reading " + name,
                            [&] { entry.getter->getValue(entry.infoObject.get(), buffer.data()); });
        value = buffer.finish(name);
    }
    PropertyValue result = detail::fromStored(entry.info, value);
    entry.value = value;
    return result;
}

void VideoInput::set(const std::string& name, const PropertyValue& value) {
    detail::PropertyEntry& entry = deviceProperty(*impl_->engine, name);
    if (entry.info.readOnly == "always") throw ToolboxError(name + " is read-only.");
    if (entry.info.readOnly == "whileRunning" && isRunning())
        throw ToolboxError(name + " is read-only while running.");
    const detail::ValueBuffer stored = detail::toStored(entry.info, value);
    const detail::ValueBuffer previous = entry.value;
    entry.value = stored;
    try {
        for (imaqkit::IPropPostSetListener* listener : entry.postSetListeners) {
            // Each listener gets its own copy, as big as the declared type: the adaptor may write into it.
            detail::ListenerValue copy(entry.info.type, stored);
            detail::callAdaptor("Setting " + name,
                                [&] { listener->notify(entry.infoObject.get(), copy.data()); });
            copy.finish(name);
        }
    } catch (...) {
        entry.value = previous;
        throw;
    }
}

std::vector<std::string> VideoInput::propertyNames() const {
    std::vector<std::string> names;
    for (const auto& entry : impl_->engine->deviceProperties().entries()) names.push_back(entry->info.name);
    return names;
}

void VideoInput::setSelectedSourceName(const std::string& source) {
    const auto& sources = impl_->description.sources;
    bool known = false;
    for (const SourceInfo& candidate : sources) known = known || candidate.name == source;
    if (!known) throw ToolboxError("\"" + source + "\" is not a source of this device.");
    detail::PropertyEntry* entry = impl_->engine->engineProperties().find("SelectedSourceName");
    entry->textValue = source;
    for (imaqkit::IEnginePropPostSetListener* listener : entry->engineListeners) {
        std::string copy = source;
        detail::callAdaptor("Setting SelectedSourceName",
                            [&] { listener->notify(entry->infoObject.get(), copy.data()); });
    }
}

std::string VideoInput::selectedSourceName() const {
    return impl_->engine->engineProperties().find("SelectedSourceName")->textValue;
}

void VideoInput::getdata(int frames, double timeoutSeconds,
                         const std::function<void(const std::vector<const Frame*>&)>& build) {
    detail::AcquisitionState& state = *impl_->state;
    std::vector<const Frame*> first;
    {
        std::unique_lock<std::mutex> lock(state.mutex);
        waitForQueuedFrames(state, lock, frames, timeoutSeconds);
        first.reserve(static_cast<std::size_t>(frames));
        for (int i = 0; i < frames; ++i) first.push_back(&state.queue[static_cast<std::size_t>(i)]);
    }
    // Unlocked: the delivery thread only appends, which moves no queued frame, and only this thread takes
    // frames out.
    build(first);
    bool complete = false;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        state.queue.erase(state.queue.begin(), state.queue.begin() + frames);
        complete = state.running && (state.complete() || !state.failure.empty());
    }
    if (complete) stop();
}

std::string VideoInput::acquisitionError() const {
    std::lock_guard<std::mutex> lock(impl_->state->mutex);
    return impl_->state->failure;
}

int VideoInput::restarts() const {
    std::lock_guard<std::mutex> lock(impl_->state->mutex);
    return impl_->state->restarts;
}

} // namespace qvxtb
