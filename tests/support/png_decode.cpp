// PNG decoding through stb_image, for the tests and the fuzz targets.
#include "tests/support/png_decode.h"

#include <cstring>
#include <fstream>
#include <iterator>

// Found as a system header (see tests/CMakeLists.txt): its own warnings are not ours.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>

namespace qvxtest {

DecodedPng decodePng(const std::vector<std::uint8_t>& bytes) {
    DecodedPng image;
    const auto* data = bytes.data();
    const int size = static_cast<int>(bytes.size());
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &width, &height, &channels)) return image;
    const bool wide = stbi_is_16_bit_from_memory(data, size) != 0;
    void* pixels =
        wide ? static_cast<void*>(stbi_load_16_from_memory(data, size, &width, &height, &channels, 0))
             : static_cast<void*>(stbi_load_from_memory(data, size, &width, &height, &channels, 0));
    if (pixels == nullptr) return image;
    image.ok = true;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.bitDepth = wide ? 16 : 8;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                              static_cast<std::size_t>(channels) * (wide ? 2u : 1u);
    image.pixels.resize(count);
    if (wide) {
        // stb hands back samples in the machine's order; ours are little-endian, as are the machines here.
        const auto* samples = static_cast<const std::uint16_t*>(pixels);
        for (std::size_t i = 0; i < count / 2; ++i) {
            image.pixels[2 * i] = static_cast<std::uint8_t>(samples[i] & 0xFFu);
            image.pixels[2 * i + 1] = static_cast<std::uint8_t>(samples[i] >> 8);
        }
    } else {
        std::memcpy(image.pixels.data(), pixels, count);
    }
    stbi_image_free(pixels);
    return image;
}

DecodedPng decodePngFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    return decodePng(bytes);
}

} // namespace qvxtest
