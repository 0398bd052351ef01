// The COM-style VCD property interfaces: item collection, items, elements and the five typed interfaces.
#pragma once

#include "platform/win32.h"

namespace KapriLib {

struct IVCDPropertyItem;
struct IVCDPropertyElements;
struct IVCDPropertyElement;

// Unused positions are declared so that every used one keeps its place; the adaptor never calls them.
struct IVCDPropertyItems : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Item(LONG index, IVCDPropertyItem** item) = 0; // 8, from 1
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;                        // 9
    virtual HRESULT STDMETHODCALLTYPE slot10() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot11() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot12() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot13() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot14() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot15() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot16() = 0;
    // 17: the object at a VCD path "{item}:{element}[:{interface}]"; S_OK only when found.
    virtual HRESULT STDMETHODCALLTYPE findInterface(BSTR path, IUnknown** object) = 0;
};

struct IVCDPropertyItem : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;                          // 7
    virtual HRESULT STDMETHODCALLTYPE get_Elements(IVCDPropertyElements** elements) = 0; // 8
    virtual HRESULT STDMETHODCALLTYPE slot9() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ItemID(GUID* id) = 0; // 10
};

struct IVCDPropertyElements : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Item(LONG index, IVCDPropertyElement** element) = 0; // 8
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;                              // 9
};

struct IVCDPropertyElement : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot8() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot9() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0; // 10
    virtual HRESULT STDMETHODCALLTYPE slot11() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ElementID(GUID* id) = 0; // 12
    // 13: the typed interface whose identifier, as braced text, is `interfaceId`; S_OK only when found.
    virtual HRESULT STDMETHODCALLTYPE findInterface(BSTR interfaceId, IUnknown** object) = 0;
};

// Positions 3 to 12 of every typed interface are unused by the adaptor.
struct IVCDPropertyInterface : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot8() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot9() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot10() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot11() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot12() = 0;
};

struct IVCDRangeProperty : public IVCDPropertyInterface {
    virtual HRESULT STDMETHODCALLTYPE get_Value(LONG* value) = 0;    // 13
    virtual HRESULT STDMETHODCALLTYPE put_Value(LONG value) = 0;     // 14
    virtual HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* value) = 0; // 15
    virtual HRESULT STDMETHODCALLTYPE get_RangeMax(LONG* value) = 0; // 16
    virtual HRESULT STDMETHODCALLTYPE get_Default(LONG* value) = 0;  // 17
};

struct IVCDSwitchProperty : public IVCDPropertyInterface {
    virtual HRESULT STDMETHODCALLTYPE get_Switch(VARIANT_BOOL* value) = 0; // 13: -1 on
    virtual HRESULT STDMETHODCALLTYPE put_Switch(VARIANT_BOOL value) = 0;  // 14
};

struct IVCDButtonProperty : public IVCDPropertyInterface {
    virtual HRESULT STDMETHODCALLTYPE Push() = 0; // 13
};

// The value texts of a map-strings interface.
struct IVCDPropertyStrings : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE slot3() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot4() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot6() = 0;
    virtual HRESULT STDMETHODCALLTYPE slot7() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Item(LONG index, BSTR* text) = 0; // 8, from 1
    virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* count) = 0;           // 9
};

struct IVCDMapStringsProperty : public IVCDPropertyInterface {
    virtual HRESULT STDMETHODCALLTYPE get_Value(LONG* value) = 0;    // 13
    virtual HRESULT STDMETHODCALLTYPE put_Value(LONG value) = 0;     // 14
    virtual HRESULT STDMETHODCALLTYPE get_RangeMin(LONG* value) = 0; // 15
    virtual HRESULT STDMETHODCALLTYPE slot16() = 0;                  // the maximum is never read
    virtual HRESULT STDMETHODCALLTYPE get_Default(LONG* value) = 0;  // 17
    virtual HRESULT STDMETHODCALLTYPE slot18() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Strings(IVCDPropertyStrings** strings) = 0; // 19
};

struct IVCDAbsoluteValueProperty : public IVCDPropertyInterface {
    virtual HRESULT STDMETHODCALLTYPE get_Value(double* value) = 0;    // 13
    virtual HRESULT STDMETHODCALLTYPE put_Value(double value) = 0;     // 14
    virtual HRESULT STDMETHODCALLTYPE get_RangeMin(double* value) = 0; // 15
    virtual HRESULT STDMETHODCALLTYPE get_RangeMax(double* value) = 0; // 16
    virtual HRESULT STDMETHODCALLTYPE get_Default(double* value) = 0;  // 17
};

} // namespace KapriLib
