// The command line's parts: checked numbers, PNG files a foreign decoder reads back, contact sheets, frame
// names, and the frame stream that keeps few frames waiting.
#include <gmock/gmock.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <random>
#include <thread>

#include "cli/exit_codes.h"
#include "cli/frame_folder.h"
#include "cli/frame_stream.h"
#include "cli/frame_timing.h"
#include "cli/montage.h"
#include "cli/numbers.h"
#include "cli/png_writer.h"
#include "cli/region_text.h"
#include "tests/support/instance_fixture.h"
#include "tests/support/png_decode.h"

namespace qvxtest {
namespace {

using qvxcli::Image;
using ::testing::HasSubstr;

std::string usageMessage(const std::function<void()>& call) {
    try {
        call();
    } catch (const qvxcli::UsageError& error) {
        return error.what();
    }
    return "(no usage error)";
}

TEST(CliNumbers, WholeNumbersAreCheckedWithoutOverflowAndNamedWithTheirRange) {
    EXPECT_EQ(qvxcli::parseInteger("-n", "1000000", 1, 1000000), 1000000);
    EXPECT_EQ(qvxcli::parseInteger("-n", "+7", 1, 10), 7);
    EXPECT_EQ(qvxcli::parseInteger("x", "-9223372036854775808", std::numeric_limits<std::int64_t>::min(), 0),
              std::numeric_limits<std::int64_t>::min());
    for (const char* bad :
         {"", "0", "1000001", "99999999999999999999", "1.5", "1e3", " 5", "5 ", "0x10", "+-3", "+", "ten"}) {
        EXPECT_EQ(usageMessage([&] { qvxcli::parseInteger("-n", bad, 1, 1000000); }),
                  std::string("-n takes a whole number from 1 to 1000000, not \"") + bad + "\"")
            << bad;
    }
}

TEST(CliNumbers, NumbersMustBeFiniteAndWithinTheirRange) {
    EXPECT_DOUBLE_EQ(qvxcli::parseNumber("--timeout", "0.5", 0.001, 86400), 0.5);
    EXPECT_DOUBLE_EQ(qvxcli::parseNumber("--timeout", "86400", 0.001, 86400), 86400);
    for (const char* bad :
         {"0", "nan", "NaN", "inf", "-inf", "1e999", "1e-400", "0x1p3", " 1", "1s", "", "86400.5"}) {
        EXPECT_EQ(usageMessage([&] { qvxcli::parseNumber("--timeout", bad, 0.001, 86400); }),
                  std::string("--timeout takes a number from 0.001 to 86400, not \"") + bad + "\"")
            << bad;
    }
    EXPECT_THAT(usageMessage([] {
                    qvxcli::parseNumber("Exposure", "nan", std::numeric_limits<double>::lowest(),
                                        std::numeric_limits<double>::max());
                }),
                HasSubstr("Exposure takes a finite number"));
}

TEST(CliNumbers, RegionsTakeFourWholeNumbersWithinAnInt) {
    EXPECT_EQ(qvxcli::parseRegion("0,0,2147483647,1"), (std::array<int, 4>{0, 0, 2147483647, 1}));
    EXPECT_EQ(qvxcli::regionText({1, 2, 3, 4}), "1,2,3,4");
    EXPECT_THAT(usageMessage([] { qvxcli::parseRegion("0,0,99999999999,64"); }),
                HasSubstr("--roi's W takes a whole number from 1 to 2147483647, not \"99999999999\""));
    EXPECT_THAT(usageMessage([] { qvxcli::parseRegion("-1,0,8,8"); }), HasSubstr("--roi's X takes"));
    EXPECT_THAT(usageMessage([] { qvxcli::parseRegion("0,0,8,0"); }), HasSubstr("--roi's H takes"));
    EXPECT_THAT(usageMessage([] { qvxcli::parseRegion("1,2,,4"); }), HasSubstr("--roi's W takes"));
    for (const char* bad : {"1,2,3", "1,2,3,4,5", "", "1;2;3;4"})
        EXPECT_THAT(usageMessage([&] { qvxcli::parseRegion(bad); }), HasSubstr("--roi takes")) << bad;
}

Image randomImage(int width, int height, int channels, int bitDepth, unsigned seed) {
    Image image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.bitDepth = bitDepth;
    image.pixels.resize(image.rowBytes() * static_cast<std::size_t>(height));
    std::mt19937 random(seed);
    for (auto& byte : image.pixels) byte = static_cast<std::uint8_t>(random());
    return image;
}

std::vector<std::uint8_t> encoded(const Image& image) {
    std::vector<std::uint8_t> bytes;
    qvxcli::encodePng(image, [&](const std::uint8_t* data, std::size_t size) {
        bytes.insert(bytes.end(), data, data + size);
    });
    return bytes;
}

TEST(CliPng, EveryFormAndOddSizeReadsBackPixelForPixel) {
    for (const auto& [channels, bitDepth] : {std::pair{1, 8}, std::pair{1, 16}, std::pair{3, 8}}) {
        for (const auto& [width, height] :
             {std::pair{1, 1}, std::pair{3, 5}, std::pair{17, 2}, std::pair{1, 301}, std::pair{4099, 3}}) {
            const Image image =
                randomImage(width, height, channels, bitDepth, static_cast<unsigned>(width * height));
            const DecodedPng decoded = decodePng(encoded(image));
            ASSERT_TRUE(decoded.ok) << width << "x" << height << " " << channels << "x" << bitDepth;
            EXPECT_EQ(decoded.width, width);
            EXPECT_EQ(decoded.height, height);
            EXPECT_EQ(decoded.channels, channels);
            EXPECT_EQ(decoded.bitDepth, bitDepth);
            EXPECT_TRUE(decoded.pixels == image.pixels)
                << width << "x" << height << " " << channels << "x" << bitDepth;
        }
    }
}

TEST(CliPng, ImagesWithoutPixelsOrOfAnotherFormAreRefusedBeforeAnyByte) {
    Image empty;
    Image shortOfPixels = randomImage(8, 8, 1, 8, 1);
    shortOfPixels.pixels.pop_back();
    Image fourChannels = randomImage(2, 2, 1, 8, 1);
    fourChannels.channels = 4;
    for (const Image* image : {&empty, &shortOfPixels, &fourChannels}) {
        std::size_t written = 0;
        EXPECT_THROW(
            qvxcli::encodePng(*image, [&](const std::uint8_t*, std::size_t size) { written += size; }),
            std::invalid_argument);
        EXPECT_EQ(written, 0u);
    }
}

TEST(CliContactSheet, CellsAreDownscaledSoTheSheetStaysBoundedWhateverTheCount) {
    const Image frame = randomImage(2448, 2048, 1, 8, 3);
    qvxcli::ContactSheet many(1000);
    for (int i = 0; i < 3; ++i) many.add(frame);
    // 32 columns and rows of cells a twentieth of the frame.
    EXPECT_EQ(many.sheet().width, 32 * 122);
    EXPECT_EQ(many.sheet().height, 32 * 102);

    qvxcli::ContactSheet few(5);
    const Image small = randomImage(5, 3, 3, 8, 4);
    for (int i = 0; i < 5; ++i) few.add(small);
    ASSERT_EQ(few.sheet().width, 15);
    ASSERT_EQ(few.sheet().height, 6);
    // Full-size cells: the fifth frame's rows stand unchanged in the second row's middle cell.
    for (int y = 0; y < 3; ++y) {
        const auto* row =
            few.sheet().pixels.data() + static_cast<std::size_t>(3 + y) * few.sheet().rowBytes() + 5 * 3;
        EXPECT_TRUE(std::equal(row, row + 15, small.pixels.begin() + y * 15));
    }
    EXPECT_THROW(few.add(small), std::invalid_argument);

    qvxcli::ContactSheet mixed(2);
    mixed.add(small);
    EXPECT_THROW(mixed.add(frame), std::invalid_argument);
    mixed.add(randomImage(1, 1, 3, 8, 5)); // another size is scaled into its cell
    EXPECT_THROW(qvxcli::ContactSheet(0), std::invalid_argument);
}

TEST(CliFrameNames, NamesSortInFrameOrderAndOnlyOursAreRecognised) {
    EXPECT_EQ(qvxcli::frameFileName(1, 10), "frame_0001.png");
    EXPECT_EQ(qvxcli::frameFileName(10000, 10000), "frame_10000.png");
    EXPECT_EQ(qvxcli::frameFileName(7, 1000000), "frame_0000007.png");
    EXPECT_TRUE(qvxcli::isFrameFileName("frame_0001.png"));
    EXPECT_TRUE(qvxcli::isFrameFileName(".frame_0001.png.part-123"));
    EXPECT_TRUE(qvxcli::isFrameFileName(".frame_0001.png.part-0123456789abcdef"));
    // Only names a run writes: four to seven digits (-n is at most 1,000,000), numbered from 1.
    for (const char* other : {"frame_.png", "frame_12a.png", "montage.png", "frame_0001.png.bak",
                              "frame_1.png", "frame_0000.png", "frame_12345678.png", ".frame_0001.png.part-",
                              "my_frame_0001.png", ".frame_1.png.part-12", ".frame_0001.png.part-12G"})
        EXPECT_FALSE(qvxcli::isFrameFileName(other)) << other;
}

TEST(CliFrameTiming, TheOverallRateCountsThePausesThatTheStretchesLeaveOut) {
    // Two stretches of three frames 10 ms apart, with a pause between them: six frames in a second.
    qvxcli::FrameTiming timing;
    for (int stretch = 0; stretch < 2; ++stretch) {
        for (int i = 0; i < 3; ++i) timing.add(0.01 * i, stretch, stretch * 0.98 + 0.01 * i);
    }
    EXPECT_NEAR(timing.stretchRate(), 100, 1e-6);
    EXPECT_NEAR(timing.overallRate(), 5, 1e-6);
    EXPECT_THAT(timing.summary(),
                HasSubstr("Achieved: 5.00 frames per second over the whole run, pauses included "
                          "(100.00 within the 2 stretches between them)"));
}

class CliFrameStream : public InstanceFixture {};

TEST_F(CliFrameStream, ACameraFasterThanTheWriterPausesInsteadOfFillingMemoryAndEveryFrameArrivesInOrder) {
    loadCameras(R"({"name": "Quick Cam", "fps": [500],
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 64, "height": 48}]}]})");
    qvxtb::VideoInput& video = open("Quick Cam", "PAL_B:Y800 (64x48)");
    long seen = 0;
    int lastPart = 0;
    std::uint32_t lastNumber = 0;
    qvxcli::StreamLimits limits;
    limits.waitingBytes = 1; // only the minimum may wait
    limits.minFrames = 2;
    const qvxcli::StreamResult result = qvxcli::streamFrames(
        video, 40, 10,
        [&](const qvxtb::Frame& frame, int part) {
            EXPECT_EQ(frame.width, 64);
            const std::uint32_t number = qvxsim::stampedFrameNumber(frame.data.data());
            // Frame numbers restart with each part of the acquisition and rise within it.
            if (seen > 0 && part == lastPart) {
                EXPECT_GT(number, lastNumber);
            }
            EXPECT_GE(part, lastPart);
            lastPart = part;
            lastNumber = number;
            ++seen;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        },
        limits);
    EXPECT_EQ(result.frames, 40);
    EXPECT_EQ(seen, 40);
    EXPECT_GT(result.pauses, 0);
    EXPECT_EQ(result.pauses, lastPart);
    EXPECT_FALSE(video.isRunning());
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
}

TEST_F(CliFrameStream, AnErrorWhileUsingAFrameStopsTheAcquisition) {
    loadCameras(R"({"name": "Fast Cam", "fast": true,
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 8, "height": 6}]}]})");
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (8x6)");
    EXPECT_THROW(qvxcli::streamFrames(
                     video, 100, 10, [](const qvxtb::Frame&, int) { throw std::runtime_error("disk full"); }),
                 std::runtime_error);
    EXPECT_FALSE(video.isRunning());
}

} // namespace
} // namespace qvxtest
