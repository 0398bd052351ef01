// Text conversion around the grabber library.
#include "grabber/text.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>

namespace KapriLib {
namespace {

std::size_t lengthToNul(const WCHAR* text) {
    std::size_t n = 0;
    if (text != nullptr)
        while (text[n] != 0) ++n;
    return n;
}

} // namespace

std::string wideToUtf8(const WCHAR* text, std::size_t length) {
    if (text == nullptr || length == 0 || length > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return std::string();
    const int wideLength = static_cast<int>(length);
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    const int written = WideCharToMultiByte(CP_UTF8, 0, text, wideLength, &result[0], size, nullptr, nullptr);
    if (written <= 0) return std::string();
    result.resize(static_cast<std::size_t>(written));
    return result;
}

std::string wideToUtf8(const WideString& text) { return wideToUtf8(text.data(), text.size()); }

std::string takeDstringw(dstringw text) {
    std::unique_ptr<WCHAR, void (*)(void*)> owned(text.str, [](void* block) { CoTaskMemFree(block); });
    return wideToUtf8(owned.get(), lengthToNul(owned.get()));
}

std::string takeBstr(BSTR text) {
    std::unique_ptr<OLECHAR, void (*)(BSTR)> owned(text, [](BSTR block) { SysFreeString(block); });
    return wideToUtf8(owned.get(), lengthToNul(owned.get()));
}

DStringArg::DStringArg(const char* text) {
    const std::size_t length = text == nullptr ? 0 : std::strlen(text);
    copy_ = static_cast<char*>(CoTaskMemAlloc(length + 1));
    if (copy_ == nullptr) throw std::bad_alloc();
    if (length != 0) std::memcpy(copy_, text, length);
    copy_[length] = '\0';
}

DStringArg::~DStringArg() { CoTaskMemFree(copy_); }

} // namespace KapriLib
