// StringFromCLSID outside Windows: braced, upper-case text in CoTaskMem memory.
#include <cstdio>

#include "platform/win32.h"

extern "C" HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text) {
    if (text == nullptr) return E_INVALIDARG;
    *text = nullptr;
    char narrow[39];
    std::snprintf(narrow, sizeof narrow, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(clsid.Data1), clsid.Data2, clsid.Data3, clsid.Data4[0],
                  clsid.Data4[1], clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5],
                  clsid.Data4[6], clsid.Data4[7]);
    auto* wide = static_cast<LPOLESTR>(CoTaskMemAlloc(sizeof narrow * sizeof(OLECHAR)));
    if (wide == nullptr) return E_OUTOFMEMORY;
    for (std::size_t i = 0; i < sizeof narrow; ++i) wide[i] = static_cast<OLECHAR>(narrow[i]);
    *text = wide;
    return S_OK;
}
