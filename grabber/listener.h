// GrabberListener: what the grabber library calls on its delivery thread while live.
#pragma once

#include "grabber/mem_buffer.h"
#include "grabber/smart_ptr.h"

namespace KapriLib {

class Grabber;

class GrabberListener {
public:
    virtual ~GrabberListener() = default;           // slot 0
    virtual void deviceLost(Grabber& /*caller*/) {} // slot 1
    // slot 2: one filled buffer; the handle is the listener's to release.
    virtual void frameReady(Grabber& /*caller*/, smart_ptr<MemBuffer> /*buffer*/) {}
    // slot 3: a notification carrying a buffer handle, released on return.
    virtual void overlayCallback(Grabber& /*caller*/, smart_ptr<MemBuffer> /*buffer*/) {}
};

} // namespace KapriLib
