// The record of contract breaches: placeholder slots called, value buffers written past their end.
#include <mutex>
#include <string>
#include <vector>

#include "sim/toolbox/toolbox.h"

namespace qvxtb {
namespace {

struct Violations {
    std::mutex mutex;
    std::vector<std::string> texts;
};

Violations& violations() {
    static Violations instance;
    return instance;
}

} // namespace

std::vector<std::string> contractViolations() {
    Violations& v = violations();
    std::lock_guard<std::mutex> lock(v.mutex);
    return v.texts;
}

void clearContractViolations() {
    Violations& v = violations();
    std::lock_guard<std::mutex> lock(v.mutex);
    v.texts.clear();
}

void reportContractViolation(const std::string& what) {
    Violations& v = violations();
    std::lock_guard<std::mutex> lock(v.mutex);
    v.texts.push_back(what);
}

} // namespace qvxtb
