// The host objects of description: the property factory, the source list and the (unused) trigger list.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "host/prop_factory.h"
#include "host/source_info.h"
#include "sim/toolbox/placeholder.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

class PropFactoryObject final : public imaqkit::IPropFactory {
public:
    QVXTB_PROP_FACTORY_PLACEHOLDERS
    imaqkit::PropHandle createDoubleProperty(const char* name, double min, double max, double def) override;
    imaqkit::PropHandle createIntProperty(const char* name, int first, int second) override;
    imaqkit::PropHandle createIntRangeProperty(const char* name, int min, int max, int def,
                                               int flag) override;
    imaqkit::PropHandle createEnumProperty(const char* name, const char* text, int id) override;
    void addEnumValue(imaqkit::PropHandle property, const char* text, int id) override;
    void addProperty(imaqkit::PropHandle property) override;
    void setPropReadOnly(imaqkit::PropHandle property, const char* mode) override;

    // The published properties, in publishing order.
    std::vector<PropertyInfo> published() const;

private:
    imaqkit::PropHandle make(PropertyInfo info);
    PropertyInfo* find(imaqkit::PropHandle handle);

    // Every property made, published or not; handles stay valid until the factory goes. Look-ups go
    // through hashes, so a device of many properties or values is described in linear time.
    struct Made {
        std::unique_ptr<PropertyInfo> info;
        std::unordered_set<std::string> enumValues; // text and id of every value held
        bool published = false;
    };
    std::unordered_map<imaqkit::PropHandle, Made> made_;
    // Publishing order; a null entry is a property a later one of its name replaced.
    std::vector<PropertyInfo*> published_;
    std::unordered_map<std::string, std::size_t> publishedByName_;
};

class SourceInfoObject final : public imaqkit::IVideoSourceInfo {
public:
    void addAdaptorSource(const char* name, int id) override;
    const std::vector<SourceInfo>& sources() const { return sources_; }

private:
    std::vector<SourceInfo> sources_;
};

class TriggerInfoObject final : public imaqkit::ITriggerInfo {};

} // namespace qvxtb::detail
