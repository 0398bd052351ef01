// qvx-imaq: lists, describes and acquires from the cameras an adaptor reaches, the way the toolbox would.
#include <cstdio>
#include <exception>

#include "cli/commands.h"
#include "cli/exit_codes.h"
#include "cli/output_file.h"

int main(int argc, char** argv) {
    qvxcli::removeTemporaryFilesOnSignals();
    CLI::App app{"Drive a video-input adaptor the way the image acquisition toolbox does."};
    qvxcli::GlobalOptions options;
    app.add_option("--cameras", options.camerasFile, "Camera description file (JSON)");
    app.add_option("--adaptor", options.adaptorPath,
                   "Adaptor library (default: libQVXImaq.so beside qvx-imaq)");
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
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        // CLI11 has a code of its own per kind of mistake; all of them are usage errors here.
        return app.exit(error) == 0 ? qvxcli::kExitOk : qvxcli::kExitUsage;
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "qvx-imaq: error: %s\n", error.what());
        if (dynamic_cast<const qvxcli::NotAppliedError*>(&error) != nullptr) return qvxcli::kExitNotApplied;
        if (dynamic_cast<const std::invalid_argument*>(&error) != nullptr) return qvxcli::kExitUsage;
        return qvxcli::kExitFailure;
    }
    return qvxcli::kExitOk;
}
