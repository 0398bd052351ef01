// One frame buffer of the grabber library, handed to the frame listener while live.
#pragma once

#include <cstddef>
#include <cstdint>

#include "grabber/kapri_api.h"
#include "platform/win32.h"

namespace KapriLib {

class KAPRI_API MemBuffer {
public:
    virtual ~MemBuffer();                          // slot 0
    virtual std::uint8_t* getPtr() const = 0;      // slot 1: the image data
    virtual std::size_t getBufferSize() const = 0; // slot 2: bytes of image data
    virtual SIZE getSize() const = 0;              // slot 3: pixels
    virtual std::uint64_t getFrameNumber() const = 0;
    // lock and unlock bracket every use of the data; they nest.
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual bool isLocked() const = 0;
};

class KAPRI_API MemBufferCollection {
public:
    virtual ~MemBufferCollection();
};

} // namespace KapriLib
