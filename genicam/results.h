// Aravis errors as the result codes of the library's VCD interfaces.
#pragma once

#include <arv.h>

#include "platform/win32.h"

namespace qvxgenicam {

constexpr HRESULT kAccessDenied = static_cast<HRESULT>(0x80070005u);

// S_OK without an error; E_INVALIDARG for a value out of range, kAccessDenied for a feature that may not be
// written or read, E_FAIL for anything else (a camera that does not answer, say). Frees the error.
inline HRESULT resultOf(GError* error) {
    if (error == nullptr) return S_OK;
    HRESULT result = E_FAIL;
    if (error->domain == ARV_GC_ERROR) {
        if (error->code == ARV_GC_ERROR_OUT_OF_RANGE || error->code == ARV_GC_ERROR_ENUM_ENTRY_NOT_FOUND)
            result = E_INVALIDARG;
        else if (error->code == ARV_GC_ERROR_READ_ONLY)
            result = kAccessDenied;
    }
    g_error_free(error);
    return result;
}

} // namespace qvxgenicam
