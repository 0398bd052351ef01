// Creation of the adaptor object in host memory.
#include "instance/create_instance.h"

#include <new>

#include "instance/qvx_adaptor.h"

namespace qvx {

imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, const imaqkit::IDeviceInfo* deviceInfo,
                                  const char* formatName) {
    // No host memory: null, nothing constructed. A constructor that throws gives the memory back
    // through the class's matching operator delete before the exception goes on.
    return new (std::nothrow) QVXadaptor(engine, deviceInfo, formatName);
}

} // namespace qvx
