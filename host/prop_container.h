// A container of host properties (engine or device) and the property-info object it hands out.
#pragma once

#include "host/imaq_interface.h"

namespace imaqkit {

class IEnginePropPostSetListener;
class IPropCustomGetFcn;
class IPropPostSetListener;

// The property-info object; also the first argument of every property listener.
class IPropInfo {
public:
    virtual ~IPropInfo() = default;                  // slot 0
    virtual const char* getPropertyName() const = 0; // slot 1
    virtual void slot2() = 0;
    virtual void slot3() = 0;
    virtual int getPropertyStorageType() const = 0; // slot 4: the type the host keeps the value in
    virtual void slot5() = 0;
    virtual bool isPropertyDeviceSpecific() const = 0; // slot 6
    virtual bool isPropertyEnumerated() const = 0;     // slot 7: kept as the value's integer id
    virtual void slot8() = 0;
    virtual void slot9() = 0;
    virtual void slot10() = 0;
    virtual void slot11() = 0;
    virtual void slot12() = 0;
    virtual void slot13() = 0;
};

// The storage types of getPropertyStorageType.
constexpr int kStorageOther = 0;
constexpr int kStorageString = 1;
constexpr int kStorageDouble = 2;
constexpr int kStorageDoubleArray = 3;
constexpr int kStorageInteger = 4;
constexpr int kStorageIntegerArray = 5;
constexpr int kStorageCommand = 6;

class IPropContainer {
public:
    virtual ~IPropContainer() = default; // slot 0
    virtual void slot1() = 0;
    virtual void slot2() = 0;
    virtual void slot3() = 0;
    virtual void slot4() = 0;
    virtual void slot5() = 0;
    virtual void slot6() = 0;
    virtual void slot7() = 0;
    virtual IPropInfo* getIPropInfo(const char* name) = 0; // slot 8
    virtual int getNumberProps() const = 0;                // slot 9
    // Fills `names` (room for getNumberProps() pointers); the texts belong to the container.
    virtual void getPropNames(const char** names) const = 0; // slot 10
    virtual void slot11() = 0;
    virtual void slot12() = 0;
    // The registrations take the listener over, unless they return false: then the host refused it and
    // it is still the caller's.
    virtual bool addEnginePostSetListener(const char* name, IEnginePropPostSetListener* listener) = 0; // 13
    virtual bool setCustomGetFcn(const char* name, IPropCustomGetFcn* getter) = 0;                     // 14
    virtual bool addPostSetListener(const char* name, IPropPostSetListener* listener) = 0;             // 15
    virtual void slot16() = 0;
    virtual void slot17() = 0;
};

} // namespace imaqkit
