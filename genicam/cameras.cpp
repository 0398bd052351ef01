// The GenICam cameras of a choice, and the entry points the grabber library calls for an open one.
#include <algorithm>
#include <stdexcept>

#include "genicam/device.h"
#include "genicam/genicam.h"
#include "genicam/pixels.h"

namespace qvxgenicam {
namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

qvxsim::Camera listedCamera(const std::string& name) {
    qvxsim::Camera camera;
    camera.name = name;
    camera.genicam = name;
    camera.hasNorms = false;
    camera.vcd.present = false;
    return camera;
}

} // namespace

std::shared_ptr<qvxsim::CameraSet> listCameras(const std::string& choice) {
    auto set = std::make_shared<qvxsim::CameraSet>();
    if (choice == "genicam") {
        // Discovery asks every interface and waits for the cameras' answers (a second on GigE Vision).
        arv_update_device_list();
        for (unsigned i = 0; i < arv_get_n_devices(); ++i) {
            const char* id = arv_get_device_id(i);
            if (id != nullptr && *id != '\0')
                set->cameras.push_back(std::make_shared<qvxsim::Camera>(listedCamera(id)));
        }
        return set;
    }
    const std::string names = choice.substr(std::string("genicam:").size());
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = std::min(names.find(';', start), names.size());
        const std::string name = trimmed(names.substr(start, end - start));
        start = end + 1;
        if (name.empty()) continue;
        // Aravis's in-process fake camera answers only once its interface is on.
        if (name.rfind("Fake_", 0) == 0) arv_enable_interface("Fake");
        const bool twice = std::any_of(set->cameras.begin(), set->cameras.end(),
                                       [&](const auto& c) { return c->name == name; });
        if (!twice) set->cameras.push_back(std::make_shared<qvxsim::Camera>(listedCamera(name)));
    }
    if (set->cameras.empty())
        throw std::invalid_argument("\"" + choice + "\" names no camera; give genicam:ID-OR-ADDRESS[;...]");
    return set;
}

std::vector<std::string> notesOf(const qvxsim::Camera& listed) {
    if (listed.genicam.empty()) return {};
    const std::shared_ptr<Device> device = Device::open(listed.genicam, listed.name);
    if (!device) return {};
    std::vector<std::string> notes;
    for (const FormatChoice& f : device->formats())
        notes.push_back(f.colorformat + " frames are read as " + f.pixelFormat);
    for (const std::string& left : device->leftOutFormats()) {
        const char* colour = colorformatOfPixelFormat(left);
        notes.push_back(left + " is left out: " +
                        (colour == nullptr
                             ? std::string("the library has no colour format for it")
                             : std::string(colour) + " frames are read as " + device->pixelFormatOf(colour)));
    }
    return notes;
}

std::shared_ptr<Device> openDevice(const qvxsim::Camera& listed) {
    return Device::open(listed.genicam, listed.name);
}

std::shared_ptr<qvxsim::Camera> modelOf(const Device& device) { return device.model(); }

double initialRate(const Device& device) { return device.listedRateNearestCurrent(); }

bool isLost(const Device& device) { return device.isLost(); }

} // namespace qvxgenicam
