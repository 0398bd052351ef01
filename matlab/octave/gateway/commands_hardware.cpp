// Gateway commands about adaptors and devices: registration, device lists, reset.
#include "matlab/octave/gateway/commands.h"
#include "matlab/octave/gateway/gateway_error.h"

namespace qvxgw {
namespace {

void registered(Session& session, const Arguments& args, Outputs& out) {
    args.expect(0, "registered");
    const std::vector<std::string> paths = session.registered();
    mxArray* cell = mxCreateCellMatrix(paths.size(), 1); // N×1, as imaqregister returns it
    for (std::size_t i = 0; i < paths.size(); ++i) mxSetCell(cell, i, makeText(paths[i]));
    out.set(0, cell);
}

void registerLibrary(Session& session, const Arguments& args, Outputs&) {
    args.expect(1, "register");
    session.registerLibrary(args.text(0, "The adaptor's path"));
}

void unregisterLibrary(Session& session, const Arguments& args, Outputs&) {
    args.expect(1, "unregister");
    session.unregisterLibrary(args.text(0, "The adaptor's path"));
}

void adaptors(Session& session, const Arguments& args, Outputs& out) {
    args.expect(0, "adaptors");
    out.set(0, makeTextCell(session.adaptorNames()));
}

void adaptorPath(Session& session, const Arguments& args, Outputs& out) {
    args.expect(1, "adaptorPath");
    const std::string name = args.text(0, "The adaptor's name");
    session.adaptor(name); // refuses an unknown name
    out.set(0, makeText(session.pathOf(name)));
}

// One entry per device: ID, Name, DeviceFileSupported, Formats (in the adaptor's order), DefaultFormat.
void devices(Session& session, const Arguments& args, Outputs& out) {
    args.expect(1, "devices");
    const std::string name = args.text(0, "The adaptor's name");
    const auto& list =
        adaptorCall("imaq:imaqhwinfo:adaptorError", "Listing the devices of '" + name + "'",
                    [&]() -> const std::vector<qvxtb::DeviceInfo>& { return session.devices(name); });
    StructBuilder result({"ID", "Name", "DeviceFileSupported", "Formats", "DefaultFormat"}, list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        const qvxtb::DeviceInfo& device = list[i];
        std::vector<std::string> formats;
        std::string flagged;
        for (const qvxtb::FormatInfo& format : device.formats) {
            formats.push_back(format.name);
            if (format.isDefault && flagged.empty()) flagged = format.name;
        }
        // An adaptor may flag no format as its default (ours flags none); the device's first format then
        // stands in, so that videoinput without a format opens what imaqhwinfo shows as DefaultFormat.
        if (flagged.empty() && !formats.empty()) flagged = formats.front();
        result.set(i, "ID", makeNumber(device.id));
        result.set(i, "Name", makeText(device.name));
        result.set(i, "DeviceFileSupported", makeNumber(device.deviceFileSupport ? 1 : 0));
        result.set(i, "Formats", makeTextCell(formats));
        result.set(i, "DefaultFormat", makeText(flagged));
    }
    out.set(0, result.release());
}

void reset(Session& session, const Arguments& args, Outputs&) {
    args.expect(0, "reset");
    session.reset();
}

} // namespace

void addHardwareCommands(CommandTable& table) {
    table["registered"] = registered;
    table["register"] = registerLibrary;
    table["unregister"] = unregisterLibrary;
    table["adaptors"] = adaptors;
    table["adaptorPath"] = adaptorPath;
    table["devices"] = devices;
    table["reset"] = reset;
}

} // namespace qvxgw
