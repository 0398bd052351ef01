// Device description (placeholder until the description lands).
#include "attributes/device_attributes.h"

namespace qvx {

void getDeviceAttributes(const imaqkit::IDeviceInfo*, const char*, imaqkit::IPropFactory*,
                         imaqkit::IVideoSourceInfo*, imaqkit::ITriggerInfo*) {}

} // namespace qvx
