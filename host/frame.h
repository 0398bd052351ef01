// One frame object of the engine; it belongs to the engine, so the adaptor never destroys it.
#pragma once

#include "host/imaqkit.h"

namespace imaqkit {

// Unlike the other host interfaces this one has no virtual destructor: slot 0 fills the image.
class IAdaptorFrame {
public:
    // Copies the frame's region out of a buffer of bufferWidth x bufferHeight pixels, starting at
    // (x, y), before it returns.
    virtual void setImage(void* data, int bufferWidth, int bufferHeight, int x, int y) = 0; // slot 0
    virtual void slot1() = 0;
    virtual void slot2() = 0;
    virtual void slot3() = 0;
    virtual void slot4() = 0;
    virtual void slot5() = 0;
    virtual void setTime(double time) = 0; // slot 6
    virtual void slot7() = 0;
    virtual void slot8() = 0;
    virtual void slot9() = 0;
    virtual void slot10() = 0;
    virtual void slot11() = 0;
    virtual void slot12() = 0;
    virtual void slot13() = 0;
    virtual void slot14() = 0;
    virtual void slot15() = 0;
    virtual void slot16() = 0;
    // Gives back a frame that is never handed to the engine; the frame is gone afterwards.
    virtual void discard() = 0; // slot 17

protected:
    ~IAdaptorFrame() = default;
};

// Frame type codes: the pixel layout of a frame.
constexpr int kFrameMono8 = 0x11010000;
constexpr int kFrameMono16 = 0x11010004;
constexpr int kFrameBgr24 = 0x01030101;  // bottom-up rows
constexpr int kFrameBgrx32 = 0x01030103; // bottom-up rows

} // namespace imaqkit
