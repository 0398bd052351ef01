// The listener interfaces through which the host calls the adaptor about property reads and writes.
#pragma once

#include "host/imaq_interface.h"
#include "host/prop_container.h"

namespace imaqkit {

class IPropCustomGetFcn : public IMAQInterface {
public:
    virtual void getValue(IPropInfo* property, void* value) = 0; // slot 1
};

class IPropPostSetListener : public IMAQInterface {
public:
    virtual void notify(IPropInfo* property, void* newValue) = 0; // slot 1
};

class IEnginePropPostSetListener : public IMAQInterface {
public:
    virtual void notify(IPropInfo* ignored, void* newValue) = 0; // slot 1
};

} // namespace imaqkit
