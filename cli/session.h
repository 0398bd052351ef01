// What every command needs: the global options, the camera set and the loaded adaptor.
#pragma once

#include <memory>
#include <string>

#include "sim/toolbox/toolbox.h"

namespace qvxcli {

struct GlobalOptions {
    std::string camerasFile; // empty: the compiled-in set (or QVX_CAMERAS)
    std::string adaptorPath; // empty: the adaptor beside this executable
    bool keepGoing = false;  // accept a camera that does not deliver what was asked, with a warning
};

// The adaptor library that ships beside the executable, found through the running executable's own path.
std::string defaultAdaptorPath();

// Loads the camera set (--cameras, else QVX_CAMERAS, else the compiled-in one) and the adaptor; errors come
// out as exceptions with a message for the user. A camera file that cannot be loaded is one of them.
std::unique_ptr<qvxtb::Adaptor> openAdaptor(const GlobalOptions& options);

// What a command does when the camera did not take what was asked: throws NotAppliedError with the
// message, or with --keep-going prints it as a warning and returns.
void notApplied(const GlobalOptions& options, const std::string& message);

} // namespace qvxcli
