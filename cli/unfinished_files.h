// The files being written right now, and the end by signal that removes them before the program goes.
#pragma once

#include "cli/file_system.h"

namespace qvxcli {

// Brackets each change to the set of unfinished files and the file system step that goes with it (create,
// rename, remove). An ending signal waits, briefly, until no change is under way, and then removes what is
// recorded; a change that would begin after the ending has begun holds its thread until the program is gone.
// So the record and the folder always agree when files are removed, and nobody takes a lock.
class FileChange {
public:
    FileChange();
    ~FileChange();
    FileChange(const FileChange&) = delete;
    FileChange& operator=(const FileChange&) = delete;
};

// A file being written: the folder it is in and its name there, as removeName takes them.
struct UnfinishedFile {
    NativeHandle folder = kNoHandle;
    const NativeChar* name = nullptr;
};

// Within a FileChange: records `file` (which must stay valid and unchanged until forgotten) and returns its
// slot; throws std::runtime_error when every slot is taken.
int rememberUnfinished(const UnfinishedFile* file);
void forgetUnfinished(int slot);

// From here on, every signal that would end the program removes the unfinished files and ends it with
// 128 + the signal's number, with no stdio and no lock on the way. Call it first in main(), before any
// thread starts.
void removeUnfinishedFilesOnSignals();

} // namespace qvxcli
