// How the adaptor warns: every text is finished in a 1024-byte buffer and reaches the host literally.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#include "host/imaqkit.h"

namespace qvx {

constexpr const char* kWarningId = "QVXadaptor:constructor";
constexpr std::size_t kWarningBufferSize = 1024;

// Formats the text (cut, never overflowing, when longer than the buffer) and hands it to the
// host as the argument of "%s", so that a percent sign in a device or property name stays text.
inline void warnf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

inline void warnf(const char* format, ...) {
    char text[kWarningBufferSize];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (written < 0) {
        text[0] = '\0';
    } else if (static_cast<std::size_t>(written) >= sizeof text) {
        // Cut before a UTF-8 character that did not fit whole, so the host never sees half of one.
        std::size_t end = sizeof text - 1;
        std::size_t lead = end;
        while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80) --lead;
        if (lead > 0) {
            const auto first = static_cast<unsigned char>(text[lead - 1]);
            const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
            if (lead - 1 + length > end) end = lead - 1;
        }
        text[end] = '\0';
    }
    imaqkit::adaptorWarn(kWarningId, "%s", text);
}

} // namespace qvx
