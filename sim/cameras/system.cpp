// The camera stand-in's state object and the format arithmetic shared by Grabber and VCD objects.
#include "sim/cameras/system.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "genicam/genicam.h"

namespace qvxsim {

extern const char kDefaultCamerasJson[];
extern const std::size_t kDefaultCamerasJsonSize;

namespace {
// A test that records calls reads a few hundred; the oldest entries go first beyond this.
constexpr std::size_t kMaxLogEntries = 100000;
} // namespace

System& System::instance() {
    static System* system = new System(); // delivery threads may outlive static destruction order
    return *system;
}

const std::shared_ptr<CameraSet>& System::cameras() {
    if (!cameras_) {
        try {
            cameras_ = loadDefaultCameraSet();
        } catch (const std::exception& error) {
            // A Grabber cannot report this; say it once and carry on without cameras.
            std::fprintf(stderr, "QVX_KAPRI10_x64: %s\n", error.what());
            cameras_ = std::make_shared<CameraSet>();
        }
    }
    return cameras_;
}

void System::setCameras(std::shared_ptr<CameraSet> set) { cameras_ = std::move(set); }

void System::log(std::string entry) {
    if (!recording_) return;
    if (log_.size() >= kMaxLogEntries) log_.pop_front();
    log_.push_back(std::move(entry));
}

std::vector<std::string> System::logCopy() { return std::vector<std::string>(log_.begin(), log_.end()); }

void System::clearLog() { log_.clear(); }

std::shared_ptr<CameraSet> loadDefaultCameraSet() {
    const char* path = std::getenv("QVX_CAMERAS");
    if (path != nullptr && *path != '\0') return loadCameraChoice(path);
    return parseCameraSet(std::string(kDefaultCamerasJson, kDefaultCamerasJsonSize));
}

std::shared_ptr<CameraSet> loadCameraChoice(const std::string& choice) {
    if (qvxgenicam::isGenicamChoice(choice)) return qvxgenicam::listCameras(choice);
    return loadCameraFile(choice);
}

OptList<double> fpsOf(const Camera& camera, const std::optional<OptList<double>>& own) {
    return own ? *own : camera.fps;
}

OptList<std::int32_t> ratesOf(const Camera& camera, const std::optional<OptList<double>>& ownFps,
                              const std::optional<OptList<std::int32_t>>& ownRates) {
    if (ownRates) return *ownRates;
    // The device's own rates only describe the device's own fps list.
    if (!ownFps && camera.rates) return *camera.rates;
    const OptList<double> fps = fpsOf(camera, ownFps);
    OptList<std::int32_t> rates;
    rates.present = fps.present;
    for (double f : fps.values) rates.values.push_back(rateOfFps(f));
    return rates;
}

FormatInfo formatOf(const Camera& camera, const FormatSpec& described) {
    FormatInfo info;
    info.text = described.text;
    info.colorformat = described.colorformat;
    info.width = described.width;
    info.height = described.height;
    info.fps = fpsOf(camera, described.fps);
    info.rates = ratesOf(camera, described.fps, described.rates);
    info.refuse = described.refuse;
    return info;
}

FormatInfo formatOf(const Camera& camera, const DescriptorSpec& described, int width, int height) {
    FormatInfo info;
    info.text = described.colorformat + " (" + std::to_string(width) + "x" + std::to_string(height) + ")";
    info.colorformat = described.colorformat;
    info.width = width;
    info.height = height;
    info.fps = fpsOf(camera, described.fps);
    info.rates = ratesOf(camera, described.fps, described.rates);
    return info;
}

bool descriptorAccepts(const DescriptorSpec& described, int width, int height) {
    if (described.isNull) return false;
    auto fits = [](int v, LONG low, LONG high, LONG step) {
        if (v < low || v > high) return false;
        // The limits themselves count as on the step, whatever the step is.
        return v == low || v == high || step <= 1 || v % step == 0;
    };
    return fits(width, described.min.cx, described.max.cx, described.step.cx) &&
           fits(height, described.min.cy, described.max.cy, described.step.cy);
}

SIZE sensorOf(const Camera& camera) { return camera.sensor ? *camera.sensor : largestPicture(camera); }

SIZE largestPicture(const Camera& camera) {
    SIZE largest{0, 0};
    for (const DescriptorSpec& d : camera.descriptors.values) {
        if (d.isNull) continue;
        if (d.max.cx > largest.cx) largest.cx = d.max.cx;
        if (d.max.cy > largest.cy) largest.cy = d.max.cy;
    }
    for (const NormSpec& n : camera.norms.values)
        for (const FormatSpec& f : n.formats.values) {
            if (f.width > largest.cx) largest.cx = f.width;
            if (f.height > largest.cy) largest.cy = f.height;
        }
    return largest;
}

} // namespace qvxsim
