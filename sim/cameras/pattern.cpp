// The delivered picture: a diagonal ramp that moves three levels per frame, through a gain/brightness table.
#include "sim/cameras/pattern.h"

#include <algorithm>
#include <cstring>

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

void renderPicture(std::uint8_t* data, const Picture& p, std::uint32_t frameNumber) {
    const std::size_t bpp = bytesPerPixel(p.colorformat);
    if (p.pattern && p.width > 0 && p.height > 0) {
        std::uint16_t level[256];
        for (int v = 0; v < 256; ++v) {
            const double scaled = v * p.gain + p.brightness;
            level[v] = static_cast<std::uint16_t>(std::clamp(scaled, 0.0, 255.0));
        }
        const bool bottomUp = bpp >= 3;
        const std::size_t stride = static_cast<std::size_t>(p.width) * bpp;
        for (int row = 0; row < p.height; ++row) {
            const int imageRow = bottomUp ? p.height - 1 - row : row;
            const unsigned start = static_cast<unsigned>(p.originX + p.originY + imageRow) + frameNumber * 3u;
            std::uint8_t* out = data + static_cast<std::size_t>(row) * stride;
            switch (bpp) {
            case 1:
                for (int x = 0; x < p.width; ++x)
                    out[x] = static_cast<std::uint8_t>(level[(start + x) & 0xFF]);
                break;
            case 2:
                for (int x = 0; x < p.width; ++x) {
                    const unsigned v = level[(start + x) & 0xFF] * 257u;
                    out[2 * x] = static_cast<std::uint8_t>(v & 0xFF);
                    out[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                }
                break;
            default:
                for (int x = 0; x < p.width; ++x) {
                    const unsigned v = start + static_cast<unsigned>(x);
                    std::uint8_t* px = out + static_cast<std::size_t>(x) * bpp;
                    px[0] = static_cast<std::uint8_t>(level[v & 0xFF]);
                    px[1] = static_cast<std::uint8_t>(level[(v + 85) & 0xFF]);
                    px[2] = static_cast<std::uint8_t>(level[(v + 170) & 0xFF]);
                    if (bpp == 4) px[3] = 0xFF;
                }
                break;
            }
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
