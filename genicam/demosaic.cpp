// Bilinear demosaicing: each missing colour is the mean of its nearest samples of that colour.
#include "genicam/demosaic.h"

namespace qvxgenicam {
namespace {

// 0 red, 1 green, 2 blue at (x, y) of a pattern.
int colourAt(BayerPattern pattern, int x, int y) {
    static const int kCells[4][4] = {{0, 1, 1, 2}, {1, 0, 2, 1}, {1, 2, 0, 1}, {2, 1, 1, 0}};
    return kCells[static_cast<int>(pattern)][(y & 1) * 2 + (x & 1)];
}

} // namespace

void demosaicBilinear(const std::uint8_t* frame, int width, int height, BayerPattern pattern,
                      std::size_t outBpp, std::uint8_t* out) {
    const auto sample = [&](int x, int y) {
        // Reflected by two, so that a neighbour outside keeps the colour of the one it stands for.
        if (x < 0) x += 2;
        if (y < 0) y += 2;
        if (x >= width) x -= 2;
        if (y >= height) y -= 2;
        if (x < 0 || y < 0) return -1; // a picture of one row or column has no such neighbour
        return static_cast<int>(frame[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                      static_cast<std::size_t>(x)]);
    };
    for (int y = 0; y < height; ++y) {
        std::uint8_t* px =
            out + static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) * outBpp;
        for (int x = 0; x < width; ++x, px += outBpp) {
            int sum[3] = {0, 0, 0};
            int n[3] = {0, 0, 0};
            const int own = colourAt(pattern, x, y);
            sum[own] = sample(x, y);
            n[own] = 1;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    if (dx == 0 && dy == 0) continue;
                    const int c = colourAt(pattern, x + dx, y + dy);
                    if (c == own) continue; // own colour: the sample itself is exact
                    const int v = sample(x + dx, y + dy);
                    if (v < 0) continue;
                    sum[c] += v;
                    ++n[c];
                }
            for (int c = 0; c < 3; ++c)
                if (n[c] == 0) sum[c] = sum[own], n[c] = 1; // too small a picture: grey from its own sample
            px[0] = static_cast<std::uint8_t>((sum[2] + n[2] / 2) / n[2]);
            px[1] = static_cast<std::uint8_t>((sum[1] + n[1] / 2) / n[1]);
            px[2] = static_cast<std::uint8_t>((sum[0] + n[0] / 2) / n[0]);
            if (outBpp == 4) px[3] = 0xFF;
        }
    }
}

} // namespace qvxgenicam
