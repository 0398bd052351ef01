// Gateway commands about one video input: making and deleting it, its description, properties and region.
#include <cmath>

#include "matlab/octave/gateway/commands.h"
#include "matlab/octave/gateway/frames.h"
#include "matlab/octave/gateway/gateway_error.h"

namespace qvxgw {
namespace {

const char* typeText(qvxtb::PropType type) {
    switch (type) {
    case qvxtb::PropType::Double:
        return "double";
    case qvxtb::PropType::Integer:
        return "integer";
    case qvxtb::PropType::Enum:
        return "enum";
    case qvxtb::PropType::String:
        return "string";
    }
    return "string";
}

void create(Session& session, const Arguments& args, Outputs& out) {
    args.expect(3, "create");
    const std::string adaptorName = args.text(0, "The adaptor's name");
    const double id = args.number(1, "The device ID");
    const std::string format = args.text(2, "The format");
    const auto& devices = session.devices(adaptorName);
    for (const qvxtb::DeviceInfo& device : devices) {
        if (device.id != id) continue;
        const double handle = adaptorCall("imaq:videoinput:adaptorError", "Creating the video input",
                                          [&] { return session.createInput(adaptorName, device, format); });
        out.set(0, makeNumber(handle));
        return;
    }
    throw GatewayError("imaq:videoinput:invalidID", "No device with ID " + std::to_string(id) + ".");
}

void remove(Session& session, const Arguments& args, Outputs&) {
    args.expect(1, "delete");
    session.deleteInput(args.number(0, "The handle"));
}

void valid(Session& session, const Arguments& args, Outputs& out) {
    args.expect(1, "valid");
    out.set(0, makeLogical(session.hasInput(args.number(0, "The handle"))));
}

void handles(Session& session, const Arguments& args, Outputs& out) {
    args.expect(0, "handles");
    out.set(0, makeRow(session.handles()));
}

mxArray* propertyList(const std::vector<qvxtb::PropertyInfo>& properties) {
    StructBuilder list(
        {"Name", "Type", "Min", "Max", "Bounded", "Default", "Values", "ReadOnly", "DeviceSpecific"},
        properties.size());
    for (std::size_t i = 0; i < properties.size(); ++i) {
        const qvxtb::PropertyInfo& property = properties[i];
        std::vector<std::string> values;
        for (const qvxtb::EnumValue& value : property.values) values.push_back(value.text);
        list.set(i, "Name", makeText(property.name));
        list.set(i, "Type", makeText(typeText(property.type)));
        list.set(i, "Min", makeNumber(property.min));
        list.set(i, "Max", makeNumber(property.max));
        const bool numeric =
            property.type == qvxtb::PropType::Double || property.type == qvxtb::PropType::Integer;
        list.set(i, "Bounded", makeLogical(numeric && property.hasLimits));
        // An enumeration's default is its first value; a text property has none.
        if (property.type == qvxtb::PropType::Enum) {
            list.set(i, "Default", makeText(values.empty() ? std::string() : values.front()));
        } else if (property.type == qvxtb::PropType::String) {
            list.set(i, "Default", makeText(""));
        } else {
            list.set(i, "Default", makeNumber(property.defaultValue));
        }
        list.set(i, "Values", makeTextCell(values));
        list.set(i, "ReadOnly", makeText(property.readOnly));
        list.set(i, "DeviceSpecific", makeLogical(property.deviceSpecific));
    }
    return list.release();
}

// What the toolbox asks the adaptor object about the device and its format, read once per video input.
void describe(Session& session, const Arguments& args, Outputs& out) {
    args.expect(1, "describe");
    Input& input = session.input(args.number(0, "The handle"));
    imaqkit::IAdaptor* adaptor = input.video->adaptor();
    if (adaptor == nullptr)
        throw GatewayError("imaq:videoinput:noAdaptorObject", "The adaptor made no object for this device.");
    StructBuilder result({"AdaptorName", "DeviceName", "DeviceID", "VideoFormat", "MaxWidth", "MaxHeight",
                          "FrameType", "FrameBands", "NativeDataType", "NumberOfBands", "DriverDescription",
                          "DriverVersion", "Sources", "Properties"});
    const char* identifier = "imaq:videoinput:adaptorError";
    const int width =
        adaptorCall(identifier, "Reading the image width", [&] { return adaptor->getMaxWidth(); });
    const int height =
        adaptorCall(identifier, "Reading the image height", [&] { return adaptor->getMaxHeight(); });
    const int frameType =
        adaptorCall(identifier, "Reading the frame type", [&] { return adaptor->getFrameType(); });
    const int bands =
        adaptorCall(identifier, "Reading the number of bands", [&] { return adaptor->getNumberOfBands(); });
    const char* description = adaptorCall(identifier, "Reading the driver description",
                                          [&] { return adaptor->getDriverDescription(); });
    const char* version =
        adaptorCall(identifier, "Reading the driver version", [&] { return adaptor->getDriverVersion(); });
    std::vector<std::string> sources;
    for (const qvxtb::SourceInfo& source : input.video->description().sources) sources.push_back(source.name);
    result.set(0, "AdaptorName", makeText(input.adaptorName));
    result.set(0, "DeviceName", makeText(input.deviceName));
    result.set(0, "DeviceID", makeNumber(input.deviceId));
    result.set(0, "VideoFormat", makeText(input.format));
    result.set(0, "MaxWidth", makeNumber(width));
    result.set(0, "MaxHeight", makeNumber(height));
    result.set(0, "FrameType", makeNumber(frameType));
    result.set(0, "FrameBands", makeNumber(frameBands(frameType)));
    result.set(0, "NativeDataType", makeText(frameClassName(frameType)));
    result.set(0, "NumberOfBands", makeNumber(bands));
    result.set(0, "DriverDescription", makeText(description != nullptr ? description : ""));
    result.set(0, "DriverVersion", makeText(version != nullptr ? version : ""));
    result.set(0, "Sources", makeTextCell(sources));
    result.set(0, "Properties", propertyList(input.video->description().properties));
    out.set(0, result.release());
}

void get(Session& session, const Arguments& args, Outputs& out) {
    args.expect(2, "get");
    Input& input = session.input(args.number(0, "The handle"));
    const std::string name = args.text(1, "The property's name");
    out.set(0, makeValue(adaptorCall("imaq:get:adaptorError", "Reading " + name,
                                     [&] { return input.video->get(name); })));
}

void set(Session& session, const Arguments& args, Outputs&) {
    args.expect(3, "set");
    Input& input = session.input(args.number(0, "The handle"));
    const std::string name = args.text(1, "The property's name");
    const qvxtb::PropertyValue value = toValue(args.raw(2), name);
    adaptorCall("imaq:set:refused", "Setting " + name, [&] { input.video->set(name, value); });
}

void source(Session& session, const Arguments& args, Outputs& out) {
    args.expect(1, "source");
    out.set(0, makeText(session.input(args.number(0, "The handle")).video->selectedSourceName()));
}

void setSource(Session& session, const Arguments& args, Outputs&) {
    args.expect(2, "setSource");
    Input& input = session.input(args.number(0, "The handle"));
    const std::string name = args.text(1, "The source's name");
    adaptorCall("imaq:set:refused", "Setting SelectedSourceName",
                [&] { input.video->setSelectedSourceName(name); });
}

void roi(Session& session, const Arguments& args, Outputs& out) {
    args.expect(1, "roi");
    Input& input = session.input(args.number(0, "The handle"));
    const std::array<int, 4> position = adaptorCall("imaq:get:adaptorError", "Reading ROIPosition",
                                                    [&] { return input.video->getROIPosition(); });
    out.set(0, makeRow({double(position[0]), double(position[1]), double(position[2]), double(position[3])}));
}

void setRoi(Session& session, const Arguments& args, Outputs&) {
    args.expect(2, "setRoi");
    Input& input = session.input(args.number(0, "The handle"));
    const std::vector<double> position = args.numbers(1, "ROIPosition");
    if (position.size() != 4) throw GatewayError("imaq:set:invalidValue", "ROIPosition takes four numbers.");
    for (double value : position) {
        if (!(std::floor(value) == value) || std::fabs(value) > 1e9)
            throw GatewayError("imaq:set:invalidValue",
                               "ROIPosition takes whole numbers from -1000000000 to 1000000000.");
    }
    adaptorCall("imaq:set:refused", "Setting ROIPosition", [&] {
        input.video->setROIPosition(int(position[0]), int(position[1]), int(position[2]), int(position[3]));
    });
}

} // namespace

void addInputCommands(CommandTable& table) {
    table["create"] = create;
    table["delete"] = remove;
    table["valid"] = valid;
    table["handles"] = handles;
    table["describe"] = describe;
    table["get"] = get;
    table["set"] = set;
    table["source"] = source;
    table["setSource"] = setSource;
    table["roi"] = roi;
    table["setRoi"] = setRoi;
}

} // namespace qvxgw
