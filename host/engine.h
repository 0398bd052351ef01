// The host's acquisition engine of one video input object: makes and takes frames, owns the property
// containers.
#pragma once

#include "host/imaq_interface.h"

namespace imaqkit {

class IEngine : public IMAQInterface {
public:
    virtual IAdaptorFrame* makeFrame(int frameType, int width, int height) = 0; // slot 1
    virtual void receiveFrame(IAdaptorFrame* frame) = 0;                        // slot 2: takes it over
    virtual void slot3() = 0;
    virtual void slot4() = 0;
    virtual IPropContainer* getEnginePropContainer() = 0;  // slot 5
    virtual IPropContainer* getAdaptorPropContainer() = 0; // slot 6: device properties
};

} // namespace imaqkit
