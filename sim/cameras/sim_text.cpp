// Text and identifier helpers of the camera stand-in.
#include "sim/cameras/sim_text.h"

#include <cstdio>
#include <cstring>

namespace qvxsim {

namespace {

// Appends text's UTF-16 form to out.
void appendWide(const std::string& text, WideString& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        }
        ++i;
        for (std::size_t k = 0; k < extra; ++k, ++i) {
            if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
                cp = 0xFFFD;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
        }
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            cp -= 0x10000;
            out.push_back(static_cast<WCHAR>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<WCHAR>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<WCHAR>(cp > 0x10FFFF ? 0xFFFD : cp));
        }
    }
}

} // namespace

WideString utf8ToWide(const std::string& text) {
    WideString out;
    appendWide(text, out);
    return out;
}

KapriLib::dstringw toDstringw(const std::string& text) {
    const WideString wide = utf8ToWide(text);
    auto* block = static_cast<WCHAR*>(CoTaskMemAlloc((wide.size() + 1) * sizeof(WCHAR)));
    if (block != nullptr) {
        if (!wide.empty()) std::memcpy(block, wide.data(), wide.size() * sizeof(WCHAR));
        block[wide.size()] = 0;
    }
    return KapriLib::dstringw{block};
}

BSTR toBstr(const std::string& text) {
    // Names are read for every item on every property access: the conversion reuses one buffer a thread.
    thread_local WideString wide;
    wide.clear();
    appendWide(text, wide);
    return SysAllocString(wide.c_str());
}

HRESULT outBstr(const std::string& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = toBstr(text);
    return *out == nullptr ? E_OUTOFMEMORY : S_OK;
}

namespace {

// Groups of 8-4-4-4-12 digits between braces, read from narrow or wide characters alike.
template <typename Char> std::optional<GUID> parseGuidChars(const Char* text, std::size_t size) {
    if (size != 38 || text[0] != '{' || text[37] != '}') return std::nullopt;
    unsigned char bytes[16];
    std::size_t pos = 1;
    int byte = 0;
    for (int group : {4, 2, 2, 2, 6}) {
        for (int k = 0; k < group; ++k) {
            unsigned value = 0;
            for (int nibble = 0; nibble < 2; ++nibble) {
                const auto c = static_cast<unsigned long>(text[pos++]);
                unsigned d;
                if (c >= '0' && c <= '9')
                    d = static_cast<unsigned>(c - '0');
                else if (c >= 'a' && c <= 'f')
                    d = static_cast<unsigned>(c - 'a' + 10);
                else if (c >= 'A' && c <= 'F')
                    d = static_cast<unsigned>(c - 'A' + 10);
                else
                    return std::nullopt;
                value = value * 16 + d;
            }
            bytes[byte++] = static_cast<unsigned char>(value);
        }
        if (byte < 16 && text[pos++] != '-') return std::nullopt;
    }
    GUID id{};
    id.Data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
               (std::uint32_t{bytes[2]} << 8) | bytes[3];
    id.Data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    id.Data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int k = 0; k < 8; ++k) id.Data4[k] = bytes[8 + k];
    return id;
}

} // namespace

std::optional<GUID> parseGuid(const std::string& text) { return parseGuidChars(text.data(), text.size()); }

std::optional<GUID> parseGuid(const OLECHAR* text, std::size_t size) {
    if (text == nullptr) return std::nullopt;
    return parseGuidChars(text, size);
}

std::size_t parseVcdPath(const OLECHAR* path, GUID (&parts)[3]) {
    std::size_t count = 0;
    for (const OLECHAR* start = path; start != nullptr;) {
        const OLECHAR* end = start;
        while (*end != 0 && *end != ':') ++end;
        const auto id = parseGuid(start, static_cast<std::size_t>(end - start));
        if (!id || count == 3) return 0;
        parts[count++] = *id;
        start = *end == ':' ? end + 1 : nullptr;
    }
    return count;
}

std::string guidText(const GUID& id) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(id.Data1), id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2],
                  id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    return text;
}

std::string stripBlanks(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

} // namespace qvxsim
