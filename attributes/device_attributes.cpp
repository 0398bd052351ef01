// The description of one device and format, as the host asks for it before making a video input object.
#include "attributes/device_attributes.h"

#include <cstdint>
#include <exception>

#include "attributes/vcd_catalogue.h"
#include "grabber/text.h"
#include "host/warning.h"

namespace qvx {

namespace {

const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }

void setFormat(KapriLib::Grabber& grabber, const char* formatName) {
    // Handed over whole: on a device with norms the library takes "norm:format" itself.
    if (grabber.setVideoFormat(KapriLib::DStringArg(formatName))) return;
    MessageBoxA(nullptr, "Failed to set videoformat", formatName, MB_OK);
}

void addSerialNumberProperty(const KapriLib::Grabber& grabber, imaqkit::IPropFactory* propFactory) {
    std::int64_t serial = 0;
    if (!grabber.getDev().getSerialNumber(serial)) return;
    // The value itself is read by the property's getter each time MATLAB asks.
    const imaqkit::PropHandle property = propFactory->createIntProperty("SerialNo", 0, 1);
    if (property == nullptr) return;
    propFactory->setPropReadOnly(property, "always");
    propFactory->addProperty(property);
}

void describeOpenDevice(KapriLib::Grabber& grabber, const char* formatName,
                        imaqkit::IPropFactory* propFactory) {
    setFormat(grabber, formatName);
    addSerialNumberProperty(grabber, propFactory);
    addFrameRateProperty(grabber, propFactory);
    if (grabber.isInputChannelAvailableWithCurDev()) addInputChannelProperty(grabber, propFactory);
    addVCDProperties(grabber, propFactory);
}

} // namespace

void getDeviceAttributes(const imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                         imaqkit::IPropFactory* propFactory, imaqkit::IVideoSourceInfo* sourceInfo,
                         imaqkit::ITriggerInfo* /*triggerInfo: no hardware triggers are declared*/) {
    KapriLib::Grabber grabber;
    // The library reads the name unchecked; a host that gives none gets the source and no properties.
    if (const char* deviceName = deviceInfo->getDeviceName(); deviceName != nullptr)
        grabber.openDev(deviceName);
    if (grabber.isDevValid()) {
        // A camera that fails one VCD read, or a description that runs out of memory or meets any
        // other standard error, keeps what was already published; the device is still closed and its
        // source declared, so the video input object remains usable.
        try {
            describeOpenDevice(grabber, formatName, propFactory);
        } catch (long code) {
            warnf("Unable to read the camera's properties (error 0x%08lX).",
                  static_cast<unsigned long>(static_cast<std::uint32_t>(code)));
        } catch (const std::exception& error) {
            warnf("Unable to read the camera's properties (%s).", error.what());
        }
        grabber.stopLive();
        grabber.closeDev();
    }
    sourceInfo->addAdaptorSource(orEmpty(deviceInfo->getDeviceName()), 1);
}

} // namespace qvx
