// Reads a camera document into the camera model, naming the offending field on every error.
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <stdexcept>
#include <vector>

#include <nlohmann/json.hpp>

#include "grabber/vcd_ids.h"
#include "sim/cameras/json_document.h"
#include "sim/cameras/model.h"
#include "sim/cameras/sim_text.h"

namespace qvxsim {
namespace {

using nlohmann::json;

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw std::invalid_argument("camera description: " + path + ": " + what);
}

void checkKeys(const json& object, const std::string& path, std::initializer_list<const char*> known) {
    if (!object.is_object()) fail(path, "expected an object");
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool found = false;
        for (const char* key : known) found = found || it.key() == key;
        if (!found) fail(path + "." + it.key(), "unknown key");
    }
}

std::string text(const json& value, const std::string& path) {
    if (!value.is_string()) fail(path, "expected text");
    std::string t = value.get<std::string>();
    // The library hands texts out as C strings: a NUL would silently cut them short.
    if (t.find('\0') != std::string::npos) fail(path, "a text may not hold a NUL character");
    return t;
}

bool boolean(const json& value, const std::string& path) {
    if (!value.is_boolean()) fail(path, "expected true or false");
    return value.get<bool>();
}

std::int64_t integer(const json& value, const std::string& path, std::int64_t low, std::int64_t high) {
    if (!value.is_number_integer()) fail(path, "expected an integer");
    std::int64_t v = 0;
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            fail(path, "out of range");
        v = static_cast<std::int64_t>(u);
    } else {
        v = value.get<std::int64_t>();
    }
    if (v < low || v > high) fail(path, "out of range");
    return v;
}

LONG int32(const json& value, const std::string& path) {
    return static_cast<LONG>(
        integer(value, path, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

// A text the library hands out as UTF-16: JSON text, or a list of UTF-16 code units so that a
// description can hold what JSON cannot, such as unpaired surrogates. The units are kept in the
// generalised UTF-8 that utf8ToWide turns back into exactly those units.
std::string wideText(const json& value, const std::string& path) {
    if (!value.is_array()) return text(value, path);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto u = integer(value[i], path + "[" + std::to_string(i) + "]", 1, 0xFFFF);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

double number(const json& value, const std::string& path) {
    if (!value.is_number()) fail(path, "expected a number");
    return value.get<double>();
}

SIZE size(const json& value, const std::string& path) {
    if (!value.is_array() || value.size() != 2) fail(path, "expected [width, height]");
    return SIZE{int32(value[0], path + "[0]"), int32(value[1], path + "[1]")};
}

// A picture size: both sides from 1 to kMaxPictureSide, at most kMaxPicturePixels in all.
void checkPicture(SIZE s, const std::string& path) {
    if (s.cx < 1 || s.cy < 1) fail(path, "expected a positive size");
    if (s.cx > kMaxPictureSide || s.cy > kMaxPictureSide)
        fail(path, "a side may be at most " + std::to_string(kMaxPictureSide) + " pixels");
    if (static_cast<std::int64_t>(s.cx) * s.cy > kMaxPicturePixels)
        fail(path, "a picture may hold at most " + std::to_string(kMaxPicturePixels) + " pixels");
}

// The colour format names the library knows.
std::string colorformat(const json& value, const std::string& path) {
    static const char* const kKnown[] = {"RGB32", "RGB24", "RGB565", "RGB555", "RGB8", "UYVY",
                                         "Y800",  "YGB1",  "YGB0",   "BY8",    "Y16"};
    const std::string t = text(value, path);
    for (const char* known : kKnown)
        if (t == known) return t;
    fail(path, "unknown colour format \"" + t +
                   "\" (known: RGB32, RGB24, RGB565, RGB555, RGB8, UYVY, Y800, YGB1, "
                   "YGB0, BY8, Y16)");
}

OptList<double> fpsList(const json& value, const std::string& path) {
    OptList<double> list;
    if (value.is_null()) {
        list.present = false;
        return list;
    }
    if (!value.is_array()) fail(path, "expected a list of numbers or null");
    for (std::size_t i = 0; i < value.size(); ++i) {
        const double fps = number(value[i], path + "[" + std::to_string(i) + "]");
        if (!(fps >= 0.0) || !std::isfinite(fps))
            fail(path + "[" + std::to_string(i) + "]", "expected fps >= 0");
        list.values.push_back(fps);
    }
    return list;
}

OptList<std::int32_t> rateList(const json& value, const std::string& path) {
    OptList<std::int32_t> list;
    if (value.is_null()) {
        list.present = false;
        return list;
    }
    if (!value.is_array()) fail(path, "expected a list of integers or null");
    for (std::size_t i = 0; i < value.size(); ++i)
        list.values.push_back(int32(value[i], path + "[" + std::to_string(i) + "]"));
    return list;
}

// Call counts are kept in a long, which is 32 bits wide on 64-bit Windows.
constexpr std::int64_t kMaxCallCount = std::numeric_limits<long>::max() < (std::int64_t{1} << 40)
                                           ? std::numeric_limits<long>::max()
                                           : std::int64_t{1} << 40;

Fault fault(const json& value, const std::string& path) {
    Fault f;
    if (value.is_number_integer()) {
        f.result = int32(value, path);
        return f;
    }
    checkKeys(value, path, {"result", "nth", "from"});
    if (!value.contains("result")) fail(path + ".result", "required");
    f.result = int32(value["result"], path + ".result");
    if (value.contains("nth"))
        f.nth = static_cast<long>(integer(value["nth"], path + ".nth", 1, kMaxCallCount));
    if (value.contains("from"))
        f.from = static_cast<long>(integer(value["from"], path + ".from", 1, kMaxCallCount));
    if (f.nth != 0 && f.from != 0) fail(path, "give nth or from, not both");
    return f;
}

FaultSet faultSet(const json& value, const std::string& path) {
    FaultSet set;
    if (!value.is_object()) fail(path, "expected an object of call names");
    for (auto it = value.begin(); it != value.end(); ++it)
        set.add(it.key(), fault(it.value(), path + "." + it.key()));
    return set;
}

DeviceFaults deviceFaults(const json& value, const std::string& path) {
    static const char* const kCalls[] = {"openDev",
                                         "setVideoNorm",
                                         "setVideoFormat",
                                         "setVideoFormatItem",
                                         "startLive",
                                         "setFPS",
                                         "setFrameRate",
                                         "setInputChannel",
                                         "setSinkType",
                                         "addListener",
                                         "getAvailableVideoFormatDescs"};
    DeviceFaults faults;
    if (!value.is_object()) fail(path, "expected an object of call names");
    for (auto it = value.begin(); it != value.end(); ++it) {
        const std::string where = path + "." + it.key();
        bool known = false;
        for (const char* call : kCalls) known = known || it.key() == call;
        if (!known) fail(where, "unknown call");
        if (it.value().is_boolean()) {
            if (it.value().get<bool>()) faults.calls[it.key()] = Fault{};
            continue;
        }
        checkKeys(it.value(), where, {"nth", "from"});
        Fault f;
        if (it.value().contains("nth"))
            f.nth = static_cast<long>(integer(it.value()["nth"], where + ".nth", 1, kMaxCallCount));
        if (it.value().contains("from"))
            f.from = static_cast<long>(integer(it.value()["from"], where + ".from", 1, kMaxCallCount));
        faults.calls[it.key()] = f;
    }
    return faults;
}

GUID guidOrAlias(const json& value, const std::string& path, bool element) {
    const std::string t = text(value, path);
    if (auto id = parseGuid(t)) return *id;
    struct Alias {
        const char* name;
        const GUID* id;
        bool forElement;
    };
    static const Alias kAliases[] = {
        {"passedOver", &KapriLib::kVcdItemPassedOver, false},
        {"partialScanOffset", &KapriLib::kVcdItemPartialScanOffset, false},
        {"value", &KapriLib::kVcdElementValue, true},
        {"auto", &KapriLib::kVcdElementAuto, true},
        {"selfNamedA", &KapriLib::kVcdElementSelfNamedA, true},
        {"selfNamedB", &KapriLib::kVcdElementSelfNamedB, true},
        {"selfNamedC", &KapriLib::kVcdElementSelfNamedC, true},
        {"autoCenter", &KapriLib::kVcdElementAutoCenter, true},
        {"offsetX", &KapriLib::kVcdElementOffsetX, true},
        {"offsetY", &KapriLib::kVcdElementOffsetY, true},
    };
    for (const Alias& alias : kAliases)
        if (t == alias.name && alias.forElement == element) return *alias.id;
    fail(path, "expected a braced identifier or a known alias, got \"" + t + "\"");
}

// Identifiers for items and elements that give none: unique within the document and stable across loads.
GUID generatedId(std::size_t device, std::size_t item, std::size_t element) {
    GUID id{0x51560000u + static_cast<std::uint32_t>(device),
            static_cast<std::uint16_t>(item),
            static_cast<std::uint16_t>(element),
            {0x9E, 0x11, 0x51, 0x4D, 0x43, 0x41, 0x4D, 0x00}};
    return id;
}

VcdElement vcdElement(const json& value, const std::string& path, GUID fallbackId) {
    checkKeys(value, path, {"name", "id", "faults", "range", "absolute", "switch", "button", "mapStrings"});
    VcdElement e;
    if (!value.contains("name")) fail(path + ".name", "required");
    e.name = wideText(value["name"], path + ".name");
    e.id = value.contains("id") ? guidOrAlias(value["id"], path + ".id", true) : fallbackId;
    if (value.contains("faults")) e.faults = faultSet(value["faults"], path + ".faults");
    if (value.contains("range")) {
        const std::string p = path + ".range";
        const json& r = value["range"];
        checkKeys(r, p, {"min", "max", "default", "value", "faults"});
        RangeValue range;
        range.min = r.contains("min") ? int32(r["min"], p + ".min") : 0;
        range.max = r.contains("max") ? int32(r["max"], p + ".max") : 100;
        range.def = r.contains("default") ? int32(r["default"], p + ".default") : range.min;
        range.value = r.contains("value") ? int32(r["value"], p + ".value") : range.def;
        if (r.contains("faults")) range.faults = faultSet(r["faults"], p + ".faults");
        e.range = std::move(range);
    }
    if (value.contains("absolute")) {
        const std::string p = path + ".absolute";
        const json& a = value["absolute"];
        checkKeys(a, p, {"min", "max", "default", "value", "faults"});
        AbsoluteValue abs;
        abs.min = a.contains("min") ? number(a["min"], p + ".min") : 0.0;
        abs.max = a.contains("max") ? number(a["max"], p + ".max") : 1.0;
        abs.def = a.contains("default") ? number(a["default"], p + ".default") : abs.min;
        abs.value = a.contains("value") ? number(a["value"], p + ".value") : abs.def;
        if (a.contains("faults")) abs.faults = faultSet(a["faults"], p + ".faults");
        e.absolute = std::move(abs);
    }
    if (value.contains("switch")) {
        const std::string p = path + ".switch";
        const json& s = value["switch"];
        checkKeys(s, p, {"value", "raw", "faults"});
        SwitchValue sw;
        sw.on = s.contains("value") ? boolean(s["value"], p + ".value") : false;
        if (s.contains("raw"))
            sw.raw = static_cast<VARIANT_BOOL>(integer(s["raw"], p + ".raw", -32768, 32767));
        if (s.contains("faults")) sw.faults = faultSet(s["faults"], p + ".faults");
        e.switchValue = std::move(sw);
    }
    if (value.contains("button")) {
        const std::string p = path + ".button";
        checkKeys(value["button"], p, {"faults"});
        ButtonValue button;
        if (value["button"].contains("faults"))
            button.faults = faultSet(value["button"]["faults"], p + ".faults");
        e.button = std::move(button);
    }
    if (value.contains("mapStrings")) {
        const std::string p = path + ".mapStrings";
        const json& m = value["mapStrings"];
        checkKeys(m, p, {"min", "max", "default", "value", "strings", "faults"});
        MapStringsValue map;
        if (!m.contains("strings") || !m["strings"].is_array())
            fail(p + ".strings", "expected a list of texts");
        for (std::size_t i = 0; i < m["strings"].size(); ++i)
            map.strings.push_back(wideText(m["strings"][i], p + ".strings[" + std::to_string(i) + "]"));
        map.min = m.contains("min") ? int32(m["min"], p + ".min") : 0;
        if (m.contains("max")) {
            map.max = int32(m["max"], p + ".max");
        } else {
            // One value per text from min on (none: max is min - 1); the last must still be a 32-bit value.
            const std::int64_t last =
                std::int64_t{map.min} + static_cast<std::int64_t>(map.strings.size()) - 1;
            if (last > std::numeric_limits<LONG>::max() || last < std::numeric_limits<LONG>::min())
                fail(p + ".strings", "too many texts for a minimum of " + std::to_string(map.min));
            map.max = static_cast<LONG>(last);
        }
        map.def = m.contains("default") ? int32(m["default"], p + ".default") : map.min;
        map.value = m.contains("value") ? int32(m["value"], p + ".value") : map.def;
        if (m.contains("faults")) map.faults = faultSet(m["faults"], p + ".faults");
        e.mapStrings = std::move(map);
    }
    return e;
}

VcdItem vcdItem(const json& value, const std::string& path, std::size_t device, std::size_t index) {
    checkKeys(value, path, {"name", "id", "faults", "elements"});
    VcdItem item;
    if (!value.contains("name")) fail(path + ".name", "required");
    item.name = wideText(value["name"], path + ".name");
    item.id = value.contains("id") ? guidOrAlias(value["id"], path + ".id", false)
                                   : generatedId(device, index + 1, 0);
    if (value.contains("faults")) item.faults = faultSet(value["faults"], path + ".faults");
    if (value.contains("elements")) {
        const json& elements = value["elements"];
        if (!elements.is_array()) fail(path + ".elements", "expected a list");
        for (std::size_t i = 0; i < elements.size(); ++i)
            item.elements.push_back(vcdElement(elements[i], path + ".elements[" + std::to_string(i) + "]",
                                               generatedId(device, index + 1, i + 1)));
    }
    return item;
}

FormatSpec format(const json& value, const std::string& path) {
    checkKeys(value, path, {"colorformat", "width", "height", "text", "fps", "rates", "refuse"});
    FormatSpec f;
    for (const char* key : {"colorformat", "width", "height"})
        if (!value.contains(key)) fail(path + "." + key, "required");
    f.colorformat = colorformat(value["colorformat"], path + ".colorformat");
    f.width = static_cast<int>(integer(value["width"], path + ".width", 1, kMaxPictureSide));
    f.height = static_cast<int>(integer(value["height"], path + ".height", 1, kMaxPictureSide));
    checkPicture(SIZE{f.width, f.height}, path);
    f.text = value.contains("text")
                 ? wideText(value["text"], path + ".text")
                 : f.colorformat + " (" + std::to_string(f.width) + "x" + std::to_string(f.height) + ")";
    if (value.contains("fps")) f.fps = fpsList(value["fps"], path + ".fps");
    if (value.contains("rates")) f.rates = rateList(value["rates"], path + ".rates");
    if (value.contains("refuse")) f.refuse = boolean(value["refuse"], path + ".refuse");
    return f;
}

NormSpec norm(const json& value, const std::string& path) {
    checkKeys(value, path, {"name", "formats", "refuse"});
    NormSpec n;
    if (!value.contains("name")) fail(path + ".name", "required");
    n.name = text(value["name"], path + ".name");
    if (value.contains("refuse")) n.refuse = boolean(value["refuse"], path + ".refuse");
    if (!value.contains("formats")) fail(path + ".formats", "required (null for a missing list)");
    const json& formats = value["formats"];
    if (formats.is_null()) {
        n.formats.present = false;
    } else {
        if (!formats.is_array()) fail(path + ".formats", "expected a list or null");
        for (std::size_t i = 0; i < formats.size(); ++i)
            n.formats.values.push_back(format(formats[i], path + ".formats[" + std::to_string(i) + "]"));
    }
    return n;
}

DescriptorSpec descriptor(const json& value, const std::string& path) {
    checkKeys(value, path, {"colorformat", "min", "max", "step", "roi", "fps", "rates", "null"});
    DescriptorSpec d;
    if (value.contains("null") && boolean(value["null"], path + ".null")) {
        d.isNull = true;
        return d;
    }
    for (const char* key : {"colorformat", "max"})
        if (!value.contains(key)) fail(path + "." + key, "required");
    d.colorformat = colorformat(value["colorformat"], path + ".colorformat");
    d.max = size(value["max"], path + ".max");
    d.min = value.contains("min") ? size(value["min"], path + ".min") : d.max;
    if (value.contains("step")) d.step = size(value["step"], path + ".step");
    checkPicture(d.max, path + ".max");
    checkPicture(d.min, path + ".min");
    if (d.min.cx > d.max.cx || d.min.cy > d.max.cy) fail(path + ".min", "greater than max");
    if (d.step.cx < 0 || d.step.cy < 0 || d.step.cx > d.max.cx || d.step.cy > d.max.cy)
        fail(path + ".step", "expected a size from 0 to max");
    if (value.contains("roi")) d.roi = boolean(value["roi"], path + ".roi");
    if (value.contains("fps")) d.fps = fpsList(value["fps"], path + ".fps");
    if (value.contains("rates")) d.rates = rateList(value["rates"], path + ".rates");
    return d;
}

std::shared_ptr<Camera> camera(const json& value, const std::string& path, std::size_t index) {
    checkKeys(value, path,
              {"name", "serial", "opens", "norms", "descriptors", "normName", "fps", "rates", "frameRateList",
               "inputChannels", "vcd", "vcdFaults", "fast", "buffers", "sensor", "faults", "pattern"});
    auto cam = std::make_shared<Camera>();
    if (!value.contains("name")) fail(path + ".name", "required");
    cam->name = text(value["name"], path + ".name");
    if (value.contains("serial") && !value["serial"].is_null()) {
        const json& s = value["serial"];
        if (s.is_string()) {
            const std::string t = s.get<std::string>();
            std::size_t used = 0;
            unsigned long long parsed = 0;
            try {
                parsed = std::stoull(t, &used, 0);
            } catch (const std::exception&) {
                fail(path + ".serial", "expected a number or \"0x...\" text");
            }
            if (used != t.size()) fail(path + ".serial", "expected a number or \"0x...\" text");
            cam->serial = static_cast<std::int64_t>(parsed);
        } else {
            cam->serial = integer(s, path + ".serial", std::numeric_limits<std::int64_t>::min(),
                                  std::numeric_limits<std::int64_t>::max());
        }
    }
    if (value.contains("opens")) cam->opens = boolean(value["opens"], path + ".opens");
    if (value.contains("norms")) {
        cam->hasNorms = true;
        const json& norms = value["norms"];
        if (norms.is_null()) {
            cam->norms.present = false;
        } else {
            if (!norms.is_array()) fail(path + ".norms", "expected a list or null");
            for (std::size_t i = 0; i < norms.size(); ++i)
                cam->norms.values.push_back(norm(norms[i], path + ".norms[" + std::to_string(i) + "]"));
        }
    }
    if (value.contains("descriptors")) {
        const json& descs = value["descriptors"];
        if (descs.is_null()) {
            cam->descriptors.present = false;
        } else {
            if (!descs.is_array()) fail(path + ".descriptors", "expected a list or null");
            for (std::size_t i = 0; i < descs.size(); ++i)
                cam->descriptors.values.push_back(
                    descriptor(descs[i], path + ".descriptors[" + std::to_string(i) + "]"));
        }
    }
    if (value.contains("normName")) cam->normName = text(value["normName"], path + ".normName");
    cam->fps.values = {30.0, 15.0, 7.5};
    if (value.contains("fps")) cam->fps = fpsList(value["fps"], path + ".fps");
    if (value.contains("rates")) cam->rates = rateList(value["rates"], path + ".rates");
    if (value.contains("frameRateList"))
        cam->frameRateList = boolean(value["frameRateList"], path + ".frameRateList");
    if (value.contains("inputChannels")) {
        cam->hasInputChannels = true;
        const json& channels = value["inputChannels"];
        if (channels.is_null()) {
            cam->inputChannels.present = false;
        } else {
            if (!channels.is_array()) fail(path + ".inputChannels", "expected a list of texts or null");
            for (std::size_t i = 0; i < channels.size(); ++i)
                cam->inputChannels.values.push_back(
                    text(channels[i], path + ".inputChannels[" + std::to_string(i) + "]"));
        }
    }
    cam->vcd.present = false;
    if (value.contains("vcd") && !value["vcd"].is_null()) {
        const json& vcd = value["vcd"];
        if (!vcd.is_array()) fail(path + ".vcd", "expected a list or null");
        cam->vcd.present = true;
        for (std::size_t i = 0; i < vcd.size(); ++i)
            cam->vcd.values.push_back(vcdItem(vcd[i], path + ".vcd[" + std::to_string(i) + "]", index, i));
    }
    if (value.contains("vcdFaults")) cam->vcdFaults = faultSet(value["vcdFaults"], path + ".vcdFaults");
    if (value.contains("fast")) cam->fast = boolean(value["fast"], path + ".fast");
    if (value.contains("pattern")) cam->pattern = boolean(value["pattern"], path + ".pattern");
    if (value.contains("buffers"))
        cam->buffers = static_cast<int>(integer(value["buffers"], path + ".buffers", 1, 64));
    if (value.contains("sensor")) {
        const SIZE s = size(value["sensor"], path + ".sensor");
        checkPicture(s, path + ".sensor");
        const SIZE largest = largestPicture(*cam);
        if (s.cx < largest.cx || s.cy < largest.cy)
            fail(path + ".sensor", "smaller than the largest picture, " + std::to_string(largest.cx) + "x" +
                                       std::to_string(largest.cy));
        cam->sensor = s;
    }
    const SIZE largest = cam->sensor ? *cam->sensor : largestPicture(*cam);
    const std::int64_t ringBytes = std::int64_t{cam->buffers} * largest.cx * largest.cy * 4;
    if (ringBytes > kMaxRingBytes)
        fail(path + ".buffers", std::to_string(cam->buffers) + " buffers of " + std::to_string(largest.cx) +
                                    "x" + std::to_string(largest.cy) + " exceed " +
                                    std::to_string(kMaxRingBytes) + " bytes in all");
    if (value.contains("faults")) cam->faults = deviceFaults(value["faults"], path + ".faults");
    return cam;
}

} // namespace

std::shared_ptr<CameraSet> parseCameraSet(const std::string& text, std::size_t maxValues) {
    const json document = readJsonDocument(text, maxValues);
    checkKeys(document, "document", {"devices"});
    auto set = std::make_shared<CameraSet>();
    if (!document.contains("devices")) fail("devices", "required (null for a missing list)");
    const json& devices = document["devices"];
    if (devices.is_null()) {
        set->devicesPresent = false;
        return set;
    }
    if (!devices.is_array()) fail("devices", "expected a list or null");
    for (std::size_t i = 0; i < devices.size(); ++i)
        set->cameras.push_back(camera(devices[i], "devices[" + std::to_string(i) + "]", i));
    return set;
}

HRESULT FaultSet::check(const std::string& call) {
    auto it = faults_.find(call);
    if (it == faults_.end()) return S_OK;
    const long n = ++calls_[call];
    const Fault& f = it->second;
    if (f.nth != 0) return n == f.nth ? f.result : S_OK;
    if (f.from != 0) return n >= f.from ? f.result : S_OK;
    return f.result;
}

bool DeviceFaults::refuses(const std::string& call) {
    auto it = calls.find(call);
    if (it == calls.end()) return false;
    const long n = ++counts[call];
    if (it->second.nth != 0) return n == it->second.nth;
    if (it->second.from != 0) return n >= it->second.from;
    return true;
}

std::int32_t rateOfFps(double fps) {
    if (!(fps > 0.0)) return 0;
    const double rate = std::round(10000000.0 / fps);
    return rate > 2147483647.0 ? 2147483647 : static_cast<std::int32_t>(rate);
}

} // namespace qvxsim
