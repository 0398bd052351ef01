// Running qvx-imaq through a POSIX shell as a user would, and looking at what it left behind.
#pragma once

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace qvxtest {

inline long processId() {
#if defined(_WIN32)
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

// A folder of its own for one test, empty, removed again with the object.
struct TempFolder {
    std::filesystem::path path;
    explicit TempFolder(const std::string& name)
        : path(std::filesystem::temp_directory_path() / (name + "_" + std::to_string(processId()))) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name, const std::string& text = "") const {
        const std::filesystem::path at = path / name;
        std::ofstream(at, std::ios::binary) << text;
        return at.string();
    }
    // The names of the entries in `sub` (the folder itself when empty), sorted; hidden ones included.
    std::vector<std::string> names(const std::string& sub = "") const {
        std::vector<std::string> found;
        const std::filesystem::path at = sub.empty() ? path : path / sub;
        if (!std::filesystem::exists(at)) return found;
        for (const auto& entry : std::filesystem::directory_iterator(at))
            found.push_back(entry.path().filename().string());
        std::sort(found.begin(), found.end());
        return found;
    }
};

#if !defined(_WIN32)

struct CliRun {
    int status = -1; // the exit code; 128 + the signal's number when a signal ended the program
    std::string out;
};

// Runs a POSIX shell command line; standard error joins the output unless `errors` is false (then it is
// dropped).
inline CliRun runShell(const std::string& command, bool errors = true) {
    CliRun result;
    FILE* pipe = popen((command + (errors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
    if (pipe == nullptr) return result;
    std::array<char, 4096> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) result.out.append(chunk.data(), got);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status)     ? WEXITSTATUS(status)
                    : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                                          : -1;
    return result;
}

// `arguments` as a shell reads them after the program's path; `prefix` goes before the program (variables,
// "ulimit -f 8;"). Standard error joins the output unless `errors` is false (then it is dropped).
inline CliRun runCli(const std::string& arguments, const std::string& prefix = "", bool errors = true) {
    return runShell(prefix + " '" + QVX_CLI_PATH + "' " + arguments, errors);
}

inline std::string quoted(const std::string& text) { return "'" + text + "'"; }

#endif

} // namespace qvxtest
