// WideCharToMultiByte outside Windows: UTF-16 to UTF-8 as Windows converts it (unpaired surrogates become
// U+FFFD).
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>

#include "platform/testing.h"
#include "platform/win32.h"

namespace {

struct RaiseHook {
    std::mutex mutex;
    long after = -1;
    std::function<void()> raise;
};

RaiseHook& raiseHook() {
    static RaiseHook hook;
    return hook;
}

// Runs the test's raise once its count of calls has passed.
void maybeRaise() {
    std::function<void()> raise;
    {
        RaiseHook& hook = raiseHook();
        std::lock_guard<std::mutex> lock(hook.mutex);
        if (hook.after < 0 || !hook.raise) return;
        if (hook.after > 0) {
            --hook.after;
            return;
        }
        hook.after = -1;
        raise = std::exchange(hook.raise, nullptr);
    }
    raise();
}

int utf8Length(std::uint32_t cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; }

void putUtf8(std::uint32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
    } else if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out[0] = static_cast<char>(0xF0 | (cp >> 18));
        out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

extern "C" int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int wideLength, LPSTR narrow,
                                   int narrowSize, LPCCH defaultChar, LPBOOL usedDefaultChar) {
    maybeRaise();
    // Only what the adaptor asks for: UTF-8, no flags, no default character.
    if (codePage != CP_UTF8 || flags != 0 || defaultChar != nullptr || usedDefaultChar != nullptr) return 0;
    if (wide == nullptr || wideLength == 0 || narrowSize < 0) return 0;
    if (narrow == nullptr && narrowSize != 0) return 0;
    std::int64_t count = wideLength;
    if (count < 0) { // -1: up to and including the terminating NUL
        count = 0;
        while (wide[count] != 0) ++count;
        ++count;
    }
    std::int64_t needed = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        std::uint32_t cp = static_cast<std::uint16_t>(wide[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count) {
            const std::uint32_t low = static_cast<std::uint16_t>(wide[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        const int length = utf8Length(cp);
        if (narrowSize != 0) {
            if (needed + length > narrowSize) return 0; // ERROR_INSUFFICIENT_BUFFER
            putUtf8(cp, narrow + needed);
        }
        needed += length;
        if (needed > 0x7FFFFFFF) return 0;
    }
    return static_cast<int>(needed);
}

namespace qvxplatform {

void raiseFromWideCharToMultiByteAfter(long count, std::function<void()> raise) {
    RaiseHook& hook = raiseHook();
    std::lock_guard<std::mutex> lock(hook.mutex);
    hook.after = count;
    hook.raise = std::move(raise);
}

} // namespace qvxplatform
