// Device discovery: every device the grabber library sees, each with the names of its video formats.
#include "adaptor/discovery.h"

#include <exception>
#include <new>

#include "grabber/snapshot.h"
#include "grabber/text.h"
#include "host/warning.h"

namespace qvx {

namespace {

using KapriLib::Grabber;

const char* orEmpty(const char* text) { return text != nullptr ? text : ""; }

void reportFormat(imaqkit::IDeviceInfo& device, int id, const std::string& name) {
    imaqkit::IDeviceFormat* format = device.createDeviceFormat(id, name.c_str());
    if (format != nullptr) device.addDeviceFormat(format, false);
}

// Format ids run on over all norms, from 1; the same format under two norms is reported twice.
void reportNormFormats(Grabber& grabber, imaqkit::IDeviceInfo& device) {
    const auto norms = KapriLib::snapshotNorms(grabber);
    if (norms.get() == nullptr) return; // no list: the device is reported without formats
    int counter = 0;
    for (const KapriLib::VideoNormItem& norm : *norms) {
        // A refused norm leaves the previous one selected; its formats are what gets listed.
        grabber.setVideoNorm(norm);
        const auto formats = KapriLib::snapshotFormats(grabber);
        if (formats.get() == nullptr) continue;
        const std::string prefix = std::string(orEmpty(norm.c_str())) + ":";
        for (const KapriLib::VideoFormatItem& format : *formats)
            reportFormat(device, ++counter, prefix + KapriLib::takeDstringw(format.toString_()));
    }
}

// Each descriptor is reported at its largest size only; ids start at 0. Returns false when the
// library has no descriptor list for the device.
bool reportDescriptorFormats(Grabber& grabber, imaqkit::IDeviceInfo& device) {
    const auto descriptors = KapriLib::snapshotFormatDescs(grabber);
    if (descriptors.get() == nullptr) return false;
    int counter = 0;
    for (const auto& descriptor : *descriptors) {
        // An entry without a descriptor has no format to offer and uses up no id.
        const KapriLib::VideoFormatDesc* desc = descriptor.get();
        if (desc == nullptr) continue;
        const KapriLib::VideoFormatItem format = desc->createVideoFormat(desc->getMaxSize());
        reportFormat(device, counter++, KapriLib::takeDstringw(format.toString_()));
    }
    return true;
}

// Lists the device's formats on the path its norms choose; false when they cannot be listed.
bool reportFormats(Grabber& grabber, imaqkit::IDeviceInfo& device) {
    if (grabber.isVideoNormAvailableWithCurDev()) {
        reportNormFormats(grabber, device);
        return true;
    }
    return reportDescriptorFormats(grabber, device);
}

void reportDevice(Grabber& grabber, imaqkit::IHardwareInfo& hardware, int id, const char* name) {
    imaqkit::IDeviceInfo* device = hardware.createDeviceInfo(id, name);
    if (device == nullptr) return;
    device->setDeviceFileSupport(true);
    // An unopened device goes the same way: the library's lists decide what is reported.
    grabber.openDev(name);
    bool listed = false;
    try {
        listed = reportFormats(grabber, *device);
    } catch (const std::bad_alloc&) {
        // Memory exhaustion is the one failure that leaves discovery; the grabber's destructor
        // closes the device on the way out.
        throw;
    } catch (const std::exception&) {
        // Any other error while listing is a device whose formats cannot be loaded.
        listed = false;
    }
    if (listed) {
        hardware.addDevice(device);
    } else {
        warnf("Unable to load formats of: \"%s\".", name);
        grabber.closeDev();
    }
    grabber.stopLive();
    grabber.closeDev();
}

} // namespace

void discoverDevices(imaqkit::IHardwareInfo* hardwareInfo) {
    Grabber grabber;
    const auto devices = KapriLib::snapshotDevices(grabber);
    // Without a device list there is nothing to report.
    if (devices.get() == nullptr) return;
    const std::size_t count = devices->size();
    for (std::size_t index = 0; index < count; ++index)
        reportDevice(grabber, *hardwareInfo, static_cast<int>(index + 1), orEmpty((*devices)[index].c_str()));
}

} // namespace qvx
