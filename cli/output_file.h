// Files that appear under their name only once complete: written to a new temporary file beside it that no
// one can guess or redirect, renamed at the end, removed on an error and on any signal that ends the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/file_system.h"
#include "cli/unfinished_files.h"

namespace qvxcli {

class OutputFile {
public:
    // Creates the temporary file for `name` in `folder`, which must outlive this object; throws
    // std::runtime_error naming the file and the reason. `replace` lets commit() replace an existing file of
    // that name; without it, such a file stays and commit() fails.
    OutputFile(const Folder& folder, const std::string& name, bool replace = false);
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

    NativeHandle folder_;
    std::string path_;
    NativeName nativeName_, nativeTemporary_;
    UnfinishedFile unfinished_;
    NativeHandle file_ = kNoHandle;
    int slot_ = -1;
    bool replace_;
    bool committed_ = false;
    std::vector<std::uint8_t> buffer_;
};

} // namespace qvxcli
