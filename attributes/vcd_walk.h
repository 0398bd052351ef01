// Walking a camera's VCD items and elements: result checks, item and element lists, typed-interface lookup.
#pragma once

#include <string>
#include <vector>

#include "grabber/smart_com.h"
#include "grabber/vcd.h"
#include "platform/win32.h"

namespace qvx {

// A negative result code ends the operation: it is raised as an exception of type long.
inline void throwIfFailed(HRESULT result) {
    if (result < 0) throw static_cast<long>(result);
}

using ItemList = std::vector<KapriLib::smart_com<KapriLib::IVCDPropertyItem>>;
using ElementList = std::vector<KapriLib::smart_com<KapriLib::IVCDPropertyElement>>;

// Items 1 to count, in order (count read first; zero or less gives an empty list). A failing count
// read throws; the result of a single fetch is not examined (a failed fetch yields no entry).
ItemList readItems(KapriLib::IVCDPropertyItems* items);
// The item's element collection, then elements 1 to count; failing collection or count reads throw.
ElementList readElements(KapriLib::IVCDPropertyItem* item);

// The item's name in UTF-8 with every blank removed; a failing read throws.
std::string readItemName(KapriLib::IVCDPropertyItem* item);
// The element's own name in UTF-8, blanks kept; a failing read throws.
std::string readElementName(KapriLib::IVCDPropertyElement* element);

// The element's typed interface of that identifier, with one reference for the caller, or null.
IUnknown* getElementInterface(KapriLib::IVCDPropertyElement* element, REFIID interfaceId);

template <class T>
KapriLib::smart_com<T> getElementInterface(KapriLib::IVCDPropertyElement* element, REFIID interfaceId) {
    return KapriLib::smart_com<T>(static_cast<T*>(getElementInterface(element, interfaceId)));
}

} // namespace qvx
