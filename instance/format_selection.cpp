// Applying a format name ("norm:format" or a bare format) to the open device, with its error boxes.
#include <cstring>
#include <string>

#include "grabber/text.h"
#include "instance/qvx_adaptor.h"

namespace qvx {
namespace {

// Modal, no owner: construction waits for the user and then goes on.
void showError(const imaqkit::IDeviceInfo* deviceInfo, const char* text) {
    MessageBoxA(nullptr, text, deviceInfo->getDeviceName(), MB_ICONERROR);
}

} // namespace

void QVXadaptor::applyFormatName(const imaqkit::IDeviceInfo* deviceInfo, const char* formatName) {
    const std::string name(formatName);
    std::string format = name;
    if (grabber_.isVideoNormAvailableWithCurDev()) {
        // Only the first colon splits: "N:F:G" is the norm N with the format "F:G".
        const std::size_t colon = name.find(':');
        const std::string norm = name.substr(0, colon);
        if (!grabber_.setVideoNorm(KapriLib::DStringArg(norm).get()))
            showError(deviceInfo, "Error: failed to set video norm!\n Please use \"norm:format\" string.");
        if (colon != std::string::npos) format = name.substr(colon + 1);
    }
    if (!grabber_.setVideoFormat(KapriLib::DStringArg(format).get()))
        showError(deviceInfo, "Error: failed to set video format!");
}

} // namespace qvx
