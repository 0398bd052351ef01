// A host property container (engine or device properties) with its property-info objects and listeners.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/listeners.h"
#include "host/prop_container.h"
#include "sim/toolbox/placeholder.h"
#include "sim/toolbox/property_values.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

class PropInfoObject;

// One property: its description, its stored value and the adaptor's listeners (owned by the host).
struct PropertyEntry {
    PropertyInfo info;
    std::unique_ptr<PropInfoObject> infoObject;
    ValueBuffer value{};
    std::string textValue; // string properties (the engine's SelectedSourceName)
    imaqkit::IPropCustomGetFcn* getter = nullptr;
    std::vector<imaqkit::IPropPostSetListener*> postSetListeners;
    std::vector<imaqkit::IEnginePropPostSetListener*> engineListeners;
};

class PropInfoObject final : public imaqkit::IPropInfo {
public:
    QVXTB_PROP_INFO_PLACEHOLDERS
    PropInfoObject(const PropertyEntry& entry, const char* containerName)
        : entry_(entry), containerName_(containerName) {}
    const char* getPropertyName() const override;
    int getPropertyStorageType() const override;
    bool isPropertyDeviceSpecific() const override;
    bool isPropertyEnumerated() const override;

private:
    const PropertyEntry& entry_;
    const char* containerName_;
};

class PropContainer final : public imaqkit::IPropContainer {
public:
    QVXTB_PROP_CONTAINER_PLACEHOLDERS
    // `name` names the container in the call records ("enginePropContainer", "devicePropContainer").
    explicit PropContainer(const char* name) : name_(name) {}
    ~PropContainer() override;
    PropContainer(const PropContainer&) = delete;
    PropContainer& operator=(const PropContainer&) = delete;

    PropertyEntry& add(const PropertyInfo& info);
    PropertyEntry* find(const std::string& name);
    const std::vector<std::unique_ptr<PropertyEntry>>& entries() const { return entries_; }
    // Deletes every listener the adaptor registered; called once the adaptor is gone.
    void deleteListeners();

    imaqkit::IPropInfo* getIPropInfo(const char* name) override;
    int getNumberProps() const override;
    void getPropNames(const char** names) const override;
    // A registration is refused (false: the listener stays the adaptor's) when it is null, a second getter
    // for one name, or refused by the test's fault (refuseListenersAfter).
    bool addEnginePostSetListener(const char* name, imaqkit::IEnginePropPostSetListener* listener) override;
    bool setCustomGetFcn(const char* name, imaqkit::IPropCustomGetFcn* getter) override;
    bool addPostSetListener(const char* name, imaqkit::IPropPostSetListener* listener) override;

private:
    const char* name_;
    std::vector<std::unique_ptr<PropertyEntry>> entries_;
    // Listeners registered under names the container does not hold: never called, but still the host's.
    std::vector<imaqkit::IMAQInterface*> orphans_;
};

} // namespace qvxtb::detail
