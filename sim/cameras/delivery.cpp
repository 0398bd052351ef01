// The delivery thread: paces on the frame rate, fills a free ring buffer and hands it to every listener.
#include "sim/cameras/delivery.h"

#include <algorithm>
#include <chrono>

#include "grabber/vcd_ids.h"
#include "sim/cameras/buffer_ring.h"
#include "sim/cameras/pattern.h"
#include "sim/cameras/sim_sink.h"
#include "sim/cameras/vcd_objects.h"

namespace qvxsim {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kLongestPeriodSeconds = 3600.0;

thread_local Delivery* tCurrent = nullptr;

// The value element of the item with that name, or its first element.
const VcdElement* valueElement(const Camera& camera, const char* itemName) {
    for (const VcdItem& item : camera.vcd.values) {
        if (item.name != itemName || item.elements.empty()) continue;
        for (const VcdElement& e : item.elements)
            if (e.id == KapriLib::kVcdElementValue) return &e;
        return &item.elements.front();
    }
    return nullptr;
}

double gainOf(const Camera& camera) {
    const VcdElement* e = valueElement(camera, "Gain");
    if (e == nullptr) return 1.0;
    // Unscaled at the default; four times as bright across the whole range above it.
    double span = 0.0, offset = 0.0;
    if (e->range && e->range->max > e->range->min) {
        span = static_cast<double>(e->range->max) - e->range->min;
        offset = static_cast<double>(e->range->value) - e->range->def;
    } else if (e->absolute && e->absolute->max > e->absolute->min) {
        span = e->absolute->max - e->absolute->min;
        offset = e->absolute->value - e->absolute->def;
    }
    return span > 0.0 ? std::max(0.0, 1.0 + 3.0 * offset / span) : 1.0;
}

int brightnessOf(const Camera& camera) {
    const VcdElement* e = valueElement(camera, "Brightness");
    if (e == nullptr || !e->range) return 0;
    return e->range->value - e->range->def;
}

void regionOrigin(const Session& s, Picture& p) {
    const Camera& camera = *s.camera;
    for (const VcdItem& item : camera.vcd.values) {
        if (item.id != KapriLib::kVcdItemPartialScanOffset) continue;
        bool centred = false;
        for (const VcdElement& e : item.elements)
            if (e.id == KapriLib::kVcdElementAutoCenter && e.switchValue && e.switchValue->on) centred = true;
        for (const VcdElement& e : item.elements) {
            if (!e.range) continue;
            LONG min = 0, max = 0;
            rangeLimits(&s, camera, item, e, min, max);
            const int value = centred ? max / 2 : std::clamp<LONG>(e.range->value, min, max);
            if (e.id == KapriLib::kVcdElementOffsetX) p.originX = value;
            if (e.id == KapriLib::kVcdElementOffsetY) p.originY = value;
        }
        return;
    }
}

} // namespace

std::size_t ringBufferBytes(int colorformat, int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bytesPerPixel(colorformat);
}

std::shared_ptr<BufferRing> firstRing(const Session& s) {
    const SimSink* sink = simSinkOf(s.sinkHolder);
    const int colorformat = sink != nullptr ? sink->getColorformat() : 0;
    return std::make_shared<BufferRing>(s.camera->buffers,
                                        ringBufferBytes(colorformat, s.format.width, s.format.height),
                                        SIZE{s.format.width, s.format.height});
}

Delivery::Delivery(KapriLib::Grabber& grabber, std::shared_ptr<Session> session,
                   std::shared_ptr<BufferRing> ring)
    : grabber_(grabber), session_(std::move(session)), ring_(std::move(ring)) {
    thread_ = std::thread([this] { run(); });
}

Delivery::~Delivery() {
    stop();
    if (thread_.joinable()) {
        if (thread_.get_id() == std::this_thread::get_id())
            thread_.detach();
        else
            thread_.join();
    }
}

void Delivery::stop() {
    {
        std::lock_guard<std::mutex> lock(waitMutex_);
        stop_.store(true);
    }
    wake_.notify_all();
    // On its own thread the loop simply ends; thread_ may not even be assigned yet there.
    if (tCurrent == this) return;
    if (thread_.joinable()) thread_.join();
}

void Delivery::detach() {
    if (thread_.joinable()) thread_.detach();
}

Delivery* Delivery::current() { return tCurrent; }

void Delivery::run() {
    tCurrent = this;
    try {
        deliver();
    } catch (...) {
        // Memory that runs out while live ends the delivery; the process and the caller's thread go on.
    }
    tCurrent = nullptr;
}

void Delivery::deliver() {
    System& sys = System::instance();
    std::shared_ptr<BufferRing> ring = std::move(ring_);
    std::uint32_t frameNumber = 0;
    Clock::time_point next = Clock::now();
    while (!stop_.load()) {
        Picture picture;
        std::vector<KapriLib::GrabberListener*> listeners;
        double fps = 0.0;
        bool fast = false;
        bool snap = true;
        int bufferCount = 4;
        {
            std::lock_guard<std::mutex> lock(sys.mutex);
            const Session& s = *session_;
            if (!s.live || !s.camera || !s.hasFormat) break;
            const SimSink* sink = simSinkOf(s.sinkHolder);
            if (sink == nullptr) break;
            snap = sink->getSnapMode();
            picture.colorformat = sink->getColorformat();
            picture.width = s.format.width;
            picture.height = s.format.height;
            picture.gain = gainOf(*s.camera);
            picture.brightness = brightnessOf(*s.camera);
            picture.pattern = s.camera->pattern;
            regionOrigin(s, picture);
            fps = s.fps;
            fast = s.camera->fast;
            bufferCount = s.camera->buffers;
            listeners = s.listeners;
        }
        const bool paced = !fast && fps > 0.0;
        {
            std::unique_lock<std::mutex> lock(waitMutex_);
            if (paced) {
                // A rate near 0 would make a period no clock can hold; an hour is as good as forever here.
                const double seconds = std::min(1.0 / fps, kLongestPeriodSeconds);
                const auto period =
                    std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
                next += period;
                const auto now = Clock::now();
                if (next + period < now) next = now; // after a stall, no burst of catch-up frames
                wake_.wait_until(lock, next, [this] { return stop_.load(); });
            } else if (snap) {
                // Nothing is delivered in snap mode; do not spin while waiting for it to go off.
                wake_.wait_for(lock, std::chrono::milliseconds(5), [this] { return stop_.load(); });
            }
        }
        if (stop_.load()) break;
        if (snap) continue;
        const std::size_t bytes = ringBufferBytes(picture.colorformat, picture.width, picture.height);
        const SIZE size{picture.width, picture.height};
        if (!ring || !ring->matches(bufferCount, bytes, size))
            ring = std::make_shared<BufferRing>(bufferCount, bytes, size);
        SimMemBuffer* buffer =
            ring->acquire(paced ? std::chrono::milliseconds(0) : std::chrono::milliseconds(5));
        if (buffer == nullptr) {
            if (paced) {
                ++frameNumber; // the camera produced the frame; nobody could take it
                sys.counters.droppedFrames.fetch_add(1);
            }
            continue;
        }
        renderPicture(buffer->getPtr(), picture, frameNumber);
        buffer->setFrameNumber(frameNumber);
        ++frameNumber;
        const KapriLib::smart_ptr<KapriLib::MemBuffer> handle = ring->handOut(buffer);
        bool handed = false;
        for (KapriLib::GrabberListener* listener : listeners) {
            if (stop_.load()) break; // a listener may have stopped live mode or destroyed the grabber
            if (!handed) sys.counters.deliveredFrames.fetch_add(1);
            handed = true;
            try {
                listener->frameReady(grabber_, handle);
            } catch (...) {
                // A listener's failure must not end the delivery thread or the process.
            }
        }
    }
}

} // namespace qvxsim
