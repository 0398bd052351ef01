// Text conversion around the grabber library: wide results to UTF-8, narrow arguments as dstringa.
#pragma once

#include <cstddef>
#include <string>

#include "grabber/dstring.h"
#include "platform/win32.h"

namespace KapriLib {

// UTF-16 to UTF-8; empty for an empty input and for a failed conversion alike.
std::string wideToUtf8(const WCHAR* text, std::size_t length);
std::string wideToUtf8(const WideString& text);

// Converts a library result up to its first NUL and frees it, also when the conversion throws.
std::string takeDstringw(dstringw text);
// Converts a BSTR up to its first NUL (its length prefix is not used) and frees it.
std::string takeBstr(BSTR text);

// A dstringa argument: a CoTaskMem copy of the text, freed when this goes out of scope.
class DStringArg {
public:
    explicit DStringArg(const char* text);
    explicit DStringArg(const std::string& text) : DStringArg(text.c_str()) {}
    DStringArg(const DStringArg&) = delete;
    DStringArg& operator=(const DStringArg&) = delete;
    ~DStringArg();

    dstringa get() const { return dstringa{copy_}; }
    operator dstringa() const { return get(); }

private:
    char* copy_;
};

} // namespace KapriLib
