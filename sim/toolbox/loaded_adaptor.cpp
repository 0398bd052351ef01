// Resolving and initialising an adaptor's five entry points.
#include "sim/toolbox/loaded_adaptor.h"

#include "sim/toolbox/adaptor_calls.h"
#include "sim/toolbox/records.h"

namespace qvxtb::detail {
namespace {

template <typename Function> Function resolve(const SharedLibrary& library, const char* name) {
    void* address = library.symbol(name);
    if (address == nullptr) {
        throw ToolboxError("The adaptor library \"" + library.path() + "\" does not export \"" + name +
                           "\".");
    }
    return reinterpret_cast<Function>(address);
}

} // namespace

LoadedAdaptor::LoadedAdaptor(const std::string& path) : library(path) {
    initializeAdaptor = resolve<imaqkit::InitializeAdaptorFn>(library, "initializeAdaptor");
    uninitializeAdaptor = resolve<imaqkit::UninitializeAdaptorFn>(library, "uninitializeAdaptor");
    getAvailHW = resolve<imaqkit::GetAvailHWFn>(library, "getAvailHW");
    getDeviceAttributes = resolve<imaqkit::GetDeviceAttributesFn>(library, "getDeviceAttributes");
    createInstance = resolve<imaqkit::CreateInstanceFn>(library, "createInstance");
    record("imaqkit", "initializeAdaptor");
    callAdaptor("initializeAdaptor", [&] { initializeAdaptor(); });
}

LoadedAdaptor::~LoadedAdaptor() {
    record("imaqkit", "uninitializeAdaptor");
    try {
        uninitializeAdaptor();
    } catch (...) {
        // Nothing can be reported from here; the library is unloaded all the same.
    }
}

} // namespace qvxtb::detail
