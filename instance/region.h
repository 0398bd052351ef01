// What the region of interest relies on: the current format's descriptor, the fastest rate, offset controls.
#pragma once

#include "grabber/grabber.h"

namespace qvx {

// The first descriptor of the current norm that reproduces the current format, or a handle to none.
KapriLib::smart_ptr<KapriLib::VideoFormatDesc> findCurrentFormatDesc(const KapriLib::Grabber& grabber);

// The largest frames-per-second value listed for the current format; 0.0 when none is listed.
double getMaxFPS(const KapriLib::Grabber& grabber);

// One typed interface of an element of the partial-scan offset item, with one reference for the
// caller, or null.
IUnknown* findVCDInterface(KapriLib::IVCDPropertyItems* items, REFGUID elementId, REFIID interfaceId);

template <class T>
KapriLib::smart_com<T> findVCDInterface(KapriLib::IVCDPropertyItems* items, REFGUID elementId,
                                        REFIID interfaceId) {
    return KapriLib::smart_com<T>(static_cast<T*>(findVCDInterface(items, elementId, interfaceId)));
}

} // namespace qvx

namespace qvx {

// A requested region, x offset, y offset, width and height, in pixels.
struct Region {
    int x;
    int y;
    int width;
    int height;
};

// Rounds toward zero onto the step, then holds the size within the limits (the maximum wins
// over a larger minimum). Offsets are only rounded. A step below 1 counts as 1.
Region fitRegion(Region requested, const SIZE& minimum, const SIZE& maximum, const SIZE& step);

} // namespace qvx
