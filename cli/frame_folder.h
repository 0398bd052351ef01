// The folder that receives one PNG file per frame, and the names of those files.
#pragma once

#include <string>

namespace qvxcli {

// Creates the folder when needed. A folder that already holds frame files (or their temporary files) from
// another run is refused, so that runs cannot mix; with `overwrite` those files are removed first.
void prepareFrameFolder(const std::string& folder, bool overwrite);
// "frame_0001.png": numbered from 1, with at least four digits and as many as `count` needs, so that the
// names sort in frame order.
std::string frameFileName(long number, long count);
// True for names frameFileName makes and their temporary names.
bool isFrameFileName(const std::string& name);

} // namespace qvxcli
