// File operations that no link or file placed in a shared folder can redirect, on POSIX and on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qvxcli {

// A name as the system takes it: UTF-8 bytes on POSIX, UTF-16 on Windows. Kept ready for the signal path,
// which may not convert or allocate.
#if defined(_WIN32)
using NativeChar = wchar_t;
#else
using NativeChar = char;
#endif
using NativeName = std::basic_string<NativeChar>;
NativeName nativeName(const std::string& path);

// A descriptor on POSIX, a HANDLE on Windows.
using NativeHandle = std::intptr_t;
constexpr NativeHandle kNoHandle = -1;

// A folder that files are made in, opened once. On POSIX it is a descriptor, and every operation below
// goes through it: a folder renamed away after it was opened keeps getting the files, and whatever is put
// at its path gets none. On Windows it is the path (see file_system_win.cpp).
class Folder {
public:
    // `path` empty: the current folder. A link the user named is followed, here only. With `unreadable`, a
    // folder one may make files in but not read is taken too; it then cannot be listed or locked. Throws
    // std::runtime_error naming the folder and the reason when it cannot be opened.
    explicit Folder(std::string path, bool unreadable = false);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // What the operations below take as the folder.
    NativeHandle handle() const { return handle_; }
    // `name` (no separator in it) as the operations below take it within this folder.
    NativeName entry(const std::string& name) const;
    // `name` within this folder as the user spelled the folder, for messages.
    std::string pathOf(const std::string& name) const {
        return path_.empty() ? name : (std::filesystem::path(path_) / name).string();
    }

private:
    std::string path_;
    NativeHandle handle_ = kNoHandle;
};

// What a name in a folder is, its link not followed.
enum class EntryKind { none, regular, folder, link, fifo, other };
EntryKind entryKind(const Folder& folder, const std::string& name);
// The names in `folder` but "." and "..", with what each is; throws std::runtime_error with the reason.
struct FolderEntry {
    std::string name;
    EntryKind kind;
};
std::vector<FolderEntry> listFolder(const Folder& folder);

// Creates `name` in `folder` only when nothing has that name yet, a link included, and never writes through
// a link. On POSIX the file gets the permissions the umask leaves of 0666, and a lock that marks it as being
// written (see removeIfStale). On failure returns kNoHandle with the reason in `error`; `exists` says the
// name was taken.
NativeHandle createNewFile(NativeHandle folder, const NativeName& name, bool& exists, std::string& error);
// Writes everything or returns false with the reason.
bool writeAll(NativeHandle file, const void* data, std::size_t size, std::string& error);
bool closeFile(NativeHandle file, std::string& error);
// Gives the file `from` in `folder` the name `to` there. A link at `to` is replaced, never followed. Without
// `replace`, an existing `to` is left alone and `exists` is set.
bool placeFile(NativeHandle folder, const NativeName& from, const NativeName& to, bool replace, bool& exists,
               std::string& error);
// Removes a name from `folder`, or returns false with the reason.
bool removeFile(NativeHandle folder, const NativeName& name, std::string& error);
// Removes a name from `folder`; safe to call from the signal path.
void removeName(NativeHandle folder, const NativeChar* name) noexcept;
// Sixteen hexadecimal digits from the system's random source, for temporary names no one can guess.
std::string unguessableText();
// Removes `name` from `folder` when it is a regular file that no running program is writing: a temporary
// file a killed run left behind. Anything else stays.
void removeIfStale(NativeHandle folder, const NativeName& name);

// Holds a folder for one run: a second run that asks for the same folder is refused while the first
// holds it. Released when the object goes, or when the program ends however it ends.
class FolderLock {
public:
    // Opens `folder` (see Folder) and locks it. Throws std::runtime_error saying that another run is writing
    // into `folder`, or why it cannot be held.
    explicit FolderLock(const std::string& folder);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // The folder held, as it was when it was locked.
    const Folder& folder() const { return folder_; }

private:
    Folder folder_;
#if defined(_WIN32)
    // The lock file; on POSIX the lock is on the folder's descriptor.
    NativeHandle handle_ = kNoHandle;
#endif
};

// Calls `end` with the signal's number for every signal that would end the program and can be caught
// (those the program was started with ignored stay ignored). A broken pipe becomes a write error instead of
// a signal, and so does a file size limit. `end` must not return. Call it first in main(), before any
// thread starts.
void onEndingSignals(void (*end)(int signal));
// The signal's name ("SIGTERM"), or null when it has none here.
const char* signalName(int signal) noexcept;
// Writes to standard error only what fits without waiting, for the signal path: a blocked terminal or pipe
// must not keep the program from ending.
void writeErrorWithoutWaiting(const char* text, std::size_t size) noexcept;

} // namespace qvxcli
