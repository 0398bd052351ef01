// The grabber library stand-in's own API for tests, benchmarks and the command line: camera sets and
// counters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "grabber/filter.h"
#include "grabber/kapri_api.h"
#include "grabber/mem_buffer.h"
#include "grabber/smart_ptr.h"

namespace qvxsim {

// What a user should know of a camera's formats that its description does not say: for a GenICam camera
// the pixel format behind each format, and the pixel formats left out with the reason. Empty for a
// virtual camera, an unknown name, or a camera that does not answer.
KAPRI_API std::vector<std::string> cameraNotes(const std::string& deviceName);

// Replaces the camera set with a JSON document (format: sim/cameras/README.md). Throws
// std::invalid_argument with a message that names the offending field on a bad document.
KAPRI_API void loadCameras(const std::string& json);
// `path` may also be a GenICam choice, "genicam" or "genicam:ID-OR-ADDRESS[;...]" (genicam/README.md).
KAPRI_API void loadCamerasFromFile(const std::string& path);
// The compiled-in default set, or the file named by QVX_CAMERAS when that is set.
KAPRI_API void useDefaultCameras();
KAPRI_API std::string defaultCamerasJson();

// Back to the default set with fresh live values, all counters and the call log at zero.
// Only call it when no Grabber is live.
KAPRI_API void reset();

// Every buffer the stand-in's MemBuffer::lock and unlock reach: the camera's own, and those a
// benchmark or test hands to deliverBuffer.
class KAPRI_API BufferBase : public KapriLib::MemBuffer {
public:
    ~BufferBase() override;
    virtual void lockBuffer() = 0;
    virtual void unlockBuffer() = 0;
    // Bytes of image data behind getPtr.
    virtual std::size_t bytes() const = 0;
    // The frame's size in pixels; zero when the buffer holds no frame of the camera's.
    virtual SIZE pixels() const { return SIZE{0, 0}; }
};

struct Counters {
    long liveComObjects = 0; // VCD objects (collections, items, elements, interfaces, strings, filters) alive
    long liveGrabbers = 0;   // Grabber objects alive
    long openDevices = 0;    // devices open through some Grabber
    long liveSinks = 0;      // FrameHandlerSink objects alive
    long liveBuffers = 0;    // MemBuffer objects alive
    long lockedBuffers = 0;  // buffers locked and not yet unlocked
    long lockCalls = 0;      // MemBuffer::lock calls, every buffer counted
    long contractViolations = 0; // calls of placeholder slots of the library's interfaces, null device names
    long buffersInUse = 0;       // buffers handed to a listener whose handle is not yet released
    long deliveredFrames = 0;    // buffers handed to listeners
    long droppedFrames = 0;      // frames the camera produced while no buffer was free
    long liveItems = 0;          // item objects (device, norm, format, channel) alive
    long liveDescriptors = 0;    // VideoFormatDesc objects alive
    long liveListHolders = 0;    // list holders returned by the library and not yet released
};
KAPRI_API Counters counters();

// Every Grabber and library call the stand-in received, in order, as "name(arguments)", e.g.
// "openDev(Cam A)", "setVideoNorm(PAL_B)", "setVideoFormat(Y800 (640x480))", "setFPS(30)",
// "startLive(0)", "stopLive()", "closeDev()", "setOverlayBitmapPathPosition(0)",
// "put_Switch(PartialScanOffset/AutoCenter,0)", "put_Value(PartialScanOffset/X,12)".
// The log is off until a test turns it on (reset turns it off again) and keeps the last 100,000 entries.
KAPRI_API std::vector<std::string> callLog();
KAPRI_API void clearCallLog();
KAPRI_API void recordCalls(bool on);

// The live value of a VCD element's interface, by item and element name (first match); throws
// std::out_of_range when there is none. Interfaces: "range", "absolute", "switch", "mapStrings".
KAPRI_API double vcdValue(const std::string& item, const std::string& element,
                          const std::string& interfaceKind);
KAPRI_API void setVcdValue(const std::string& item, const std::string& element,
                           const std::string& interfaceKind, double value);
// Moves a VCD element's limits, as a camera does when another setting changes them; devices already
// open see the new limits at their next read. Interfaces: "range", "absolute", "mapStrings" (moving the
// minimum moves the list position of the default and of every value).
KAPRI_API void setVcdLimits(const std::string& item, const std::string& element,
                            const std::string& interfaceKind, double minimum, double maximum);
KAPRI_API long buttonPushes(const std::string& item, const std::string& element);

// The state of a device by name, as the camera holds it (first device of that name).
struct DeviceState {
    bool open = false;
    bool live = false;
    std::string norm;
    std::string format;      // text of the current format
    std::string colorformat; // colour format name of the current format
    int width = 0;
    int height = 0;
    double fps = 0.0;
    std::int32_t frameRate = 0; // the library's integer value
    int inputChannel = 0;
    int sinkColorformat = 0; // tColorformatEnum of the sink set, 0 when none
    bool snapMode = true;
    int overlayBitmapPathPosition = -1;
};
KAPRI_API DeviceState deviceState(const std::string& deviceName);

// One FrameHandlerSink::create call as the library received it, in order since the last reset.
struct SinkFrameType {
    int colorformat = 0; // tColorformatEnum of the subtype; 0 for an all-zero or unknown subtype
    int width = 0;
    int height = 0;
    std::uint32_t bufferSize = 0;
};
struct SinkCreation {
    std::int32_t bufferCount = 0;
    std::vector<SinkFrameType> frameTypes;
    bool buffersGiven = false; // the MemBufferCollection handle held a collection
    std::size_t outputTypes = 0;
};
KAPRI_API std::vector<SinkCreation> sinkCreations();

// Every Grabber that has the device of that name open loses it: isDevValid answers false from now on,
// while a live one goes on delivering until stopLive.
KAPRI_API void loseDevice(const std::string& deviceName);

// Hands `buffer` to the listeners of the live device of that name on the calling thread, as the delivery
// thread would, but without the camera's own work (pacing, ring, picture): benchmarks time the frame path
// with buffers of their own. Returns the number of listeners called, 0 when no such device is live.
KAPRI_API int deliverBuffer(const std::string& deviceName,
                            const KapriLib::smart_ptr<KapriLib::MemBuffer>& buffer);

// The name of a filter FilterLoader::createFilter made; empty for any other object.
KAPRI_API std::string filterName(KapriLib::IFrameFilter* filter);

// Pixel pattern used by the camera: the frame number stamped into the first bytes of every buffer
// (32-bit little-endian, in the first four bytes of the buffer as delivered).
KAPRI_API std::uint32_t stampedFrameNumber(const std::uint8_t* data);

} // namespace qvxsim
