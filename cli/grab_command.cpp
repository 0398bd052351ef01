// qvx-imaq grab: acquire frames, write them as PNG files or a contact sheet as they come, and summarise.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/frame_folder.h"
#include "cli/frame_stream.h"
#include "cli/frame_timing.h"
#include "cli/montage.h"
#include "cli/numbers.h"
#include "cli/png_writer.h"
#include "cli/progress.h"
#include "cli/region_text.h"
#include "cli/requests.h"
#include "cli/values.h"

namespace qvxcli {
namespace {

constexpr long kMaxFrames = 1000000;
constexpr double kMaxTimeout = 86400;

struct Arguments {
    std::string device, format;
    std::string frames = "10";
    std::string outputDir;
    std::string roi;
    std::string montageFile;
    std::vector<std::string> assignments;
    std::string timeout = "30";
    std::string interval = "1";
    bool overwrite = false;
};

void grab(const GlobalOptions& options, const Arguments& arguments) {
    const long wanted = static_cast<long>(parseInteger("-n/--frames", arguments.frames, 1, kMaxFrames));
    const double timeout =
        parseNumber("--timeout (seconds to wait for each frame)", arguments.timeout, 0.001, kMaxTimeout);
    const long interval = static_cast<long>(parseInteger("--interval", arguments.interval, 1, kMaxFrames));
    std::optional<std::array<int, 4>> region;
    if (!arguments.roi.empty()) region = parseRegion(arguments.roi);
    for (const std::string& assignment : arguments.assignments) splitAssignment(assignment);
    std::unique_ptr<Folder> montageFolder;
    if (!arguments.montageFile.empty())
        montageFolder = prepareMontagePath(arguments.montageFile, arguments.outputDir, arguments.overwrite);

    auto adaptor = openAdaptor(options);
    AdaptorWatch watch;
    auto input = openVideoInput(*adaptor, arguments.device, arguments.format, options, watch);
    applySettings(*input, arguments.assignments, options, watch);
    if (region) applyRegion(*input, *region, options, watch);
    input->setFrameGrabInterval(static_cast<int>(interval));
    // Checked last, so that a mistake above leaves an earlier run's frames alone.
    std::unique_ptr<FolderLock> folderLock;
    if (!arguments.outputDir.empty())
        folderLock = prepareFrameFolder(arguments.outputDir, arguments.overwrite);

    std::unique_ptr<ContactSheet> sheet;
    if (!arguments.montageFile.empty())
        sheet = std::make_unique<ContactSheet>(static_cast<std::size_t>(wanted));
    FrameTiming timing;
    Progress progress(wanted);
    long files = 0;
    int width = 0, height = 0, frameType = 0;
    const auto begin = std::chrono::steady_clock::now();
    const StreamResult result =
        streamFrames(*input, wanted, timeout, [&](const qvxtb::Frame& frame, int part) {
            if (width == 0) {
                width = frame.width;
                height = frame.height;
                frameType = frame.frameType;
            }
            timing.add(frame.time, part,
                       std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
            if (!arguments.outputDir.empty() || sheet) {
                const Image image = imageOf(frame);
                if (folderLock) {
                    writePng(folderLock->folder(), frameFileName(files + 1, wanted), image);
                    ++files;
                }
                if (sheet) sheet->add(image);
            }
            progress.update(static_cast<long>(timing.frames()), files);
        });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    progress.finish();
    if (!arguments.outputDir.empty())
        std::printf("Wrote %ld PNG file%s to %s\n", files, files == 1 ? "" : "s",
                    arguments.outputDir.c_str());
    if (sheet) {
        writePng(*montageFolder, std::filesystem::path(arguments.montageFile).filename().string(),
                 sheet->sheet(), arguments.overwrite);
        std::printf("Wrote the montage to %s\n", arguments.montageFile.c_str());
    }
    std::printf("Frames: %ld of %dx%d (%s) in %.3f s\n", result.frames, width, height,
                frameTypeText(frameType), seconds);
    std::fputs(timing.summary().c_str(), stdout);
    if (result.pauses > 0) {
        std::printf("Paused %d time%s: the frames came faster than they were written, and at most a few may "
                    "wait in memory\n",
                    result.pauses, result.pauses == 1 ? "" : "s");
    }
}

} // namespace

void addGrabCommand(CLI::App& app, const GlobalOptions& options) {
    CLI::App* command = app.add_subcommand("grab", "Acquire frames");
    auto arguments = std::make_shared<Arguments>();
    command->add_option("DEVICE", arguments->device, "Device id or name")->required();
    command->add_option("FORMAT", arguments->format, "Format name")->required();
    refuseEmpty(
        command->add_option("-n,--frames", arguments->frames, "Number of frames, 1 to 1000000 (default 10)"));
    refuseEmpty(
        command->add_option("-o,--output", arguments->outputDir, "Folder for one PNG file per frame"));
    refuseEmpty(command->add_option("--roi", arguments->roi, "Region of interest X,Y,W,H"));
    refuseEmpty(
        command->add_option("--montage", arguments->montageFile, "One PNG contact sheet of all frames"));
    refuseEmpty(command->add_option("--set", arguments->assignments,
                                    "NAME=VALUE applied before the acquisition (repeatable)"));
    refuseEmpty(
        command->add_option("--timeout", arguments->timeout, "Seconds to wait for each frame (default 30)"));
    refuseEmpty(
        command->add_option("--interval", arguments->interval,
                            "Keep every Nth frame the camera delivers, 1 to 1000000 (FrameGrabInterval, "
                            "default 1)"));
    command->add_flag("--overwrite", arguments->overwrite,
                      "Replace the frame files of another run in the folder, and the montage file");
    command->callback([&options, arguments] { grab(options, *arguments); });
}

} // namespace qvxcli
