// Applying the user's requests and telling the truth about what the camera does with them.
#include "cli/requests.h"

#include <cstdio>
#include <map>
#include <utility>

#include "cli/region_text.h"
#include "cli/values.h"
#include "host/frame.h"

namespace qvxcli {
namespace {

// The ids of every device named `name`, in the order the adaptor lists them.
std::vector<int> idsNamed(const std::vector<qvxtb::DeviceInfo>& devices, const std::string& name) {
    std::vector<int> ids;
    for (const auto& device : devices) {
        if (device.name == name) ids.push_back(device.id);
    }
    return ids;
}

std::string idList(const std::vector<int>& ids) {
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i)
        text += (i == 0 ? "" : i + 1 == ids.size() ? " and " : ", ") + std::to_string(ids[i]);
    return text;
}

// Digits from `at` up to a stop character, as a size of at most six digits; 0 when there are none.
int sizeDigits(const std::string& text, std::size_t& at, char stop) {
    int value = 0, digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 6) {
        value = value * 10 + (text[at++] - '0');
        ++digits;
    }
    if (digits == 0 || at >= text.size() || text[at] != stop) return 0;
    ++at;
    return value;
}

// "(WxH)" at the end of a format name, as the adaptor lists its formats; {0, 0} when there is none.
std::pair<int, int> sizeInName(const std::string& format) {
    std::size_t at = format.rfind('(');
    if (at == std::string::npos) return {0, 0};
    ++at;
    const int width = sizeDigits(format, at, 'x');
    const int height = width > 0 ? sizeDigits(format, at, ')') : 0;
    if (height == 0 || at != format.size()) return {0, 0};
    return {width, height};
}

// The frame type the colour format in a format's name promises ("PAL_B:Y16 (640x480)": mono 16-bit); 0 for
// a colour format whose frames the adaptor converts or that the name does not give.
int frameTypeInName(const std::string& format) {
    const std::size_t open = format.rfind(" (");
    if (open == std::string::npos) return 0;
    const std::size_t colon = format.rfind(':', open);
    const std::string colour = format.substr(colon == std::string::npos ? 0 : colon + 1,
                                             open - (colon == std::string::npos ? 0 : colon + 1));
    if (colour == "Y800") return imaqkit::kFrameMono8;
    if (colour == "Y16") return imaqkit::kFrameMono16;
    if (colour == "RGB24") return imaqkit::kFrameBgr24;
    if (colour == "RGB32") return imaqkit::kFrameBgrx32;
    return 0;
}

bool isDecimal(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

const char* frameTypeText(int frameType) {
    switch (frameType) {
    case imaqkit::kFrameMono8:
        return "mono 8-bit";
    case imaqkit::kFrameMono16:
        return "mono 16-bit";
    case imaqkit::kFrameBgr24:
        return "BGR 24-bit";
    case imaqkit::kFrameBgrx32:
        return "BGRX 32-bit";
    default:
        return "unknown type";
    }
}

std::string deliveredText(qvxtb::VideoInput& input) {
    const imaqkit::IAdaptor* adaptor = input.adaptor();
    // A device that did not open has no format, and so no frame size.
    if (adaptor == nullptr || adaptor->getMaxWidth() <= 0 || adaptor->getMaxHeight() <= 0)
        return "no frames (the adaptor reports no frame size: the device may not have opened)";
    return std::to_string(adaptor->getMaxWidth()) + "x" + std::to_string(adaptor->getMaxHeight()) + " " +
           frameTypeText(adaptor->getFrameType()) + " frames";
}

void warnSharedNames(const std::vector<qvxtb::DeviceInfo>& devices) {
    std::map<std::string, bool> warned;
    for (const auto& device : devices) {
        const std::vector<int> ids = idsNamed(devices, device.name);
        if (ids.size() < 2 || warned[device.name]) continue;
        warned[device.name] = true;
        std::fflush(stdout);
        std::fprintf(
            stderr,
            "qvx-imaq: warning: devices %s share the name \"%s\"; the adaptor opens devices by name, "
            "so the grabber library opens the first of them (device %d) for each of these ids\n",
            idList(ids).c_str(), device.name.c_str(), ids.front());
    }
}

qvxtb::DeviceInfo resolveDevice(qvxtb::Adaptor& adaptor, const std::string& idOrName,
                                const GlobalOptions& options) {
    const std::vector<qvxtb::DeviceInfo> devices = adaptor.hwinfo();
    const qvxtb::DeviceInfo device = adaptor.findDevice(idOrName); // from the list just made
    if (isDecimal(idOrName) && device.name != idOrName) {
        const std::vector<int> named = idsNamed(devices, idOrName);
        if (!named.empty()) {
            std::fflush(stdout);
            std::fprintf(
                stderr,
                "qvx-imaq: warning: \"%s\" is taken as the id of device %d \"%s\"; device%s %s named "
                "\"%s\" can be reached by id only\n",
                idOrName.c_str(), device.id, device.name.c_str(), named.size() == 1 ? "" : "s",
                idList(named).c_str(), idOrName.c_str());
        }
    }
    const std::vector<int> ids = idsNamed(devices, device.name);
    if (ids.size() < 2) return device;
    if (ids.front() != device.id) {
        notApplied(options,
                   "device " + std::to_string(device.id) + " shares the name \"" + device.name +
                       "\" with device " + std::to_string(ids.front()) +
                       "; the adaptor opens devices by name, and the grabber library opens the first "
                       "of that name, so this command would reach device " +
                       std::to_string(ids.front()) + " instead");
        return device;
    }
    std::fflush(stdout);
    std::fprintf(
        stderr,
        "qvx-imaq: warning: devices %s share the name \"%s\"; the grabber library opens the first of "
        "them, device %d, which this command uses\n",
        idList(ids).c_str(), device.name.c_str(), device.id);
    return device;
}

std::unique_ptr<qvxtb::VideoInput> openVideoInput(qvxtb::Adaptor& adaptor, const std::string& device,
                                                  const std::string& format, const GlobalOptions& options,
                                                  AdaptorWatch& watch) {
    resolveDevice(adaptor, device, options);
    watch.take();
    auto input = adaptor.videoinput(device, format);
    const std::vector<std::string> complaints = watch.take();
    const auto [width, height] = sizeInName(format);
    const imaqkit::IAdaptor* object = input->adaptor();
    const bool otherSize = object != nullptr && width > 0 &&
                           (object->getMaxWidth() != width || object->getMaxHeight() != height);
    const int promised = frameTypeInName(format);
    const bool otherType = object != nullptr && promised != 0 && object->getFrameType() != promised;
    if (!complaints.empty() || otherSize || otherType) {
        notApplied(options, "the camera did not take the format \"" + format + "\"" +
                                reportedText(complaints) + "; it delivers " + deliveredText(*input));
    }
    return input;
}

void applySettings(qvxtb::VideoInput& input, const std::vector<std::string>& assignments,
                   const GlobalOptions& options, AdaptorWatch& watch) {
    for (const std::string& assignment : assignments) {
        watch.take();
        applyAssignments(input, {assignment});
        const std::vector<std::string> complaints = watch.take();
        if (!complaints.empty()) {
            const std::string name = splitAssignment(assignment).first;
            notApplied(options, "the camera did not take " + assignment + reportedText(complaints) + "; " +
                                    name + " reads " + formatValue(input.get(name)));
        }
    }
}

void applyRegion(qvxtb::VideoInput& input, const std::array<int, 4>& region, const GlobalOptions& options,
                 AdaptorWatch& watch) {
    watch.take();
    input.setROIPosition(region[0], region[1], region[2], region[3]);
    const std::vector<std::string> complaints = watch.take();
    const std::array<int, 4> effective = input.getROIPosition();
    const imaqkit::IAdaptor* adaptor = input.adaptor();
    const int width = adaptor != nullptr ? adaptor->getMaxWidth() : 0;
    const int height = adaptor != nullptr ? adaptor->getMaxHeight() : 0;
    const int frameType = adaptor != nullptr ? adaptor->getFrameType() : 0;
    const std::string size =
        std::to_string(effective[2]) + "x" + std::to_string(effective[3]) + " " + frameTypeText(frameType);
    if (!complaints.empty()) {
        notApplied(options, "the camera did not take the region " + regionText(region) +
                                reportedText(complaints) + "; it delivers " + size +
                                " frames, not from the position asked for");
        return;
    }
    // A camera without regions of its own reports the whole picture whatever was asked; a smaller region
    // fitted to a camera's limits never grows to the whole picture.
    const bool whole = effective == std::array<int, 4>{0, 0, width, height};
    if (whole && (region[2] < width || region[3] < height)) {
        notApplied(options, "this camera has no regions of interest of its own: frames are whole, " + size +
                                ", not the region " + regionText(region));
        return;
    }
    if (effective != region) {
        std::printf("Region: %s asked for; the camera delivers %s (fitted to its limits and steps)\n",
                    regionText(region).c_str(), regionText(effective).c_str());
    }
}

} // namespace qvxcli
