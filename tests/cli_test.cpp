// qvx-imaq run as users run it: JSON that parses, PNG files that are written, clear failures.
#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "tests/support/cli_run.h"

namespace {

#if defined(_WIN32)
// These cases drive the program through a POSIX shell; scripts/windows-check.sh runs qvx-imaq.exe under
// Wine instead and checks its PNG files.
TEST(Cli, RunThroughAShell) {
    GTEST_SKIP() << "qvx-imaq is run by scripts/windows-check.sh on Windows, not through a POSIX shell";
}
#else

using ::testing::HasSubstr;
using ::testing::Not;

using qvxtest::CliRun;

// Standard error joins the output unless `errors` is false (then it is dropped: JSON must stand alone).
CliRun run(const std::string& arguments, bool errors = true) {
    return qvxtest::runCli(arguments, "", errors);
}

std::string testAdaptor() { return std::string("--adaptor '") + QVX_TOOLBOX_TEST_ADAPTOR + "' "; }

// Width and height from a PNG file's header, or {0, 0} when it is no PNG.
std::pair<int, int> pngSize(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    if (!file || header[1] != 'P' || header[2] != 'N' || header[3] != 'G') return {0, 0};
    const auto big = [&](int at) {
        return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
    };
    return {big(16), big(20)};
}

TEST(Cli, HwinfoJsonParsesAndListsTheProductsDevices) {
    const CliRun result = run("hwinfo --json", false);
    ASSERT_EQ(result.status, 0) << result.out;
    const auto document = nlohmann::json::parse(result.out);
    EXPECT_EQ(document["adaptor"], "qvximaq");
    ASSERT_FALSE(document["devices"].empty());
    EXPECT_EQ(document["devices"][0]["id"], 1);
}

TEST(Cli, DescribeJsonGivesTypesConstraintsAndModes) {
    const CliRun result = run(testAdaptor() + "describe 'Test Cam' 'Y800 (8x6)' --json", false);
    ASSERT_EQ(result.status, 0) << result.out;
    const auto properties = nlohmann::json::parse(result.out)["properties"];
    ASSERT_EQ(properties.size(), 10u);
    EXPECT_EQ(properties[1]["name"], "Gain");
    EXPECT_EQ(properties[1]["constraint"], "bounded");
    EXPECT_EQ(properties[1]["max"], 100);
    EXPECT_EQ(properties[4]["default"], "30.00");
    EXPECT_EQ(properties[4]["readOnly"], "whileRunning");
    EXPECT_EQ(properties[4]["values"][2]["text"], " 7.50");
}

TEST(Cli, GrabWritesUprightPngsAndAMontageWithASummary) {
    const auto folder = std::filesystem::temp_directory_path() / ("qvx_cli_grab_" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    const CliRun result = run(testAdaptor() + "grab 3 'RGB32 (8x6)' -n 4 --roi 2,1,4,3 --set Gain=5 -o '" +
                              folder.string() + "' --montage '" + (folder / "sheet.png").string() + "'");
    ASSERT_EQ(result.status, 0) << result.out;
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(pngSize(folder / ("frame_000" + std::to_string(i) + ".png")), std::make_pair(4, 3));
    }
    EXPECT_EQ(pngSize(folder / "sheet.png"), std::make_pair(8, 6));
    EXPECT_THAT(result.out, HasSubstr("Frames: 4 of 4x3"));
    EXPECT_THAT(result.out, HasSubstr("frames per second"));
    EXPECT_THAT(result.out, Not(HasSubstr("Acquiring"))) << "no progress line when the output is no terminal";
    std::filesystem::remove_all(folder);
}

TEST(Cli, SetPrintsTheValueReadBackAndRefusalsFail) {
    CliRun result = run(testAdaptor() + "set 1 'Y800 (8x6)' Mode=Off Exposure=0.5");
    ASSERT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out, HasSubstr("Mode = Off"));
    EXPECT_THAT(result.out, HasSubstr("Exposure = 0.5"));
    result = run(testAdaptor() + "set 1 'Y800 (8x6)' Gain=500");
    EXPECT_NE(result.status, 0);
    EXPECT_THAT(result.out, HasSubstr("Gain takes a whole number from 0 to 100, not \"500\""));
    result = run(testAdaptor() + "get 1 'Y800 (8x6)' SerialNo Faulty");
    EXPECT_NE(result.status, 0);
    EXPECT_THAT(result.out, HasSubstr("SerialNo = 4242"));
    EXPECT_THAT(result.out, HasSubstr("0x80004005"));
}

TEST(Cli, UnknownDevicesFormatsAndAdaptorsAreClearErrors) {
    CliRun result = run(testAdaptor() + "grab 'No Cam' 'Y800 (8x6)'");
    EXPECT_NE(result.status, 0);
    EXPECT_THAT(result.out, HasSubstr("No device \"No Cam\""));
    result = run(testAdaptor() + "describe 1 'Nope'");
    EXPECT_NE(result.status, 0);
    EXPECT_THAT(result.out, HasSubstr("Formats:"));
    result = run(std::string("--adaptor '") + QVX_TOOLBOX_TEST_ADAPTOR_INCOMPLETE + "' hwinfo");
    EXPECT_NE(result.status, 0);
    EXPECT_THAT(result.out, HasSubstr("createInstance"));
}

#endif

} // namespace
