// Creation of the adaptor object for one video input object.
#pragma once

#include "host/adaptor.h"
#include "host/engine.h"
#include "host/hardware_info.h"

namespace qvx {

// The new adaptor in host memory, or null when that memory could not be had or the construction
// failed for another reason; only std::bad_alloc leaves this function.
imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, const imaqkit::IDeviceInfo* deviceInfo,
                                  const char* formatName);

} // namespace qvx
