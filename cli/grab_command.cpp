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
    bool overwrite = false;
};

// Time stamps of the frames as they pass, per part of the acquisition (they restart after a pause).
class Timing {
public:
    void add(double time, int part) {
        if (part == part_ && count_ > 0) {
            const double interval = time - last_;
            shortest_ = std::min(shortest_, interval);
            longest_ = std::max(longest_, interval);
            spread_ += interval;
            ++intervals_;
        }
        part_ = part;
        last_ = time;
        ++count_;
    }
    long frames() const { return count_; }
    void print() const {
        if (intervals_ == 0) {
            std::printf("Time stamps: one frame, no spread\n");
            return;
        }
        std::printf("Achieved: %.2f frames per second\n",
                    spread_ > 0 ? static_cast<double>(intervals_) / spread_ : 0);
        std::printf("Time stamps: spread %.4f s, intervals %.4f s to %.4f s\n", spread_, shortest_, longest_);
    }

private:
    long count_ = 0, intervals_ = 0;
    int part_ = 0;
    double last_ = 0, spread_ = 0, shortest_ = 1e300, longest_ = 0;
};

// Settled before the acquisition rather than after it: the montage's folder is made as -o makes its own,
// and a file that would be replaced without --overwrite is refused.
void prepareMontagePath(const std::string& file, bool overwrite) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path parent = fs::path(file).parent_path();
    if (!parent.empty()) fs::create_directories(parent, error);
    if (error) throw std::runtime_error("cannot write the montage \"" + file + "\": " + error.message());
    if (!overwrite && fs::exists(file, error))
        throw std::runtime_error("\"" + file + "\" already exists; give --overwrite to replace it");
}

void grab(const GlobalOptions& options, const Arguments& arguments) {
    const long wanted = static_cast<long>(parseInteger("-n/--frames", arguments.frames, 1, kMaxFrames));
    const double timeout =
        parseNumber("--timeout (seconds to wait for each frame)", arguments.timeout, 0.001, kMaxTimeout);
    std::optional<std::array<int, 4>> region;
    if (!arguments.roi.empty()) region = parseRegion(arguments.roi);
    for (const std::string& assignment : arguments.assignments) splitAssignment(assignment);
    if (!arguments.montageFile.empty()) prepareMontagePath(arguments.montageFile, arguments.overwrite);

    auto adaptor = openAdaptor(options);
    AdaptorWatch watch;
    auto input = openVideoInput(*adaptor, arguments.device, arguments.format, options, watch);
    applySettings(*input, arguments.assignments, options, watch);
    if (region) applyRegion(*input, *region, options, watch);
    // Checked last, so that a mistake above leaves an earlier run's frames alone.
    if (!arguments.outputDir.empty()) prepareFrameFolder(arguments.outputDir, arguments.overwrite);

    std::unique_ptr<ContactSheet> sheet;
    if (!arguments.montageFile.empty())
        sheet = std::make_unique<ContactSheet>(static_cast<std::size_t>(wanted));
    Timing timing;
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
            timing.add(frame.time, part);
            if (!arguments.outputDir.empty() || sheet) {
                const Image image = imageOf(frame);
                if (!arguments.outputDir.empty()) {
                    const std::filesystem::path path =
                        std::filesystem::path(arguments.outputDir) / frameFileName(files + 1, wanted);
                    writePng(path.string(), image);
                    ++files;
                }
                if (sheet) sheet->add(image);
            }
            progress.update(static_cast<long>(timing.frames()), files);
        });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    progress.finish();
    if (!arguments.outputDir.empty())
        std::printf("Wrote %ld PNG files to %s\n", files, arguments.outputDir.c_str());
    if (sheet) {
        writePng(arguments.montageFile, sheet->sheet());
        std::printf("Wrote the montage to %s\n", arguments.montageFile.c_str());
    }
    std::printf("Frames: %ld of %dx%d (%s) in %.3f s\n", result.frames, width, height,
                frameTypeText(frameType), seconds);
    timing.print();
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
    command->add_option("-n,--frames", arguments->frames, "Number of frames, 1 to 1000000 (default 10)");
    command->add_option("-o,--output", arguments->outputDir, "Folder for one PNG file per frame");
    command->add_option("--roi", arguments->roi, "Region of interest X,Y,W,H");
    command->add_option("--montage", arguments->montageFile, "One PNG contact sheet of all frames");
    command->add_option("--set", arguments->assignments,
                        "NAME=VALUE applied before the acquisition (repeatable)");
    command->add_option("--timeout", arguments->timeout, "Seconds to wait for each frame (default 30)");
    command->add_flag("--overwrite", arguments->overwrite,
                      "Replace the frame files of another run in the folder, and the montage file");
    command->callback([&options, arguments] { grab(options, *arguments); });
}

} // namespace qvxcli
