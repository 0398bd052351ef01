// Loading the camera set and the adaptor for a command.
#include "cli/session.h"

#if !defined(_WIN32)
#include <limits.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "cli/exit_codes.h"
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
    std::string source;
    try {
        if (!options.camerasFile.empty()) {
            const bool genicam = options.camerasFile.rfind("genicam", 0) == 0;
            source = (genicam ? "the cameras \"" : "the camera file \"") + options.camerasFile + "\"";
            qvxsim::loadCamerasFromFile(options.camerasFile);
        } else if (const char* path = std::getenv("QVX_CAMERAS"); path != nullptr && *path != '\0') {
            // Loaded here, where a failure can end the command: the grabber library, left to load it
            // itself, could only go on without cameras.
            source = std::string("the camera file \"") + path + "\" (from QVX_CAMERAS)";
            qvxsim::useDefaultCameras();
        }
    } catch (const std::exception& error) {
        throw std::runtime_error("cannot use " + source + ": " + error.what());
    }
    // A long acquisition would otherwise keep a record of every frame's calls.
    qvxtb::setRecordCalls(false);
    const std::string path = options.adaptorPath.empty() ? defaultAdaptorPath() : options.adaptorPath;
    return std::make_unique<qvxtb::Adaptor>(path);
}

void notApplied(const GlobalOptions& options, const std::string& message) {
    if (!options.keepGoing) throw NotAppliedError(message + "; --keep-going accepts this");
    std::fflush(stdout);
    std::fprintf(stderr, "qvx-imaq: warning: %s; going on (--keep-going)\n", message.c_str());
}

} // namespace qvxcli
