// Stand-in <objbase.h> for the MSVC layout probe: COM's base interface as the Windows headers declare
// it (three operations, no destructor).
#pragma once
#include <windows.h>
struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;
};
