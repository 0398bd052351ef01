// The description of one device and format: its video source and its device properties.
#pragma once

#include "grabber/grabber.h"
#include "host/hardware_info.h"
#include "host/prop_factory.h"
#include "host/source_info.h"

namespace qvx {

void getDeviceAttributes(const imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                         imaqkit::IPropFactory* propFactory, imaqkit::IVideoSourceInfo* sourceInfo,
                         imaqkit::ITriggerInfo* triggerInfo);

// "FrameRate": one value per rate of the current format, the fastest first. Left out on
// region-of-interest devices and when the device lists no rates.
void addFrameRateProperty(const KapriLib::Grabber& grabber, imaqkit::IPropFactory* propFactory);
// "InputChannel": one value per channel, the first as default; left out when the list is empty.
void addInputChannelProperty(const KapriLib::Grabber& grabber, imaqkit::IPropFactory* propFactory);

} // namespace qvx
