// Region of interest: the region query and change, and the descriptor, rate and offset look-ups behind them.
#include "instance/region.h"

#include <cstddef>

#include "attributes/vcd_walk.h"
#include "grabber/snapshot.h"
#include "grabber/vcd_ids.h"
#include "host/warning.h"
#include "instance/qvx_adaptor.h"

namespace qvx {

using KapriLib::IVCDPropertyItems;
using KapriLib::IVCDRangeProperty;
using KapriLib::IVCDSwitchProperty;
using KapriLib::smart_com;
using KapriLib::smart_ptr;
using KapriLib::VideoFormatDesc;

namespace {

// "{item}:{element}:{interface}": three braced identifiers of 38 characters, two colons, a NUL.
constexpr std::size_t kPathCapacity = 3 * 38 + 2 + 1;

// The frame callback builds two paths per frame, so the path lives on the stack.
class VcdPath {
public:
    bool append(REFGUID id) {
        LPOLESTR text = nullptr;
        const HRESULT result = StringFromCLSID(id, &text);
        bool ok = result >= 0 && text != nullptr;
        for (std::size_t i = 0; ok && text[i] != 0; ++i) ok = put(text[i]);
        CoTaskMemFree(text);
        return ok;
    }
    bool put(OLECHAR c) {
        if (used_ + 1 >= kPathCapacity) return false;
        text_[used_++] = c;
        text_[used_] = 0;
        return true;
    }
    const OLECHAR* text() const { return text_; }

private:
    OLECHAR text_[kPathCapacity] = {};
    std::size_t used_ = 0;
};

int roundTowardZero(int value, int step) { return value - value % step; }

int effectiveStep(int step) { return step < 1 ? 1 : step; }

} // namespace

Region fitRegion(Region r, const SIZE& minimum, const SIZE& maximum, const SIZE& step) {
    const int stepWidth = effectiveStep(step.cx);
    const int stepHeight = effectiveStep(step.cy);
    r.x = roundTowardZero(r.x, stepWidth);
    r.y = roundTowardZero(r.y, stepHeight);
    r.width = roundTowardZero(r.width, stepWidth);
    if (r.width < minimum.cx) r.width = minimum.cx;
    if (r.width > maximum.cx) r.width = maximum.cx;
    r.height = roundTowardZero(r.height, stepHeight);
    if (r.height < minimum.cy) r.height = minimum.cy;
    if (r.height > maximum.cy) r.height = maximum.cy;
    return r;
}

smart_ptr<VideoFormatDesc> findCurrentFormatDesc(const KapriLib::Grabber& grabber) {
    // "None" is a handle to nothing that never could hold a descriptor: destroying one is the
    // library's business, not something the adaptor may call.
    const auto none = [] { return smart_ptr<VideoFormatDesc>(new KapriLib::refcount_ptr_none()); };
    const KapriLib::VideoFormatItem current = grabber.getVideoFormat();
    if (!current.isValid()) return none();
    const SIZE size = current.getSize();
    const auto descriptors = KapriLib::snapshotFormatDescs(grabber);
    if (const auto* list = descriptors.get()) {
        for (const smart_ptr<VideoFormatDesc>& descriptor : *list) {
            const VideoFormatDesc* desc = descriptor.get();
            if (desc != nullptr && desc->createVideoFormat(size) == current) return descriptor;
        }
    }
    return none();
}

double getMaxFPS(const KapriLib::Grabber& grabber) {
    const auto rates = KapriLib::snapshotFPS(grabber);
    double fastest = 0.0;
    if (const auto* list = rates.get())
        for (const double rate : *list)
            if (!(fastest > rate)) fastest = rate;
    return fastest;
}

IUnknown* findVCDInterface(IVCDPropertyItems* items, REFGUID elementId, REFIID interfaceId) {
    if (items == nullptr) return nullptr;
    VcdPath path;
    if (!path.append(KapriLib::kVcdItemPartialScanOffset) || !path.put(u':') || !path.append(elementId))
        return nullptr;
    if (interfaceId != GUID{} && (!path.put(u':') || !path.append(interfaceId))) return nullptr;

    BSTR text = SysAllocString(path.text());
    if (text == nullptr) return nullptr;
    IUnknown* raw = nullptr;
    const HRESULT result = items->findInterface(text, &raw);
    SysFreeString(text);
    smart_com<IUnknown> found(raw);
    if (result != S_OK || !found) return nullptr;

    void* typed = nullptr;
    if (found->QueryInterface(interfaceId, &typed) < 0) {
        if (typed != nullptr) static_cast<IUnknown*>(typed)->Release();
        return nullptr;
    }
    return static_cast<IUnknown*>(typed);
}

void QVXadaptor::getROI(int* x, int* y, int* width, int* height) {
    const KapriLib::VideoFormatItem format = grabber_.getVideoFormat();
    const SIZE size = format.getSize();
    // The host's own bookkeeping still sees the query; its answer is replaced by the camera's.
    IAdaptor::getROI(x, y, width, height);
    *x = 0;
    *y = 0;
    *width = size.cx;
    *height = size.cy;
    if (!roiCapable_) return;

    const smart_com<IVCDPropertyItems> items = grabber_.getAvailableVCDProperties();
    if (!items) return;
    const auto offsetX = findVCDInterface<IVCDRangeProperty>(items.get(), KapriLib::kVcdElementOffsetX,
                                                             KapriLib::kVcdRangeInterface);
    const auto offsetY = findVCDInterface<IVCDRangeProperty>(items.get(), KapriLib::kVcdElementOffsetY,
                                                             KapriLib::kVcdRangeInterface);
    if (!offsetX || !offsetY) return;
    LONG value = 0;
    throwIfFailed(offsetX->get_Value(&value));
    *x = value;
    throwIfFailed(offsetY->get_Value(&value));
    *y = value;
}

void QVXadaptor::setROI(int x, int y, int width, int height) {
    if (!roiCapable_) {
        IAdaptor::setROI(x, y, width, height);
        return;
    }

    const bool wasLive = grabber_.isLive();
    if (wasLive) grabber_.stopLive();
    Region region{x, y, width, height};
    try {
        region = applyRegion(region);
    } catch (...) {
        if (wasLive) grabber_.startLive(false);
        throw;
    }
    if (wasLive) grabber_.startLive(false);
    IAdaptor::setROI(region.x, region.y, region.width, region.height);
}

Region QVXadaptor::applyRegion(Region requested) {
    const smart_ptr<VideoFormatDesc> descriptor = findCurrentFormatDesc(grabber_);
    const VideoFormatDesc* desc = descriptor.get();
    // Without the descriptor of the current format there are no limits to fit against.
    if (desc == nullptr) return requested;

    const Region region = fitRegion(requested, desc->getMinSize(), desc->getMaxSize(), desc->getStepSize());
    const KapriLib::VideoFormatItem format = desc->createVideoFormat(region.width, region.height);
    grabber_.setVideoFormat(format);
    grabber_.setFPS(getMaxFPS(grabber_));

    const smart_com<IVCDPropertyItems> items = grabber_.getAvailableVCDProperties();
    if (!items) return region;
    const auto autoCenter = findVCDInterface<IVCDSwitchProperty>(items.get(), KapriLib::kVcdElementAutoCenter,
                                                                 KapriLib::kVcdSwitchInterface);
    const auto offsetX = findVCDInterface<IVCDRangeProperty>(items.get(), KapriLib::kVcdElementOffsetX,
                                                             KapriLib::kVcdRangeInterface);
    const auto offsetY = findVCDInterface<IVCDRangeProperty>(items.get(), KapriLib::kVcdElementOffsetY,
                                                             KapriLib::kVcdRangeInterface);
    // Auto-centering would move the region away from the offsets written next.
    if (autoCenter && autoCenter->put_Switch(0) < 0) warnf("Error at PartialScanOffsetAutoCenter Switch");
    if (offsetX && offsetY) {
        if (offsetX->put_Value(region.x) < 0 || offsetY->put_Value(region.y) < 0)
            warnf("Error at PartialScanOffset Value");
    }
    return region;
}

} // namespace qvx
