// Feature reads and writes through Aravis, with its range and access checks on (set when the device opened).
#include "genicam/feature_values.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

#include "genicam/results.h"

namespace qvxgenicam {
namespace {

using Lock = std::lock_guard<std::mutex>;

LONG clampLong(gint64 v) {
    return static_cast<LONG>(
        std::clamp<gint64>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

ArvDevice* deviceOf(Device& device) { return arv_camera_get_device(device.camera()); }

} // namespace

HRESULT readInteger(Device& device, const std::string& name, IntegerFacts& facts) {
    Lock lock(device.control);
    GError* error = nullptr;
    const gint64 value = arv_device_get_integer_feature_value(deviceOf(device), name.c_str(), &error);
    if (error != nullptr) return resultOf(error);
    gint64 min = 0, max = 0;
    arv_device_get_integer_feature_bounds(deviceOf(device), name.c_str(), &min, &max, &error);
    if (error != nullptr) return resultOf(error);
    facts = IntegerFacts{clampLong(value), clampLong(min), clampLong(max)};
    return S_OK;
}

HRESULT writeInteger(Device& device, const std::string& name, LONG value) {
    Lock lock(device.control);
    GError* error = nullptr;
    arv_device_set_integer_feature_value(deviceOf(device), name.c_str(), value, &error);
    return resultOf(error);
}

HRESULT readFloat(Device& device, const std::string& name, FloatFacts& facts) {
    Lock lock(device.control);
    GError* error = nullptr;
    const double value = arv_device_get_float_feature_value(deviceOf(device), name.c_str(), &error);
    if (error != nullptr) return resultOf(error);
    double min = 0, max = 0;
    arv_device_get_float_feature_bounds(deviceOf(device), name.c_str(), &min, &max, &error);
    if (error != nullptr) return resultOf(error);
    facts = FloatFacts{value, min, max};
    return S_OK;
}

HRESULT writeFloat(Device& device, const std::string& name, double value) {
    if (!std::isfinite(value)) return E_INVALIDARG;
    Lock lock(device.control);
    GError* error = nullptr;
    arv_device_set_float_feature_value(deviceOf(device), name.c_str(), value, &error);
    return resultOf(error);
}

HRESULT readBoolean(Device& device, const std::string& name, bool& value) {
    Lock lock(device.control);
    GError* error = nullptr;
    gboolean on = FALSE;
    arv_device_get_boolean_feature_value_gi(deviceOf(device), name.c_str(), &on, &error);
    if (error != nullptr) return resultOf(error);
    value = on != FALSE;
    return S_OK;
}

HRESULT writeBoolean(Device& device, const std::string& name, bool value) {
    Lock lock(device.control);
    GError* error = nullptr;
    arv_device_set_boolean_feature_value(deviceOf(device), name.c_str(), value ? TRUE : FALSE, &error);
    return resultOf(error);
}

HRESULT executeCommand(Device& device, const std::string& name) {
    Lock lock(device.control);
    GError* error = nullptr;
    arv_device_execute_command(deviceOf(device), name.c_str(), &error);
    return resultOf(error);
}

namespace {

HRESULT entriesOf(Device& device, const std::string& name, std::vector<std::string>& entries) {
    GError* error = nullptr;
    guint count = 0;
    const char** values = arv_device_dup_available_enumeration_feature_values_as_strings(
        deviceOf(device), name.c_str(), &count, &error);
    if (error != nullptr) {
        g_free(values);
        return resultOf(error);
    }
    entries.clear();
    for (guint i = 0; values != nullptr && i < count; ++i)
        entries.emplace_back(values[i] == nullptr ? "" : values[i]);
    g_free(values);
    return S_OK;
}

} // namespace

HRESULT readEnumeration(Device& device, const std::string& name, std::vector<std::string>& entries,
                        LONG& position) {
    Lock lock(device.control);
    if (const HRESULT hr = entriesOf(device, name, entries); hr != S_OK) return hr;
    GError* error = nullptr;
    const char* current = arv_device_get_string_feature_value(deviceOf(device), name.c_str(), &error);
    if (error != nullptr) return resultOf(error);
    position = -1;
    for (std::size_t i = 0; current != nullptr && i < entries.size(); ++i)
        if (entries[i] == current) position = static_cast<LONG>(i);
    return S_OK;
}

HRESULT writeEnumeration(Device& device, const std::string& name, LONG position) {
    Lock lock(device.control);
    std::vector<std::string> entries;
    if (const HRESULT hr = entriesOf(device, name, entries); hr != S_OK) return hr;
    if (position < 0 || static_cast<std::size_t>(position) >= entries.size()) return E_INVALIDARG;
    GError* error = nullptr;
    arv_device_set_string_feature_value(deviceOf(device), name.c_str(),
                                        entries[static_cast<std::size_t>(position)].c_str(), &error);
    return resultOf(error);
}

} // namespace qvxgenicam
