// Writing images as PNG files: 8-bit grey, 16-bit grey and 8-bit RGB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/toolbox/toolbox.h"

namespace qvxcli {

// Upright pixels: `channels` 1 or 3, `bitDepth` 8 or 16 (16-bit samples little-endian, as frames hold them).
struct Image {
    int width = 0;
    int height = 0;
    int channels = 1;
    int bitDepth = 8;
    std::vector<std::uint8_t> pixels;
    std::size_t rowBytes() const;
};

// The frame upright, in the PNG form that fits it; throws for a frame type it does not know.
Image imageOf(const qvxtb::Frame& frame);
// Throws std::runtime_error naming the file when it cannot be written.
void writePng(const std::string& path, const Image& image);

} // namespace qvxcli
