// Whether a device's first format descriptor of its current norm is a region-of-interest format.
#pragma once

#include "grabber/grabber.h"

namespace qvx {

bool isROICapable(const KapriLib::Grabber& grabber);

} // namespace qvx
