// Building the contact sheet.
#include "cli/montage.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace qvxcli {

Image montage(const std::vector<Image>& images) {
    if (images.empty()) throw std::runtime_error("no frames for a montage");
    Image sheet;
    sheet.channels = images.front().channels;
    sheet.bitDepth = images.front().bitDepth;
    int cellWidth = 0, cellHeight = 0;
    for (const Image& image : images) {
        if (image.channels != sheet.channels || image.bitDepth != sheet.bitDepth) {
            throw std::runtime_error("frames of different pixel types cannot share a montage");
        }
        cellWidth = std::max(cellWidth, image.width);
        cellHeight = std::max(cellHeight, image.height);
    }
    const int count = static_cast<int>(images.size());
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    const int rows = (count + columns - 1) / columns;
    sheet.width = columns * cellWidth;
    sheet.height = rows * cellHeight;
    sheet.pixels.assign(sheet.rowBytes() * static_cast<std::size_t>(sheet.height), 0);
    const std::size_t pixelBytes = static_cast<std::size_t>(sheet.channels * (sheet.bitDepth / 8));
    for (int i = 0; i < count; ++i) {
        const Image& image = images[static_cast<std::size_t>(i)];
        const std::size_t left = static_cast<std::size_t>((i % columns) * cellWidth) * pixelBytes;
        const std::size_t top = static_cast<std::size_t>((i / columns) * cellHeight);
        for (int y = 0; y < image.height; ++y) {
            std::memcpy(sheet.pixels.data() + (top + static_cast<std::size_t>(y)) * sheet.rowBytes() + left,
                        image.pixels.data() + static_cast<std::size_t>(y) * image.rowBytes(),
                        image.rowBytes());
        }
    }
    return sheet;
}

} // namespace qvxcli
