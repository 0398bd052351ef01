// The signatures by which the host resolves an adaptor library's five entry points.
#pragma once

#include "host/imaqkit.h"

namespace imaqkit {

using InitializeAdaptorFn = void (*)();
using UninitializeAdaptorFn = void (*)();
using GetAvailHWFn = void (*)(IHardwareInfo*);
using GetDeviceAttributesFn = void (*)(const IDeviceInfo*, const char*, IPropFactory*, IVideoSourceInfo*,
                                       ITriggerInfo*);
using CreateInstanceFn = IAdaptor* (*)(IEngine*, const IDeviceInfo*, const char*);

} // namespace imaqkit
