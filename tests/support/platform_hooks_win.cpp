// The platform layer's test hooks on Windows: the system's functions intercepted in our own modules' imports.
#if defined(_WIN32)

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/testing.h"

// Tests observe what the adaptor does with COM memory, BSTRs, message boxes and debug output. On Windows
// those are the system's own functions, so the test program redirects the import-table entries of the
// modules it is made of (itself, the two stand-ins, and every library the toolbox stand-in loads later,
// the adaptor among them) to counting wrappers that forward to the real functions. A message box is
// captured and never reaches a desktop, which a headless run would not have.

namespace {

using CoTaskMemAllocFn = void*(WINAPI*)(SIZE_T);
using CoTaskMemFreeFn = void(WINAPI*)(LPVOID);
using SysAllocStringFn = BSTR(WINAPI*)(const OLECHAR*);
using SysFreeStringFn = void(WINAPI*)(BSTR);
using StringFromCLSIDFn = HRESULT(WINAPI*)(REFCLSID, LPOLESTR*);
using MessageBoxAFn = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
using OutputDebugStringAFn = void(WINAPI*)(LPCSTR);
using LoadLibraryWFn = HMODULE(WINAPI*)(LPCWSTR);
using LoadLibraryAFn = HMODULE(WINAPI*)(LPCSTR);

struct Real {
    CoTaskMemAllocFn coTaskMemAlloc;
    CoTaskMemFreeFn coTaskMemFree;
    SysAllocStringFn sysAllocString;
    SysFreeStringFn sysFreeString;
    StringFromCLSIDFn stringFromCLSID;
    LoadLibraryWFn loadLibraryW;
    LoadLibraryAFn loadLibraryA;
};

struct Registry {
    std::mutex mutex;
    std::unordered_set<void*> coTaskBlocks;
    std::unordered_set<void*> bstrs;
    long invalidFrees = 0;
    long coTaskFailAfter = -1;
    long bstrFailAfter = -1;
    std::function<int(const qvxplatform::MessageBoxCall&)> messageBox;
    std::function<void(const char*)> debugOutput;
};

Registry& registry() {
    static Registry* instance = new Registry(); // outlives every static destructor that frees text
    return *instance;
}

template <typename Function> Function procedure(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    if (handle == nullptr) handle = LoadLibraryA(module);
    FARPROC address = handle != nullptr ? GetProcAddress(handle, name) : nullptr;
    if (address == nullptr) {
        std::fprintf(stderr, "test hooks: %s!%s is missing\n", module, name);
        std::abort();
    }
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

const Real& real() {
    static const Real functions{
        procedure<CoTaskMemAllocFn>("ole32.dll", "CoTaskMemAlloc"),
        procedure<CoTaskMemFreeFn>("ole32.dll", "CoTaskMemFree"),
        procedure<SysAllocStringFn>("oleaut32.dll", "SysAllocString"),
        procedure<SysFreeStringFn>("oleaut32.dll", "SysFreeString"),
        procedure<StringFromCLSIDFn>("ole32.dll", "StringFromCLSID"),
        procedure<LoadLibraryWFn>("kernel32.dll", "LoadLibraryW"),
        procedure<LoadLibraryAFn>("kernel32.dll", "LoadLibraryA"),
    };
    return functions;
}

bool consumeFailure(long& counter) {
    if (counter < 0) return false;
    if (counter == 0) {
        counter = -1;
        return true;
    }
    --counter;
    return false;
}

std::atomic<bool (*)(const char*)> gFailureHook{nullptr};

bool hookSaysFail(const char* function) {
    bool (*hook)(const char*) = gFailureHook.load();
    return hook != nullptr && hook(function);
}

void* WINAPI hookCoTaskMemAlloc(SIZE_T size) {
    if (hookSaysFail("CoTaskMemAlloc")) return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (consumeFailure(r.coTaskFailAfter)) return nullptr;
    void* block = real().coTaskMemAlloc(size);
    if (block != nullptr) r.coTaskBlocks.insert(block);
    return block;
}

void WINAPI hookCoTaskMemFree(LPVOID block) {
    if (block == nullptr) return;
    Registry& r = registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        // A pointer we never handed out (a double free among them) is counted, not passed on: the real
        // allocator would corrupt its heap.
        if (r.coTaskBlocks.erase(block) == 0) {
            ++r.invalidFrees;
            return;
        }
    }
    real().coTaskMemFree(block);
}

HRESULT WINAPI hookStringFromCLSID(REFCLSID clsid, LPOLESTR* text) {
    if (hookSaysFail("CoTaskMemAlloc")) {
        if (text != nullptr) *text = nullptr;
        return E_OUTOFMEMORY;
    }
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (consumeFailure(r.coTaskFailAfter)) {
        if (text != nullptr) *text = nullptr;
        return E_OUTOFMEMORY;
    }
    const HRESULT result = real().stringFromCLSID(clsid, text);
    if (SUCCEEDED(result) && text != nullptr && *text != nullptr) r.coTaskBlocks.insert(*text);
    return result;
}

BSTR WINAPI hookSysAllocString(const OLECHAR* text) {
    if (text == nullptr) return nullptr;
    if (hookSaysFail("SysAllocString")) return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (consumeFailure(r.bstrFailAfter)) return nullptr;
    BSTR result = real().sysAllocString(text);
    if (result != nullptr) r.bstrs.insert(result);
    return result;
}

void WINAPI hookSysFreeString(BSTR text) {
    if (text == nullptr) return;
    Registry& r = registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (r.bstrs.erase(text) == 0) {
            ++r.invalidFrees;
            return;
        }
    }
    real().sysFreeString(text);
}

int WINAPI hookMessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style) {
    const qvxplatform::MessageBoxCall call{text != nullptr ? text : "", caption != nullptr ? caption : "",
                                           style};
    std::function<int(const qvxplatform::MessageBoxCall&)> hook;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        hook = registry().messageBox;
    }
    if (hook) return hook(call);
    std::fprintf(stderr, "[%s] %s\n", call.caption.c_str(), call.text.c_str());
    return IDOK;
}

void WINAPI hookOutputDebugStringA(LPCSTR text) {
    std::function<void(const char*)> hook;
    {
        std::lock_guard<std::mutex> lock(registry().mutex);
        hook = registry().debugOutput;
    }
    if (hook) {
        hook(text != nullptr ? text : "");
        return;
    }
    if (std::getenv("QVX_DEBUG_OUTPUT") != nullptr && text != nullptr) std::fputs(text, stderr);
}

void patchModule(HMODULE module);

// Libraries loaded later (the adaptor, by the toolbox stand-in) get the same redirections.
HMODULE WINAPI hookLoadLibraryW(LPCWSTR name) {
    HMODULE module = real().loadLibraryW(name);
    if (module != nullptr) patchModule(module);
    return module;
}

HMODULE WINAPI hookLoadLibraryA(LPCSTR name) {
    HMODULE module = real().loadLibraryA(name);
    if (module != nullptr) patchModule(module);
    return module;
}

struct Redirection {
    const char* name;
    void* replacement;
};

const Redirection kRedirections[] = {
    {"CoTaskMemAlloc", reinterpret_cast<void*>(&hookCoTaskMemAlloc)},
    {"CoTaskMemFree", reinterpret_cast<void*>(&hookCoTaskMemFree)},
    {"StringFromCLSID", reinterpret_cast<void*>(&hookStringFromCLSID)},
    {"SysAllocString", reinterpret_cast<void*>(&hookSysAllocString)},
    {"SysFreeString", reinterpret_cast<void*>(&hookSysFreeString)},
    {"MessageBoxA", reinterpret_cast<void*>(&hookMessageBoxA)},
    {"OutputDebugStringA", reinterpret_cast<void*>(&hookOutputDebugStringA)},
    {"LoadLibraryW", reinterpret_cast<void*>(&hookLoadLibraryW)},
    {"LoadLibraryA", reinterpret_cast<void*>(&hookLoadLibraryA)},
};

void* replacementFor(const char* name) {
    for (const Redirection& redirection : kRedirections)
        if (std::strcmp(redirection.name, name) == 0) return redirection.replacement;
    return nullptr;
}

void writeEntry(ULONG_PTR* entry, void* replacement) {
    DWORD oldProtection = 0;
    if (!VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &oldProtection)) {
        std::fprintf(stderr, "test hooks: cannot write an import entry\n");
        std::abort();
    }
    *entry = reinterpret_cast<ULONG_PTR>(replacement);
    VirtualProtect(entry, sizeof *entry, oldProtection, &oldProtection);
}

// Walks the module's import descriptors; entries imported by name are matched through the hint/name table.
void patchModule(HMODULE module) {
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return;
    for (auto* descriptor = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (descriptor->OriginalFirstThunk == 0) continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            void* replacement = replacementFor(reinterpret_cast<const char*>(byName->Name));
            if (replacement != nullptr && entries->u1.Function != reinterpret_cast<ULONG_PTR>(replacement))
                writeEntry(reinterpret_cast<ULONG_PTR*>(&entries->u1.Function), replacement);
        }
    }
}

struct Installer {
    Installer() {
        real();
        patchModule(GetModuleHandleW(nullptr));
        for (const wchar_t* name : {L"QVX_KAPRI10_x64.dll", L"imaqmex.dll", L"QVXImaq.dll"}) {
            if (HMODULE module = GetModuleHandleW(name)) patchModule(module);
        }
    }
};

const Installer installer;

} // namespace

namespace qvxplatform {

long liveCoTaskMemBlocks() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return static_cast<long>(r.coTaskBlocks.size());
}

long liveBstrs() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return static_cast<long>(r.bstrs.size());
}

long invalidFrees() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.invalidFrees;
}

void failCoTaskMemAllocAfter(long count) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.coTaskFailAfter = count;
}

void failSysAllocStringAfter(long count) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.bstrFailAfter = count;
}

void setAllocationFailureHook(bool (*hook)(const char* function)) { gFailureHook.store(hook); }

void setMessageBoxHook(std::function<int(const MessageBoxCall&)> hook) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().messageBox = std::move(hook);
}

void setDebugOutputHook(std::function<void(const char*)> hook) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().debugOutput = std::move(hook);
}

} // namespace qvxplatform

#endif
