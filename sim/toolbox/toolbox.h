// The adaptor kit stand-in's toolbox API: load an adaptor by path and use it as the toolbox does.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "host/adaptor.h"
#include "host/entry_points.h"
#include "host/imaqkit.h"
#include "sim/toolbox/frame_memory.h"

namespace qvxtb {

// Any failure the toolbox reports to its caller: a library that does not load, a missing export,
// an unknown device or format, a refused property write, an error raised by the adaptor.
class ToolboxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The frames or the end of an acquisition did not come within the time given; the caller may say so in
// its own words.
class TimeoutError : public ToolboxError {
public:
    using ToolboxError::ToolboxError;
};

// A wait ended because the caller's interrupt was pending (see setWaitInterrupt); nothing else changed.
class InterruptedError : public ToolboxError {
public:
    using ToolboxError::ToolboxError;
};

// Asked on the waiting thread every few tens of milliseconds while the toolbox waits for frames or for the
// end of an acquisition: true ends the wait with InterruptedError. Null (the default): waits run out.
IMAQMEX_API void setWaitInterrupt(bool (*pending)());

// ---- Frame memory --------------------------------------------------------------------------------

// The text with which an acquisition stops when its next frame would pass the frame memory limit.
IMAQMEX_API const char* frameMemoryLimitText();
// Bytes the pixels of all frames may take together; fixed at first use to the physical memory then
// available, unless set before.
IMAQMEX_API std::size_t frameMemoryLimit();
IMAQMEX_API void setFrameMemoryLimit(std::size_t bytes);
// Bytes the pixels of the frames alive now take: queued, in the adaptor's hands, or held by a caller.
IMAQMEX_API std::size_t frameMemoryUsed();

// ---- Records: what the adaptor did to the host -------------------------------------------------

struct Warning {
    std::string identifier;
    std::string text; // as the user sees it, after the host formatted it
};

// One call the adaptor made into a host object, e.g. {"deviceInfo", "createDeviceFormat", "1|PAL_B:RGB24
// (640x480)"}. Arguments are joined with '|'; texts as given, numbers in decimal, doubles with "%g", booleans
// 0/1.
struct CallRecord {
    std::string object; // hardwareInfo, deviceInfo, propFactory, sourceInfo, adaptorManager, engine,
                        // frame, enginePropContainer, devicePropContainer, propInfo
    std::string operation;
    std::string arguments;
};

IMAQMEX_API std::vector<Warning> warnings();
IMAQMEX_API std::vector<CallRecord> calls();
IMAQMEX_API void clearRecords();
// Blocks from imaqmalloc not yet returned with imaqfree.
IMAQMEX_API long liveImaqAllocations();
// Makes imaqmalloc return null once `count` more allocations have succeeded (-1: never).
IMAQMEX_API void failImaqmallocAfter(long count);
// Asked before every imaqmalloc, on the allocating thread: true makes it return null. Null fails none.
IMAQMEX_API void setImaqmallocFailureHook(bool (*hook)());
// Warnings also go to standard error as "Warning: <text>" unless silenced (tests silence them).
IMAQMEX_API void setPrintWarnings(bool print);
// Call recording is on by default; long acquisitions (benchmarks, the command line) switch it off.
IMAQMEX_API void setRecordCalls(bool record);
// imaqfree calls with a pointer imaqmalloc never handed out, or handed out and already freed.
IMAQMEX_API long invalidImaqFrees();
// Makes every property creation under `name` return null ("*": every name; "": none again).
IMAQMEX_API void failPropertyCreation(const std::string& name);
// Makes the engine's make-frame return null once `count` more frames have been made (-1: never).
IMAQMEX_API void failMakeFrameAfter(long count);
// Makes every listener registration return false (refused) once `count` more have been taken (-1: never).
IMAQMEX_API void refuseListenersAfter(long count);
// Frame objects the engine made that were not yet handed back to it.
IMAQMEX_API long liveFrameObjects();

// Breaches of the host's contract by the adaptor, one text each: a call of a placeholder slot of a
// host object, a value buffer written past the size of its property's type. Kept apart from the
// call records (clearRecords leaves them) so that a fixture's tear-down sees every one.
IMAQMEX_API std::vector<std::string> contractViolations();
IMAQMEX_API void clearContractViolations();
// Records one breach; host objects of the tests' own call it from their placeholder slots.
IMAQMEX_API void reportContractViolation(const std::string& what);

// ---- Discovery and description -----------------------------------------------------------------

struct FormatInfo {
    int id = 0;
    std::string name;
    bool isDefault = false;
};

struct DeviceInfo {
    int id = 0;
    std::string name;
    bool deviceFileSupport = false;
    std::vector<FormatInfo> formats;
};

enum class PropType { Double, Integer, Enum, String };

struct EnumValue {
    std::string text;
    int id = 0;
};

struct PropertyInfo {
    std::string name;
    PropType type = PropType::Integer;
    double min = 0, max = 0, defaultValue = 0; // numeric kinds (integer created with two ints: min, max)
    bool hasLimits = true;                     // false: min and max are kept as given but not enforced
    std::vector<EnumValue> values;             // enumerated: default first, then in the order added
    std::string readOnly = "never";            // "always", "never", "whileRunning"
    bool deviceSpecific = true;
};

struct SourceInfo {
    std::string name;
    int id = 0;
};

struct DeviceDescription {
    std::vector<SourceInfo> sources;
    std::vector<PropertyInfo>
        properties; // published ones, in publishing order; a later one of the same name replaces
};

// ---- Acquisition ---------------------------------------------------------------------------------

struct IMAQMEX_API Frame {
    int frameType = 0; // 0x11010000 mono 8, 0x11010004 mono 16, 0x01030101 BGR24, 0x01030103 BGRX32
    int width = 0;
    int height = 0;
    double time = 0;
    FrameBytes data; // as copied by setImage (bottom-up rows for the colour types)
    int bytesPerPixel() const;
    // Top-down rows: grey 8 or 16 bit (16-bit little-endian) as they are, colour as RGB 8-bit.
    std::vector<std::uint8_t> upright() const;
};

// A property value as the user gives and sees it: enumeration texts, integers, doubles.
using PropertyValue = std::variant<std::int64_t, double, std::string>;

class VideoInput;

// One adaptor library loaded by path, initialised until destruction.
class IMAQMEX_API Adaptor {
public:
    explicit Adaptor(const std::string& path);
    ~Adaptor();
    Adaptor(const Adaptor&) = delete;
    Adaptor& operator=(const Adaptor&) = delete;

    const std::string& path() const;
    // The adaptor's name as the toolbox shows it: the file name without "lib" and extension, lower case.
    std::string name() const;
    std::vector<DeviceInfo> hwinfo();
    // The device by id (decimal text) or name, as the last hwinfo reported it (hwinfo runs if needed).
    DeviceInfo findDevice(const std::string& idOrName);
    DeviceDescription describe(const std::string& device, const std::string& format);
    // As videoinput does: hwinfo, getDeviceAttributes, createInstance, listeners registered.
    std::unique_ptr<VideoInput> videoinput(const std::string& device, const std::string& format);

    // The raw entry points, for tests that call them directly.
    imaqkit::GetAvailHWFn getAvailHW() const;
    imaqkit::GetDeviceAttributesFn getDeviceAttributes() const;
    imaqkit::CreateInstanceFn createInstance() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class IMAQMEX_API VideoInput {
public:
    ~VideoInput(); // stops, deletes the adaptor object
    VideoInput(const VideoInput&) = delete;
    VideoInput& operator=(const VideoInput&) = delete;

    // The adaptor object, or null when createInstance returned none.
    imaqkit::IAdaptor* adaptor() const;
    const DeviceDescription& description() const;

    // FramesPerTrigger (default 10; 0 or less: until stopped) and TriggerRepeat (default 0).
    void setFramesPerTrigger(int frames);
    void setTriggerRepeat(int repeats);
    // FrameGrabInterval (1 or more, default 1: every frame) and TriggerFrameDelay (0 or more, default 0), as
    // MATLAB has them: the host asks the adaptor to send only those frames; the adaptor counts every one.
    void setFrameGrabInterval(int interval);
    void setTriggerFrameDelay(int frames);

    // Immediate trigger: opens and starts the adaptor; throws when start fails.
    void start();
    // Stops from the caller's thread. Harmless when not running.
    void stop();
    bool isRunning() const;
    // Waits until the wanted frames are in (then stops) or throws after the timeout.
    void wait(double timeoutSeconds = 10);
    // Takes up to n acquired frames out of the engine's queue, waiting for them (throws on timeout).
    std::vector<Frame> getdata(int frames, double timeoutSeconds = 10);
    long framesAvailable() const;
    long framesAcquired() const; // frames logged
    // One frame, as getsnapshot does: a one-frame acquisition of its own when stopped; while running, a
    // copy of the next frame the acquisition logs, which stays logged (its counts do not change).
    Frame getsnapshot(double timeoutSeconds = 10);
    // As getdata, but the n frames stay first in the queue while `build` makes the caller's result of
    // them, and leave it only once build returned: when it throws, every frame is still available.
    void getdata(int frames, double timeoutSeconds,
                 const std::function<void(const std::vector<const Frame*>&)>& build);
    // Why the last acquisition ended by itself ("" when it did not): the frame memory limit was reached.
    // The acquisition takes no more frames then, and the caller's next wait or stop ends it.
    std::string acquisitionError() const;

    // ROIPosition (any time; offsets 0 or more, size 1 or more): the host's copy, read through the adaptor's
    // region query and set through its region change.
    std::array<int, 4> getROIPosition();
    void setROIPosition(int x, int y, int width, int height);

    // Device properties: reads call the custom getter; writes are checked against the description
    // (enumeration text among its values, number within limits, read-only modes) before the
    // post-set listeners run. Errors raised by the adaptor become ToolboxError.
    PropertyValue get(const std::string& name);
    void set(const std::string& name, const PropertyValue& value);
    std::vector<std::string> propertyNames() const;
    // The engine property; its listeners are told of every set.
    void setSelectedSourceName(const std::string& source);
    std::string selectedSourceName() const;

    // Calls of the adaptor manager's restart (operations 4 then 3) seen so far.
    int restarts() const;

private:
    friend class Adaptor;
    VideoInput();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace qvxtb
