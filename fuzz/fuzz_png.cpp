// Fuzz target: PNG files and contact sheets of odd sizes and forms, read back with a decoder not ours.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "cli/montage.h"
#include "cli/png_writer.h"
#include "tests/support/png_decode.h"

namespace {

constexpr std::size_t kMaxPixels = std::size_t{1} << 14; // keeps each run fast; sides still reach 65535

void check(bool condition) {
    if (!condition) std::abort();
}

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    std::uint32_t take(int bytes) {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) value = value << 8 | (at < size ? data[at++] : 0u);
        return value;
    }
};

// An image whose form and size come from the input, its pixels from the rest of the input repeated.
qvxcli::Image makeImage(Reader& in) {
    static const int kForms[][2] = {{1, 8}, {1, 16}, {3, 8}};
    const auto* form = kForms[in.take(1) % 3];
    qvxcli::Image image;
    image.channels = form[0];
    image.bitDepth = form[1];
    image.width = static_cast<int>(in.take(2) % 65535) + 1;
    const std::size_t tallest = std::max<std::size_t>(1, kMaxPixels / static_cast<std::size_t>(image.width));
    image.height = static_cast<int>(in.take(2) % tallest) + 1;
    image.pixels.resize(image.rowBytes() * static_cast<std::size_t>(image.height));
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] =
            in.size > 0 ? static_cast<std::uint8_t>(in.data[(i * 7 + in.at) % in.size] + i / 977) : 0;
    return image;
}

void roundTrip(const qvxcli::Image& image) {
    std::vector<std::uint8_t> bytes;
    qvxcli::encodePng(image, [&](const std::uint8_t* data, std::size_t size) {
        bytes.insert(bytes.end(), data, data + size);
    });
    const qvxtest::DecodedPng decoded = qvxtest::decodePng(bytes);
    check(decoded.ok);
    check(decoded.width == image.width && decoded.height == image.height);
    check(decoded.channels == image.channels && decoded.bitDepth == image.bitDepth);
    check(decoded.pixels == image.pixels);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    const qvxcli::Image first = makeImage(in);
    roundTrip(first);

    // A sheet for a count and side limit from the input, fed frames of mixed sizes (and now and then of
    // another form, which it must refuse without harm).
    const std::size_t count = in.take(2) % 300 + 1;
    const int maxSide = static_cast<int>(in.take(2) % 256) + 1;
    if (count / static_cast<std::size_t>(maxSide) > static_cast<std::size_t>(maxSide)) {
        // More cells than the side limit can hold at one pixel each: refused up front.
        bool refused = false;
        try {
            qvxcli::ContactSheet tooMany(count, maxSide);
        } catch (const std::invalid_argument&) {
            refused = true;
        }
        check(refused);
        return 0;
    }
    qvxcli::ContactSheet sheet(count, maxSide);
    sheet.add(first);
    const std::size_t more = std::min<std::size_t>(count - 1, in.take(1) % 8);
    for (std::size_t i = 0; i < more; ++i) {
        const qvxcli::Image next = in.take(1) % 4 == 0 ? makeImage(in) : first;
        try {
            sheet.add(next);
        } catch (const std::invalid_argument&) {
            check(next.channels != first.channels || next.bitDepth != first.bitDepth);
        }
    }
    const qvxcli::Image& result = sheet.sheet();
    const std::size_t columns =
        static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(count)) - 1e-9));
    // Within the side limit unless one pixel per cell is already more.
    if (columns <= static_cast<std::size_t>(maxSide))
        check(result.width <= maxSide && result.height <= maxSide);
    roundTrip(result);
    return 0;
}
