// The adaptor's five entry points, exported under their plain names.
#pragma once

#include "host/adaptor.h"
#include "host/engine.h"
#include "host/hardware_info.h"
#include "host/prop_factory.h"
#include "host/source_info.h"

#if defined(_WIN32)
#define QVX_EXPORT __declspec(dllexport)
#else
#define QVX_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

QVX_EXPORT void initializeAdaptor();
QVX_EXPORT void uninitializeAdaptor();
QVX_EXPORT void getAvailHW(imaqkit::IHardwareInfo* hardwareInfo);
QVX_EXPORT void getDeviceAttributes(const imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                                    imaqkit::IPropFactory* propFactory, imaqkit::IVideoSourceInfo* sourceInfo,
                                    imaqkit::ITriggerInfo* triggerInfo);
QVX_EXPORT imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, const imaqkit::IDeviceInfo* deviceInfo,
                                             const char* formatName);
}
