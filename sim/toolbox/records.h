// What the adaptor did to the host (calls, warnings) and the faults tests inject, shared by every host
// object.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <type_traits>

namespace qvxtb::detail {

bool recordingCalls();
void recordCall(const char* object, const char* operation, std::string arguments);
void recordWarning(const char* identifier, std::string text);

bool propertyCreationFails(const char* name);
// Counts one make-frame and tells whether the injected fault makes it fail.
bool makeFrameFails();
// Counts one listener registration and tells whether the injected fault refuses it.
bool listenerRefused();
void frameObjectMade();
void frameObjectGone();

inline void appendArgument(std::string& out, const char* text) { out += text != nullptr ? text : "(null)"; }
inline void appendArgument(std::string& out, const std::string& text) { out += text; }
inline void appendArgument(std::string& out, bool value) { out += value ? "1" : "0"; }
inline void appendArgument(std::string& out, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    out += text;
}
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
void appendArgument(std::string& out, T value) {
    out += std::to_string(value);
}

template <typename... Args> std::string joinArguments(const Args&... args) {
    std::string out;
    bool first = true;
    ((out += first ? "" : "|", first = false, appendArgument(out, args)), ...);
    return out;
}

// Records a call with its arguments, formatting them only when recording is on (the frame path is hot).
template <typename... Args> void record(const char* object, const char* operation, const Args&... args) {
    if (recordingCalls()) recordCall(object, operation, joinArguments(args...));
}

} // namespace qvxtb::detail
