// The grabber library's value items: devices, video norms, video formats and input channels.
#pragma once

#include <cstdint>

#include "grabber/dstring.h"
#include "grabber/kapri_api.h"
#include "platform/win32.h"

namespace KapriLib {

// Each item is a handle to library-owned data; copying and destroying go through the library.
class KAPRI_API VideoCaptureDeviceItem {
public:
    struct Data;
    VideoCaptureDeviceItem();
    explicit VideoCaptureDeviceItem(Data* data);
    VideoCaptureDeviceItem(const VideoCaptureDeviceItem& other);
    VideoCaptureDeviceItem& operator=(const VideoCaptureDeviceItem& other);
    ~VideoCaptureDeviceItem();

    const char* c_str() const;
    bool getSerialNumber(std::int64_t& serial) const;

private:
    // The library's own view of the item; nothing the adaptor calls.
    friend class Grabber;
    Data* data() const { return data_; }
    Data* data_;
};

class KAPRI_API VideoNormItem {
public:
    struct Data;
    VideoNormItem();
    explicit VideoNormItem(Data* data);
    VideoNormItem(const VideoNormItem& other);
    VideoNormItem& operator=(const VideoNormItem& other);
    ~VideoNormItem();

    const char* c_str() const;

private:
    // The library's own view of the item; nothing the adaptor calls.
    friend class Grabber;
    Data* data() const { return data_; }
    Data* data_;
};

class KAPRI_API VideoFormatItem {
public:
    struct Data;
    VideoFormatItem();
    explicit VideoFormatItem(Data* data);
    VideoFormatItem(const VideoFormatItem& other);
    VideoFormatItem& operator=(const VideoFormatItem& other);
    ~VideoFormatItem();

    const char* c_str() const;
    dstringw toString_() const;
    dstringw getColorformatString_() const;
    SIZE getSize() const;
    bool isValid() const;
    bool operator==(const VideoFormatItem& other) const;

private:
    // The library's own view of the item; nothing the adaptor calls.
    friend class Grabber;
    Data* data() const { return data_; }
    Data* data_;
};

class KAPRI_API AnalogChannelItem {
public:
    struct Data;
    AnalogChannelItem();
    explicit AnalogChannelItem(Data* data);
    AnalogChannelItem(const AnalogChannelItem& other);
    AnalogChannelItem& operator=(const AnalogChannelItem& other);
    ~AnalogChannelItem();

    const char* c_str() const;

private:
    // The library's own view of the item; nothing the adaptor calls.
    friend class Grabber;
    Data* data() const { return data_; }
    Data* data_;
};

} // namespace KapriLib
