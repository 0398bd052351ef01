// Creation of the adaptor object in host memory.
#include "instance/create_instance.h"

#include <new>

#include "instance/qvx_adaptor.h"

namespace qvx {

imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, const imaqkit::IDeviceInfo* deviceInfo,
                                  const char* formatName) {
    // No host memory: null, nothing constructed. A constructor that throws gives the memory back
    // through the class's matching operator delete before the exception goes on.
    try {
        return new (std::nothrow) QVXadaptor(engine, deviceInfo, formatName);
    } catch (const std::bad_alloc&) {
        // The one failure the host is prepared to see leave this export.
        throw;
    } catch (...) {
        // Anything else (a length error, a code raised from below) would reach a host that does
        // not expect it; the host gets what it gets when memory is short: no object.
        return nullptr;
    }
}

} // namespace qvx
