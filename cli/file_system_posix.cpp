// The file operations of file_system.h on POSIX systems.
#if !defined(_WIN32)

#include "cli/file_system.h"

#include <dirent.h>
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
#include <utility>

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

Folder::Folder(std::string path, bool unreadable) : path_(std::move(path)) {
    // No O_NOFOLLOW: a user may name a link to a folder, and so may any component before the last. What is
    // opened here is what the user named; from here on only the descriptor is used, never the path.
    const std::string opened = path_.empty() ? "." : path_;
    int fd = -1;
    do {
        fd = ::open(opened.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
#if defined(O_PATH)
    // A descriptor that only names the folder still serves openat, renameat and unlinkat.
    if (fd < 0 && errno == EACCES && unreadable)
        fd = ::open(opened.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    (void)unreadable;
#endif
    if (fd < 0) throw std::runtime_error("cannot open the folder \"" + opened + "\": " + reason(errno));
    handle_ = fd;
}

Folder::~Folder() { ::close(static_cast<int>(handle_)); }

NativeName Folder::entry(const std::string& name) const { return name; }

EntryKind entryKind(const Folder& folder, const std::string& name) {
    struct stat status {};
    if (fstatat(static_cast<int>(folder.handle()), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return EntryKind::none;
    if (S_ISREG(status.st_mode)) return EntryKind::regular;
    if (S_ISDIR(status.st_mode)) return EntryKind::folder;
    if (S_ISLNK(status.st_mode)) return EntryKind::link;
    if (S_ISFIFO(status.st_mode)) return EntryKind::fifo;
    return EntryKind::other;
}

std::vector<FolderEntry> listFolder(const Folder& folder) {
    // A descriptor of its own for the listing: readdir moves its position, and fdopendir takes it over.
    const int fd = ::openat(static_cast<int>(folder.handle()), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* listing = fd < 0 ? nullptr : fdopendir(fd);
    if (listing == nullptr) {
        const int error = errno;
        if (fd >= 0) ::close(fd);
        throw std::runtime_error(reason(error));
    }
    std::vector<FolderEntry> found;
    errno = 0;
    while (const dirent* item = readdir(listing)) {
        const std::string name = item->d_name;
        if (name != "." && name != "..") found.push_back({name, entryKind(folder, name)});
        errno = 0;
    }
    const int error = errno;
    closedir(listing);
    if (error != 0) throw std::runtime_error(reason(error));
    return found;
}

NativeHandle createNewFile(NativeHandle folder, const NativeName& name, bool& exists, std::string& error) {
    int fd = -1;
    do {
        fd = ::openat(static_cast<int>(folder), name.c_str(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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

bool placeFile(NativeHandle folder, const NativeName& from, const NativeName& to, bool replace, bool& exists,
               std::string& error) {
    const int at = static_cast<int>(folder);
    // renameat() replaces the entry at `to`, a link included, and never follows it.
    if (replace) {
        if (renameat(at, from.c_str(), at, to.c_str()) == 0) return true;
        error = reason(errno);
        return false;
    }
#if defined(__linux__)
    if (renameat2(at, from.c_str(), at, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) {
        exists = errno == EEXIST;
        error = reason(errno);
        return false;
    }
#endif
    // A file system that cannot rename without replacing: a hard link fails on an existing name too.
    if (::linkat(at, from.c_str(), at, to.c_str(), 0) != 0) {
        exists = errno == EEXIST;
        error = reason(errno);
        return false;
    }
    ::unlinkat(at, from.c_str(), 0);
    return true;
}

bool removeFile(NativeHandle folder, const NativeName& name, std::string& error) {
    if (::unlinkat(static_cast<int>(folder), name.c_str(), 0) == 0) return true;
    error = reason(errno);
    return false;
}

void removeName(NativeHandle folder, const NativeChar* name) noexcept {
    ::unlinkat(static_cast<int>(folder), name, 0);
}

std::string unguessableText() {
    std::random_device source;
    char text[17];
    const std::uint64_t value = (std::uint64_t{source()} << 32) ^ source();
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

void removeIfStale(NativeHandle folder, const NativeName& name) {
    // O_NONBLOCK: a FIFO of that name must not hold the run up. The lock proves that no writer is left.
    const int at = static_cast<int>(folder);
    const int fd = ::openat(at, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    struct stat status {};
    if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlinkat(at, name.c_str(), 0);
    ::close(fd);
}

FolderLock::FolderLock(const std::string& folder) : folder_(folder) {
    // The lock is on the folder's own descriptor: it goes with the folder, wherever the folder is moved.
    const int fd = static_cast<int>(folder_.handle());
    int result = 0;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK)
            throw std::runtime_error("another run is writing into \"" + folder +
                                     "\"; wait until it ends, or choose another folder");
        throw std::runtime_error("cannot lock the folder \"" + folder +
                                 "\" against other runs: " + reason(error));
    }
}

// Closing the folder's descriptor releases the lock.
FolderLock::~FolderLock() = default;

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
