// Acquisition control: open, close, start and stop map onto the grabber's live mode.
#include "host/warning.h"
#include "instance/qvx_adaptor.h"

namespace qvx {

// The device has been open since construction; the host's view is asked for and not needed.
bool QVXadaptor::openDevice() {
    getAdaptorManager()->isOpen();
    return true;
}

// Closing stops live mode only: the device stays open for a later start.
bool QVXadaptor::closeDevice() {
    if (grabber_.isDevValid())
        grabber_.stopLive();
    else
        warnf("Unable to close device. Device Invalid.");
    return true;
}

bool QVXadaptor::startCapture() {
    if (getAdaptorManager()->isAcquisitionActive()) return false;
    if (!grabber_.isDevValid()) return true;
    // The frame callback reaches the adaptor through this pointer from the first frame on.
    listener_.setAdaptor(this);
    return grabber_.startLive(false);
}

bool QVXadaptor::stopCapture() {
    if (!getAdaptorManager()->isOpen()) return true;
    if (grabber_.isDevValid())
        grabber_.stopLive();
    else
        warnf("Unable to stop live. Device Invalid.");
    return true;
}

} // namespace qvx
