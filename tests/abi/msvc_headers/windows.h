// Stand-in <windows.h> for the MSVC layout probe: the Windows types the boundary headers name, with
// the sizes the Windows headers give them.
#pragma once
#include <stddef.h>
#define STDMETHODCALLTYPE __stdcall
#define WINAPI __stdcall
typedef wchar_t WCHAR;
typedef WCHAR OLECHAR;
typedef OLECHAR* BSTR;
typedef OLECHAR* LPOLESTR;
typedef long LONG;
typedef unsigned long ULONG;
typedef long HRESULT;
typedef unsigned long DWORD;
typedef unsigned int UINT;
typedef int BOOL;
typedef short VARIANT_BOOL;
typedef void* HWND;
typedef struct _GUID {
    unsigned long Data1;
    unsigned short Data2;
    unsigned short Data3;
    unsigned char Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const IID& REFIID;
typedef const GUID& REFGUID;
typedef const CLSID& REFCLSID;
typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE;
#define S_OK ((HRESULT)0L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_FAIL ((HRESULT)0x80004005L)
