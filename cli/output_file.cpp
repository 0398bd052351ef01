// Whole files only: temporary names, renames, and their removal on errors and signals.
#include "cli/output_file.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#else
#include <pthread.h>
#include <unistd.h>
#endif

namespace qvxcli {
namespace {

// The temporary files open now; a signal removes them. A vector, not a set: there are one or two.
struct Registry {
    std::mutex mutex;
    std::vector<std::string> temporaries;
};

Registry& registry() {
    static Registry* instance = new Registry(); // never destroyed: a signal may come during exit
    return *instance;
}

void forget(const std::string& temporary) {
    Registry& r = registry();
    auto& list = r.temporaries;
    list.erase(std::remove(list.begin(), list.end(), temporary), list.end());
}

long processId() {
#if defined(_WIN32)
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

[[noreturn]] void endBySignal(int signal) {
    Registry& r = registry();
    // Held until the end: no rename may give a name to a file after it was removed here.
    r.mutex.lock();
    for (const std::string& temporary : r.temporaries) std::remove(temporary.c_str());
    const char* name = signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal";
    std::fflush(stdout);
    std::fprintf(stderr, "\nqvx-imaq: stopped by %s; files not yet complete were removed\n", name);
    std::fflush(stderr);
    std::_Exit(128 + signal);
}

#if !defined(_WIN32)
sigset_t endingSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}
#else
extern "C" void onSignal(int signal) { endBySignal(signal); }
#endif

} // namespace

std::string OutputFile::temporaryName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameAt) + "." + path.substr(nameAt) + ".part-" + std::to_string(processId());
}

OutputFile::OutputFile(std::string path) : path_(std::move(path)), temporary_(temporaryName(path_)) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (file_ == nullptr) {
        const int error = errno;
        throw std::runtime_error("cannot write \"" + path_ + "\": " + std::strerror(error));
    }
    r.temporaries.push_back(temporary_);
}

OutputFile::~OutputFile() {
    if (committed_) return;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (file_ != nullptr) std::fclose(file_);
    std::remove(temporary_.c_str());
    forget(temporary_);
}

void OutputFile::fail(int error) {
    throw std::runtime_error("cannot write \"" + path_ +
                             "\": " + (error != 0 ? std::strerror(error) : "the write failed"));
}

void OutputFile::write(const void* data, std::size_t size) {
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size) fail(errno);
}

void OutputFile::commit() {
    errno = 0;
    if (std::fflush(file_) != 0) fail(errno);
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0) fail(errno);
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
#if defined(_WIN32)
    // Windows' rename does not replace; the caller has already agreed to replace an existing file.
    std::remove(path_.c_str());
#endif
    if (std::rename(temporary_.c_str(), path_.c_str()) != 0) fail(errno);
    forget(temporary_);
    committed_ = true;
}

void removeTemporaryFilesOnSignals() {
#if defined(_WIN32)
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
#else
    std::signal(SIGXFSZ, SIG_IGN);
    // Every thread started later inherits the blocked set, so only the waiting thread below takes them.
    const sigset_t set = endingSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([] {
        const sigset_t waited = endingSignals();
        int signal = 0;
        while (sigwait(&waited, &signal) != 0) {
        }
        endBySignal(signal);
    }).detach();
#endif
}

} // namespace qvxcli
