// The frame callback: one filled buffer becomes one stamped, counted host frame.
#include "instance/frame_listener.h"

#include <cstddef>

#include "host/adaptor_manager.h"
#include "host/engine.h"
#include "host/frame.h"
#include "instance/qvx_adaptor.h"

namespace qvx {
namespace {

// Unlocks on every way out, so a buffer never stays locked behind an early return.
class BufferLock {
public:
    explicit BufferLock(KapriLib::MemBuffer& buffer) : buffer_(buffer) { buffer_.lock(); }
    BufferLock(const BufferLock&) = delete;
    BufferLock& operator=(const BufferLock&) = delete;
    ~BufferLock() { buffer_.unlock(); }

private:
    KapriLib::MemBuffer& buffer_;
};

std::size_t bytesPerPixel(int frameType) {
    switch (frameType) {
    case imaqkit::kFrameMono8:
        return 1;
    case imaqkit::kFrameMono16:
        return 2;
    case imaqkit::kFrameBgr24:
        return 3;
    default:
        return 4;
    }
}

} // namespace

void CListener::frameReady(KapriLib::Grabber& /*caller*/, KapriLib::smart_ptr<KapriLib::MemBuffer> buffer) {
    // The delivery thread is the grabber library's: anything escaping here would end the process.
    // The buffer handle is released by the parameter on every path.
    try {
        if (adaptor_ == nullptr) return;
        if (!adaptor_->getAdaptorManager()->isAcquisitionNotComplete()) return;
        KapriLib::MemBuffer* filled = buffer.get();
        if (filled != nullptr) deliver(*filled);
    } catch (...) {
    }
}

void CListener::deliver(KapriLib::MemBuffer& buffer) const {
    const BufferLock lock(buffer);

    int x = 0, y = 0, width = 0, height = 0;
    try {
        adaptor_->getROI(&x, &y, &width, &height);
    } catch (...) {
        // A failed offset read must not cost the frame: the size was already read from the current
        // format, so the frame goes out uncut at offsets 0 and 0. Without a size it is dropped.
        x = 0;
        y = 0;
        if (width <= 0 || height <= 0) return;
    }
    const int frameType = adaptor_->getFrameType();
    const int imageWidth = adaptor_->getMaxWidth();
    const int imageHeight = adaptor_->getMaxHeight();

    // The copy reads bufferWidth x bufferHeight pixels: never let it run past the buffer's end.
    const int copyWidth = roiCapable_ ? width : imageWidth;
    const int copyHeight = roiCapable_ ? height : imageHeight;
    if (copyWidth < 0 || copyHeight < 0) return;
    const std::size_t needed =
        static_cast<std::size_t>(copyWidth) * static_cast<std::size_t>(copyHeight) * bytesPerPixel(frameType);
    if (buffer.getBufferSize() < needed) return;

    imaqkit::IAdaptorManager* manager = adaptor_->getAdaptorManager();
    imaqkit::IAdaptorFrame* frame = manager->getEngine()->makeFrame(frameType, width, height);
    if (frame == nullptr) return;

    void* data = buffer.getPtr();
    if (roiCapable_)
        frame->setImage(data, width, height, 0, 0); // the camera delivered exactly the region
    else
        frame->setImage(data, imageWidth, imageHeight, x, y);
    frame->setTime(imaqkit::getCurrentTime());
    manager->getEngine()->receiveFrame(frame);
    manager->incrementFrameCount();
}

} // namespace qvx
