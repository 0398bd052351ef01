// A contact sheet: frames side by side in a grid, each cell a downscaled copy, built as the frames come.
#pragma once

#include <cstddef>

#include "cli/png_writer.h"

namespace qvxcli {

class ContactSheet {
public:
    // Room for `count` frames in rows of ceil(sqrt(count)) cells; the sheet's sides stay within `maxSide`
    // pixels where the count allows (one pixel per cell at the least), so its memory does not grow with the
    // frames' count or size.
    explicit ContactSheet(std::size_t count, int maxSide = 4096);

    // The first frame sets the cell size (the frame scaled down by a whole factor until the sheet fits) and
    // the pixel form; a later frame of another size is scaled into its cell. Throws std::invalid_argument for
    // a frame of another pixel form, an empty one, or one more than `count`.
    void add(const Image& frame);
    std::size_t added() const { return added_; }
    // The sheet so far; unused cells are black.
    const Image& sheet() const { return sheet_; }

private:
    std::size_t count_;
    int maxSide_;
    std::size_t columns_ = 1;
    std::size_t added_ = 0;
    int cellWidth_ = 0, cellHeight_ = 0;
    Image sheet_;
};

} // namespace qvxcli
