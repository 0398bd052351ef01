// The description of one device and format: its video source and its device properties.
#pragma once

#include "host/hardware_info.h"
#include "host/prop_factory.h"
#include "host/source_info.h"

namespace qvx {

void getDeviceAttributes(const imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                         imaqkit::IPropFactory* propFactory, imaqkit::IVideoSourceInfo* sourceInfo,
                         imaqkit::ITriggerInfo* triggerInfo);

} // namespace qvx
