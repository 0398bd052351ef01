// Frame folders and the montage's path: one run's files per folder, and nothing removed that is not ours.
#include "cli/frame_folder.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/output_file.h"

namespace qvxcli {
namespace {

namespace fs = std::filesystem;

// -n is at most 1,000,000, so frame numbers take four to seven digits.
constexpr std::size_t kMinDigits = 4, kMaxDigits = 7;

bool allOf(const std::string& text, bool (*accept)(char)) {
    return !text.empty() && std::all_of(text.begin(), text.end(), accept);
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f'); }

bool isFrameName(const std::string& name) {
    const std::string prefix = "frame_", suffix = ".png";
    if (name.size() < prefix.size() + kMinDigits + suffix.size() ||
        name.size() > prefix.size() + kMaxDigits + suffix.size() ||
        name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return allOf(digits, isDigit) && digits.find_first_not_of('0') != std::string::npos;
}

// ".NAME.part-" and hexadecimal digits, as OutputFile names its temporary files (earlier runs: a process id).
bool isTemporaryOf(const std::string& name, bool (*isName)(const std::string&)) {
    const std::size_t part = name.rfind(".part-");
    return name.size() > 1 && name[0] == '.' && part != std::string::npos && part > 1 &&
           isName(name.substr(1, part - 1)) && allOf(name.substr(part + 6), isHexDigit);
}

std::string kindOf(EntryKind kind) {
    switch (kind) {
    case EntryKind::folder:
        return "a folder";
    case EntryKind::link:
        return "a link";
    case EntryKind::fifo:
        return "a FIFO";
    default:
        return "no regular file";
    }
}

// The same folder however it is spelled ("out", "./out/", a link to it); folders that need not exist yet.
bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code errorA, errorB;
    const fs::path first = fs::weakly_canonical(fs::absolute(a.empty() ? fs::path(".") : a), errorA);
    const fs::path second = fs::weakly_canonical(fs::absolute(b), errorB);
    const auto folderOf = [](fs::path path) {
        path = path.lexically_normal();
        return path.has_filename() ? path : path.parent_path();
    };
    if (errorA || errorB) return folderOf(fs::absolute(a)) == folderOf(fs::absolute(b));
    return folderOf(first) == folderOf(second);
}

[[noreturn]] void refuseForeign(const std::string& path, EntryKind kind) {
    throw std::runtime_error("\"" + path + "\" is " + kindOf(kind) +
                             ", not a file qvx-imaq writes, and it stays; move it away or choose another "
                             "folder");
}

} // namespace

bool isFrameFileName(const std::string& name) {
    return isFrameName(name) || isTemporaryOf(name, isFrameName);
}

std::string frameFileName(long number, long count) {
    int width = 4;
    for (long limit = 10000; limit <= count && width < 19; limit *= 10) ++width;
    std::string digits = std::to_string(number);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return "frame_" + digits + ".png";
}

std::unique_ptr<FolderLock> prepareFrameFolder(const std::string& folder, bool overwrite) {
    std::error_code error;
    const fs::path path = fs::path(folder);
    if (fs::exists(path, error) && !fs::is_directory(path, error))
        throw std::runtime_error("cannot write frames into \"" + folder + "\": it is a file, not a folder");
    fs::create_directories(path, error);
    if (error) throw std::runtime_error("cannot create the folder \"" + folder + "\": " + error.message());
    // Held before the folder is looked at, so that no other run can start writing between look and use.
    // From here on the folder is reached only through the lock's descriptor, never by its path again.
    auto lock = std::make_unique<FolderLock>(folder);
    const Folder& held = lock->folder();
    std::vector<FolderEntry> entries;
    try {
        entries = listFolder(held);
    } catch (const std::runtime_error& failure) {
        throw std::runtime_error("cannot read the folder \"" + folder + "\": " + failure.what());
    }
    std::vector<std::string> found;
    for (const FolderEntry& entry : entries) {
        if (isFrameName(entry.name)) {
            if (entry.kind != EntryKind::regular) refuseForeign(held.pathOf(entry.name), entry.kind);
            found.push_back(entry.name);
        } else if (isTemporaryOf(entry.name, isFrameName)) {
            // No run is writing here but this one: a temporary file is what a killed run left.
            removeIfStale(held.handle(), held.entry(entry.name));
        }
    }
    if (found.empty()) return lock;
    std::sort(found.begin(), found.end());
    if (!overwrite) {
        throw std::runtime_error("\"" + folder + "\" already holds " + std::to_string(found.size()) +
                                 " frame file" + (found.size() == 1 ? "" : "s") + " (" + found.front() +
                                 (found.size() > 1 ? ", ..." : "") +
                                 ") from another run; give --overwrite to replace them, or another folder");
    }
    for (const std::string& name : found) {
        std::string reason;
        if (!removeFile(held.handle(), held.entry(name), reason) && entryKind(held, name) != EntryKind::none)
            throw std::runtime_error("cannot remove \"" + held.pathOf(name) + "\": " + reason);
    }
    return lock;
}

std::unique_ptr<Folder> prepareMontagePath(const std::string& file, const std::string& frameFolder,
                                           bool overwrite) {
    std::error_code error;
    const fs::path path(file);
    const std::string name = path.filename().string();
    if (!frameFolder.empty() && isFrameName(name) && sameFolder(path.parent_path(), frameFolder))
        throw UsageError("--montage \"" + file + "\" is named like a frame file of -o \"" + frameFolder +
                         "\"; give the montage another name");
    if (name.empty() || name == "." || name == "..")
        throw UsageError("--montage \"" + file + "\" names a folder, not a file");
    const fs::path parent = path.parent_path();
    if (!parent.empty()) fs::create_directories(parent, error);
    if (error) throw std::runtime_error("cannot write the montage \"" + file + "\": " + error.message());
    // Opened now and kept: the montage goes into this folder at the end, whatever is at its path by then.
    auto folder = std::make_unique<Folder>(parent.string(), true);
    const EntryKind kind = entryKind(*folder, name);
    if (kind != EntryKind::none) {
        if (kind != EntryKind::regular) refuseForeign(file, kind);
        if (!overwrite)
            throw std::runtime_error("\"" + file + "\" already exists; give --overwrite to replace it");
    }
    const std::string prefix = "." + name + ".part-";
    std::vector<FolderEntry> entries;
    try {
        entries = listFolder(*folder);
    } catch (const std::runtime_error&) {
        // Stale temporary files stay for a later run; the montage itself can still be written.
        return folder;
    }
    for (const FolderEntry& entry : entries) {
        if (entry.name.size() > prefix.size() && entry.name.compare(0, prefix.size(), prefix) == 0 &&
            allOf(entry.name.substr(prefix.size()), isHexDigit))
            removeIfStale(folder->handle(), folder->entry(entry.name));
    }
    return folder;
}

} // namespace qvxcli
