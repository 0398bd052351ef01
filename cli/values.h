// Property values as the user types and reads them.
#pragma once

#include <string>
#include <utility>

#include "sim/toolbox/toolbox.h"

namespace qvxcli {

// Enumeration texts as they are, integers in decimal, doubles in their shortest exact form.
std::string formatValue(const qvxtb::PropertyValue& value);
// "NAME=VALUE" split at the first '='; throws when there is none or the name is empty.
std::pair<std::string, std::string> splitAssignment(const std::string& assignment);
// The typed value for `property`: the text for enumerations, a number for numeric kinds (throws when it is
// none).
qvxtb::PropertyValue parseValue(const qvxtb::PropertyInfo& property, const std::string& text);
const qvxtb::PropertyInfo& findProperty(const qvxtb::DeviceDescription& description, const std::string& name);
// Applies each "NAME=VALUE" to the video input, in order.
void applyAssignments(qvxtb::VideoInput& input, const std::vector<std::string>& assignments);

} // namespace qvxcli
