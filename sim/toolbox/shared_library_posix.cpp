// SharedLibrary on systems with dlopen.
#if !defined(_WIN32)

#include <dlfcn.h>

#include "sim/toolbox/shared_library.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

SharedLibrary::SharedLibrary(const std::string& path) : path_(path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = dlerror();
        throw ToolboxError("Cannot load the adaptor library \"" + path +
                           "\": " + (reason != nullptr ? reason : "unknown reason"));
    }
}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) dlclose(handle_);
}

void* SharedLibrary::symbol(const char* name) const { return dlsym(handle_, name); }

} // namespace qvxtb::detail

#endif
