// Reading PNG files back with a decoder that is not ours, to check what the command line writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qvxtest {

struct DecodedPng {
    bool ok = false;
    int width = 0;
    int height = 0;
    int channels = 0;
    int bitDepth = 0;
    std::vector<std::uint8_t> pixels; // rows top-down, 16-bit samples little-endian
};

DecodedPng decodePng(const std::vector<std::uint8_t>& bytes);
DecodedPng decodePngFile(const std::string& path);

} // namespace qvxtest
