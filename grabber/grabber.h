// Grabber: one handle on one device of the grabber library, and the library's start and end.
#pragma once

#include <cstdint>

#include "grabber/dstring.h"
#include "grabber/dvector.h"
#include "grabber/items.h"
#include "grabber/kapri_api.h"
#include "grabber/listener.h"
#include "grabber/sink.h"
#include "grabber/smart_com.h"
#include "grabber/smart_ptr.h"
#include "grabber/vcd.h"
#include "grabber/video_format_desc.h"

namespace KapriLib {

KAPRI_API bool InitLibrary();
KAPRI_API void ExitLibrary();

class KAPRI_API Grabber {
public:
    struct Impl;
    Grabber();
    Grabber(const Grabber&) = delete;
    Grabber& operator=(const Grabber&) = delete;
    ~Grabber();

    // Devices
    smart_ptr<dvector<VideoCaptureDeviceItem>> getAvailableVideoCaptureDevices_() const;
    bool openDev(const char* deviceName);
    bool closeDev();
    bool isDevValid() const;
    VideoCaptureDeviceItem getDev() const;

    // Video norms
    bool isVideoNormAvailableWithCurDev() const;
    smart_ptr<dvector<VideoNormItem>> getAvailableVideoNorms_() const;
    bool setVideoNorm(const VideoNormItem& norm);
    bool setVideoNorm(dstringa norm);
    VideoNormItem getVideoNorm() const;

    // Video formats
    smart_ptr<dvector<VideoFormatItem>> getAvailableVideoFormats_(const VideoNormItem& norm) const;
    smart_ptr<dvector<smart_ptr<VideoFormatDesc>>>
    getAvailableVideoFormatDescs_(const VideoNormItem& norm) const;
    bool setVideoFormat(const VideoFormatItem& format);
    bool setVideoFormat(dstringa format);
    VideoFormatItem getVideoFormat() const;

    // Frame rates
    bool isFrameRateListAvailable() const;
    smart_ptr<dvector<double>> getAvailableFPS_(const VideoFormatItem& format) const;
    smart_ptr<dvector<std::int32_t>> getAvailableFrameRates_(const VideoFormatItem& format) const;
    std::int32_t getFrameRate() const;
    bool setFrameRate(std::int32_t rate);
    bool setFPS(double fps);

    // Input channels
    bool isInputChannelAvailableWithCurDev() const;
    smart_ptr<dvector<AnalogChannelItem>> getAvailableInputChannels_() const;
    AnalogChannelItem getInputChannel() const;
    bool setInputChannel(std::uint32_t index);

    // Live capture
    bool addListener(GrabberListener* listener, std::uint32_t eventMask);
    bool setSinkType(const smart_ptr<GrabberSinkType>& sink);
    bool setOverlayBitmapPathPosition(int position);
    bool startLive(bool showVideoWindow);
    bool stopLive();
    bool isLive() const;

    // VCD properties; an empty holder when the device has none.
    smart_com<IVCDPropertyItems> getAvailableVCDProperties() const;

private:
    Impl* impl_;
};

} // namespace KapriLib
