// The declared type of a host property, which decides the element interface a read or write goes through.
#pragma once

#include "host/prop_container.h"

namespace qvx {

// The type the host keeps a property's value in, as its property-info declares it: every read and write
// goes through the element interface of that type, so the host never gets a value of another width.
struct DeclaredType {
    int storage = 0;
    bool enumerated = false;
    bool isDouble() const { return storage == imaqkit::kStorageDouble && !enumerated; }
    bool isEnumeration() const { return storage == imaqkit::kStorageInteger && enumerated; }
    bool isInteger() const { return storage == imaqkit::kStorageInteger && !enumerated; }
};

} // namespace qvx
