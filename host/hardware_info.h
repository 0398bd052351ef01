// The host objects of discovery: the hardware list, one device and one of its formats.
#pragma once

#include "host/imaqkit.h"

namespace imaqkit {

class IDeviceFormat {
public:
    virtual ~IDeviceFormat() = default; // slot 0
};

class IDeviceInfo {
public:
    virtual ~IDeviceInfo() = default;                                        // slot 0
    virtual IDeviceFormat* createDeviceFormat(int id, const char* name) = 0; // slot 1
    virtual void addDeviceFormat(IDeviceFormat* format, bool isDefault) = 0; // slot 2
    virtual void slot3() = 0;
    virtual const char* getDeviceName() const = 0;       // slot 4
    virtual void setDeviceFileSupport(bool support) = 0; // slot 5
};

class IHardwareInfo {
public:
    virtual ~IHardwareInfo() = default;                                  // slot 0
    virtual IDeviceInfo* createDeviceInfo(int id, const char* name) = 0; // slot 1
    virtual void addDevice(IDeviceInfo* device) = 0;                     // slot 2
};

} // namespace imaqkit
