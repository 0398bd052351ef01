// The delivered picture: a diagonal ramp that moves three levels per frame, through a gain/brightness table.
#include "sim/cameras/pattern.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "grabber/sink.h"

namespace qvxsim {

std::size_t bytesPerPixel(int colorformat) {
    switch (colorformat) {
    case KapriLib::eY800:
        return 1;
    case KapriLib::eY16:
        return 2;
    case KapriLib::eRGB24:
        return 3;
    default:
        return 4;
    }
}

namespace {

// The pixel of ramp position v (0 to 255) through the level table, in a layout of bpp bytes.
void writePixel(std::uint8_t* px, std::size_t bpp, const std::uint16_t* level, unsigned v) {
    switch (bpp) {
    case 1:
        px[0] = static_cast<std::uint8_t>(level[v]);
        break;
    case 2: {
        const unsigned wide = level[v] * 257u;
        px[0] = static_cast<std::uint8_t>(wide & 0xFF);
        px[1] = static_cast<std::uint8_t>(wide >> 8);
        break;
    }
    default:
        px[0] = static_cast<std::uint8_t>(level[v]);
        px[1] = static_cast<std::uint8_t>(level[(v + 85) & 0xFF]);
        px[2] = static_cast<std::uint8_t>(level[(v + 170) & 0xFF]);
        if (bpp == 4) px[3] = 0xFF;
        break;
    }
}

} // namespace

void renderPicture(std::uint8_t* data, const Picture& p, std::uint32_t frameNumber) {
    const std::size_t bpp = bytesPerPixel(p.colorformat);
    if (p.pattern && p.width > 0 && p.height > 0) {
        std::uint16_t level[256];
        for (int v = 0; v < 256; ++v) {
            const double scaled = v * p.gain + p.brightness;
            level[v] = static_cast<std::uint16_t>(std::clamp(scaled, 0.0, 255.0));
        }
        // Pixel x of a row shows ramp position (start + x) mod 256: every row is one line of 256 + width
        // pixels, read from its own phase.
        const std::size_t width = static_cast<std::size_t>(p.width);
        std::vector<std::uint8_t> line((256 + width) * bpp);
        for (std::size_t k = 0; k < 256 + width; ++k)
            writePixel(line.data() + k * bpp, bpp, level, static_cast<unsigned>(k & 0xFF));
        const bool bottomUp = bpp >= 3;
        const std::size_t stride = width * bpp;
        for (int row = 0; row < p.height; ++row) {
            const int imageRow = bottomUp ? p.height - 1 - row : row;
            const unsigned start = static_cast<unsigned>(p.originX) + static_cast<unsigned>(p.originY) +
                                   static_cast<unsigned>(imageRow) + frameNumber * 3u;
            std::memcpy(data + static_cast<std::size_t>(row) * stride, line.data() + (start & 0xFF) * bpp,
                        stride);
        }
    }
    const std::size_t bytes = static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * bpp;
    if (bytes >= 4) {
        const std::uint8_t stamp[4] = {
            static_cast<std::uint8_t>(frameNumber), static_cast<std::uint8_t>(frameNumber >> 8),
            static_cast<std::uint8_t>(frameNumber >> 16), static_cast<std::uint8_t>(frameNumber >> 24)};
        std::memcpy(data, stamp, 4);
    }
}

} // namespace qvxsim
