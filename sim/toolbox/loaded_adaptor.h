// One adaptor library, loaded and initialised; shared by the Adaptor and every video input made from it.
#pragma once

#include <memory>
#include <string>

#include "host/entry_points.h"
#include "sim/toolbox/discovery_objects.h"
#include "sim/toolbox/shared_library.h"

namespace qvxtb::detail {

struct LoadedAdaptor {
    // Resolves the five entry points (a ToolboxError names the first one missing) and initialises.
    explicit LoadedAdaptor(const std::string& path);
    // Uninitialises; runs when the Adaptor and its last video input are gone.
    ~LoadedAdaptor();
    LoadedAdaptor(const LoadedAdaptor&) = delete;
    LoadedAdaptor& operator=(const LoadedAdaptor&) = delete;

    SharedLibrary library;
    imaqkit::InitializeAdaptorFn initializeAdaptor = nullptr;
    imaqkit::UninitializeAdaptorFn uninitializeAdaptor = nullptr;
    imaqkit::GetAvailHWFn getAvailHW = nullptr;
    imaqkit::GetDeviceAttributesFn getDeviceAttributes = nullptr;
    imaqkit::CreateInstanceFn createInstance = nullptr;
};

} // namespace qvxtb::detail
