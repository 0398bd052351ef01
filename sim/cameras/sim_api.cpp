// The stand-in's own API: camera sets, counters, call log, live values and device state for tests.
#include "sim/cameras/sim_api.h"

#include <cstring>
#include <stdexcept>

#include "genicam/genicam.h"
#include "sim/cameras/sim_sink.h"
#include "sim/cameras/system.h"

namespace qvxsim {

extern const char kDefaultCamerasJson[];
extern const std::size_t kDefaultCamerasJsonSize;

namespace {

using Lock = std::lock_guard<std::mutex>;

VcdElement& findElement(const std::string& item, const std::string& element) {
    System& sys = System::instance();
    for (const auto& camera : sys.cameras()->cameras)
        for (VcdItem& i : camera->vcd.values)
            if (i.name == item)
                for (VcdElement& e : i.elements)
                    if (e.name == element) return e;
    throw std::out_of_range("no VCD element " + item + "/" + element);
}

[[noreturn]] void noInterface(const std::string& item, const std::string& element, const std::string& kind) {
    throw std::out_of_range("VCD element " + item + "/" + element + " has no " + kind + " interface");
}

} // namespace

void loadCameras(const std::string& json) {
    auto set = parseCameraSet(json);
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.setCameras(std::move(set));
}

void loadCamerasFromFile(const std::string& path) {
    auto set = loadCameraChoice(path);
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.setCameras(std::move(set));
}

std::vector<std::string> cameraNotes(const std::string& deviceName) {
    std::shared_ptr<Camera> listed;
    {
        System& sys = System::instance();
        Lock lock(sys.mutex);
        for (const auto& cam : sys.cameras()->cameras)
            if (cam->name == deviceName && !listed) listed = cam;
    }
    return listed ? qvxgenicam::notesOf(*listed) : std::vector<std::string>();
}

void useDefaultCameras() {
    auto set = loadDefaultCameraSet();
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.setCameras(std::move(set));
}

std::string defaultCamerasJson() { return std::string(kDefaultCamerasJson, kDefaultCamerasJsonSize); }

void reset() {
    std::shared_ptr<CameraSet> set;
    try {
        set = loadDefaultCameraSet();
    } catch (const std::exception&) {
        set = parseCameraSet(defaultCamerasJson());
    }
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.setCameras(std::move(set));
    sys.clearLog();
    sys.setRecording(false);
    sys.sinkCreations.clear();
    // Counts of live objects stay true; only the event counts start again.
    sys.counters.deliveredFrames.store(0);
    sys.counters.droppedFrames.store(0);
    sys.counters.lockCalls.store(0);
    sys.counters.contractViolations.store(0);
}

Counters counters() {
    const AtomicCounters& c = System::instance().counters;
    Counters out;
    out.liveComObjects = c.liveComObjects.load();
    out.liveGrabbers = c.liveGrabbers.load();
    out.openDevices = c.openDevices.load();
    out.liveSinks = c.liveSinks.load();
    out.liveBuffers = c.liveBuffers.load();
    out.lockedBuffers = c.lockedBuffers.load();
    out.lockCalls = c.lockCalls.load();
    out.contractViolations = c.contractViolations.load();
    out.buffersInUse = c.buffersInUse.load();
    out.deliveredFrames = c.deliveredFrames.load();
    out.droppedFrames = c.droppedFrames.load();
    out.liveItems = c.liveItems.load();
    out.liveDescriptors = c.liveDescriptors.load();
    out.liveListHolders = c.liveListHolders.load();
    return out;
}

std::vector<std::string> callLog() {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    return sys.logCopy();
}

void clearCallLog() {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.clearLog();
}

void recordCalls(bool on) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    sys.setRecording(on);
}

double vcdValue(const std::string& item, const std::string& element, const std::string& kind) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    VcdElement& e = findElement(item, element);
    if (kind == "range" && e.range) return e.range->value;
    if (kind == "absolute" && e.absolute) return e.absolute->value;
    if (kind == "switch" && e.switchValue)
        return e.switchValue->raw ? *e.switchValue->raw : (e.switchValue->on ? -1 : 0);
    if (kind == "mapStrings" && e.mapStrings) return e.mapStrings->value;
    noInterface(item, element, kind);
}

void setVcdValue(const std::string& item, const std::string& element, const std::string& kind, double value) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    VcdElement& e = findElement(item, element);
    if (kind == "range" && e.range)
        e.range->value = static_cast<LONG>(value);
    else if (kind == "absolute" && e.absolute)
        e.absolute->value = value;
    else if (kind == "switch" && e.switchValue)
        e.switchValue->on = value != 0.0;
    else if (kind == "mapStrings" && e.mapStrings)
        e.mapStrings->value = static_cast<LONG>(value);
    else
        noInterface(item, element, kind);
}

void setVcdLimits(const std::string& item, const std::string& element, const std::string& kind,
                  double minimum, double maximum) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    VcdElement& e = findElement(item, element);
    if (kind == "range" && e.range) {
        e.range->min = static_cast<LONG>(minimum);
        e.range->max = static_cast<LONG>(maximum);
    } else if (kind == "absolute" && e.absolute) {
        e.absolute->min = minimum;
        e.absolute->max = maximum;
    } else if (kind == "mapStrings" && e.mapStrings) {
        e.mapStrings->min = static_cast<LONG>(minimum);
        e.mapStrings->max = static_cast<LONG>(maximum);
    } else {
        noInterface(item, element, kind);
    }
}

long buttonPushes(const std::string& item, const std::string& element) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    VcdElement& e = findElement(item, element);
    if (!e.button) noInterface(item, element, "button");
    return e.button->pushes;
}

DeviceState deviceState(const std::string& deviceName) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    const Session* chosen = nullptr;
    for (const auto& s : sys.sessions) {
        if (!s->camera || s->camera->name != deviceName) continue;
        if (chosen == nullptr || (s->live && !chosen->live) ||
            (s->live == chosen->live && s->openedAt > chosen->openedAt))
            chosen = s.get();
    }
    DeviceState state;
    if (chosen == nullptr) return state;
    state.open = true;
    state.live = chosen->live;
    state.norm = chosen->norm;
    if (chosen->hasFormat) {
        state.format = chosen->format.text;
        state.colorformat = chosen->format.colorformat;
        state.width = chosen->format.width;
        state.height = chosen->format.height;
    }
    state.fps = chosen->fps;
    state.frameRate = chosen->rate;
    state.inputChannel = chosen->channel;
    if (const SimSink* sink = simSinkOf(chosen->sinkHolder)) {
        state.sinkColorformat = sink->getColorformat();
        state.snapMode = sink->getSnapMode();
    }
    state.overlayBitmapPathPosition = chosen->overlayPosition;
    return state;
}

void loseDevice(const std::string& deviceName) {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    for (const auto& s : sys.sessions)
        if (s->camera && s->camera->name == deviceName) s->lost = true;
}

int deliverBuffer(const std::string& deviceName, const KapriLib::smart_ptr<KapriLib::MemBuffer>& buffer) {
    // A fixed array keeps the hook free of allocations of its own, so a benchmark counts only the path's.
    constexpr std::size_t kMaxListeners = 8;
    KapriLib::GrabberListener* listeners[kMaxListeners] = {};
    std::size_t count = 0;
    KapriLib::Grabber* grabber = nullptr;
    System& sys = System::instance();
    {
        Lock lock(sys.mutex);
        for (const auto& s : sys.sessions) {
            if (!s->live || !s->camera || s->camera->name != deviceName || s->grabber == nullptr) continue;
            grabber = s->grabber;
            for (KapriLib::GrabberListener* listener : s->listeners)
                if (count < kMaxListeners) listeners[count++] = listener;
            break;
        }
    }
    if (grabber == nullptr) return 0;
    if (count > 0) sys.counters.deliveredFrames.fetch_add(1);
    for (std::size_t i = 0; i < count; ++i) {
        try {
            listeners[i]->frameReady(*grabber, buffer);
        } catch (...) {
            // As on the delivery thread: a listener's failure ends nothing.
        }
    }
    return static_cast<int>(count);
}

std::uint32_t stampedFrameNumber(const std::uint8_t* data) {
    return std::uint32_t{data[0]} | (std::uint32_t{data[1]} << 8) | (std::uint32_t{data[2]} << 16) |
           (std::uint32_t{data[3]} << 24);
}

std::vector<SinkCreation> sinkCreations() {
    System& sys = System::instance();
    Lock lock(sys.mutex);
    return sys.sinkCreations;
}

} // namespace qvxsim
