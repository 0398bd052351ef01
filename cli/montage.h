// A contact sheet: frames side by side in a grid, in one image.
#pragma once

#include <vector>

#include "cli/png_writer.h"

namespace qvxcli {

// Frames in rows of ceil(sqrt(n)) cells, each cell as large as the largest frame; all frames must share
// one PNG form (they do within one acquisition).
Image montage(const std::vector<Image>& images);

} // namespace qvxcli
