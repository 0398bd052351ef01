// What the tests read back from the stand-ins' records: host calls, warnings and grabber calls.
#pragma once

#include <string>
#include <vector>

#include "sim/cameras/sim_api.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtest {

// A base of the fixtures whose tests read the records.
struct HostRecords {
    // The recorded calls on one host object, as "operation(arguments)".
    static std::vector<std::string> callsOn(const std::string& object) {
        std::vector<std::string> out;
        for (const auto& call : qvxtb::calls())
            if (call.object == object) out.push_back(call.operation + "(" + call.arguments + ")");
        return out;
    }

    // The warnings' texts as the user sees them, in order.
    static std::vector<std::string> warningTexts() {
        std::vector<std::string> out;
        for (const auto& warning : qvxtb::warnings()) out.push_back(warning.text);
        return out;
    }

    // The stand-in's grabber calls that start with `prefix` (e.g. "openDev("), in order.
    static std::vector<std::string> grabberCalls(const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& call : qvxsim::callLog())
            if (call.compare(0, prefix.size(), prefix) == 0) out.push_back(call);
        return out;
    }
};

} // namespace qvxtest
