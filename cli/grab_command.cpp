// qvx-imaq grab: acquire frames, write them as PNG files or a contact sheet, and summarise the acquisition.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "cli/commands.h"
#include "cli/montage.h"
#include "cli/png_writer.h"
#include "cli/values.h"
#include "host/frame.h"

namespace qvxcli {
namespace {

struct Arguments {
    std::string device, format;
    int frames = 10;
    std::string outputDir;
    std::string roi;
    std::string montageFile;
    std::vector<std::string> assignments;
    double timeout = 30;
};

std::array<int, 4> parseRoi(const std::string& text) {
    std::array<int, 4> roi{};
    char tail = '\0';
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &roi[0], &roi[1], &roi[2], &roi[3], &tail) != 4) {
        throw std::invalid_argument("--roi takes X,Y,W,H, not \"" + text + "\"");
    }
    return roi;
}

const char* frameTypeText(int frameType) {
    switch (frameType) {
    case imaqkit::kFrameMono8:
        return "mono 8-bit";
    case imaqkit::kFrameMono16:
        return "mono 16-bit";
    case imaqkit::kFrameBgr24:
        return "BGR 24-bit";
    case imaqkit::kFrameBgrx32:
        return "BGRX 32-bit";
    default:
        return "unknown type";
    }
}

// Waits for the frames while showing how many are in; only on a terminal, so that pipes get clean output.
void showProgress(const qvxtb::VideoInput& input, int wanted, double timeout) {
    if (isatty(STDOUT_FILENO) == 0) return;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
    long shown = -1;
    while (std::chrono::steady_clock::now() < end) {
        const long acquired = input.framesAcquired();
        if (acquired != shown) {
            std::printf("\rAcquiring: %ld of %d frames", acquired, wanted);
            std::fflush(stdout);
            shown = acquired;
        }
        if (acquired >= wanted || !input.isRunning()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::printf("\n");
}

void writeFrames(const std::vector<qvxtb::Frame>& frames, const Arguments& arguments) {
    std::vector<Image> images;
    images.reserve(frames.size());
    for (const auto& frame : frames) images.push_back(imageOf(frame));
    if (!arguments.outputDir.empty()) {
        std::filesystem::create_directories(arguments.outputDir);
        for (std::size_t i = 0; i < images.size(); ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "frame_%04zu.png", i + 1);
            writePng((std::filesystem::path(arguments.outputDir) / name).string(), images[i]);
        }
        std::printf("Wrote %zu PNG files to %s\n", images.size(), arguments.outputDir.c_str());
    }
    if (!arguments.montageFile.empty()) {
        writePng(arguments.montageFile, montage(images));
        std::printf("Wrote the montage to %s\n", arguments.montageFile.c_str());
    }
}

void summarise(const std::vector<qvxtb::Frame>& frames, double seconds) {
    const qvxtb::Frame& first = frames.front();
    std::printf("Frames: %zu of %dx%d (%s) in %.3f s\n", frames.size(), first.width, first.height,
                frameTypeText(first.frameType), seconds);
    if (frames.size() < 2) {
        std::printf("Time stamps: one frame, no spread\n");
        return;
    }
    const double spread = frames.back().time - frames.front().time;
    double shortest = 1e300, longest = 0;
    for (std::size_t i = 1; i < frames.size(); ++i) {
        const double interval = frames[i].time - frames[i - 1].time;
        shortest = std::min(shortest, interval);
        longest = std::max(longest, interval);
    }
    const double rate = spread > 0 ? static_cast<double>(frames.size() - 1) / spread : 0;
    std::printf("Achieved: %.2f frames per second\n", rate);
    std::printf("Time stamps: spread %.4f s, intervals %.4f s to %.4f s\n", spread, shortest, longest);
}

} // namespace

void addGrabCommand(CLI::App& app, const GlobalOptions& options) {
    CLI::App* command = app.add_subcommand("grab", "Acquire frames");
    auto arguments = std::make_shared<Arguments>();
    command->add_option("DEVICE", arguments->device, "Device id or name")->required();
    command->add_option("FORMAT", arguments->format, "Format name")->required();
    command->add_option("-n,--frames", arguments->frames, "Number of frames")->check(CLI::Range(1, 1000000));
    command->add_option("-o,--output", arguments->outputDir, "Folder for one PNG file per frame");
    command->add_option("--roi", arguments->roi, "Region of interest X,Y,W,H");
    command->add_option("--montage", arguments->montageFile, "One PNG contact sheet of all frames");
    command->add_option("--set", arguments->assignments,
                        "NAME=VALUE applied before the acquisition (repeatable)");
    command->add_option("--timeout", arguments->timeout, "Seconds to wait for the frames")
        ->check(CLI::PositiveNumber);
    command->callback([&options, arguments] {
        auto adaptor = openAdaptor(options);
        auto input = adaptor->videoinput(arguments->device, arguments->format);
        applyAssignments(*input, arguments->assignments);
        if (!arguments->roi.empty()) {
            const auto roi = parseRoi(arguments->roi);
            input->setROIPosition(roi[0], roi[1], roi[2], roi[3]);
        }
        input->setFramesPerTrigger(arguments->frames);
        const auto begin = std::chrono::steady_clock::now();
        input->start();
        showProgress(*input, arguments->frames, arguments->timeout);
        const std::vector<qvxtb::Frame> frames = input->getdata(arguments->frames, arguments->timeout);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        input->stop();
        writeFrames(frames, *arguments);
        summarise(frames, seconds);
    });
}

} // namespace qvxcli
