// qvx-imaq get and set: read and write device properties of a video input.
#include <cstdio>

#include "cli/commands.h"
#include "cli/requests.h"
#include "cli/values.h"

namespace qvxcli {
namespace {

struct Arguments {
    std::string device, format;
    std::vector<std::string> items; // names for get, NAME=VALUE for set
};

void addDeviceArguments(CLI::App* command, Arguments& arguments, const char* itemsName,
                        const char* itemsHelp) {
    command->add_option("DEVICE", arguments.device, "Device id or name")->required();
    command->add_option("FORMAT", arguments.format, "Format name")->required();
    command->add_option(itemsName, arguments.items, itemsHelp)->required();
}

} // namespace

void addGetCommand(CLI::App& app, const GlobalOptions& options) {
    CLI::App* command = app.add_subcommand("get", "Read device properties");
    auto arguments = std::make_shared<Arguments>();
    addDeviceArguments(command, *arguments, "NAME", "Property names");
    command->callback([&options, arguments] {
        auto adaptor = openAdaptor(options);
        AdaptorWatch watch;
        auto input = openVideoInput(*adaptor, arguments->device, arguments->format, options, watch);
        for (const std::string& name : arguments->items) {
            findProperty(input->description(), name);
            std::printf("%s = %s\n", name.c_str(), formatValue(input->get(name)).c_str());
        }
    });
}

void addSetCommand(CLI::App& app, const GlobalOptions& options) {
    CLI::App* command = app.add_subcommand("set", "Write device properties and print the values read back");
    auto arguments = std::make_shared<Arguments>();
    addDeviceArguments(command, *arguments, "NAME=VALUE", "Assignments");
    command->callback([&options, arguments] {
        for (const std::string& assignment : arguments->items) splitAssignment(assignment);
        auto adaptor = openAdaptor(options);
        AdaptorWatch watch;
        auto input = openVideoInput(*adaptor, arguments->device, arguments->format, options, watch);
        for (const std::string& assignment : arguments->items) {
            const std::string name = splitAssignment(assignment).first;
            applySettings(*input, {assignment}, options, watch);
            std::printf("%s = %s\n", name.c_str(), formatValue(input->get(name)).c_str());
        }
    });
}

} // namespace qvxcli
