// The engine; make-frame and receive-frame run on the grabber's delivery thread.
#include "sim/toolbox/engine.h"

#include <cstddef>
#include <new>

#include "sim/toolbox/frame_memory.h"
#include "sim/toolbox/frame_object.h"
#include "sim/toolbox/records.h"

namespace qvxtb::detail {

Engine::Engine() : state_(std::make_shared<AcquisitionState>()) {}

Engine::~Engine() = default;

imaqkit::IAdaptorFrame* Engine::makeFrame(int frameType, int width, int height) {
    record("engine", "makeFrame", frameType, width, height);
    if (bytesPerPixel(frameType) == 0 || width < 0 || height < 0 || makeFrameFails()) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(bytesPerPixel(frameType));
    if (!frameMemoryAllows(bytes)) {
        // As the toolbox does: no frame past the limit, and the acquisition ends with its error; the
        // frames logged so far stay.
        std::lock_guard<std::mutex> lock(state_->mutex);
        if (state_->failure.empty()) state_->failure = frameMemoryLimitText();
        state_->changed.notify_all();
        return nullptr;
    }
    return new FrameObject(frameType, width, height);
}

void Engine::receiveFrame(imaqkit::IAdaptorFrame* frame) {
    record("engine", "receiveFrame");
    auto* ours = dynamic_cast<FrameObject*>(frame);
    if (ours == nullptr) return;
    Frame taken = ours->take();
    delete ours;
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->snapshotWanted) {
        try {
            state_->snapshot = taken;
            state_->snapshotWanted = false;
            state_->snapshotTaken = true;
        } catch (const std::bad_alloc&) {
            // No memory for the copy now: the snapshot waits for the next frame.
        }
    }
    state_->queue.push_back(std::move(taken));
    ++state_->received;
    state_->changed.notify_all();
}

imaqkit::IPropContainer* Engine::getEnginePropContainer() {
    record("engine", "getEnginePropContainer");
    return &engineProperties_;
}

imaqkit::IPropContainer* Engine::getAdaptorPropContainer() {
    record("engine", "getAdaptorPropContainer");
    return &deviceProperties_;
}

} // namespace qvxtb::detail
