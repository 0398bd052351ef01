// Construction and destruction of the adaptor object.
#include "instance/qvx_adaptor.h"

#include "attributes/roi_capable.h"
#include "grabber/text.h"

namespace qvx {

QVXadaptor::QVXadaptor(imaqkit::IEngine* engine, const imaqkit::IDeviceInfo* deviceInfo,
                       const char* formatName)
    : imaqkit::IAdaptor(engine) {
    try {
        // Loaded for its side effects in the grabber library; it is never attached.
        filter_ = KapriLib::FilterLoader::createFilter(KapriLib::DStringArg("Rotate Flip"),
                                                       KapriLib::DStringArg(""));
        grabber_.addListener(&listener_, 0xFFFFFFFFu);

        // The library reads the name unchecked; a host that gives none gets an object on no device, which
        // says so at its first use like any device that did not open.
        if (const char* deviceName = deviceInfo->getDeviceName(); deviceName != nullptr)
            grabber_.openDev(deviceName);
        if (grabber_.isDevValid()) {
            // Decided for the norm the device opens with, before the format name picks another.
            roiCapable_ = qvx::isROICapable(grabber_);
            listener_.setROICapable(roiCapable_);

            applyFormatName(deviceInfo, formatName != nullptr ? formatName : "");

            const KapriLib::VideoFormatItem format = grabber_.getVideoFormat();
            const SIZE size = format.getSize();
            width_ = size.cx;
            height_ = size.cy;
            setupSink(format);
        }
        registerPropertyListeners();
    } catch (...) {
        // The destructor body will not run: leave the device closed as it would.
        if (grabber_.isDevValid()) {
            grabber_.stopLive();
            grabber_.closeDev();
        }
        throw;
    }
}

QVXadaptor::~QVXadaptor() {
    // A device lost while live still has the library's delivery thread calling the frame listener,
    // which dies with this object: live mode ends whenever it is on, not only on a valid device.
    const bool valid = grabber_.isDevValid();
    if (valid || grabber_.isLive()) grabber_.stopLive();
    if (valid) grabber_.closeDev();
    filter_.reset();
    // The members go next, the listener before the sink and the grabber; the IAdaptor part then
    // deletes the adaptor manager.
}

} // namespace qvx
