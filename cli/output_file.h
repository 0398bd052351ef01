// Files that appear under their name only once complete: written to a temporary name beside it, renamed
// at the end, removed on an error and on SIGINT, SIGTERM or SIGHUP.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace qvxcli {

class OutputFile {
public:
    // Opens the temporary file; throws std::runtime_error naming `path` and the reason.
    explicit OutputFile(std::string path);
    // Removes the temporary file unless commit() renamed it.
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const void* data, std::size_t size);
    // Closes the file and gives it its name, replacing a file of that name.
    void commit();

    // The temporary name of `path`: hidden, in the same folder (so the rename stays on one file system).
    static std::string temporaryName(const std::string& path);

private:
    [[noreturn]] void fail(int error);

    std::string path_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
};

// From here on, SIGINT, SIGTERM and SIGHUP remove every temporary file that is open and end the program
// with 128 + the signal's number; a file size limit (SIGXFSZ) becomes a write error instead of a kill.
// Call it first in main(), before any thread starts.
void removeTemporaryFilesOnSignals();

} // namespace qvxcli
