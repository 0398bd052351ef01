// StringFromCLSID outside Windows: braced, upper-case text in CoTaskMem memory.
#include <cstddef>
#include <cstdint>

#include "platform/win32.h"

namespace {

// Written digit by digit: the region query formats six identifiers per frame, and a formatted print
// costs more than the rest of that query together.
OLECHAR* putHex(OLECHAR* out, std::uint32_t value, int digits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = digits - 1; i >= 0; --i) {
        out[i] = static_cast<OLECHAR>(kDigits[value & 0xFu]);
        value >>= 4;
    }
    return out + digits;
}

} // namespace

extern "C" HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text) {
    if (text == nullptr) return E_INVALIDARG;
    *text = nullptr;
    constexpr std::size_t kLength = 38; // "{" 8-4-4-4-12 "}"
    auto* wide = static_cast<LPOLESTR>(CoTaskMemAlloc((kLength + 1) * sizeof(OLECHAR)));
    if (wide == nullptr) return E_OUTOFMEMORY;
    OLECHAR* out = wide;
    *out++ = u'{';
    out = putHex(out, clsid.Data1, 8);
    *out++ = u'-';
    out = putHex(out, clsid.Data2, 4);
    *out++ = u'-';
    out = putHex(out, clsid.Data3, 4);
    *out++ = u'-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2) *out++ = u'-';
        out = putHex(out, clsid.Data4[i], 2);
    }
    *out++ = u'}';
    *out = 0;
    *text = wide;
    return S_OK;
}
