// qvx-imaq tells the truth in its exit code: usage errors, failures, and requests the camera did not take.
#include <gmock/gmock.h>

#include <string>

#include "tests/support/cli_run.h"

namespace qvxtest {
namespace {

#if !defined(_WIN32)

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr int kFailure = 1, kUsage = 2, kNotApplied = 3;

// A norm whose name holds ':' is listed, but the adaptor splits "norm:format" at the first ':'.
constexpr const char* kColonCamera =
    R"({"devices": [{"name": "Colon Cam", "norms": [{"name": "PAL:B", "formats": [
  {"colorformat": "Y800", "width": 64, "height": 48, "fps": [30]},
  {"colorformat": "Y800", "width": 32, "height": 24, "fps": [30]}]}]}]})";

constexpr const char* kTwinCameras = R"({"devices": [
 {"name": "Twin", "descriptors": [{"colorformat": "Y800", "max": [64, 48], "fps": [30]}]},
 {"name": "Twin", "descriptors": [{"colorformat": "Y800", "max": [32, 24], "fps": [30]}]},
 {"name": "Single", "descriptors": [{"colorformat": "Y800", "max": [16, 8], "fps": [30]}]},
 {"name": "1", "descriptors": [{"colorformat": "Y800", "max": [16, 8], "fps": [30]}]}]})";

TEST(CliExitCodes, AFormatTheCameraDidNotTakeFailsAndSaysWhatItDelivers) {
    TempFolder folder("qvx_cli_format");
    const std::string cameras = "--cameras " + quoted(folder.file("colon.json", kColonCamera)) + " ";
    const std::string out = quoted((folder.path / "out").string());
    CliRun result = runCli(cameras + "grab 1 'PAL:B:Y800 (32x24)' -n 2 -o " + out);
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    EXPECT_THAT(result.out, AllOf(HasSubstr("the camera did not take the format \"PAL:B:Y800 (32x24)\""),
                                  HasSubstr("failed to set video format"),
                                  HasSubstr("it delivers 64x48 mono 8-bit"), HasSubstr("--keep-going")));
    EXPECT_THAT(folder.names("out"), IsEmpty()) << "nothing written for a failed request";

    result = runCli(cameras + "grab 1 'PAL:B:Y800 (32x24)' -n 2 --keep-going -o " + out);
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out, AllOf(HasSubstr("warning: the camera did not take the format"),
                                  HasSubstr("Frames: 2 of 64x48")));
    EXPECT_EQ(folder.names("out").size(), 2u);

    result = runCli(cameras + "describe 1 'PAL:B:Y800 (32x24)'");
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    EXPECT_THAT(result.out, HasSubstr("the description may be of another format"));
    result = runCli(cameras + "get 1 'PAL:B:Y800 (32x24)' FrameRate");
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    result = runCli(cameras + "get 1 'PAL:B:Y800 (64x48)' FrameRate");
    EXPECT_EQ(result.status, kNotApplied)
        << "the norm was refused even though the size is right: " << result.out;

    // The right size, but 16-bit samples where the name promises 8.
    const std::string deep =
        folder.file("deep.json", R"json({"devices": [{"name": "Deep Cam", "norms": [{"name": "N",
        "formats": [{"colorformat": "Y16", "width": 8, "height": 6, "text": "Y800 (8x6)"}]}]}]})json");
    result = runCli("--cameras " + quoted(deep) + " grab 1 'N:Y800 (8x6)' -n 1");
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    EXPECT_THAT(result.out, HasSubstr("it delivers 8x6 mono 16-bit frames"));

    // Discovery opens the device, the video input cannot.
    const std::string shut =
        folder.file("shut.json", R"({"devices": [{"name": "Shut Cam", "faults": {"openDev": {"from": 2}},
        "descriptors": [{"colorformat": "Y800", "max": [64, 48], "fps": [30]}]}]})");
    result = runCli("--cameras " + quoted(shut) + " grab 1 'Y800 (64x48)' -n 1");
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    EXPECT_THAT(result.out, HasSubstr("it delivers no frames (the adaptor reports no frame size"));
}

TEST(CliExitCodes, ARegionRefusedOrOnlyOnPaperFailsAndAFittedOneIsSaid) {
    TempFolder folder("qvx_cli_region");
    const std::string out = quoted((folder.path / "out").string());
    CliRun result =
        runCli("grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' -n 2 --roi 2400,2000,128,128 -o " + out);
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    EXPECT_THAT(result.out,
                AllOf(HasSubstr("the camera did not take the region 2400,2000,128,128"),
                      HasSubstr("Error at PartialScanOffset Value"), HasSubstr("it delivers 128x128")));
    EXPECT_THAT(folder.names("out"), IsEmpty());

    // The norm camera has no regions of its own: its frames stay whole.
    result = runCli("grab 1 'PAL_B:Y800 (768x576)' -n 1 --roi 0,0,64,64");
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    EXPECT_THAT(result.out, HasSubstr("no regions of interest of its own: frames are whole, 768x576"));
    result = runCli("grab 1 'PAL_B:Y800 (768x576)' -n 1 --roi 0,0,64,64 --keep-going -o " + out);
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out, HasSubstr("Frames: 1 of 768x576"));

    result = runCli("grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' -n 1 --roi 1,1,99,99");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out, AllOf(HasSubstr("Region: 1,1,99,99 asked for; the camera delivers 0,0,96,98"),
                                  HasSubstr("Frames: 1 of 96x98")));
}

TEST(CliExitCodes, ACameraFileThatCannotBeLoadedIsAnErrorWhereverItComesFrom) {
    TempFolder folder("qvx_cli_cameras");
    const std::string empty = folder.file("empty.json");
    const std::string broken = folder.file("broken.json", R"({"devices": [)");
    const std::string missing = (folder.path / "missing.json").string();
    for (const std::string& file : {empty, broken, missing}) {
        for (const bool fromEnvironment : {true, false}) {
            const CliRun result = fromEnvironment ? runCli("hwinfo", "QVX_CAMERAS=" + quoted(file))
                                                  : runCli("--cameras " + quoted(file) + " hwinfo");
            EXPECT_EQ(result.status, kFailure) << file << ": " << result.out;
            EXPECT_THAT(result.out, AllOf(HasSubstr("cannot use the camera file \"" + file + "\""),
                                          Not(HasSubstr("DeviceIDs"))));
        }
    }
    // Every error says where, and no file is read beyond the limit, whatever it is.
    const std::string huge = folder.file("huge.json", R"({"devices": [)" + std::string(1100000, ' ') + "]}");
    const struct {
        std::string file, message;
    } reasons[] = {
        {folder.file("overflow.json", "{\"devices\": [{\"name\": \"A\",\n \"fps\": [30, 1e400]}]}"),
         "camera description: devices[0].fps[1]: not valid JSON at line 2, column 18: number overflow"},
        {broken, "camera description: devices[0]: not valid JSON at line 1, column 13: syntax error"},
        {folder.path.string(), "is a folder, not a camera file"},
        {"/dev/zero", "is larger than a camera file may be (1048576 bytes)"},
        {huge, "is larger than a camera file may be"},
    };
    for (const auto& r : reasons) {
        const CliRun result = runCli("--cameras " + quoted(r.file) + " hwinfo");
        EXPECT_EQ(result.status, kFailure) << r.file << ": " << result.out;
        EXPECT_THAT(result.out, HasSubstr(r.message)) << r.file;
    }
    // An empty QVX_CAMERAS means none: the built-in set.
    EXPECT_EQ(runCli("hwinfo", "QVX_CAMERAS=").status, 0);
}

TEST(CliExitCodes, DevicesThatShareANameAreSaidAndTheOneOpenedIsNamed) {
    TempFolder folder("qvx_cli_twins");
    const std::string cameras = "--cameras " + quoted(folder.file("twins.json", kTwinCameras)) + " ";
    CliRun result = runCli(cameras + "hwinfo");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out,
                HasSubstr("warning: devices 1 and 2 share the name \"Twin\"; the adaptor opens devices by "
                          "name, so the grabber library opens the first of them (device 1)"));
    EXPECT_THAT(result.out, Not(HasSubstr("\"Single\"")));

    result = runCli(cameras + "get 2 'Y800 (64x48)' FrameRate");
    EXPECT_EQ(result.status, kNotApplied) << result.out;
    EXPECT_THAT(result.out,
                HasSubstr("device 2 shares the name \"Twin\" with device 1; the adaptor opens devices by "
                          "name, and the grabber library opens the first of that name, so this command "
                          "would reach device 1 instead"));
    result = runCli(cameras + "get Twin 'Y800 (64x48)' FrameRate");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out, AllOf(HasSubstr("the grabber library opens the first of them, device 1"),
                                  HasSubstr("FrameRate = ")));
    EXPECT_EQ(runCli(cameras + "describe 3 'Y800 (16x8)'").out.find("share"), std::string::npos);
    result = runCli(cameras + "get 1 'Y800 (64x48)' FrameRate");
    EXPECT_THAT(result.out,
                HasSubstr("warning: \"1\" is taken as the id of device 1 \"Twin\"; device 4 named "
                          "\"1\" can be reached by id only"));
}

TEST(CliExitCodes, OutputThatCannotBeWrittenIsAFailure) {
    EXPECT_THAT(
        runShell("'" + std::string(QVX_CLI_PATH) + "' hwinfo 2>&1 > /dev/full; echo status=$?").out,
        AllOf(HasSubstr("cannot write to standard output: No space left on device"), HasSubstr("status=1")));
    // A warning, and the run goes on: but the warning was lost.
    EXPECT_THAT(
        runShell(
            "'" + std::string(QVX_CLI_PATH) +
            "' grab 1 'PAL_B:Y800 (768x576)' -n 1 --roi 0,0,64,64 --keep-going 2> /dev/full; echo status=$?")
            .out,
        HasSubstr("status=1"));
}

TEST(CliExitCodes, NumbersOutOfRangeOrNotFiniteAreUsageErrorsThatNameTheOptionAndItsRange) {
    const std::string grab = "grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' ";
    const struct {
        std::string arguments, message;
    } cases[] = {
        {"--roi 0,0,99999999999,64",
         "--roi's W takes a whole number from 1 to 2147483647, not \"99999999999\""},
        {"--roi 0,0,64", "--roi takes four whole numbers X,Y,W,H, not \"0,0,64\""},
        {"--timeout 0",
         "--timeout (seconds to wait for each frame) takes a number from 0.001 to 86400, not \"0\""},
        {"--timeout nan", "takes a number from 0.001 to 86400, not \"nan\""},
        {"--timeout inf", "not \"inf\""},
        {"-n 0", "-n/--frames takes a whole number from 1 to 1000000, not \"0\""},
        {"-n 1000001", "not \"1000001\""},
        {"-n 12abc", "not \"12abc\""},
        {"--set Gain=nan", "Gain takes a number from 0 to 48, not \"nan\""},
        {"--set Gain=1e400", "not \"1e400\""},
        {"--set Gain", "\"Gain\" is not of the form NAME=VALUE"},
        {"--set Nope=1", "\"Nope\" is not a property of this device"},
    };
    for (const auto& c : cases) {
        const CliRun result = runCli(grab + c.arguments);
        EXPECT_EQ(result.status, kUsage) << c.arguments << ": " << result.out;
        EXPECT_THAT(result.out, HasSubstr(c.message)) << c.arguments;
        EXPECT_THAT(result.out, Not(HasSubstr("e+308"))) << c.arguments;
    }
    for (const char* option :
         {"-o", "--montage", "--roi", "--timeout", "--set", "-n", "--cameras", "--adaptor"}) {
        const CliRun result = runCli(grab + option + " ''");
        EXPECT_EQ(result.status, kUsage) << option << ": " << result.out;
        EXPECT_THAT(result.out, HasSubstr(": an empty value is no value")) << option;
    }
    EXPECT_EQ(runCli("grab --no-such-option 1 2").status, kUsage);
    EXPECT_EQ(runCli("").status, kUsage);
}

#endif

} // namespace
} // namespace qvxtest
