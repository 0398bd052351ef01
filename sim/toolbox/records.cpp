// The stand-in's record of calls and warnings, and the fault switches tests set.
#include "sim/toolbox/records.h"

#include <atomic>
#include <cstdarg>
#include <mutex>
#include <vector>

#include "sim/toolbox/toolbox.h"

namespace qvxtb {
namespace {

struct Records {
    std::mutex mutex;
    std::vector<Warning> warnings;
    std::vector<CallRecord> calls;
    std::string failingCreation;
};

Records& records() {
    static Records instance;
    return instance;
}

std::atomic<bool> gRecordCalls{true};
std::atomic<bool> gPrintWarnings{true};
std::atomic<long> gMakeFrameBudget{-1};
std::atomic<long> gListenerBudget{-1};
std::atomic<long> gLiveFrameObjects{0};

} // namespace

namespace detail {

bool recordingCalls() { return gRecordCalls.load(std::memory_order_relaxed); }

void recordCall(const char* object, const char* operation, std::string arguments) {
    Records& r = records();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.calls.push_back(CallRecord{object, operation, std::move(arguments)});
}

void recordWarning(const char* identifier, std::string text) {
    if (gPrintWarnings.load()) std::fprintf(stderr, "Warning: %s\n", text.c_str());
    Records& r = records();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.warnings.push_back(Warning{identifier != nullptr ? identifier : "", std::move(text)});
}

bool propertyCreationFails(const char* name) {
    Records& r = records();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.failingCreation.empty()) return false;
    return r.failingCreation == "*" || (name != nullptr && r.failingCreation == name);
}

bool makeFrameFails() {
    long budget = gMakeFrameBudget.load();
    while (budget > 0) {
        if (gMakeFrameBudget.compare_exchange_weak(budget, budget - 1)) return false;
    }
    return budget == 0;
}

bool listenerRefused() {
    long budget = gListenerBudget.load();
    while (budget > 0) {
        if (gListenerBudget.compare_exchange_weak(budget, budget - 1)) return false;
    }
    return budget == 0;
}

void frameObjectMade() { ++gLiveFrameObjects; }
void frameObjectGone() { --gLiveFrameObjects; }

} // namespace detail

std::vector<Warning> warnings() {
    Records& r = records();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.warnings;
}

std::vector<CallRecord> calls() {
    Records& r = records();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.calls;
}

void clearRecords() {
    Records& r = records();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.warnings.clear();
    r.calls.clear();
}

void setPrintWarnings(bool print) { gPrintWarnings = print; }
void setRecordCalls(bool record) { gRecordCalls = record; }

void failPropertyCreation(const std::string& name) {
    Records& r = records();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.failingCreation = name;
}

void failMakeFrameAfter(long count) { gMakeFrameBudget = count < 0 ? -1 : count; }
void refuseListenersAfter(long count) { gListenerBudget = count < 0 ? -1 : count; }
long liveFrameObjects() { return gLiveFrameObjects.load(); }

} // namespace qvxtb
