// Texts crossing the grabber library: dstringa arguments and dstringw results, both in CoTaskMem memory.
#pragma once

#include "platform/win32.h"

namespace KapriLib {

// Narrow text argument; the caller allocates and frees it.
struct dstringa {
    const char* str;
};

// Wide text result; the receiver frees `str` with CoTaskMemFree (null means empty).
struct dstringw {
    WCHAR* str;
};

} // namespace KapriLib
