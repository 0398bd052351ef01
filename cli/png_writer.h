// Images as PNG files: 8-bit grey, 16-bit grey and 8-bit RGB, compressed with zlib on every platform.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli/file_system.h"
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
    std::size_t pixelBytes() const;
};

// The frame upright, in the PNG form that fits it; throws for a frame type it does not know.
Image imageOf(const qvxtb::Frame& frame);

// The PNG file's bytes, handed to `write` piece by piece as they are made (no whole-file buffer). Throws
// std::invalid_argument for an image that is empty, of another form or short of pixels.
void encodePng(const Image& image, const std::function<void(const std::uint8_t*, std::size_t)>& write);
// Writes the file `name` in `folder` whole or not at all (see output_file.h); an existing file of that name
// is replaced only with `replace`. Throws std::runtime_error naming the file and the reason.
void writePng(const Folder& folder, const std::string& name, const Image& image, bool replace = false);

} // namespace qvxcli
