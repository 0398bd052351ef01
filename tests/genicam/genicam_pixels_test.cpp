// Camera pixel formats into the library's layouts: colour order, orientation and each Bayer pattern.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "genicam/pixels.h"
#include "grabber/sink.h"

namespace qvxgenicam {
namespace {

TEST(GenicamPixels, ColourArrivesAsBgrBottomUpFromRgbAndBgrCameras) {
    // Two rows of one pixel: red on top, blue below.
    const std::vector<std::uint8_t> rgb = {200, 0, 0, 0, 0, 100};
    const std::vector<std::uint8_t> bgr = {0, 0, 200, 100, 0, 0};
    for (const auto& [format, frame] : {std::pair{"RGB8", rgb}, std::pair{"BGR8", bgr}}) {
        std::vector<std::uint8_t> out(6);
        ASSERT_TRUE(convertFrame(format, frame.data(), frame.size(), 1, 2, KapriLib::eRGB24, out.data(), 6));
        // The bottom row comes first: blue, then red, each as B, G, R.
        EXPECT_EQ(out, (std::vector<std::uint8_t>{100, 0, 0, 0, 0, 200})) << format;
    }
    std::vector<std::uint8_t> small(5);
    EXPECT_FALSE(convertFrame("RGB8", rgb.data(), rgb.size(), 1, 2, KapriLib::eRGB24, small.data(), 5));
    EXPECT_FALSE(convertFrame("RGB8", rgb.data(), 5, 1, 2, KapriLib::eRGB24, small.data(), 6));
    EXPECT_EQ(colorformatOfPixelFormat("Mono12p"), nullptr);
}

// A flat colour seen through each pattern demosaics to that colour everywhere, edges included.
TEST(GenicamPixels, EachBayerPatternDemosaicsAFlatColourToItself) {
    const std::uint8_t red = 200, green = 120, blue = 40;
    struct Case {
        const char* format;
        std::uint8_t cell[4]; // the top-left 2 x 2 cell, row by row
    };
    const Case cases[] = {{"BayerRG8", {red, green, green, blue}},
                          {"BayerGR8", {green, red, blue, green}},
                          {"BayerGB8", {green, blue, red, green}},
                          {"BayerBG8", {blue, green, green, red}}};
    const int w = 6, h = 4;
    for (const Case& c : cases) {
        std::vector<std::uint8_t> mosaic(w * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) mosaic[y * w + x] = c.cell[(y & 1) * 2 + (x & 1)];
        std::vector<std::uint8_t> out(w * h * 4);
        ASSERT_TRUE(convertFrame(c.format, mosaic.data(), mosaic.size(), w, h, KapriLib::eRGB32, out.data(),
                                 out.size()));
        for (int i = 0; i < w * h; ++i) {
            EXPECT_EQ(out[i * 4 + 0], blue) << c.format << " pixel " << i;
            EXPECT_EQ(out[i * 4 + 1], green) << c.format << " pixel " << i;
            EXPECT_EQ(out[i * 4 + 2], red) << c.format << " pixel " << i;
        }
    }
}

} // namespace
} // namespace qvxgenicam
