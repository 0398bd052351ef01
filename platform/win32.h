// Windows types and functions the adaptor uses: the real ones on Windows, our own declarations elsewhere.
#pragma once

#if defined(_WIN32)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <string>

// UTF-16 text as the platform hands it out.
using WideString = std::wstring;
#define QVX_WIDE(text) L##text

#else // !_WIN32

#include <cstddef>
#include <cstdint>
#include <string>

#if defined(QVX_PLATFORM_BUILD)
#define QVX_PLATFORM_API __attribute__((visibility("default")))
#else
#define QVX_PLATFORM_API __attribute__((visibility("default")))
#endif

#define STDMETHODCALLTYPE
#define WINAPI

using WCHAR = char16_t;
using OLECHAR = WCHAR;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using LPCWCH = const WCHAR*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCCH = const char*;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using HRESULT = std::int32_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using BOOL = int;
using LPBOOL = BOOL*;
using VARIANT_BOOL = std::int16_t;
using HWND = void*;

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
using CLSID = GUID;
using IID = GUID;
using REFGUID = const GUID&;
using REFCLSID = const GUID&;
using REFIID = const GUID&;

inline bool operator==(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }

struct tagSIZE {
    LONG cx;
    LONG cy;
};
using SIZE = tagSIZE;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);

constexpr UINT CP_UTF8 = 65001;
constexpr UINT MB_OK = 0x00000000u;
constexpr UINT MB_ICONERROR = 0x00000010u;
constexpr int IDOK = 1;

// COM's base interface: query-interface, add-reference, release in slots 0 to 2, no destructor.
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};

extern "C" {
QVX_PLATFORM_API void* CoTaskMemAlloc(std::size_t size);
QVX_PLATFORM_API void CoTaskMemFree(void* block);
QVX_PLATFORM_API BSTR SysAllocString(const OLECHAR* text);
QVX_PLATFORM_API void SysFreeString(BSTR text);
QVX_PLATFORM_API HRESULT StringFromCLSID(REFCLSID clsid, LPOLESTR* text);
QVX_PLATFORM_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wide, int wideLength,
                                         LPSTR narrow, int narrowSize, LPCCH defaultChar,
                                         LPBOOL usedDefaultChar);
QVX_PLATFORM_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
QVX_PLATFORM_API void OutputDebugStringA(LPCSTR text);
}

using WideString = std::u16string;
#define QVX_WIDE(text) u##text

#endif // _WIN32
