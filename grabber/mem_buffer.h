// One frame buffer of the grabber library, handed to the frame listener while live.
#pragma once

#include <cstdint>

#include "grabber/kapri_api.h"
#include "platform/win32.h"

namespace KapriLib {

// The library promises the image data at virtual operation 1 and lock and unlock by name; nothing
// else of the buffer is the adaptor's to call, so nothing else is declared.
class KAPRI_API MemBuffer {
public:
    virtual ~MemBuffer();                     // slot 0
    virtual std::uint8_t* getPtr() const = 0; // slot 1: the image data

    // Bracket every use of the data; they nest.
    void lock();
    void unlock();
};

class KAPRI_API MemBufferCollection {
public:
    virtual ~MemBufferCollection();
};

} // namespace KapriLib
