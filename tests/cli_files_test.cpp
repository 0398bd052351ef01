// qvx-imaq writes whole files only: no partial file after an error or a signal, no runs mixed in one folder.
#include <gmock/gmock.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "cli/output_file.h"
#include "sim/cameras/sim_api.h"
#include "tests/support/cli_run.h"
#include "tests/support/png_decode.h"

namespace qvxtest {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

TEST(CliOutputFile, OnlyACommittedFileGetsItsNameAndNoTemporaryFileStays) {
    TempFolder folder("qvx_cli_output_file");
    const qvxcli::Folder at(folder.path.string());
    {
        qvxcli::OutputFile file(at, "a.png");
        file.write("abc", 3);
        EXPECT_EQ(folder.names().size(), 1u);
        EXPECT_NE(folder.names().front(), "a.png");
    }
    EXPECT_THAT(folder.names(), IsEmpty()) << "an uncommitted file leaves nothing";
    {
        qvxcli::OutputFile file(at, "a.png");
        file.write("abc", 3);
        file.commit();
    }
    EXPECT_THAT(folder.names(), ElementsAre("a.png"));
    try {
        const qvxcli::Folder missing((folder.path / "no").string());
        qvxcli::OutputFile file(missing, "b.png");
        ADD_FAILURE() << "a file in a missing folder opened";
    } catch (const std::runtime_error& error) {
        // The system's own words: the C library's on POSIX, Windows' message for its error code there.
#if defined(_WIN32)
        EXPECT_THAT(error.what(), HasSubstr(std::system_category().message(3 /* ERROR_PATH_NOT_FOUND */)))
            << "the reason is given";
#else
        EXPECT_THAT(error.what(), HasSubstr("No such file or directory")) << "the reason is given";
#endif
    }
}

#if !defined(_WIN32)

constexpr const char* kSlowCamera =
    R"({"devices": [{"name": "Slow Cam", "descriptors": [{"colorformat": "Y800", "max": [640, 480], "fps": [5]}]}]})";

TEST(CliFiles, TheIntervalKeepsEveryNthFrameTheCameraDeliversFromTheFirst) {
    TempFolder folder("qvx_cli_interval");
    const CliRun result = runCli("grab 'QVX Fast Cam F-5M' 'Y800 (2448x2048)' -n 3 --interval 3 -o " +
                                 quoted(folder.path.string()));
    ASSERT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out, HasSubstr("Frames: 3 of"));
    for (std::uint32_t i = 0; i < 3; ++i) {
        const DecodedPng png =
            decodePngFile((folder.path / ("frame_000" + std::to_string(i + 1) + ".png")).string());
        ASSERT_TRUE(png.ok);
        ASSERT_GE(png.pixels.size(), 4u);
        // The camera stamps its own frame number into the first pixels; each restart counts from 0.
        EXPECT_EQ(qvxsim::stampedFrameNumber(png.pixels.data()), 3 * i) << "frame " << i + 1;
    }
    EXPECT_EQ(runCli("grab 1 'X' --interval 0").status, 2);
}

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

// The mode bits of a file, or -1 when it cannot be read.
int modeOf(const std::filesystem::path& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
}

std::string contentOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(CliFiles, NoLinkPlacedInTheFolderRedirectsAWriteAndFilesKeepTheUmasksPermissions) {
    TempFolder folder("qvx_cli_links");
    const std::string victim = folder.file("victim.txt", "precious");
    // A symbolic link, then a hard link, to a file outside the folder, placed under the temporary name of the
    // montage that a guessable scheme would use: exec keeps the shell's process id.
    const std::string script = "plant() { sh -c 'ln \"$0\" \"$1\" \"$2.sheet.png.part-$$\"; shift 2; umask "
                               "027; exec \"$@\"' \"$@\"; }\n"
                               "for kind in -s -P; do out=" +
                               quoted(folder.path.string()) + "/out$kind; mkdir \"$out\"; plant $kind " +
                               quoted(victim) + " \"$out/\" '" + QVX_CLI_PATH +
                               "' grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' --roi 0,0,64,32 -n 2 -o "
                               "\"$out\" --montage \"$out/sheet.png\";"
                               " echo status=$?; done\n";
    const CliRun result = runShell("sh " + quoted(folder.file("plant.sh", script)));
    EXPECT_THAT(result.out, Not(HasSubstr("status=1")));
    EXPECT_EQ(contentOf(victim), "precious");
    for (const char* out : {"out-s", "out-P"}) {
        EXPECT_TRUE(decodePngFile((folder.path / out / "sheet.png").string()).ok) << out;
        EXPECT_EQ(modeOf(folder.path / out / "frame_0002.png"), 0640) << out;
        EXPECT_EQ(modeOf(folder.path / out / "sheet.png"), 0640) << out;
    }
}

TEST(CliFiles, OneRunPerFolderAndTheMontageNeverTakesAFramesName) {
    TempFolder folder("qvx_cli_one_run");
    const std::string cameras = folder.file("slow.json", kSlowCamera);
    const std::string out = (folder.path / "out").string();
    CliRun result =
        runCli("--cameras " + quoted(cameras) + " grab 1 'Y800 (640x480)' -n 1 -o " +
               quoted(folder.path.string() + "/./out/") + " --montage " + quoted(out + "/frame_0001.png"));
    EXPECT_EQ(result.status, 2) << result.out;
    EXPECT_THAT(result.out, HasSubstr("is named like a frame file of -o"));

    // A slow first run holds the folder while a second run, with --overwrite or without, asks for it. It
    // lasts six seconds, so that it is still running when the later runs start under a sanitizer.
    const std::string grab = "'" + std::string(QVX_CLI_PATH) + "' --cameras " + quoted(cameras) +
                             " grab 1 'Y800 (640x480)' -o " + quoted(out);
    const std::string script = grab + " -n 30 > " + quoted(folder.path.string() + "/first.txt") +
                               " 2>&1 & pid=$!; i=0; while [ ! -e " + quoted(out + "/frame_0001.png") +
                               " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; " + grab +
                               " -n 2; echo second=$?; " + grab +
                               " -n 2 --overwrite; echo third=$?; wait $pid; "
                               "echo first=$?";
    result = runShell("sh " + quoted(folder.file("two_runs.sh", script)));
    EXPECT_THAT(result.out, AllOf(HasSubstr("second=1"), HasSubstr("third=1"), HasSubstr("first=0"),
                                  HasSubstr("another run is writing into \"" + out + "\"")));
    const std::vector<std::string> names = folder.names("out");
    ASSERT_EQ(names.size(), 30u) << "the first run's frames, all of them";
    for (const std::string& name : names) EXPECT_TRUE(decodePngFile(out + "/" + name).ok) << name;
}

TEST(CliFiles, AFolderSwappedAfterTheRunLockedItKeepsGettingTheRunsFilesAndItsStandInNone) {
    TempFolder folder("qvx_cli_swap");
    const std::string cameras = folder.file("slow.json", kSlowCamera);
    const std::string out = (folder.path / "out").string(), sheets = (folder.path / "sheets").string();
    // Once the first frame is there, someone who can write the parent renames both folders away and puts
    // new ones at their paths; the run goes on for about two seconds more.
    const std::string script =
        "'" + std::string(QVX_CLI_PATH) + "' --cameras " + quoted(cameras) +
        " grab 1 'Y800 (640x480)' -n 12 -o " + quoted(out) + " --montage " + quoted(sheets + "/sheet.png") +
        " & pid=$!; i=0; while [ ! -e " + quoted(out + "/frame_0001.png") +
        " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; mv " + quoted(out) + " " +
        quoted(out + ".away") + " && mv " + quoted(sheets) + " " + quoted(sheets + ".away") + " && mkdir " +
        quoted(out) + " " + quoted(sheets) + "; wait $pid; echo status=$?";
    const CliRun result = runShell("sh " + quoted(folder.file("swap.sh", script)));
    EXPECT_THAT(result.out, HasSubstr("status=0")) << result.out;
    EXPECT_THAT(folder.names("out"), IsEmpty()) << "the folder put in its place gets nothing";
    EXPECT_THAT(folder.names("sheets"), IsEmpty()) << "nor does the montage's";
    const std::vector<std::string> names = folder.names("out.away");
    EXPECT_EQ(names.size(), 12u) << "every frame goes into the folder the run locked";
    for (const std::string& name : names)
        EXPECT_TRUE(decodePngFile(out + ".away/" + name).ok) << name << " is no whole frame file";
    EXPECT_THAT(folder.names("sheets.away"), ElementsAre("sheet.png"));
}

TEST(CliFiles, OverwriteRemovesOnlyTheFrameFilesOfARunAndItsStaleTemporaries) {
    TempFolder folder("qvx_cli_foreign");
    const std::filesystem::path out = folder.path / "out";
    std::filesystem::create_directories(out);
    for (const char* name : {"frame_0001.png", "frame_1.png", "frame_0000.png", "frame_12345678.png",
                             "notes.txt", ".frame_0002.png.part-1234"})
        folder.file(std::string("out/") + name, "old");
    const std::string grab =
        "grab 'QVX ROI Cam R-5M' 'Y800 (2448x2048)' --roi 0,0,64,32 -n 1 --overwrite -o " +
        quoted(out.string());
    CliRun result = runCli(grab);
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_THAT(result.out, HasSubstr("Wrote 1 PNG file to"));
    EXPECT_THAT(folder.names("out"), ElementsAre("frame_0000.png", "frame_0001.png", "frame_1.png",
                                                 "frame_12345678.png", "notes.txt"));
    EXPECT_TRUE(decodePngFile((out / "frame_0001.png").string()).ok);

    // Entries named like frames that no run of ours writes stay, and the run does not start beside them.
    std::filesystem::create_directory(out / "frame_0003.png");
    ASSERT_EQ(::mkfifo((out / "frame_0004.png").c_str(), 0600), 0);
    std::filesystem::create_symlink(folder.file("victim.txt", "precious"), out / "frame_0005.png");
    result = runCli(grab);
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_THAT(result.out, HasSubstr("not a file qvx-imaq writes, and it stays"));
    EXPECT_TRUE(std::filesystem::is_directory(out / "frame_0003.png"));
    EXPECT_TRUE(std::filesystem::is_fifo(out / "frame_0004.png"));
    EXPECT_EQ(contentOf(out / "frame_0005.png"), "precious");
}

TEST(CliFiles, EveryEndingSignalEndsTheRunPromptlyEvenWithItsOutputBlockedOrClosed) {
    TempFolder folder("qvx_cli_signals");
    // Frames written as fast as they come, each taking a while: a signal finds a file half written.
    const std::string busy = folder.file(
        "busy.json",
        R"({"devices": [{"name": "Busy Cam", "fast": true, "descriptors": [{"colorformat": "Y800", "max": [1024, 1024]}]}]})");
    // Forty long names: more output than a pipe holds.
    std::string many = R"({"devices": [)";
    for (int i = 0; i < 40; ++i) {
        many += std::string(i == 0 ? "" : ",") + R"({"name": "Cam )" + std::to_string(i) + " " +
                std::string(3000, 'x') + R"(", "descriptors": [{"colorformat": "Y800", "max": [8, 8]}]})";
    }
    const std::string wide = folder.file("many.json", many + "]}");
    const std::string q = "'" + std::string(QVX_CLI_PATH) + "'";
    const std::string grab = q + " --cameras " + quoted(busy) + " grab 1 'Y800 (1024x1024)' -n 1000 -o ";
    const std::string waitFor =
        "i=0; while [ ! -e \"$1\" ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done";
    const std::string script =
        "cd " + quoted(folder.path.string()) + "; waitfor() { " + waitFor + "; }\n" +
        // SIGTERM with standard output and error a pipe no one reads any more.
        "( ( " + grab + "closed 2>&1 & echo $! > closed.pid; wait $!; echo $? > closed.status ) | : ) &\n" +
        // SIGUSR1, which no one had thought of.
        grab + "usr1 > usr1.txt 2>&1 & usr1=$!\n" +
        // SIGHUP while standard output is blocked on a full pipe.
        "mkfifo full; exec 3<>full; " + q + " --cameras " + quoted(wide) + " hwinfo > full 2>&1 & hup=$!\n" +
        "waitfor closed/frame_0001.png; waitfor usr1/frame_0001.png; sleep 0.3\n"
        "kill -TERM $(cat closed.pid); kill -USR1 $usr1; kill -HUP $hup\n"
        "( sleep 20; kill -KILL $hup $usr1 $(cat closed.pid) ) > /dev/null 2>&1 & watchdog=$!\n"
        "wait $usr1; echo usr1=$?; wait $hup; echo hup=$?; waitfor closed.status; echo closed=$(cat "
        "closed.status)\n"
        "kill $watchdog; cat usr1.txt\n";
    const CliRun result = runShell("sh " + quoted(folder.file("signals.sh", script)));
    EXPECT_THAT(result.out, AllOf(HasSubstr("usr1=138"), HasSubstr("hup=129"), HasSubstr("closed=143"),
                                  HasSubstr("stopped by SIGUSR1")));
    for (const char* sub : {"closed", "usr1"}) {
        for (const std::string& name : folder.names(sub))
            EXPECT_EQ(name.rfind("frame_", 0), 0u) << sub << "/" << name << " is no whole frame file";
    }
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
