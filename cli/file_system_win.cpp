// The file operations of file_system.h on Windows.
#if defined(_WIN32)

// Here a Folder is its path, and a name within it is the whole path, as before the POSIX side went over to
// descriptors: Windows refuses to rename or remove a folder while a file in it is open, and a run keeps its
// lock file open in its folder from the lock on, so the folder's path keeps naming the folder it locked. The
// montage's folder, which holds no lock file, is reached by its path, as it always was here.

#define _CRT_RAND_S
#include <stdlib.h>

#include "cli/file_system.h"

#include <io.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/win32.h"

namespace qvxcli {
namespace {

std::string reason(DWORD error) { return std::system_category().message(static_cast<int>(error)); }

HANDLE handleOf(NativeHandle file) { return reinterpret_cast<HANDLE>(file); }

} // namespace

NativeName nativeName(const std::string& path) {
    if (path.empty()) return NativeName();
    const int size = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (size <= 0) throw std::runtime_error("\"" + path + "\" is no valid UTF-8 name");
    NativeName wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), size);
    return wide;
}

Folder::Folder(std::string path, bool /*unreadable*/) : path_(std::move(path)) {}

Folder::~Folder() = default;

NativeName Folder::entry(const std::string& name) const { return nativeName(pathOf(name)); }

namespace {

EntryKind kindOf(const std::filesystem::file_status& status) {
    switch (status.type()) {
    case std::filesystem::file_type::not_found:
        return EntryKind::none;
    case std::filesystem::file_type::regular:
        return EntryKind::regular;
    case std::filesystem::file_type::directory:
        return EntryKind::folder;
    case std::filesystem::file_type::symlink:
        return EntryKind::link;
    case std::filesystem::file_type::fifo:
        return EntryKind::fifo;
    default:
        return EntryKind::other;
    }
}

} // namespace

EntryKind entryKind(const Folder& folder, const std::string& name) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(folder.pathOf(name), error);
    return error ? EntryKind::none : kindOf(status);
}

std::vector<FolderEntry> listFolder(const Folder& folder) {
    std::error_code error;
    std::vector<FolderEntry> found;
    const std::filesystem::path path = folder.pathOf(".");
    for (std::filesystem::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::file_status status = it->symlink_status(error);
        if (error) break;
        found.push_back({it->path().filename().string(), kindOf(status)});
    }
    if (error) throw std::runtime_error(error.message());
    return found;
}

NativeHandle createNewFile(NativeHandle /*folder*/, const NativeName& name, bool& exists,
                           std::string& error) {
    // CREATE_NEW fails on any existing entry, a link included; the reparse flag keeps a link from being
    // followed should one appear. No sharing of deletion: a stale-file sweep cannot remove it while open.
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
        error = reason(code);
        return kNoHandle;
    }
    return reinterpret_cast<NativeHandle>(file);
}

bool writeAll(NativeHandle file, const void* data, std::size_t size, std::string& error) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD piece = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handleOf(file), at, piece, &written, nullptr) || written == 0) {
            error = reason(GetLastError());
            return false;
        }
        at += written;
        size -= written;
    }
    return true;
}

bool closeFile(NativeHandle file, std::string& error) {
    if (!CloseHandle(handleOf(file))) {
        error = reason(GetLastError());
        return false;
    }
    return true;
}

bool placeFile(NativeHandle /*folder*/, const NativeName& from, const NativeName& to, bool replace,
               bool& exists, std::string& error) {
    // MoveFileEx replaces the entry at `to` itself, a link included, and only when asked to.
    if (MoveFileExW(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) return true;
    const DWORD code = GetLastError();
    exists = code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS;
    error = reason(code);
    return false;
}

bool removeFile(NativeHandle /*folder*/, const NativeName& name, std::string& error) {
    if (DeleteFileW(name.c_str())) return true;
    error = reason(GetLastError());
    return false;
}

void removeName(NativeHandle /*folder*/, const NativeChar* name) noexcept { DeleteFileW(name); }

std::string unguessableText() {
    unsigned int high = 0, low = 0;
    if (rand_s(&high) != 0 || rand_s(&low) != 0)
        throw std::runtime_error("no random numbers for a file name");
    char text[17];
    std::snprintf(text, sizeof text, "%08x%08x", high, low);
    return text;
}

void removeIfStale(NativeHandle /*folder*/, const NativeName& name) {
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return;
    // Fails while a run still has it open: writers do not share deletion.
    DeleteFileW(name.c_str());
}

FolderLock::FolderLock(const std::string& folder) : folder_(folder) {
    // Directories take no byte locks on Windows: a lock file of a name no frame has, open without sharing and
    // deleted when the last handle closes, so that a crashed run leaves no lock behind.
    const NativeName name = nativeName(folder + "\\.qvx-imaq.lock");
    const HANDLE file = CreateFileW(
        name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED)
            throw std::runtime_error("another run is writing into \"" + folder +
                                     "\"; wait until it ends, or choose another folder");
        throw std::runtime_error("cannot lock the folder \"" + folder +
                                 "\" against other runs: " + reason(code));
    }
    OVERLAPPED at{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        CloseHandle(file);
        throw std::runtime_error("another run is writing into \"" + folder +
                                 "\"; wait until it ends, or choose another folder");
    }
    handle_ = reinterpret_cast<NativeHandle>(file);
}

FolderLock::~FolderLock() {
    if (handle_ != kNoHandle) CloseHandle(handleOf(handle_));
}

namespace {
void (*endRun)(int) = nullptr;
extern "C" void onSignal(int signal) { endRun(signal); }
} // namespace

void onEndingSignals(void (*end)(int signal)) {
    endRun = end;
    // Windows raises these on a thread of their own (Ctrl+C, Ctrl+Break) or on raise().
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGBREAK, onSignal);
}

const char* signalName(int signal) noexcept {
    switch (signal) {
    case SIGINT:
        return "SIGINT";
    case SIGTERM:
        return "SIGTERM";
    case SIGBREAK:
        return "SIGBREAK";
    default:
        return nullptr;
    }
}

void writeErrorWithoutWaiting(const char* text, std::size_t size) noexcept {
    const int ignored = _write(2, text, static_cast<unsigned int>(size));
    (void)ignored;
}

} // namespace qvxcli

#endif
