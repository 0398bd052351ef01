// What every command needs: the global options, the camera set and the loaded adaptor.
#pragma once

#include <memory>
#include <string>

#include "sim/toolbox/toolbox.h"

namespace qvxcli {

struct GlobalOptions {
    std::string camerasFile; // empty: the compiled-in set (or QVX_CAMERAS)
    std::string adaptorPath; // empty: the adaptor beside this executable
};

// The adaptor library that ships beside the executable, found through the running executable's own path.
std::string defaultAdaptorPath();

// Loads the camera set and the adaptor; errors come out as exceptions with a message for the user.
std::unique_ptr<qvxtb::Adaptor> openAdaptor(const GlobalOptions& options);

} // namespace qvxcli
