// Fuzz target: UTF-16 to UTF-8 conversion, checked against a decoder of its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "grabber/text.h"
#include "platform/testing.h"
#include "platform/win32.h"

namespace {

// Unpaired surrogates become U+FFFD, as the platform's conversion does.
std::string decodeIndependently(const std::u16string& text) {
    std::string out;
    auto put = [&out](std::uint32_t c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::uint32_t unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            put(0x10000 + ((unit - 0xD800) << 10) + (static_cast<std::uint32_t>(text[i + 1]) - 0xDC00));
            ++i;
        } else if (high || low) {
            put(0xFFFD);
        } else {
            put(unit);
        }
    }
    return out;
}

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const long blocksBefore = qvxplatform::liveCoTaskMemBlocks();
    const long bstrsBefore = qvxplatform::liveBstrs();
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));

    // With an explicit length, embedded NULs are text like any other.
    check(KapriLib::wideToUtf8(text.data(), text.size()) == decodeIndependently(text));
    check(KapriLib::wideToUtf8(WideString(text.begin(), text.end())) == decodeIndependently(text));

    // Library results end at their first NUL and are freed after conversion.
    const std::u16string upToNul = text.substr(0, text.find(u'\0'));
    const std::string expected = decodeIndependently(upToNul);
    check(KapriLib::takeBstr(SysAllocString(text.c_str())) == expected);
    auto* block = static_cast<WCHAR*>(CoTaskMemAlloc((text.size() + 1) * sizeof(WCHAR)));
    check(block != nullptr);
    for (std::size_t i = 0; i <= text.size(); ++i) block[i] = i < text.size() ? text[i] : u'\0';
    check(KapriLib::takeDstringw(KapriLib::dstringw{block}) == expected);

    check(qvxplatform::liveCoTaskMemBlocks() == blocksBefore);
    check(qvxplatform::liveBstrs() == bstrsBefore);
    return 0;
}
