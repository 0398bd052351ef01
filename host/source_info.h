// The host objects that collect a device's video sources and its hardware triggers.
#pragma once

#include "host/imaqkit.h"

namespace imaqkit {

class IVideoSourceInfo {
public:
    virtual ~IVideoSourceInfo() = default;                       // slot 0
    virtual void addAdaptorSource(const char* name, int id) = 0; // slot 1
};

class ITriggerInfo {
public:
    virtual ~ITriggerInfo() = default; // slot 0
};

} // namespace imaqkit
