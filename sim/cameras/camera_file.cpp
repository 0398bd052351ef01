// Reading a camera file within a bound, whatever the path names: a folder, a device, a huge file.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "sim/cameras/model.h"

namespace qvxsim {

std::shared_ptr<CameraSet> loadCameraFile(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw std::invalid_argument("\"" + path + "\" is a folder, not a camera file");
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int code = errno;
        throw std::invalid_argument("cannot read \"" + path +
                                    "\": " + (code != 0 ? std::strerror(code) : "it does not open"));
    }
    // One byte beyond the limit tells a file at the limit from a larger one, without reading the rest;
    // a device such as /dev/zero has no size to ask for first.
    std::string text(kMaxCameraFileBytes + 1, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    if (in.bad()) throw std::invalid_argument("cannot read \"" + path + "\"");
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxCameraFileBytes)
        throw std::invalid_argument("\"" + path + "\" is larger than a camera file may be (" +
                                    std::to_string(kMaxCameraFileBytes) + " bytes)");
    return parseCameraSet(text, kMaxCameraFileValues);
}

} // namespace qvxsim
