// A device-info object of the test's own, so the exports can be called for any device name.
#pragma once

#include <string>
#include <utility>

#include "host/hardware_info.h"
#include "sim/toolbox/placeholder.h"

namespace qvxtest {

class NamedDevice : public imaqkit::IDeviceInfo {
public:
    QVXTB_PLACEHOLDER("deviceInfo", 3)
    explicit NamedDevice(std::string name) : name_(std::move(name)) {}
    imaqkit::IDeviceFormat* createDeviceFormat(int, const char*) override { return nullptr; }
    void addDeviceFormat(imaqkit::IDeviceFormat*, bool) override {}
    const char* getDeviceName() const override { return name_.c_str(); }
    void setDeviceFileSupport(bool) override {}

private:
    std::string name_;
};

} // namespace qvxtest
