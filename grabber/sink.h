// Frame sinks: the sink type a grabber delivers into, the frame handler sink and its creation record.
#pragma once

#include <cstdint>
#include <vector>

#include "grabber/kapri_api.h"
#include "grabber/mem_buffer.h"
#include "grabber/smart_ptr.h"
#include "platform/win32.h"

namespace KapriLib {

enum tColorformatEnum : std::int32_t {
    eInvalidColorformat = 0,
    eRGB32 = 1,
    eRGB24 = 2,
    eRGB565 = 3,
    eRGB555 = 4,
    eRGB8 = 5,
    eUYVY = 6,
    eY800 = 7,
    eYGB1 = 8,
    eYGB0 = 9,
    eBY8 = 10,
    eY16 = 11,
};

// The media subtype of a colour format; all zero for a format without one.
KAPRI_API GUID getSubtypeFromColorformat(tColorformatEnum colorformat);

// One accepted frame type: a subtype, and zero where size and buffer size are left open.
struct FrameTypeInfo {
    GUID subtype;
    SIZE dim;
    std::uint32_t bufferSize;
    std::uint32_t reserved;
};

struct tCreateData {
    std::int32_t bufferCount;
    std::vector<FrameTypeInfo> frameTypes;
    smart_ptr<MemBufferCollection> buffers;
    std::vector<FrameTypeInfo> outputTypes;
};

class KAPRI_API GrabberSinkType {
public:
    virtual ~GrabberSinkType();
};

class KAPRI_API FrameHandlerSink : public GrabberSinkType {
public:
    static smart_ptr<FrameHandlerSink> create(const tCreateData& data);

    // Off: every frame received while live goes to the listeners.
    virtual bool setSnapMode(bool snap) = 0;
};

} // namespace KapriLib
