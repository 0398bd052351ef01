// qvx-imaq writes whole files only: no partial file after an error or a signal, no runs mixed in one folder.
#include <gmock/gmock.h>

#include <cstdint>
#include <string>

#include "cli/output_file.h"
#include "tests/support/cli_run.h"
#include "tests/support/png_decode.h"

namespace qvxtest {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(CliOutputFile, OnlyACommittedFileGetsItsNameAndNoTemporaryFileStays) {
    TempFolder folder("qvx_cli_output_file");
    const std::string path = (folder.path / "a.png").string();
    {
        qvxcli::OutputFile file(path);
        file.write("abc", 3);
        EXPECT_EQ(folder.names().size(), 1u);
        EXPECT_NE(folder.names().front(), "a.png");
    }
    EXPECT_THAT(folder.names(), IsEmpty()) << "an uncommitted file leaves nothing";
    {
        qvxcli::OutputFile file(path);
        file.write("abc", 3);
        file.commit();
    }
    EXPECT_THAT(folder.names(), ElementsAre("a.png"));
    try {
        qvxcli::OutputFile file((folder.path / "no" / "b.png").string());
        ADD_FAILURE() << "a file in a missing folder opened";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), HasSubstr("No such file or directory")) << "the reason is given";
    }
}

#if !defined(_WIN32)

constexpr const char* kSlowCamera =
    R"({"devices": [{"name": "Slow Cam", "descriptors": [{"colorformat": "Y800", "max": [640, 480], "fps": [5]}]}]})";

TEST(CliFiles, FramesArePngsThatReadBackUprightWith16BitSamplesInOrder) {
    TempFolder folder("qvx_cli_y16");
    const CliRun result = runCli("grab 'QVX ROI Cam R-5M' 'Y16 (2448x2048)' -n 1 --roi 0,0,64,32 -o " +
                                 quoted(folder.path.string()));
    ASSERT_EQ(result.status, 0) << result.out;
    const DecodedPng png = decodePngFile((folder.path / "frame_0001.png").string());
    ASSERT_TRUE(png.ok);
    ASSERT_EQ(png.bitDepth, 16);
    ASSERT_EQ(png.width, 64);
    ASSERT_EQ(png.height, 32);
    const auto sample = [&](int x, int y) {
        const std::size_t at = (static_cast<std::size_t>(y) * 64 + static_cast<std::size_t>(x)) * 2;
        return png.pixels[at] | png.pixels[at + 1] << 8;
    };
    // The camera's pattern rises by one level (257 in 16 bits) per step right or down; the first row holds
    // the frame number, so it is left out.
    for (int y = 1; y + 1 < 32; ++y) {
        for (int x = 0; x + 1 < 64; ++x) {
            const int here = sample(x, y) / 257;
            ASSERT_EQ(sample(x, y) % 257, 0);
            ASSERT_EQ(sample(x + 1, y) / 257, (here + 1) % 256) << x << "," << y;
            ASSERT_EQ(sample(x, y + 1) / 257, (here + 1) % 256) << x << "," << y;
        }
    }
}

TEST(CliFiles, AFullDiskLeavesNoPartialFileAndSaysWhy) {
    TempFolder folder("qvx_cli_full");
    // dash counts the limit in 512-byte blocks: 4 KiB, less than one frame's file.
    const CliRun result = runCli(
        "grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' -n 3 -o " + quoted(folder.path.string()), "ulimit -f 8;");
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_THAT(result.out, HasSubstr("cannot write \"" + (folder.path / "frame_0001.png").string() +
                                      "\": File too large"));
    EXPECT_THAT(folder.names(), IsEmpty());
}

TEST(CliFiles, ASignalEndsTheRunWithWholeFilesOnly) {
    TempFolder folder("qvx_cli_signal");
    const std::string cameras = folder.file("slow.json", kSlowCamera);
    const std::string out = (folder.path / "out").string();
    // The shell starts the grab, waits for its second file, then sends SIGTERM and reports the exit status.
    const std::string script =
        "'" + std::string(QVX_CLI_PATH) + "' --cameras " + quoted(cameras) +
        " grab 1 'Y800 (640x480)' -n 50 -o " + quoted(out) + " & pid=$!; i=0; while [ ! -e " +
        quoted(out + "/frame_0002.png") +
        " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; kill -TERM $pid; wait $pid; "
        "echo status=$?";
    const CliRun result = runShell("sh " + quoted(folder.file("grab_and_stop.sh", script)));
    EXPECT_THAT(result.out, AllOf(HasSubstr("status=143"), HasSubstr("stopped by SIGTERM")));
    const std::vector<std::string> names = folder.names("out");
    ASSERT_GE(names.size(), 2u);
    for (const std::string& name : names) {
        EXPECT_EQ(name.rfind("frame_", 0), 0u) << name << " is no whole frame file";
        EXPECT_TRUE(decodePngFile((folder.path / "out" / name).string()).ok) << name;
    }
}

TEST(CliFiles, ASecondRunDoesNotMixWithTheFirstUnlessItReplacesIt) {
    TempFolder folder("qvx_cli_runs");
    const std::string grab = "grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' --roi 0,0,64,32 -o " +
                             quoted(folder.path.string()) + " --montage " +
                             quoted((folder.path / "sheet.png").string());
    ASSERT_EQ(runCli(grab + " -n 3").status, 0);
    ASSERT_THAT(folder.names(),
                ElementsAre("frame_0001.png", "frame_0002.png", "frame_0003.png", "sheet.png"));

    CliRun result = runCli(grab + " -n 2");
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_THAT(result.out, HasSubstr("already exists; give --overwrite")) << "the montage is checked first";
    result = runCli("grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' -n 2 -o " + quoted(folder.path.string()));
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_THAT(result.out,
                HasSubstr("already holds 3 frame files (frame_0001.png, ...) from another run; give "
                          "--overwrite to replace them, or another folder"));
    EXPECT_EQ(folder.names().size(), 4u) << "the first run's files stay as they were";

    result = runCli(grab + " -n 2 --overwrite");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(folder.names(), ElementsAre("frame_0001.png", "frame_0002.png", "sheet.png"));
}

TEST(CliFiles, OnATerminalAProgressLineCountsFramesAndFiles) {
    TempFolder folder("qvx_cli_progress");
    // script gives the program a terminal of its own; "-e" passes the program's exit code on.
    const std::string command = "'" + std::string(QVX_CLI_PATH) +
                                "' grab 2 'Y800 (2448x2048)' -n 3 --roi 0,0,64,32 -o " +
                                quoted(folder.path.string());
    const CliRun result = runShell("script -qec \"" + command + "\" /dev/null");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out,
                AllOf(HasSubstr("\rAcquiring: 3 of 3 frames, "), HasSubstr("frames/s, 3 files written")));
}

TEST(CliFiles, AWriteThatCannotStartFailsBeforeTheAcquisitionWithItsReason) {
    CliRun result = runCli("grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' -n 2 -o /dev/null/frames");
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_THAT(result.out, HasSubstr("cannot create the folder \"/dev/null/frames\": Not a directory"));
    result = runCli("grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' -n 2 --montage /dev/null/m.png");
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_THAT(result.out, HasSubstr("cannot write the montage \"/dev/null/m.png\": Not a directory"));
    EXPECT_THAT(result.out, ::testing::Not(HasSubstr("Frames:")));
}

#endif

} // namespace
} // namespace qvxtest
