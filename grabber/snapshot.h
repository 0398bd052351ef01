// List snapshots: std::vector copies of the grabber library's lists, held by a refcount_ptr.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "grabber/grabber.h"

namespace KapriLib {

// Holds a list (possibly empty) or none; get() is null for none.
template <class T> using Snapshot = smart_ptr<std::vector<T>>;

// Copies a library list into a new holder; the library's handle stays the caller's.
template <class T> Snapshot<T> snapshotOf(const smart_ptr<dvector<T>>& list) {
    const dvector<T>* source = list.get();
    if (source == nullptr) return Snapshot<T>(new refcount_ptr<std::vector<T>>(nullptr));
    // The copy is owned until its holder exists, so a failure on the way leaks nothing. It grows
    // with what is really there: a count the library reports is no size to reserve.
    auto copy = std::make_unique<std::vector<T>>();
    for (const T& element : *source) copy->push_back(element);
    auto* holder = new refcount_ptr<std::vector<T>>(copy.get());
    copy.release();
    return Snapshot<T>(holder);
}

inline Snapshot<VideoCaptureDeviceItem> snapshotDevices(const Grabber& grabber) {
    return snapshotOf(grabber.getAvailableVideoCaptureDevices_());
}
inline Snapshot<VideoNormItem> snapshotNorms(const Grabber& grabber) {
    return snapshotOf(grabber.getAvailableVideoNorms_());
}
inline Snapshot<VideoFormatItem> snapshotFormats(const Grabber& grabber) {
    return snapshotOf(grabber.getAvailableVideoFormats_(grabber.getVideoNorm()));
}
inline Snapshot<smart_ptr<VideoFormatDesc>> snapshotFormatDescs(const Grabber& grabber) {
    return snapshotOf(grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm()));
}
inline Snapshot<AnalogChannelItem> snapshotInputChannels(const Grabber& grabber) {
    return snapshotOf(grabber.getAvailableInputChannels_());
}
inline Snapshot<double> snapshotFPS(const Grabber& grabber) {
    return snapshotOf(grabber.getAvailableFPS_(grabber.getVideoFormat()));
}
inline Snapshot<std::int32_t> snapshotFrameRates(const Grabber& grabber) {
    return snapshotOf(grabber.getAvailableFrameRates_(grabber.getVideoFormat()));
}

} // namespace KapriLib
