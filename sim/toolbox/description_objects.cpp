// The property factory: builds each property's description and publishes it into the device's property set.
#include "sim/toolbox/description_objects.h"

#include <algorithm>
#include <cstring>

#include "sim/toolbox/records.h"

namespace qvxtb::detail {
namespace {

std::string text(const char* value) { return value != nullptr ? value : ""; }

std::string enumKey(const std::string& text, int id) { return std::to_string(id) + ":" + text; }

} // namespace

imaqkit::PropHandle PropFactoryObject::make(PropertyInfo info) {
    if (propertyCreationFails(info.name.c_str())) return nullptr;
    auto owned = std::make_unique<PropertyInfo>(std::move(info));
    PropertyInfo* handle = owned.get();
    Made& made = made_[handle];
    for (const EnumValue& value : handle->values) made.enumValues.insert(enumKey(value.text, value.id));
    made.info = std::move(owned);
    return handle;
}

PropertyInfo* PropFactoryObject::find(imaqkit::PropHandle handle) {
    auto it = made_.find(handle);
    return it != made_.end() ? it->second.info.get() : nullptr;
}

imaqkit::PropHandle PropFactoryObject::createDoubleProperty(const char* name, double min, double max,
                                                            double def) {
    record("propFactory", "createDoubleProperty", name, min, max, def);
    PropertyInfo info;
    info.name = text(name);
    info.type = PropType::Double;
    info.min = min;
    info.max = max;
    info.defaultValue = def;
    return make(std::move(info));
}

imaqkit::PropHandle PropFactoryObject::createIntProperty(const char* name, int first, int second) {
    record("propFactory", "createIntProperty", name, first, second);
    // An integer without limits: its values come from the adaptor's getter. The two integers are kept as
    // given; the first also serves as the default.
    PropertyInfo info;
    info.name = text(name);
    info.type = PropType::Integer;
    info.min = first;
    info.max = second;
    info.defaultValue = first;
    info.hasLimits = false;
    return make(std::move(info));
}

imaqkit::PropHandle PropFactoryObject::createIntRangeProperty(const char* name, int min, int max, int def,
                                                              int flag) {
    record("propFactory", "createIntRangeProperty", name, min, max, def, flag);
    PropertyInfo info;
    info.name = text(name);
    info.type = PropType::Integer;
    info.min = min;
    info.max = max;
    info.defaultValue = def;
    return make(std::move(info));
}

imaqkit::PropHandle PropFactoryObject::createEnumProperty(const char* name, const char* first, int id) {
    record("propFactory", "createEnumProperty", name, first, id);
    PropertyInfo info;
    info.name = text(name);
    info.type = PropType::Enum;
    info.defaultValue = id;
    info.values.push_back({text(first), id});
    return make(std::move(info));
}

void PropFactoryObject::addEnumValue(imaqkit::PropHandle property, const char* value, int id) {
    PropertyInfo* info = find(property);
    record("propFactory", "addEnumValue", info != nullptr ? info->name : std::string("(invalid handle)"),
           value, id);
    if (info == nullptr || info->type != PropType::Enum) return;
    // The same text under the same id again (a default offered twice) is one value, not two.
    const std::string added = text(value);
    if (made_[property].enumValues.insert(enumKey(added, id)).second) info->values.push_back({added, id});
}

void PropFactoryObject::addProperty(imaqkit::PropHandle property) {
    PropertyInfo* info = find(property);
    record("propFactory", "addProperty", info != nullptr ? info->name : std::string("(invalid handle)"));
    if (info == nullptr) return;
    Made& made = made_[property];
    if (made.published) return;
    made.published = true;
    // A later property under a name already held replaces the earlier one.
    auto held = publishedByName_.find(info->name);
    if (held != publishedByName_.end()) {
        made_[published_[held->second]].published = false;
        published_[held->second] = nullptr;
    }
    publishedByName_[info->name] = published_.size();
    published_.push_back(info);
}

void PropFactoryObject::setPropReadOnly(imaqkit::PropHandle property, const char* mode) {
    PropertyInfo* info = find(property);
    record("propFactory", "setPropReadOnly", info != nullptr ? info->name : std::string("(invalid handle)"),
           mode);
    if (info == nullptr) return;
    const std::string value = text(mode);
    if (value == "always" || value == "never" || value == "whileRunning") info->readOnly = value;
}

std::vector<PropertyInfo> PropFactoryObject::published() const {
    std::vector<PropertyInfo> properties;
    properties.reserve(published_.size());
    for (const PropertyInfo* info : published_)
        if (info != nullptr) properties.push_back(*info);
    return properties;
}

void SourceInfoObject::addAdaptorSource(const char* name, int id) {
    record("sourceInfo", "addAdaptorSource", name, id);
    sources_.push_back({text(name), id});
}

} // namespace qvxtb::detail
