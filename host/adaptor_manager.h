// The host's manager of one adaptor object: acquisition state, the engine, region defaults, frame counting.
#pragma once

#include "host/imaq_interface.h"

namespace imaqkit {

class IAdaptorManager : public IMAQInterface {
public:
    // slot 0: the deleting destructor (IMAQInterface)
    virtual void slot1() = 0;
    virtual void slot2() = 0;
    virtual bool startAcquisition() = 0;    // slot 3: second half of a restart
    virtual bool stopAcquisition() = 0;     // slot 4: first half of a restart
    virtual bool isOpen() = 0;              // slot 5
    virtual bool isAcquisitionActive() = 0; // slot 6
    virtual void slot7() = 0;
    virtual IEngine* getEngine() = 0; // slot 8
    virtual int hostDefault() = 0;    // slot 9: backs IAdaptor slot 1
    virtual void slot10() = 0;
    virtual void getROI(int* x, int* y, int* width, int* height) = 0; // slot 11
    virtual void setROI(int x, int y, int width, int height) = 0;     // slot 12
    // Once for every frame the camera delivered while frames are wanted, whether it was sent or not:
    // the host's FrameGrabInterval and TriggerFrameDelay count on it.
    virtual void incrementFrameCount() = 0;      // slot 13
    virtual bool isSendFrame() = 0;              // slot 14: does the host want the current frame?
    virtual bool isAcquisitionNotComplete() = 0; // slot 15: frames still wanted?
    virtual void slot16() = 0;
};

} // namespace imaqkit
