// Whole files only: exclusive temporary files, renames that replace nothing unasked, removal on errors.
#include "cli/output_file.h"

#include <cstring>
#include <stdexcept>

namespace qvxcli {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 16;
// A clash of sixteen random digits means someone is placing names: give up rather than loop.
constexpr int kNameAttempts = 8;

} // namespace

std::string OutputFile::temporaryPrefix(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameAt) + "." + path.substr(nameAt) + ".part-";
}

OutputFile::OutputFile(const Folder& folder, const std::string& name, bool replace)
    : folder_(folder.handle()), path_(folder.pathOf(name)), nativeName_(folder.entry(name)),
      replace_(replace) {
    std::string error;
    for (int attempt = 0; attempt < kNameAttempts && file_ == kNoHandle; ++attempt) {
        nativeTemporary_ = folder.entry(temporaryPrefix(name) + unguessableText());
        unfinished_ = UnfinishedFile{folder_, nativeTemporary_.c_str()};
        bool exists = false;
        FileChange change;
        // Recorded before it exists, so that a signal during the creation removes it too.
        slot_ = rememberUnfinished(&unfinished_);
        file_ = createNewFile(folder_, nativeTemporary_, exists, error);
        if (file_ == kNoHandle) {
            forgetUnfinished(slot_);
            slot_ = -1;
            if (!exists) break;
        }
    }
    if (file_ == kNoHandle) throw std::runtime_error("cannot write \"" + path_ + "\": " + error);
    buffer_.reserve(kBufferBytes);
}

OutputFile::~OutputFile() {
    if (committed_) return;
    std::string ignored;
    if (file_ != kNoHandle) closeFile(file_, ignored);
    FileChange change;
    removeName(folder_, nativeTemporary_.c_str());
    forgetUnfinished(slot_);
}

void OutputFile::fail(const std::string& reason) {
    throw std::runtime_error("cannot write \"" + path_ + "\": " + reason);
}

void OutputFile::flush() {
    std::string error;
    if (!buffer_.empty() && !writeAll(file_, buffer_.data(), buffer_.size(), error)) fail(error);
    buffer_.clear();
}

void OutputFile::write(const void* data, std::size_t size) {
    if (file_ == kNoHandle) fail("the file is closed");
    if (buffer_.size() + size > kBufferBytes) flush();
    if (size >= kBufferBytes) {
        std::string error;
        if (!writeAll(file_, data, size, error)) fail(error);
        return;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    buffer_.insert(buffer_.end(), bytes, bytes + size);
}

void OutputFile::commit() {
    if (file_ == kNoHandle) fail("the file is closed");
    flush();
    std::string error;
    const NativeHandle file = file_;
    file_ = kNoHandle;
    if (!closeFile(file, error)) fail(error);
    FileChange change;
    bool exists = false;
    if (!placeFile(folder_, nativeTemporary_, nativeName_, replace_, exists, error))
        fail(exists ? "a file of that name appeared while it was written; it was left as it is" : error);
    forgetUnfinished(slot_);
    committed_ = true;
}

} // namespace qvxcli
