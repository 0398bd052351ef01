// The bases of every VCD tree the library hands out (its virtual cameras' and its GenICam cameras'): each
// VCD interface with the positions the adaptor never calls filled by placeholders.
#pragma once

#include <utility>

#include "grabber/vcd.h"
#include "grabber/vcd_ids.h"
#include "sim/cameras/com_object.h"

namespace qvxsim {

// A COM object of one of the VCD tree's interfaces; a tree's class adds the positions it serves.
template <class Interface> class VcdComObject;

template <> class VcdComObject<KapriLib::IVCDPropertyItems> : public ComObject<KapriLib::IVCDPropertyItems> {
public:
    QVXSIM_PLACEHOLDER(3)
    QVXSIM_PLACEHOLDER(4)
    QVXSIM_PLACEHOLDER(5)
    QVXSIM_PLACEHOLDER(6)
    QVXSIM_PLACEHOLDER(7)
    QVXSIM_PLACEHOLDER(10)
    QVXSIM_PLACEHOLDER(11)
    QVXSIM_PLACEHOLDER(12)
    QVXSIM_PLACEHOLDER(13)
    QVXSIM_PLACEHOLDER(14)
    QVXSIM_PLACEHOLDER(15)
    QVXSIM_PLACEHOLDER(16)
};

template <> class VcdComObject<KapriLib::IVCDPropertyItem> : public ComObject<KapriLib::IVCDPropertyItem> {
public:
    QVXSIM_PLACEHOLDER(3)
    QVXSIM_PLACEHOLDER(4)
    QVXSIM_PLACEHOLDER(5)
    QVXSIM_PLACEHOLDER(6)
    QVXSIM_PLACEHOLDER(9)
};

template <>
class VcdComObject<KapriLib::IVCDPropertyElements> : public ComObject<KapriLib::IVCDPropertyElements> {
public:
    QVXSIM_PLACEHOLDER(3)
    QVXSIM_PLACEHOLDER(4)
    QVXSIM_PLACEHOLDER(5)
    QVXSIM_PLACEHOLDER(6)
    QVXSIM_PLACEHOLDER(7)
};

template <>
class VcdComObject<KapriLib::IVCDPropertyElement> : public ComObject<KapriLib::IVCDPropertyElement> {
public:
    QVXSIM_PLACEHOLDER(3)
    QVXSIM_PLACEHOLDER(4)
    QVXSIM_PLACEHOLDER(5)
    QVXSIM_PLACEHOLDER(6)
    QVXSIM_PLACEHOLDER(7)
    QVXSIM_PLACEHOLDER(8)
    QVXSIM_PLACEHOLDER(9)
    QVXSIM_PLACEHOLDER(11)
};

template <>
class VcdComObject<KapriLib::IVCDPropertyStrings> : public ComObject<KapriLib::IVCDPropertyStrings> {
public:
    QVXSIM_PLACEHOLDER(3)
    QVXSIM_PLACEHOLDER(4)
    QVXSIM_PLACEHOLDER(5)
    QVXSIM_PLACEHOLDER(6)
    QVXSIM_PLACEHOLDER(7)
};

// A typed interface (range, switch, button, map strings, absolute value) of the element `Ref` addresses;
// besides IUnknown it answers its own interface identifier only.
template <class Interface, class Ref> class TypedComObject : public ComObject<Interface> {
public:
    QVXSIM_PLACEHOLDER(3)
    QVXSIM_PLACEHOLDER(4)
    QVXSIM_PLACEHOLDER(5)
    QVXSIM_PLACEHOLDER(6)
    QVXSIM_PLACEHOLDER(7)
    QVXSIM_PLACEHOLDER(8)
    QVXSIM_PLACEHOLDER(9)
    QVXSIM_PLACEHOLDER(10)
    QVXSIM_PLACEHOLDER(11)
    QVXSIM_PLACEHOLDER(12)
    TypedComObject(Ref ref, const GUID& iid) : ref_(std::move(ref)), iid_(iid) {}

protected:
    bool answers(REFIID riid) const override { return riid == iid_; }
    Ref ref_;

private:
    GUID iid_;
};

// The map-strings interface keeps two more positions unused: its maximum and the one after its default.
template <class Ref>
class MapStringsComObject : public TypedComObject<KapriLib::IVCDMapStringsProperty, Ref> {
public:
    QVXSIM_PLACEHOLDER(16)
    QVXSIM_PLACEHOLDER(18)
    explicit MapStringsComObject(Ref ref)
        : TypedComObject<KapriLib::IVCDMapStringsProperty, Ref>(std::move(ref),
                                                                KapriLib::kVcdMapStringsInterface) {}
};

} // namespace qvxsim
