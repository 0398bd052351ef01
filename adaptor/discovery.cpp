// Device discovery (placeholder until discovery lands).
#include "adaptor/discovery.h"

namespace qvx {

void discoverDevices(imaqkit::IHardwareInfo*) {}

} // namespace qvx
