// The host objects of discovery: the hardware list, its devices and their formats.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/hardware_info.h"
#include "sim/toolbox/placeholder.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

class DeviceFormatObject final : public imaqkit::IDeviceFormat {
public:
    DeviceFormatObject(int id, std::string name) : id_(id), name_(std::move(name)) {}
    int id() const { return id_; }
    const std::string& name() const { return name_; }

private:
    int id_;
    std::string name_;
};

class DeviceInfoObject final : public imaqkit::IDeviceInfo {
public:
    QVXTB_PLACEHOLDER("deviceInfo", 3)
    DeviceInfoObject(int id, std::string name) : id_(id), name_(std::move(name)) {}

    imaqkit::IDeviceFormat* createDeviceFormat(int id, const char* name) override;
    void addDeviceFormat(imaqkit::IDeviceFormat* format, bool isDefault) override;
    const char* getDeviceName() const override;
    void setDeviceFileSupport(bool support) override;

    DeviceInfo info() const;
    const std::string& name() const { return name_; }

private:
    int id_;
    std::string name_;
    bool fileSupport_ = false;
    std::vector<std::unique_ptr<DeviceFormatObject>> made_; // owned whether added or not
    std::vector<std::pair<DeviceFormatObject*, bool>> added_;
};

class HardwareInfoObject final : public imaqkit::IHardwareInfo {
public:
    imaqkit::IDeviceInfo* createDeviceInfo(int id, const char* name) override;
    void addDevice(imaqkit::IDeviceInfo* device) override;

    // Device-info objects stay alive while any video input made from them does.
    const std::vector<std::shared_ptr<DeviceInfoObject>>& devices() const { return added_; }

private:
    std::vector<std::shared_ptr<DeviceInfoObject>> made_;
    std::vector<std::shared_ptr<DeviceInfoObject>> added_;
};

} // namespace qvxtb::detail
