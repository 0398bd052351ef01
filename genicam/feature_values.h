// Reading and writing one camera feature by kind; every call holds the device's control lock.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "genicam/device.h"
#include "platform/win32.h"

namespace qvxgenicam {

// 64-bit integers are shown in the 32-bit range of the VCD interfaces, clamped at its ends.
struct IntegerFacts {
    LONG value = 0, min = 0, max = 0;
};
struct FloatFacts {
    double value = 0, min = 0, max = 0;
};

HRESULT readInteger(Device& device, const std::string& name, IntegerFacts& facts);
HRESULT writeInteger(Device& device, const std::string& name, LONG value);
HRESULT readFloat(Device& device, const std::string& name, FloatFacts& facts);
HRESULT writeFloat(Device& device, const std::string& name, double value);
HRESULT readBoolean(Device& device, const std::string& name, bool& value);
HRESULT writeBoolean(Device& device, const std::string& name, bool value);
HRESULT executeCommand(Device& device, const std::string& name);
// The entries available now, in the camera's order, and the position of the current one (-1: none).
HRESULT readEnumeration(Device& device, const std::string& name, std::vector<std::string>& entries,
                        LONG& position);
HRESULT writeEnumeration(Device& device, const std::string& name, LONG position);

} // namespace qvxgenicam
