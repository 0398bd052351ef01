// The VCD property catalogue: one host property per element and interface kind of the camera.
#pragma once

#include <string>

#include "grabber/grabber.h"
#include "host/prop_factory.h"

namespace qvx {

void addVCDProperties(KapriLib::Grabber& grabber, imaqkit::IPropFactory* propFactory);

bool addRangeProperty(std::string name, KapriLib::IVCDPropertyElement* element,
                      imaqkit::IPropFactory* factory);
bool addButtonProperty(std::string name, KapriLib::IVCDPropertyElement* element,
                       imaqkit::IPropFactory* factory);
bool addSwitchProperty(std::string name, KapriLib::IVCDPropertyElement* element,
                       imaqkit::IPropFactory* factory);
bool addMapStringsProperty(std::string name, KapriLib::IVCDPropertyElement* element,
                           imaqkit::IPropFactory* factory);
bool addAbsoluteValueProperty(std::string name, KapriLib::IVCDPropertyElement* element,
                              imaqkit::IPropFactory* factory);

} // namespace qvx
