// What one video input holds: the adaptor object, its engine, the device's description and the library.
#pragma once

#include <memory>

#include "sim/toolbox/acquisition_state.h"
#include "sim/toolbox/discovery_objects.h"
#include "sim/toolbox/engine.h"
#include "sim/toolbox/loaded_adaptor.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb {

struct VideoInput::Impl {
    ~Impl();

    // Declared first so that it goes last: the adaptor's code must stay loaded until its objects are gone.
    std::shared_ptr<detail::LoadedAdaptor> library;
    std::shared_ptr<detail::DeviceInfoObject> deviceInfo;
    std::string format;
    DeviceDescription description;
    detail::Engine* engine = nullptr;
    std::shared_ptr<detail::AcquisitionState> state;
    imaqkit::IAdaptor* adaptor = nullptr;
};

} // namespace qvxtb
