// The host's property factory: creates, describes and publishes a device's properties.
#pragma once

#include "host/imaqkit.h"

namespace imaqkit {

// A property under construction, as the factory hands it out; null when nothing was created.
using PropHandle = void*;

// The published factory overloads its creation and publishing operations. Microsoft's ABI groups the
// overloads of one name at the first one's place in reverse order; GCC's keeps declaration order and
// gives the destructor two entries. Our operations have names of their own, so each ABI gets the order
// that puts every one where the host's overload of that meaning sits.
class IPropFactory {
public:
    virtual ~IPropFactory() = default; // slot 0
    virtual void slot1() = 0;
    virtual void slot2() = 0;
#if defined(_MSC_VER)
    virtual void slot3() = 0; // double property (name, default)
    virtual PropHandle createDoubleProperty(const char* name, double min, double max, double def) = 0; // 4
    virtual void slot5() = 0;
    virtual void slot6() = 0;
    virtual PropHandle createIntProperty(const char* name, int first, int second) = 0;                    // 7
    virtual PropHandle createIntRangeProperty(const char* name, int min, int max, int def, int flag) = 0; // 8
    virtual void slot9() = 0;
    virtual void slot10() = 0;
    virtual PropHandle createEnumProperty(const char* name, const char* text, int id) = 0; // 11
    virtual void addEnumValue(PropHandle property, const char* text, int id) = 0;          // 12
    virtual void slot13() = 0;                         // publish with an id
    virtual void addProperty(PropHandle property) = 0; // 14: publish
#else
    virtual PropHandle createDoubleProperty(const char* name, double min, double max, double def) = 0; // 3
    virtual void slot4() = 0; // double property (name, default)
    virtual void slot5() = 0;
    virtual void slot6() = 0;
    virtual PropHandle createIntRangeProperty(const char* name, int min, int max, int def, int flag) = 0; // 7
    virtual PropHandle createIntProperty(const char* name, int first, int second) = 0;                    // 8
    virtual void slot9() = 0;
    virtual void slot10() = 0;
    virtual PropHandle createEnumProperty(const char* name, const char* text, int id) = 0; // 11
    virtual void addEnumValue(PropHandle property, const char* text, int id) = 0;          // 12
    virtual void addProperty(PropHandle property) = 0;                                     // 13: publish
    virtual void slot14() = 0;                                                             // publish with an id
#endif
    virtual void slot15() = 0;
    virtual void slot16() = 0;
    virtual void slot17() = 0;
    virtual void setPropReadOnly(PropHandle property, const char* mode) = 0; // 18
};

} // namespace imaqkit
