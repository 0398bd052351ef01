// Camera files no camera could have: each refused with the field it names, by the loader and the command
// line.
#include <gmock/gmock.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

#include "grabber/refcount.h"
#include "tests/sim_cameras_support.h"
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

namespace simtest {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Hostile {
    const char* file;  // in fuzz/corpus/camera, where it also seeds the fuzzer
    const char* field; // the path the message must name
    const char* why;
};

const Hostile kHostile[] = {
    {"hostile_huge_picture.json", "devices[0].norms[0].formats[0].width", "out of range"},
    {"hostile_huge_rgb32.json", "devices[0].descriptors[0].max", "at most 16384"},
    {"hostile_too_many_pixels.json", "devices[0].descriptors[0].max", "at most 67108864 pixels"},
    {"hostile_ring_too_big.json", "devices[0].buffers", "exceed"},
    {"hostile_map_strings_overflow.json", "devices[0].vcd[0].elements[0].mapStrings.strings",
     "too many texts"},
    {"hostile_sensor_near_2g.json", "devices[0].sensor", "at most 16384"},
    {"hostile_sensor_smaller.json", "devices[0].sensor", "smaller than the largest picture, 64x64"},
    {"hostile_descriptor_min_over_max.json", "devices[0].descriptors[0].min", "greater than max"},
    {"hostile_step_2g.json", "devices[0].descriptors[0].step", "from 0 to max"},
    {"hostile_unknown_colorformat.json", "devices[0].norms[0].formats[0].colorformat",
     "unknown colour format"},
    {"hostile_empty_colorformat.json", "devices[0].descriptors[0].colorformat", "unknown colour format \"\""},
    {"hostile_nul_in_name.json", "devices[0].name", "NUL"},
    {"hostile_duplicate_key.json", "devices[0].descriptors[0].max", "duplicate key"},
};

std::string corpusFile(const char* name) {
    return std::string(QVX_SOURCE_DIR) + "/fuzz/corpus/camera/" + name;
}

class HostileCameraFiles : public SimCameras {};

TEST_F(HostileCameraFiles, EachIsRefusedWithTheFieldItNamesAndTheCamerasBeforeStay) {
    qvxsim::loadCameras(
        R"({"devices": [{"name": "Kept", "descriptors": [{"colorformat": "Y800", "max": [8, 8]}]}]})");
    for (const Hostile& hostile : kHostile) {
        SCOPED_TRACE(hostile.file);
        try {
            qvxsim::loadCamerasFromFile(corpusFile(hostile.file));
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& error) {
            EXPECT_THAT(error.what(), HasSubstr(std::string(hostile.field) + ": "));
            EXPECT_THAT(error.what(), HasSubstr(hostile.why));
        }
    }
    KapriLib::Grabber grabber;
    EXPECT_TRUE(grabber.openDev("Kept"));
    grabber.closeDev();
}

TEST_F(HostileCameraFiles, LimitsThemselvesAreAccepted) {
    // The largest side, the most pixels, a full ring of them and a map of texts ending at the top value.
    EXPECT_NO_THROW(qvxsim::loadCameras(R"({"devices": [
        {"name": "Line", "buffers": 4, "descriptors": [{"colorformat": "RGB32", "max": [16384, 4096]}]},
        {"name": "Map", "vcd": [{"name": "Mode", "elements": [{"name": "V",
            "mapStrings": {"min": 2147483646, "strings": ["a", "b"]}}]}]}]})"));
    EXPECT_THROW(qvxsim::loadCameras(R"({"devices": [
        {"name": "Line", "buffers": 5, "descriptors": [{"colorformat": "RGB32", "max": [16384, 4096]}]}]})"),
                 std::invalid_argument);
    // The same key in two different objects is no duplicate.
    EXPECT_NO_THROW(qvxsim::loadCameras(R"({"devices": [{"name": "A"}, {"name": "B"}]})"));
}

TEST_F(HostileCameraFiles, AlmostZeroFramesPerSecondStartsAndStopsWithoutAFrame) {
    qvxsim::loadCamerasFromFile(corpusFile("hostile_fps_1e-300.json"));
    KapriLib::Grabber grabber;
    ASSERT_TRUE(grabber.openDev("Slow"));
    KapriLib::tCreateData data;
    data.bufferCount = 2;
    const KapriLib::smart_ptr<KapriLib::FrameHandlerSink> sink = KapriLib::FrameHandlerSink::create(data);
    const KapriLib::smart_ptr<KapriLib::GrabberSinkType> wrapper(
        new KapriLib::refcount_ptr_wrapper<KapriLib::GrabberSinkType, KapriLib::FrameHandlerSink>(
            sink.holder()));
    ASSERT_TRUE(grabber.setSinkType(wrapper));
    sink->setSnapMode(false);
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(grabber.startLive(false));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(grabber.stopLive());
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(20));
    EXPECT_EQ(qvxsim::counters().deliveredFrames, 0);
    grabber.closeDev();
}

#if !defined(_WIN32)
TEST_F(HostileCameraFiles, TheCommandLineRefusesEachWithAClearErrorAndANonZeroExit) {
    for (const Hostile& hostile : kHostile) {
        SCOPED_TRACE(hostile.file);
        const std::string command =
            std::string("'") + QVX_CLI_PATH + "' --cameras '" + corpusFile(hostile.file) + "' hwinfo 2>&1";
        std::string out;
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::array<char, 4096> chunk{};
        std::size_t got = 0;
        while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) out.append(chunk.data(), got);
        const int status = pclose(pipe);
        ASSERT_TRUE(WIFEXITED(status)) << out; // no abort, no signal
        EXPECT_NE(WEXITSTATUS(status), 0) << out;
        EXPECT_THAT(out, HasSubstr(hostile.field));
        EXPECT_THAT(out, Not(HasSubstr("Sanitizer")));
        EXPECT_THAT(out, Not(HasSubstr("runtime error")));
    }
}
#endif

} // namespace
} // namespace simtest
