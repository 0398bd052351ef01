// SharedLibrary on Windows: LoadLibrary and GetProcAddress.
#if defined(_WIN32)

#include <string>

#include "platform/win32.h"
#include "sim/toolbox/shared_library.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {
namespace {

// Paths arrive as UTF-8; the wide loader keeps names outside the ANSI code page intact.
std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                        wide.data(), length);
    return wide;
}

std::string systemMessage(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string message = "error " + std::to_string(code);
    if (length > 0 && buffer != nullptr) {
        std::string text(buffer, length);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        message = text + " (" + message + ")";
    }
    if (buffer != nullptr) LocalFree(buffer);
    return message;
}

} // namespace

SharedLibrary::SharedLibrary(const std::string& path) : path_(path) {
    const std::wstring widePath = widen(path);
    // No "cannot find the DLL" dialog: a failed load is an error for the caller, not for the desktop.
    DWORD previousMode = 0;
    const BOOL modeSet = SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = widePath.empty() ? nullptr : LoadLibraryW(widePath.c_str());
    const DWORD error = GetLastError();
    if (modeSet) SetThreadErrorMode(previousMode, nullptr);
    if (module == nullptr) {
        throw ToolboxError(
            "Cannot load the adaptor library \"" + path +
            "\": " + (widePath.empty() ? std::string("the path is not valid UTF-8") : systemMessage(error)));
    }
    handle_ = module;
}

SharedLibrary::~SharedLibrary() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

} // namespace qvxtb::detail

#endif
