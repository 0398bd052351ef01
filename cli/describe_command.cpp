// qvx-imaq describe: a device's source and properties for one format, like propinfo.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/requests.h"
#include "cli/values.h"
#include "sim/cameras/sim_api.h"

namespace qvxcli {
namespace {

const char* typeText(qvxtb::PropType type) {
    switch (type) {
    case qvxtb::PropType::Double:
        return "double";
    case qvxtb::PropType::Integer:
        return "integer";
    case qvxtb::PropType::Enum:
        return "enumeration";
    case qvxtb::PropType::String:
        return "string";
    }
    return "unknown";
}

qvxtb::PropertyValue defaultOf(const qvxtb::PropertyInfo& property) {
    if (property.type == qvxtb::PropType::Double) return property.defaultValue;
    if (property.type == qvxtb::PropType::Enum) {
        for (const auto& value : property.values) {
            if (value.id == static_cast<int>(property.defaultValue)) return value.text;
        }
        return std::string();
    }
    return static_cast<std::int64_t>(property.defaultValue);
}

std::string constraintText(const qvxtb::PropertyInfo& property) {
    if (property.type == qvxtb::PropType::Enum) {
        std::string list;
        for (const auto& value : property.values) list += (list.empty() ? "\"" : ", \"") + value.text + "\"";
        return "enum {" + list + "}";
    }
    if (!property.hasLimits) return "none";
    return "bounded [" +
           formatValue(property.type == qvxtb::PropType::Double
                           ? qvxtb::PropertyValue(property.min)
                           : qvxtb::PropertyValue(static_cast<std::int64_t>(property.min))) +
           " " +
           formatValue(property.type == qvxtb::PropType::Double
                           ? qvxtb::PropertyValue(property.max)
                           : qvxtb::PropertyValue(static_cast<std::int64_t>(property.max))) +
           "]";
}

nlohmann::ordered_json toJson(const qvxtb::PropertyValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return *integer;
    if (const auto* number = std::get_if<double>(&value)) return *number;
    return std::get<std::string>(value);
}

} // namespace

void addDescribeCommand(CLI::App& app, const GlobalOptions& options) {
    CLI::App* command = app.add_subcommand("describe", "Describe a device's properties for one format");
    struct Arguments {
        std::string device, format;
        bool json = false;
    };
    auto arguments = std::make_shared<Arguments>();
    command->add_option("DEVICE", arguments->device, "Device id or name")->required();
    command->add_option("FORMAT", arguments->format, "Format name")->required();
    command->add_flag("--json", arguments->json, "Print JSON");
    command->callback([&options, arguments] {
        auto adaptor = openAdaptor(options);
        const qvxtb::DeviceInfo device = resolveDevice(*adaptor, arguments->device, options);
        AdaptorWatch watch;
        const qvxtb::DeviceDescription description = adaptor->describe(arguments->device, arguments->format);
        // The device is described in the format it was left in, which need not be the one asked for.
        const std::vector<std::string> complaints = watch.take();
        if (!complaints.empty()) {
            notApplied(options, "the camera did not take the format \"" + arguments->format + "\"" +
                                    reportedText(complaints) + "; the description may be of another format");
        }
        // A GenICam camera's pixel formats: which one each format reads, which are left out and why.
        const std::vector<std::string> notes = qvxsim::cameraNotes(device.name);
        if (arguments->json) {
            nlohmann::ordered_json document{{"device", {{"id", device.id}, {"name", device.name}}},
                                            {"format", arguments->format},
                                            {"sources", nlohmann::ordered_json::array()},
                                            {"properties", nlohmann::ordered_json::array()}};
            for (const auto& source : description.sources)
                document["sources"].push_back({{"name", source.name}, {"id", source.id}});
            if (!notes.empty()) document["notes"] = notes;
            for (const auto& property : description.properties) {
                nlohmann::ordered_json entry{{"name", property.name},
                                             {"type", typeText(property.type)},
                                             {"default", toJson(defaultOf(property))},
                                             {"readOnly", property.readOnly}};
                if (property.type == qvxtb::PropType::Enum) {
                    entry["constraint"] = "enum";
                    entry["values"] = nlohmann::ordered_json::array();
                    for (const auto& value : property.values)
                        entry["values"].push_back({{"text", value.text}, {"id", value.id}});
                } else if (property.hasLimits) {
                    entry["constraint"] = "bounded";
                    entry["min"] = property.min;
                    entry["max"] = property.max;
                } else {
                    entry["constraint"] = "none";
                }
                document["properties"].push_back(entry);
            }
            std::printf("%s\n", document.dump(2).c_str());
            return;
        }
        std::printf("Device %d \"%s\", format \"%s\"\n", device.id, device.name.c_str(),
                    arguments->format.c_str());
        for (const auto& source : description.sources)
            std::printf("Source: \"%s\" (id %d)\n", source.name.c_str(), source.id);
        for (const std::string& note : notes) std::printf("Camera: %s\n", note.c_str());
        std::printf("%zu propert%s\n", description.properties.size(),
                    description.properties.size() == 1 ? "y" : "ies");
        for (const auto& property : description.properties) {
            std::printf("\n%s\n", property.name.c_str());
            std::printf("  Type:       %s\n", typeText(property.type));
            std::printf("  Constraint: %s\n", constraintText(property).c_str());
            std::printf("  Default:    %s\n", formatValue(defaultOf(property)).c_str());
            std::printf("  ReadOnly:   %s\n", property.readOnly.c_str());
        }
    });
}

} // namespace qvxcli
