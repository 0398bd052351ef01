// The virtual cameras as loaded from JSON: their fixed description and the live values they hold.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace qvxsim {

// A list that may be missing altogether, which is not the same as empty.
template <class T> struct OptList {
    bool present = true;
    std::vector<T> values;
};

// One injectable failure: every call, only the nth, or the nth and later.
struct Fault {
    HRESULT result = E_FAIL;
    long nth = 0;
    long from = 0;
};

// Named faults with per-name call counters; the counters are live state (guarded by the system mutex).
class FaultSet {
public:
    void add(const std::string& call, const Fault& fault) { faults_[call] = fault; }
    bool empty() const { return faults_.empty(); }
    // Counts the call and gives the injected result, or S_OK.
    HRESULT check(const std::string& call);

private:
    std::map<std::string, Fault> faults_;
    std::map<std::string, long> calls_;
};

struct FormatSpec {
    std::string text;
    std::string colorformat;
    int width = 0;
    int height = 0;
    std::optional<OptList<double>> fps;         // absent: the device's
    std::optional<OptList<std::int32_t>> rates; // absent: derived from fps
    bool refuse = false;
};

struct NormSpec {
    std::string name;
    bool refuse = false;
    OptList<FormatSpec> formats;
};

struct DescriptorSpec {
    bool isNull = false;
    std::string colorformat;
    SIZE min{0, 0};
    SIZE max{0, 0};
    SIZE step{1, 1};
    bool roi = false;
    std::optional<OptList<double>> fps;
    std::optional<OptList<std::int32_t>> rates;
};

struct RangeValue {
    LONG min = 0, max = 0, def = 0, value = 0;
    FaultSet faults;
};
struct AbsoluteValue {
    double min = 0, max = 0, def = 0, value = 0;
    FaultSet faults;
};
struct SwitchValue {
    bool on = false;
    std::optional<VARIANT_BOOL> raw;
    FaultSet faults;
};
struct ButtonValue {
    long pushes = 0;
    FaultSet faults;
};
struct MapStringsValue {
    LONG min = 0, max = 0, def = 0, value = 0;
    std::vector<std::string> strings;
    FaultSet faults;
};

struct VcdElement {
    std::string name;
    GUID id{};
    FaultSet faults;
    std::optional<RangeValue> range;
    std::optional<AbsoluteValue> absolute;
    std::optional<SwitchValue> switchValue;
    std::optional<ButtonValue> button;
    std::optional<MapStringsValue> mapStrings;
};

struct VcdItem {
    std::string name;
    GUID id{};
    FaultSet faults; // also the faults of its element collection (get_Count, get_Item)
    std::vector<VcdElement> elements;
};

// Faults of Grabber calls: a refusal on every call, the nth, or from the nth on.
struct DeviceFaults {
    std::map<std::string, Fault> calls;
    std::map<std::string, long> counts;
    bool refuses(const std::string& call);
};

struct Camera {
    std::string name;
    std::optional<std::int64_t> serial;
    bool opens = true;
    bool hasNorms = false;
    OptList<NormSpec> norms;
    OptList<DescriptorSpec> descriptors;
    std::string normName;
    OptList<double> fps;
    std::optional<OptList<std::int32_t>> rates;
    bool frameRateList = true;
    bool hasInputChannels = false;
    OptList<std::string> inputChannels;
    OptList<VcdItem> vcd;
    FaultSet vcdFaults;
    bool fast = false;
    int buffers = 4;
    bool pattern = true;
    std::optional<SIZE> sensor;
    DeviceFaults faults;
    // What opens the GenICam camera behind this entry (its device id or address); empty: a virtual camera.
    std::string genicam;
};

struct CameraSet {
    bool devicesPresent = true;
    std::vector<std::shared_ptr<Camera>> cameras;
};

// What no camera has: the loader refuses larger pictures, and rings that would take more memory.
constexpr std::int64_t kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26; // 256 MiB a buffer at 4 bytes a pixel
constexpr std::int64_t kMaxRingBytes = std::int64_t{1} << 30;     // buffers x largest picture x 4 bytes

// The largest width and height of any format or descriptor of the camera.
SIZE largestPicture(const Camera& camera);

// Parses a camera document of at most `maxValues` JSON values (0: any number); throws std::invalid_argument
// naming the offending field, and the line and column where the text is no JSON.
std::shared_ptr<CameraSet> parseCameraSet(const std::string& json, std::size_t maxValues = 0);

// Camera files are small (the built-in set takes 6 KB); these bounds keep a wrong file, /dev/zero or a
// huge one, from taking the memory of the program that reads it: the text and the document built from it
// stay within a few MiB.
constexpr std::size_t kMaxCameraFileBytes = std::size_t{1} << 20;
constexpr std::size_t kMaxCameraFileValues = std::size_t{1} << 16;

// The camera set in the file at `path`, read within the bounds above; throws std::invalid_argument saying
// why it cannot be read (missing, a folder, too large) or what in it is wrong.
std::shared_ptr<CameraSet> loadCameraFile(const std::string& path);

// round(10000000 / fps) per entry: the library's integer rate of a frames-per-second value.
std::int32_t rateOfFps(double fps);

} // namespace qvxsim
