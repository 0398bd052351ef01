// Frame folders: one run's frames per folder.
#include "cli/frame_folder.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "cli/output_file.h"

namespace qvxcli {
namespace {

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

bool isFrameName(const std::string& name) {
    const std::string prefix = "frame_", suffix = ".png";
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
           allDigits(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
}

} // namespace

bool isFrameFileName(const std::string& name) {
    if (isFrameName(name)) return true;
    // ".frame_0001.png.part-PID", as OutputFile names them.
    const std::size_t part = name.rfind(".part-");
    return !name.empty() && name[0] == '.' && part != std::string::npos &&
           isFrameName(name.substr(1, part - 1)) && allDigits(name.substr(part + 6));
}

std::string frameFileName(long number, long count) {
    int width = 4;
    for (long limit = 10000; limit <= count && width < 19; limit *= 10) ++width;
    std::string digits = std::to_string(number);
    if (digits.size() < static_cast<std::size_t>(width))
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return "frame_" + digits + ".png";
}

void prepareFrameFolder(const std::string& folder, bool overwrite) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path path = fs::path(folder);
    if (fs::exists(path, error) && !fs::is_directory(path, error))
        throw std::runtime_error("cannot write frames into \"" + folder + "\": it is a file, not a folder");
    fs::create_directories(path, error);
    if (error) throw std::runtime_error("cannot create the folder \"" + folder + "\": " + error.message());
    std::vector<fs::path> found;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        if (isFrameFileName(it->path().filename().string())) found.push_back(it->path());
    }
    if (error) throw std::runtime_error("cannot read the folder \"" + folder + "\": " + error.message());
    if (found.empty()) return;
    std::sort(found.begin(), found.end());
    if (!overwrite) {
        throw std::runtime_error("\"" + folder + "\" already holds " + std::to_string(found.size()) +
                                 " frame file" + (found.size() == 1 ? "" : "s") + " (" +
                                 found.front().filename().string() + (found.size() > 1 ? ", ..." : "") +
                                 ") from another run; give --overwrite to replace them, or another folder");
    }
    for (const fs::path& file : found) {
        if (!fs::remove(file, error) && error)
            throw std::runtime_error("cannot remove \"" + file.string() + "\": " + error.message());
    }
}

} // namespace qvxcli
