// qvx-imaq hwinfo: the adaptor's devices and their formats, like imaqhwinfo.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/requests.h"

namespace qvxcli {

void addHwinfoCommand(CLI::App& app, const GlobalOptions& options) {
    CLI::App* command = app.add_subcommand("hwinfo", "List the devices and their formats");
    auto json = std::make_shared<bool>(false);
    command->add_flag("--json", *json, "Print JSON");
    command->callback([&options, json] {
        auto adaptor = openAdaptor(options);
        const std::vector<qvxtb::DeviceInfo> devices = adaptor->hwinfo();
        warnSharedNames(devices);
        if (*json) {
            nlohmann::ordered_json document{{"adaptor", adaptor->name()},
                                            {"devices", nlohmann::ordered_json::array()}};
            for (const auto& device : devices) {
                nlohmann::ordered_json formats = nlohmann::ordered_json::array();
                for (const auto& format : device.formats) {
                    formats.push_back(
                        {{"id", format.id}, {"name", format.name}, {"default", format.isDefault}});
                }
                document["devices"].push_back(
                    {{"id", device.id}, {"name", device.name}, {"formats", formats}});
            }
            std::printf("%s\n", document.dump(2).c_str());
            return;
        }
        std::printf("AdaptorName: %s\n", adaptor->name().c_str());
        std::printf("DeviceIDs: %zu device%s\n", devices.size(), devices.size() == 1 ? "" : "s");
        for (const auto& device : devices) {
            std::printf("\nDeviceID %d: %s\n", device.id, device.name.c_str());
            if (device.formats.empty()) std::printf("  (no formats)\n");
            for (const auto& format : device.formats) {
                std::printf("  %4d  %s%s\n", format.id, format.name.c_str(),
                            format.isDefault ? "  (default)" : "");
            }
        }
    });
}

} // namespace qvxcli
