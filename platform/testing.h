// Observation hooks of the platform layer for tests: live-block counters and capture of boxes and debug text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/win32.h"

#if defined(_WIN32)
// On Windows the test program intercepts the system's functions in its own modules instead.
#define QVX_PLATFORM_API
#endif

namespace qvxplatform {

// Blocks from CoTaskMemAlloc (StringFromCLSID results included) not yet freed.
QVX_PLATFORM_API long liveCoTaskMemBlocks();
// BSTRs from SysAllocString not yet freed.
QVX_PLATFORM_API long liveBstrs();
// Frees of pointers the layer never handed out (a double free shows here).
QVX_PLATFORM_API long invalidFrees();

struct MessageBoxCall {
    std::string text;
    std::string caption;
    unsigned style;
};

// Replaces the message-box behaviour; null restores the default (print to standard error, answer OK).
QVX_PLATFORM_API void setMessageBoxHook(std::function<int(const MessageBoxCall&)> hook);
// Replaces the debug-output sink; null restores the default (dropped unless QVX_DEBUG_OUTPUT is set).
QVX_PLATFORM_API void setDebugOutputHook(std::function<void(const char*)> hook);

// Makes the next CoTaskMemAlloc/SysAllocString calls fail once `count` more have succeeded (-1: never).
QVX_PLATFORM_API void failCoTaskMemAllocAfter(long count);
QVX_PLATFORM_API void failSysAllocStringAfter(long count);
// Asked before every CoTaskMemAlloc and SysAllocString (StringFromCLSID's text included), on the
// allocating thread, with the function's name: true makes that call fail. Null (the default) fails none.
QVX_PLATFORM_API void setAllocationFailureHook(bool (*hook)(const char* function));

#if !defined(_WIN32)
// Makes WideCharToMultiByte run `raise` (which throws) once `count` more calls have succeeded (-1 or a
// null `raise`: never), so that a test can see what a conversion that throws leaves behind.
QVX_PLATFORM_API void raiseFromWideCharToMultiByteAfter(long count, std::function<void()> raise);
#endif

} // namespace qvxplatform
