// Adaptor creation (placeholder until the adaptor object lands).
#include "instance/create_instance.h"

namespace qvx {

imaqkit::IAdaptor* createInstance(imaqkit::IEngine*, const imaqkit::IDeviceInfo*, const char*) { return nullptr; }

} // namespace qvx
