// Bilinear demosaicing of 8-bit Bayer frames into the library's bottom-up B, G, R layouts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvxgenicam {

// The colours of the top-left 2 x 2 cell, read row by row: RG is R G / G B.
enum class BayerPattern { RG, GR, GB, BG };

// `frame` holds width * height samples top-down; `out` gets width * height pixels of `outBpp` (3 or 4)
// bytes, B, G, R (and 0xFF), bottom-up. Edges repeat their nearest samples.
void demosaicBilinear(const std::uint8_t* frame, int width, int height, BayerPattern pattern,
                      std::size_t outBpp, std::uint8_t* out);

} // namespace qvxgenicam
