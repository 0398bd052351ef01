// qvx-imaq: lists, describes and acquires from the cameras an adaptor reaches, the way the toolbox would.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/unfinished_files.h"

namespace {

// Output that did not arrive is a failure: a full disk, a closed pipe (SIGPIPE is ignored to see it here).
int finishOutput(int code) {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        const int error = errno;
        std::fprintf(stderr, "qvx-imaq: error: cannot write to standard output: %s\n",
                     error != 0 ? std::strerror(error) : "a write failed");
        if (code == qvxcli::kExitOk) code = qvxcli::kExitFailure;
    }
    if ((std::fflush(stderr) != 0 || std::ferror(stderr) != 0) && code == qvxcli::kExitOk)
        code = qvxcli::kExitFailure;
    return code;
}

} // namespace

int main(int argc, char** argv) {
    qvxcli::removeUnfinishedFilesOnSignals();
    CLI::App app{"Drive a video-input adaptor the way the image acquisition toolbox does."};
    qvxcli::GlobalOptions options;
    qvxcli::refuseEmpty(app.add_option("--cameras", options.camerasFile,
                                       "Camera description file (JSON); or genicam (every GenICam camera "
                                       "found) or genicam:ID-OR-ADDRESS[;...]"));
    qvxcli::refuseEmpty(app.add_option("--adaptor", options.adaptorPath,
                                       "Adaptor library (default: libQVXImaq.so beside qvx-imaq)"));
    app.add_flag(
        "--keep-going", options.keepGoing,
        "Go on, with a warning, when the camera does not deliver what was asked (exit code 0, not 3)");
    // Global options may also follow the sub-command: "grab 1 FORMAT --keep-going".
    app.fallthrough();
    app.require_subcommand(1);
    qvxcli::addHwinfoCommand(app, options);
    qvxcli::addDescribeCommand(app, options);
    qvxcli::addGrabCommand(app, options);
    qvxcli::addGetCommand(app, options);
    qvxcli::addSetCommand(app, options);
    int code = qvxcli::kExitOk;
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // CLI11 has a code of its own per kind of mistake; all of them are usage errors here.
        code = app.exit(error) == 0 ? qvxcli::kExitOk : qvxcli::kExitUsage;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "qvx-imaq: error: %s\n", error.what());
        code = dynamic_cast<const qvxcli::NotAppliedError*>(&error) != nullptr ? qvxcli::kExitNotApplied
               : dynamic_cast<const std::invalid_argument*>(&error) != nullptr ? qvxcli::kExitUsage
                                                                               : qvxcli::kExitFailure;
    }
    return finishOutput(code);
}
