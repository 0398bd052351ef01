// Discovery objects: they keep what getAvailHW reports, in the order it reports it.
#include "sim/toolbox/discovery_objects.h"

#include <algorithm>

#include "sim/toolbox/records.h"

namespace qvxtb::detail {

imaqkit::IDeviceFormat* DeviceInfoObject::createDeviceFormat(int id, const char* name) {
    record("deviceInfo", "createDeviceFormat", id, name);
    made_.push_back(std::make_unique<DeviceFormatObject>(id, name != nullptr ? name : ""));
    return made_.back().get();
}

void DeviceInfoObject::addDeviceFormat(imaqkit::IDeviceFormat* format, bool isDefault) {
    auto* ours = dynamic_cast<DeviceFormatObject*>(format);
    record("deviceInfo", "addDeviceFormat", ours != nullptr ? ours->name() : std::string("(unknown)"),
           isDefault);
    if (ours == nullptr) return;
    const bool known =
        std::any_of(made_.begin(), made_.end(), [&](const auto& made) { return made.get() == ours; });
    const bool again =
        std::any_of(added_.begin(), added_.end(), [&](const auto& added) { return added.first == ours; });
    if (known && !again) added_.emplace_back(ours, isDefault);
}

const char* DeviceInfoObject::getDeviceName() const {
    record("deviceInfo", "getDeviceName");
    return name_.c_str();
}

void DeviceInfoObject::setDeviceFileSupport(bool support) {
    record("deviceInfo", "setDeviceFileSupport", support);
    fileSupport_ = support;
}

DeviceInfo DeviceInfoObject::info() const {
    DeviceInfo device;
    device.id = id_;
    device.name = name_;
    device.deviceFileSupport = fileSupport_;
    for (const auto& [format, isDefault] : added_)
        device.formats.push_back({format->id(), format->name(), isDefault});
    return device;
}

imaqkit::IDeviceInfo* HardwareInfoObject::createDeviceInfo(int id, const char* name) {
    record("hardwareInfo", "createDeviceInfo", id, name);
    made_.push_back(std::make_shared<DeviceInfoObject>(id, name != nullptr ? name : ""));
    return made_.back().get();
}

void HardwareInfoObject::addDevice(imaqkit::IDeviceInfo* device) {
    auto it =
        std::find_if(made_.begin(), made_.end(), [&](const auto& made) { return made.get() == device; });
    record("hardwareInfo", "addDevice", it != made_.end() ? (*it)->name() : std::string("(unknown)"));
    if (it == made_.end()) return;
    if (std::find(added_.begin(), added_.end(), *it) == added_.end()) added_.push_back(*it);
}

} // namespace qvxtb::detail
