// Files that appear under their name only once complete: written to a new temporary file beside it that no
// one can guess or redirect, renamed at the end, removed on an error and on any signal that ends the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/file_system.h"

namespace qvxcli {

class OutputFile {
public:
    // Creates the temporary file; throws std::runtime_error naming `path` and the reason. `replace` lets
    // commit() replace an existing file of that name; without it, such a file stays and commit() fails.
    explicit OutputFile(std::string path, bool replace = false);
    // Removes the temporary file unless commit() renamed it.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const void* data, std::size_t size);
    // Closes the file and gives it its name.
    void commit();

    // What every temporary name of `path` starts with: hidden, in the same folder (so the rename stays on
    // one file system): ".NAME.part-". Sixteen random hexadecimal digits follow.
    static std::string temporaryPrefix(const std::string& path);

private:
    [[noreturn]] void fail(const std::string& reason);
    void flush();

    std::string path_;
    NativeName nativePath_, nativeTemporary_;
    NativeHandle file_ = kNoHandle;
    int slot_ = -1;
    bool replace_;
    bool committed_ = false;
    std::vector<std::uint8_t> buffer_;
};

} // namespace qvxcli
