// Walking a camera's VCD items and elements, and looking up an element's typed interfaces.
#include "attributes/vcd_walk.h"

#include "attributes/vcd_naming.h"
#include "grabber/text.h"

namespace qvx {

using KapriLib::IVCDPropertyElement;
using KapriLib::IVCDPropertyElements;
using KapriLib::IVCDPropertyItem;
using KapriLib::IVCDPropertyItems;
using KapriLib::smart_com;

namespace {

// A failed read may still have produced a text; it is freed before the failure is raised.
std::string takeNameOrThrow(HRESULT result, BSTR name) {
    if (result < 0) {
        SysFreeString(name);
        throwIfFailed(result);
    }
    return KapriLib::takeBstr(name);
}

} // namespace

ItemList readItems(IVCDPropertyItems* items) {
    ItemList list;
    if (items == nullptr) return list;
    LONG count = 0;
    throwIfFailed(items->get_Count(&count));
    for (LONG index = 1; index <= count; ++index) {
        IVCDPropertyItem* item = nullptr;
        items->get_Item(index, &item);
        // Whatever came back is ours to release, even alongside a failure code.
        if (item != nullptr) list.emplace_back(item);
    }
    return list;
}

ElementList readElements(IVCDPropertyItem* item) {
    ElementList list;
    IVCDPropertyElements* raw = nullptr;
    const HRESULT result = item->get_Elements(&raw);
    smart_com<IVCDPropertyElements> elements(raw);
    throwIfFailed(result);
    if (!elements) return list;
    LONG count = 0;
    throwIfFailed(elements->get_Count(&count));
    for (LONG index = 1; index <= count; ++index) {
        IVCDPropertyElement* element = nullptr;
        elements->get_Item(index, &element);
        if (element != nullptr) list.emplace_back(element);
    }
    return list;
}

std::string readItemName(IVCDPropertyItem* item) {
    BSTR name = nullptr;
    const HRESULT result = item->get_Name(&name);
    return replaceAll(takeNameOrThrow(result, name), " ", "");
}

std::string readElementName(IVCDPropertyElement* element) {
    BSTR name = nullptr;
    const HRESULT result = element->get_Name(&name);
    return takeNameOrThrow(result, name);
}

IUnknown* getElementInterface(IVCDPropertyElement* element, REFIID interfaceId) {
    if (element == nullptr) return nullptr;
    LPOLESTR formatted = nullptr;
    const HRESULT formatResult = StringFromCLSID(interfaceId, &formatted);
    if (formatResult < 0 || formatted == nullptr) {
        CoTaskMemFree(formatted);
        return nullptr;
    }
    BSTR identifier = SysAllocString(formatted);
    CoTaskMemFree(formatted);
    if (identifier == nullptr) return nullptr;

    IUnknown* raw = nullptr;
    const HRESULT findResult = element->findInterface(identifier, &raw);
    SysFreeString(identifier);
    smart_com<IUnknown> found(raw);
    // S_FALSE and other success codes mean "not offered" here.
    if (findResult != S_OK || !found) return nullptr;

    void* typed = nullptr;
    if (found->QueryInterface(interfaceId, &typed) < 0) {
        if (typed != nullptr) static_cast<IUnknown*>(typed)->Release();
        return nullptr;
    }
    return static_cast<IUnknown*>(typed);
}

} // namespace qvx
