// The adaptor beside qvx-imaq.exe, found from the executable's own path.
#if defined(_WIN32)

#include <stdexcept>
#include <string>
#include <vector>

#include "cli/session.h"
#include "platform/win32.h"

namespace qvxcli {

std::string defaultAdaptorPath() {
    // Long paths exceed MAX_PATH; grow until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0 || length < buffer.size()) break;
        if (buffer.size() >= 32768) {
            length = 0;
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    std::wstring executable(buffer.data(), length);
    const std::size_t slash = executable.find_last_of(L"\\/");
    if (length == 0 || slash == std::wstring::npos)
        throw std::runtime_error("cannot find this program's folder; give the adaptor with --adaptor");
    const std::wstring wide = executable.substr(0, slash + 1) + L"QVXImaq.dll";
    // The toolbox API takes UTF-8 paths.
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        throw std::runtime_error("cannot find this program's folder; give the adaptor with --adaptor");
    std::string path(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), path.data(), size, nullptr,
                        nullptr);
    return path;
}

} // namespace qvxcli

#endif
