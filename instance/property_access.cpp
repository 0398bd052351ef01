// Property get and set: the grabber's input channel, frame rate and serial number, and the camera's VCD
// elements.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "attributes/vcd_declared.h"
#include "attributes/vcd_naming.h"
#include "attributes/vcd_walk.h"
#include "grabber/snapshot.h"
#include "grabber/vcd_ids.h"
#include "host/warning.h"
#include "instance/qvx_adaptor.h"

namespace qvx {

using KapriLib::IVCDAbsoluteValueProperty;
using KapriLib::IVCDButtonProperty;
using KapriLib::IVCDMapStringsProperty;
using KapriLib::IVCDPropertyElement;
using KapriLib::IVCDPropertyItems;
using KapriLib::IVCDRangeProperty;
using KapriLib::IVCDSwitchProperty;
using KapriLib::smart_com;

namespace {

// The host's value buffers are untyped; copying keeps every access well-defined.
template <class T> T readValue(const void* value) {
    T result;
    std::memcpy(&result, value, sizeof result);
    return result;
}

template <class T> void writeValue(void* value, T data) { std::memcpy(value, &data, sizeof data); }

// Map-strings ids are positions: value minus minimum. Wraps like the camera's 32-bit arithmetic
// instead of overflowing.
std::int32_t wrappingDifference(LONG a, LONG b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
std::int32_t wrappingSum(LONG a, LONG b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

// The serial number reads as the decimal value of its hexadecimal digits, up to the first letter.
std::int32_t serialNumberValue(std::int64_t serial) {
    char text[19];
    std::snprintf(text, sizeof text, "%X",
                  static_cast<unsigned>(static_cast<std::uint64_t>(serial) & 0xFFFFFFFFu));
    return static_cast<std::int32_t>(std::strtol(text, nullptr, 10));
}

DeclaredType declaredType(const imaqkit::IPropInfo* property) {
    return {property->getPropertyStorageType(), property->isPropertyEnumerated()};
}

// 0 of the declared type; a value of a type the adaptor never declares is left alone.
void writeZero(const DeclaredType& declared, void* value) {
    if (declared.isDouble())
        writeValue<double>(value, 0.0);
    else if (declared.storage == imaqkit::kStorageInteger)
        writeValue<std::int32_t>(value, 0);
}

// A name no element answers to, or whose element no longer offers the declared kind (its limits have
// changed since the description, or it never had a typed interface): the user is told, instead of
// seeing an old value, a value of another type or a write that silently did nothing.
void propertyNotFound(const char* name, const DeclaredType& declared, void* value) {
    writeZero(declared, value);
    warnf("Property \"%s\" not found.", name);
}

} // namespace

void QVXadaptor::getPropertyValue(imaqkit::IPropInfo* property, void* value) {
    const DeclaredType declared = declaredType(property);
    if (!grabber_.isDevValid()) {
        writeZero(declared, value);
        warnf("Unable to get property. Device invalid.");
        return;
    }
    const char* name = property->getPropertyName();
    if (name == nullptr) name = "";
    if (std::strcmp(name, "InputChannel") == 0) {
        // The host's ids are positions in the channel list; the current channel is found there by its
        // text, the one thing of a channel item the library promises to tell.
        const KapriLib::AnalogChannelItem current = grabber_.getInputChannel();
        const char* currentName = current.c_str();
        const auto channels = KapriLib::snapshotInputChannels(grabber_);
        if (const auto* list = channels.get(); list != nullptr && currentName != nullptr) {
            for (std::size_t position = 0; position < list->size(); ++position) {
                const char* candidate = (*list)[position].c_str();
                if (candidate != nullptr && std::strcmp(candidate, currentName) == 0) {
                    writeValue<std::int32_t>(value, static_cast<std::int32_t>(position));
                    break;
                }
            }
        }
    } else if (std::strcmp(name, "FrameRate") == 0) {
        const auto rates = KapriLib::snapshotFrameRates(grabber_);
        const std::int32_t current = grabber_.getFrameRate();
        if (const auto* list = rates.get())
            for (std::size_t position = 0; position < list->size(); ++position)
                if ((*list)[position] == current)
                    writeValue<std::int32_t>(value, static_cast<std::int32_t>(position));
    } else if (std::strcmp(name, "SerialNo") == 0) {
        std::int64_t serial = 0;
        if (grabber_.getDev().getSerialNumber(serial))
            writeValue<std::int32_t>(value, serialNumberValue(serial));
    } else {
        getVCDPropertyValue(name, declared, value);
    }
}

void QVXadaptor::setPropertyValue(imaqkit::IPropInfo* property, void* value) {
    const DeclaredType declared = declaredType(property);
    if (!grabber_.isDevValid()) {
        writeZero(declared, value);
        warnf("Unable to set property. Device invalid.");
        return;
    }
    const char* name = property->getPropertyName();
    if (name == nullptr) name = "";
    if (std::strcmp(name, "InputChannel") == 0) {
        grabber_.setInputChannel(readValue<std::uint32_t>(value));
    } else if (std::strcmp(name, "FrameRate") == 0) {
        if (!grabber_.isFrameRateListAvailable()) return;
        const auto rates = KapriLib::snapshotFrameRates(grabber_);
        const auto* list = rates.get();
        if (list == nullptr) return;
        const std::int32_t position = readValue<std::int32_t>(value);
        if (position < static_cast<std::int64_t>(list->size())) {
            if (position < 0) throw std::out_of_range("invalid vector<T> subscript");
            grabber_.setFrameRate((*list)[static_cast<std::size_t>(position)]);
        }
    } else {
        setVCDPropertyValue(name, declared, value);
    }
}

smart_com<IVCDPropertyElement> QVXadaptor::findVCDElement(const std::string& name) const {
    smart_com<IVCDPropertyElement> result;
    const smart_com<IVCDPropertyItems> items = grabber_.getAvailableVCDProperties();
    if (!items) return result;
    // Every item counts here, also those the catalogue passes over, and a later item wins.
    for (const auto& item : readItems(items.get())) {
        const std::string itemName = readItemName(item.get());
        for (const auto& element : readElements(item.get())) {
            if (makeVCDPropertyName(itemName, element.get(), false) == name) {
                result = element;
                break;
            }
        }
    }
    return result;
}

void QVXadaptor::getVCDPropertyValue(const char* name, const DeclaredType& declared, void* value) {
    const smart_com<IVCDPropertyElement> element = findVCDElement(name);
    if (!element) {
        propertyNotFound(name, declared, value);
        return;
    }
    if (declared.isDouble()) {
        if (const auto absolute = getElementInterface<IVCDAbsoluteValueProperty>(
                element.get(), KapriLib::kVcdAbsoluteValueInterface);
            absolute && declaresAbsoluteValue(absolute.get())) {
            double current = 0.0;
            throwIfFailed(absolute->get_Value(&current));
            writeValue<double>(value, current);
            return;
        }
    } else if (declared.isEnumeration()) {
        // The enumerated kinds in the reverse of the catalogue's order: the kind the host received last
        // under this name.
        if (const auto map =
                getElementInterface<IVCDMapStringsProperty>(element.get(), KapriLib::kVcdMapStringsInterface);
            map && declaresMapStrings(map.get())) {
            LONG current = 0, minimum = 0;
            throwIfFailed(map->get_Value(&current));
            throwIfFailed(map->get_RangeMin(&minimum));
            writeValue<std::int32_t>(value, wrappingDifference(current, minimum));
            return;
        }
        if (const auto toggle =
                getElementInterface<IVCDSwitchProperty>(element.get(), KapriLib::kVcdSwitchInterface)) {
            VARIANT_BOOL state = 0;
            throwIfFailed(toggle->get_Switch(&state));
            writeValue<std::int32_t>(value, state == -1 ? 1 : 0);
            return;
        }
        // A button has no value to read.
        if (getElementInterface<IVCDButtonProperty>(element.get(), KapriLib::kVcdButtonInterface)) return;
    } else if (declared.isInteger()) {
        if (const auto range =
                getElementInterface<IVCDRangeProperty>(element.get(), KapriLib::kVcdRangeInterface);
            range && declaresRange(range.get())) {
            LONG current = 0;
            throwIfFailed(range->get_Value(&current));
            writeValue<std::int32_t>(value, current);
            return;
        }
    }
    propertyNotFound(name, declared, value);
}

void QVXadaptor::setVCDPropertyValue(const char* name, const DeclaredType& declared, void* value) {
    const smart_com<IVCDPropertyElement> element = findVCDElement(name);
    if (!element) {
        propertyNotFound(name, declared, value);
        return;
    }
    if (declared.isDouble()) {
        if (const auto absolute = getElementInterface<IVCDAbsoluteValueProperty>(
                element.get(), KapriLib::kVcdAbsoluteValueInterface);
            absolute && declaresAbsoluteValue(absolute.get())) {
            throwIfFailed(absolute->put_Value(readValue<double>(value)));
            return;
        }
    } else if (declared.isEnumeration()) {
        if (const auto map =
                getElementInterface<IVCDMapStringsProperty>(element.get(), KapriLib::kVcdMapStringsInterface);
            map && declaresMapStrings(map.get())) {
            LONG minimum = 0;
            throwIfFailed(map->get_RangeMin(&minimum));
            throwIfFailed(map->put_Value(wrappingSum(minimum, readValue<std::int32_t>(value))));
            return;
        }
        if (const auto toggle =
                getElementInterface<IVCDSwitchProperty>(element.get(), KapriLib::kVcdSwitchInterface)) {
            // Only the first byte counts: the host hands enumeration ids in a wider buffer.
            const bool on = readValue<unsigned char>(value) != 0;
            throwIfFailed(toggle->put_Switch(on ? VARIANT_BOOL(-1) : VARIANT_BOOL(0)));
            return;
        }
        if (const auto button =
                getElementInterface<IVCDButtonProperty>(element.get(), KapriLib::kVcdButtonInterface)) {
            throwIfFailed(button->Push());
            return;
        }
    } else if (declared.isInteger()) {
        if (const auto range =
                getElementInterface<IVCDRangeProperty>(element.get(), KapriLib::kVcdRangeInterface);
            range && declaresRange(range.get())) {
            throwIfFailed(range->put_Value(readValue<std::int32_t>(value)));
            return;
        }
    }
    propertyNotFound(name, declared, value);
}

} // namespace qvx
