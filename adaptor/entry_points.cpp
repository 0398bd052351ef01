// The five exported entry points; each hands over to the part of the adaptor that does the work.
#include "adaptor/exports.h"

#include "adaptor/discovery.h"
#include "attributes/device_attributes.h"
#include "grabber/grabber.h"
#include "instance/create_instance.h"

extern "C" {

void initializeAdaptor() { KapriLib::InitLibrary(); }

void uninitializeAdaptor() { KapriLib::ExitLibrary(); }

void getAvailHW(imaqkit::IHardwareInfo* hardwareInfo) { qvx::discoverDevices(hardwareInfo); }

void getDeviceAttributes(const imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                         imaqkit::IPropFactory* propFactory, imaqkit::IVideoSourceInfo* sourceInfo,
                         imaqkit::ITriggerInfo* triggerInfo) {
    qvx::getDeviceAttributes(deviceInfo, formatName, propFactory, sourceInfo, triggerInfo);
}

imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, const imaqkit::IDeviceInfo* deviceInfo,
                                  const char* formatName) {
    return qvx::createInstance(engine, deviceInfo, formatName);
}

} // extern "C"
