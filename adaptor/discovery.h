// Device discovery: every device the grabber library sees, with its format names.
#pragma once

#include "host/hardware_info.h"

namespace qvx {

void discoverDevices(imaqkit::IHardwareInfo* hardwareInfo);

} // namespace qvx
