// What the library's value items and format descriptors carry, and how the library makes them.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "grabber/items.h"
#include "grabber/smart_ptr.h"
#include "grabber/video_format_desc.h"
#include "sim/cameras/system.h"

struct KapriLib::VideoCaptureDeviceItem::Data {
    std::string name;
    std::optional<std::int64_t> serial;
};

struct KapriLib::VideoNormItem::Data {
    std::string name;
};

struct KapriLib::VideoFormatItem::Data {
    qvxsim::FormatInfo info;
};

struct KapriLib::AnalogChannelItem::Data {
    std::string name;
    int index = 0;
};

struct KapriLib::VideoFormatDesc::Data {
    std::shared_ptr<qvxsim::Camera> camera;
    qvxsim::DescriptorSpec described;
};

namespace qvxsim {

KapriLib::VideoCaptureDeviceItem makeDeviceItem(const Camera& camera);
KapriLib::VideoNormItem makeNormItem(const std::string& name);
KapriLib::VideoFormatItem makeFormatItem(const FormatInfo& info);
KapriLib::AnalogChannelItem makeChannelItem(const std::string& name, int index);
// A library-side holder of a new descriptor object; of none for a null list entry.
KapriLib::smart_ptr<KapriLib::VideoFormatDesc> makeDescriptorHandle(const std::shared_ptr<Camera>& camera,
                                                                    const DescriptorSpec& described);

} // namespace qvxsim
