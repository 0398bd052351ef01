// Building the contact sheet cell by cell.
#include "cli/montage.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace qvxcli {
namespace {

// The smallest c with c * c >= n, in integers: a double's square root rounds for large counts.
std::size_t ceilSqrt(std::size_t n) {
    std::size_t c = 1;
    while (c * c < n) ++c;
    return c;
}

std::size_t ceilDiv(std::size_t a, std::size_t b) { return (a + b - 1) / b; }

} // namespace

ContactSheet::ContactSheet(std::size_t count, int maxSide) : count_(count), maxSide_(std::max(maxSide, 1)) {
    if (count == 0) throw std::invalid_argument("a contact sheet needs one frame or more");
    // One pixel per cell at the least: beyond this many frames the sheet could not keep its bound.
    if (count / static_cast<std::size_t>(maxSide_) > static_cast<std::size_t>(maxSide_))
        throw std::invalid_argument("too many frames for one contact sheet");
    columns_ = ceilSqrt(count);
}

void ContactSheet::add(const Image& frame) {
    if (added_ >= count_) throw std::invalid_argument("the contact sheet is full");
    if ((frame.channels != 1 && frame.channels != 3) || (frame.bitDepth != 8 && frame.bitDepth != 16))
        throw std::invalid_argument("a frame of no PNG form cannot go on a contact sheet");
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() / frame.rowBytes() < static_cast<std::size_t>(frame.height))
        throw std::invalid_argument("an empty frame cannot go on a contact sheet");
    if (added_ == 0) {
        const std::size_t rows = ceilDiv(count_, columns_);
        const std::size_t side = static_cast<std::size_t>(maxSide_);
        const std::size_t width = static_cast<std::size_t>(frame.width);
        const std::size_t height = static_cast<std::size_t>(frame.height);
        const std::size_t factor =
            std::max<std::size_t>({1, ceilDiv(columns_ * width, side), ceilDiv(rows * height, side)});
        cellWidth_ = static_cast<int>(std::max<std::size_t>(1, width / factor));
        cellHeight_ = static_cast<int>(std::max<std::size_t>(1, height / factor));
        sheet_.channels = frame.channels;
        sheet_.bitDepth = frame.bitDepth;
        sheet_.width = static_cast<int>(columns_ * static_cast<std::size_t>(cellWidth_));
        sheet_.height = static_cast<int>(rows * static_cast<std::size_t>(cellHeight_));
        sheet_.pixels.assign(sheet_.rowBytes() * static_cast<std::size_t>(sheet_.height), 0);
    } else if (frame.channels != sheet_.channels || frame.bitDepth != sheet_.bitDepth) {
        throw std::invalid_argument("frames of different pixel types cannot share a contact sheet");
    }
    const std::size_t pixel = sheet_.pixelBytes();
    const std::size_t left = (added_ % columns_) * static_cast<std::size_t>(cellWidth_) * pixel;
    const std::size_t top = (added_ / columns_) * static_cast<std::size_t>(cellHeight_);
    const std::size_t sourceRow = frame.rowBytes();
    // Nearest pixel: a cell is a preview, and this costs one read per cell pixel whatever the frame's size.
    for (int y = 0; y < cellHeight_; ++y) {
        const std::size_t sy = static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.height) /
                               static_cast<std::size_t>(cellHeight_);
        const std::uint8_t* source = frame.pixels.data() + sy * sourceRow;
        std::uint8_t* target =
            sheet_.pixels.data() + (top + static_cast<std::size_t>(y)) * sheet_.rowBytes() + left;
        for (int x = 0; x < cellWidth_; ++x) {
            const std::size_t sx = static_cast<std::size_t>(x) * static_cast<std::size_t>(frame.width) /
                                   static_cast<std::size_t>(cellWidth_);
            std::memcpy(target + static_cast<std::size_t>(x) * pixel, source + sx * pixel, pixel);
        }
    }
    ++added_;
}

} // namespace qvxcli
