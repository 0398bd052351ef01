// Fuzz target: VCD property names (makeVCDPropertyName, replaceAll), checked against rules of its own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "attributes/vcd_naming.h"
#include "grabber/vcd.h"
#include "grabber/vcd_ids.h"
#include "platform/testing.h"
#include "platform/win32.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// An element that lives on the stack: a name and an identifier, nothing else.
// Slots the adaptor never calls: reaching one is a fault the run must stop on.
#define QVX_FUZZ_PLACEHOLDER(n)                                                                              \
    HRESULT STDMETHODCALLTYPE slot##n() override { std::abort(); }

class NamedElement : public KapriLib::IVCDPropertyElement {
public:
    QVX_FUZZ_PLACEHOLDER(3)
    QVX_FUZZ_PLACEHOLDER(4)
    QVX_FUZZ_PLACEHOLDER(5)
    QVX_FUZZ_PLACEHOLDER(6)
    QVX_FUZZ_PLACEHOLDER(7)
    QVX_FUZZ_PLACEHOLDER(8)
    QVX_FUZZ_PLACEHOLDER(9)
    QVX_FUZZ_PLACEHOLDER(11)
    NamedElement(std::u16string name, GUID id) : name_(std::move(name)), id_(id) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        *name = SysAllocString(name_.c_str());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ElementID(GUID* id) override {
        *id = id_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE findInterface(BSTR, IUnknown** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    std::u16string name_;
    GUID id_;
};

// Left to right, never looking at what was just put in.
std::string replaceNaively(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

std::string without(std::string text, const std::string& characters) {
    std::string out;
    for (const char c : text)
        if (characters.find(c) == std::string::npos) out += c;
    return out;
}

// Names are ASCII here, so the element's UTF-16 name maps byte for byte.
std::u16string widen(const std::string& text) {
    std::u16string out;
    for (const char c : text) out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c) & 0x7F));
    return out;
}

std::string narrowAscii(const std::u16string& text) {
    std::string out;
    for (const char16_t c : text) {
        if (c == 0) break; // the name arrives as a BSTR and ends at its first NUL
        out += static_cast<char>(c);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const long blocksBefore = qvxplatform::liveCoTaskMemBlocks();
    const long bstrsBefore = qvxplatform::liveBstrs();

    // Layout: one selector byte, then item name, element name, `from` and `to`, split at 0xFF bytes.
    const std::uint8_t selector = data[0];
    std::string parts[4];
    std::size_t part = 0;
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == 0xFF && part < 3)
            ++part;
        else
            parts[part] += static_cast<char>(data[i]);
    }
    const std::string& from = parts[2];
    const std::string& to = parts[3];
    check(qvx::replaceAll(parts[0], from, to) == replaceNaively(parts[0], from, to));

    const GUID ids[] = {KapriLib::kVcdElementValue,
                        KapriLib::kVcdElementAuto,
                        KapriLib::kVcdElementSelfNamedA,
                        KapriLib::kVcdElementSelfNamedB,
                        KapriLib::kVcdElementSelfNamedC,
                        KapriLib::kVcdElementAutoCenter,
                        GUID{}};
    const GUID id = ids[selector % (sizeof ids / sizeof ids[0])];
    const std::string itemName = without(parts[0], " "); // callers strip the item's blanks first
    const std::u16string elementWide = widen(parts[1]);
    const std::string elementName = narrowAscii(elementWide);

    NamedElement element(elementWide, id);
    const std::string name = qvx::makeVCDPropertyName(itemName, &element, false);

    std::string expected;
    if (id == KapriLib::kVcdElementValue)
        expected = itemName;
    else if (id == KapriLib::kVcdElementAuto)
        expected = itemName + "Auto";
    else if (id == KapriLib::kVcdElementSelfNamedA || id == KapriLib::kVcdElementSelfNamedB ||
             id == KapriLib::kVcdElementSelfNamedC)
        expected = without(elementName, " ");
    else
        expected = itemName + without(elementName, " ");
    check(name == without(expected, "-"));
    check(name.find('-') == std::string::npos);

    check(qvxplatform::liveCoTaskMemBlocks() == blocksBefore);
    check(qvxplatform::liveBstrs() == bstrsBefore);
    return 0;
}
