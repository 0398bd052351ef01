// Loading the camera set and the adaptor for a command.
#include "cli/session.h"

#if !defined(_WIN32)
#include <limits.h>
#include <unistd.h>
#endif

#include <stdexcept>

#include "sim/cameras/sim_api.h"

namespace qvxcli {

#if !defined(_WIN32)
std::string defaultAdaptorPath() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        throw std::runtime_error("cannot find this program's folder; give the adaptor with --adaptor");
    std::string executable(path, static_cast<std::size_t>(length));
    return executable.substr(0, executable.find_last_of('/') + 1) + "libQVXImaq.so";
}
#endif

std::unique_ptr<qvxtb::Adaptor> openAdaptor(const GlobalOptions& options) {
    if (!options.camerasFile.empty()) {
        try {
            qvxsim::loadCamerasFromFile(options.camerasFile);
        } catch (const std::exception& error) {
            throw std::runtime_error("cannot use the camera file \"" + options.camerasFile +
                                     "\": " + error.what());
        }
    }
    // A long acquisition would otherwise keep a record of every frame's calls.
    qvxtb::setRecordCalls(false);
    const std::string path = options.adaptorPath.empty() ? defaultAdaptorPath() : options.adaptorPath;
    return std::make_unique<qvxtb::Adaptor>(path);
}

} // namespace qvxcli
