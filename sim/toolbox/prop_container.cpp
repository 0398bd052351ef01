// Property containers: the adaptor registers its listeners here; the toolbox calls them on reads and writes.
#include "sim/toolbox/prop_container.h"

#include <cstring>

#include "sim/toolbox/records.h"

namespace qvxtb::detail {

const char* PropInfoObject::getPropertyName() const {
    record("propInfo", "getPropertyName", entry_.info.name);
    return entry_.info.name.c_str();
}

int PropInfoObject::getPropertyStorageType() const {
    record("propInfo", "getPropertyStorageType", entry_.info.name);
    switch (entry_.info.type) {
    case PropType::Double:
        return imaqkit::kStorageDouble;
    case PropType::Integer:
    case PropType::Enum:
        return imaqkit::kStorageInteger;
    case PropType::String:
        return imaqkit::kStorageString;
    }
    return imaqkit::kStorageOther;
}

bool PropInfoObject::isPropertyEnumerated() const {
    record("propInfo", "isPropertyEnumerated", entry_.info.name);
    return entry_.info.type == PropType::Enum;
}

bool PropInfoObject::isPropertyDeviceSpecific() const {
    record("propInfo", "isPropertyDeviceSpecific", entry_.info.name);
    (void)containerName_;
    return entry_.info.deviceSpecific;
}

PropContainer::~PropContainer() { deleteListeners(); }

void PropContainer::deleteListeners() {
    for (auto& entry : entries_) {
        delete entry->getter;
        entry->getter = nullptr;
        for (auto* listener : entry->postSetListeners) delete listener;
        entry->postSetListeners.clear();
        for (auto* listener : entry->engineListeners) delete listener;
        entry->engineListeners.clear();
    }
    for (auto* orphan : orphans_) delete orphan;
    orphans_.clear();
}

PropertyEntry& PropContainer::add(const PropertyInfo& info) {
    auto entry = std::make_unique<PropertyEntry>();
    entry->info = info;
    entry->infoObject = std::make_unique<PropInfoObject>(*entry, name_);
    entries_.push_back(std::move(entry));
    return *entries_.back();
}

PropertyEntry* PropContainer::find(const std::string& name) {
    for (auto& entry : entries_) {
        if (entry->info.name == name) return entry.get();
    }
    return nullptr;
}

imaqkit::IPropInfo* PropContainer::getIPropInfo(const char* name) {
    record(name_, "getIPropInfo", name);
    PropertyEntry* entry = name != nullptr ? find(name) : nullptr;
    return entry != nullptr ? entry->infoObject.get() : nullptr;
}

int PropContainer::getNumberProps() const {
    record(name_, "getNumberProps");
    return static_cast<int>(entries_.size());
}

void PropContainer::getPropNames(const char** names) const {
    record(name_, "getPropNames");
    if (names == nullptr) return;
    for (std::size_t i = 0; i < entries_.size(); ++i) names[i] = entries_[i]->info.name.c_str();
}

bool PropContainer::addEnginePostSetListener(const char* name,
                                             imaqkit::IEnginePropPostSetListener* listener) {
    record(name_, "addEnginePostSetListener", name);
    if (listener == nullptr || listenerRefused()) return false;
    PropertyEntry* entry = name != nullptr ? find(name) : nullptr;
    if (entry == nullptr) {
        orphans_.push_back(listener);
        return true;
    }
    entry->engineListeners.push_back(listener);
    return true;
}

bool PropContainer::setCustomGetFcn(const char* name, imaqkit::IPropCustomGetFcn* getter) {
    record(name_, "setCustomGetFcn", name);
    if (getter == nullptr || listenerRefused()) return false;
    PropertyEntry* entry = name != nullptr ? find(name) : nullptr;
    if (entry == nullptr) {
        orphans_.push_back(getter);
        return true;
    }
    // One getter per property: the host keeps the first and refuses another.
    if (entry->getter != nullptr) return false;
    entry->getter = getter;
    return true;
}

bool PropContainer::addPostSetListener(const char* name, imaqkit::IPropPostSetListener* listener) {
    record(name_, "addPostSetListener", name);
    if (listener == nullptr || listenerRefused()) return false;
    PropertyEntry* entry = name != nullptr ? find(name) : nullptr;
    if (entry == nullptr) {
        orphans_.push_back(listener);
        return true;
    }
    entry->postSetListeners.push_back(listener);
    return true;
}

} // namespace qvxtb::detail
