// The camera stand-in's one state object: camera set, open sessions, counters and call log, behind one mutex.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "grabber/listener.h"
#include "grabber/sink.h"
#include "grabber/smart_ptr.h"
#include "sim/cameras/model.h"
#include "sim/cameras/sim_api.h"

namespace qvxgenicam {
class Device;
} // namespace qvxgenicam

namespace qvxsim {

// A video format as the camera knows it; the data behind every VideoFormatItem.
struct FormatInfo {
    std::string text;
    std::string colorformat;
    int width = 0;
    int height = 0;
    OptList<double> fps;
    OptList<std::int32_t> rates;
    bool refuse = false;
};

// What one Grabber has selected on its open device. Guarded by the system mutex.
struct Session {
    KapriLib::Grabber* grabber = nullptr;
    std::shared_ptr<Camera> camera; // null: no device open
    std::uint64_t openedAt = 0;
    std::string norm;
    bool hasFormat = false;
    FormatInfo format;
    double fps = 0.0;
    std::int32_t rate = 0;
    int channel = 0;
    int overlayPosition = -1;
    bool live = false;
    // The device went away: isDevValid answers false, while live mode and delivery go on until stopped.
    bool lost = false;
    // The holder the adaptor handed to setSinkType, kept with one reference of ours.
    KapriLib::refcount_ptr_base* sinkHolder = nullptr;
    std::vector<KapriLib::GrabberListener*> listeners;
    // The open GenICam camera when `camera` is one; null for a virtual camera.
    std::shared_ptr<qvxgenicam::Device> genicam;
};

struct AtomicCounters {
    std::atomic<long> liveComObjects{0};
    std::atomic<long> liveGrabbers{0};
    std::atomic<long> openDevices{0};
    std::atomic<long> liveSinks{0};
    std::atomic<long> liveBuffers{0};
    std::atomic<long> lockedBuffers{0};
    std::atomic<long> lockCalls{0};
    std::atomic<long> contractViolations{0};
    std::atomic<long> buffersInUse{0};
    std::atomic<long> deliveredFrames{0};
    std::atomic<long> droppedFrames{0};
    std::atomic<long> liveItems{0};
    std::atomic<long> liveDescriptors{0};
    std::atomic<long> liveListHolders{0};
};

class System {
public:
    static System& instance();

    std::mutex mutex;
    AtomicCounters counters;

    // The camera set, loading the default one on first use. Call with the mutex held.
    const std::shared_ptr<CameraSet>& cameras();
    void setCameras(std::shared_ptr<CameraSet> set); // mutex held
    void log(std::string entry);                     // mutex held
    std::vector<std::string> logCopy();              // mutex held
    void clearLog();                                 // mutex held
    void setRecording(bool on) { recording_ = on; }  // mutex held

    std::vector<std::shared_ptr<Session>> sessions; // every live Grabber's, mutex held
    std::uint64_t openCounter = 0;
    std::vector<SinkCreation> sinkCreations;

private:
    System() = default;
    std::shared_ptr<CameraSet> cameras_;
    std::deque<std::string> log_;
    bool recording_ = false;
};

// The default document: QVX_CAMERAS when set, the compiled-in set otherwise.
std::shared_ptr<CameraSet> loadDefaultCameraSet();
// The cameras of a choice: "genicam", "genicam:ID-OR-ADDRESS[;...]" or the path of a camera file.
std::shared_ptr<CameraSet> loadCameraChoice(const std::string& choice);

// Frames per second and integer rates of a format, the device's where the format gives none.
OptList<double> fpsOf(const Camera& camera, const std::optional<OptList<double>>& own);
OptList<std::int32_t> ratesOf(const Camera& camera, const std::optional<OptList<double>>& ownFps,
                              const std::optional<OptList<std::int32_t>>& ownRates);

// The formats a session could select and the ones it did: shared by Grabber and VCD offsets.
FormatInfo formatOf(const Camera& camera, const FormatSpec& described);
FormatInfo formatOf(const Camera& camera, const DescriptorSpec& described, int width, int height);
// Whether a descriptor can make a format of that size: within its limits and on its step.
bool descriptorAccepts(const DescriptorSpec& described, int width, int height);
// The full picture a region-of-interest camera cuts its region from.
SIZE sensorOf(const Camera& camera);

} // namespace qvxsim
