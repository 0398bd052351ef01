// The adaptor library the tests load: this build's, or the one QVX_ADAPTOR names (an adaptor built alone
// against the installed stand-ins, for example).
#pragma once

#include <cstdlib>
#include <string>

namespace qvxtest {

inline std::string adaptorPath() {
    const char* path = std::getenv("QVX_ADAPTOR");
    return path != nullptr && *path != '\0' ? std::string(path) : std::string(QVX_ADAPTOR_PATH);
}

} // namespace qvxtest
