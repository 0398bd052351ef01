// The file operations of file_system.h on POSIX systems.
#if !defined(_WIN32)

#include "cli/file_system.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <thread>

namespace qvxcli {
namespace {

std::string reason(int error) { return std::strerror(error); }

// The signals whose default action ends the program and that a program may catch. SIGPIPE and SIGXFSZ are
// left out: they become write errors.
sigset_t endingSignals() {
    sigset_t set;
    sigemptyset(&set);
    const int fixed[] = {SIGHUP,  SIGINT,    SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2,  SIGALRM,
                         SIGPROF, SIGVTALRM, SIGXCPU, SIGIO,   SIGPWR,  SIGSTKFLT};
    for (int signal : fixed) sigaddset(&set, signal);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaddset(&set, signal);
    // A signal ignored from the start (nohup, a shell's background job) stays ignored, as the user meant.
    for (int signal = 1; signal < NSIG; ++signal) {
        struct sigaction current {};
        if (sigismember(&set, signal) == 1 && sigaction(signal, nullptr, &current) == 0 &&
            current.sa_handler == SIG_IGN)
            sigdelset(&set, signal);
    }
    return set;
}

} // namespace

NativeName nativeName(const std::string& path) { return path; }

NativeHandle createNewFile(const NativeName& name, bool& exists, std::string& error) {
    int fd = -1;
    do {
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        exists = errno == EEXIST;
        error = reason(errno);
        return kNoHandle;
    }
    // Nobody else can hold the lock of a file just made; a file system without locks leaves it unmarked.
    flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

bool writeAll(NativeHandle file, const void* data, std::size_t size, std::string& error) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(static_cast<int>(file), at, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = written < 0 ? reason(errno) : "the write failed";
            return false;
        }
        at += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool closeFile(NativeHandle file, std::string& error) {
    // A close interrupted by a signal has still closed the descriptor on Linux; retrying could close another.
    if (::close(static_cast<int>(file)) != 0 && errno != EINTR) {
        error = reason(errno);
        return false;
    }
    return true;
}

bool placeFile(const NativeName& from, const NativeName& to, bool replace, bool& exists, std::string& error) {
    // rename() replaces the entry at `to`, a link included, and never follows it.
    if (replace) {
        if (std::rename(from.c_str(), to.c_str()) == 0) return true;
        error = reason(errno);
        return false;
    }
#if defined(__linux__)
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) {
        exists = errno == EEXIST;
        error = reason(errno);
        return false;
    }
#endif
    // A file system that cannot rename without replacing: a hard link fails on an existing name too.
    if (::link(from.c_str(), to.c_str()) != 0) {
        exists = errno == EEXIST;
        error = reason(errno);
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

void removeName(const NativeChar* name) noexcept { ::unlink(name); }

std::string unguessableText() {
    std::random_device source;
    char text[17];
    const std::uint64_t value = (std::uint64_t{source()} << 32) ^ source();
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

void removeIfStale(const std::string& path) {
    // O_NONBLOCK: a FIFO of that name must not hold the run up. The lock proves that no writer is left.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(path.c_str());
    ::close(fd);
}

FolderLock::FolderLock(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open the folder \"" + folder + "\": " + reason(errno));
    int result = 0;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            throw std::runtime_error("another run is writing into \"" + folder +
                                     "\"; wait until it ends, or choose another folder");
        throw std::runtime_error("cannot lock the folder \"" + folder +
                                 "\" against other runs: " + reason(error));
    }
    handle_ = fd;
}

FolderLock::~FolderLock() {
    if (handle_ != kNoHandle) ::close(static_cast<int>(handle_));
}

void onEndingSignals(void (*end)(int signal)) {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    // Every thread started later inherits the blocked set, so only the waiting thread below takes them,
    // and it runs no handler code in an interrupted context.
    const sigset_t set = endingSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::thread([set, end] {
        int signal = 0;
        while (sigwait(&set, &signal) != 0) {
        }
        end(signal);
    }).detach();
}

const char* signalName(int signal) noexcept {
    switch (signal) {
    case SIGHUP:
        return "SIGHUP";
    case SIGINT:
        return "SIGINT";
    case SIGQUIT:
        return "SIGQUIT";
    case SIGTERM:
        return "SIGTERM";
    case SIGUSR1:
        return "SIGUSR1";
    case SIGUSR2:
        return "SIGUSR2";
    case SIGALRM:
        return "SIGALRM";
    default:
        return nullptr;
    }
}

void writeErrorWithoutWaiting(const char* text, std::size_t size) noexcept {
    // A pipe that polls writable has room for a write this small (under PIPE_BUF) in one piece.
    struct pollfd target {};
    target.fd = STDERR_FILENO;
    target.events = POLLOUT;
    if (poll(&target, 1, 0) == 1 && (target.revents & POLLOUT) != 0) {
        const ssize_t ignored = ::write(STDERR_FILENO, text, size);
        (void)ignored;
    }
}

} // namespace qvxcli

#endif
