// Loading a library by path and resolving its symbols; the one place that knows the system's loader.
#pragma once

#include <string>

namespace qvxtb::detail {

class SharedLibrary {
public:
    // Throws ToolboxError naming the file and the loader's reason.
    explicit SharedLibrary(const std::string& path);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Null when the library does not export the name.
    void* symbol(const char* name) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    void* handle_ = nullptr;
};

} // namespace qvxtb::detail
