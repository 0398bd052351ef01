// qvx-imaq: lists, describes and acquires from the cameras an adaptor reaches, the way the toolbox would.
#include <cstdio>
#include <exception>

#include "cli/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Drive a video-input adaptor the way the image acquisition toolbox does."};
    qvxcli::GlobalOptions options;
    app.add_option("--cameras", options.camerasFile, "Camera description file (JSON)")
        ->check(CLI::ExistingFile);
    app.add_option("--adaptor", options.adaptorPath,
                   "Adaptor library (default: libQVXImaq.so beside qvx-imaq)");
    app.require_subcommand(1);
    qvxcli::addHwinfoCommand(app, options);
    qvxcli::addDescribeCommand(app, options);
    qvxcli::addGrabCommand(app, options);
    qvxcli::addGetCommand(app, options);
    qvxcli::addSetCommand(app, options);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        std::fprintf(stderr, "qvx-imaq: error: %s\n", error.what());
        return 1;
    }
    return 0;
}
