// Where a run's files go: the folder that receives one PNG file per frame, the names of those files, and
// the contact sheet's path.
#pragma once

#include <memory>
#include <string>

#include "cli/file_system.h"

namespace qvxcli {

// Creates the folder when needed and holds it for this run: a folder another run is writing into is
// refused. A folder that already holds frame files from another run is refused too, so that runs cannot
// mix; with `overwrite` those files are removed first. Only regular files named exactly as frames are
// ever removed, and temporary files a killed run left; any other entry with a frame's name (a folder, a
// link, a FIFO) is refused and stays. Keep the result for as long as frames are written, and write them
// into its folder().
std::unique_ptr<FolderLock> prepareFrameFolder(const std::string& folder, bool overwrite);
// Checks the contact sheet's path before the acquisition, makes its folder and returns it opened: write the
// montage into it under the path's last name. A path that is one of the frames' names in `frameFolder`
// (empty: no frame files) is a usage error; an existing file is refused without `overwrite`, and anything
// there but a regular file always is. Removes temporary files of this path that a killed run left.
std::unique_ptr<Folder> prepareMontagePath(const std::string& file, const std::string& frameFolder,
                                           bool overwrite);

// "frame_0001.png": numbered from 1, with at least four digits and as many as `count` needs, so that the
// names sort in frame order.
std::string frameFileName(long number, long count);
// True for names frameFileName makes (for any count a run may have) and their temporary names.
bool isFrameFileName(const std::string& name);

} // namespace qvxcli
