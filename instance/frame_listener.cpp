// The frame callback: every filled buffer is counted; those the host wants become stamped host frames.
#include "instance/frame_listener.h"

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

} // namespace

void CListener::frameReady(KapriLib::Grabber& /*caller*/, KapriLib::smart_ptr<KapriLib::MemBuffer> buffer) {
    // The delivery thread is the grabber library's: anything escaping here would end the process.
    // The buffer handle is released by the parameter on every path.
    try {
        // Pairs with the release store of start, so every field written before live mode is seen.
        QVXadaptor* adaptor = adaptor_.load(std::memory_order_acquire);
        if (adaptor == nullptr) return;
        imaqkit::IAdaptorManager* manager = adaptor->getAdaptorManager();
        if (!manager->isAcquisitionNotComplete()) return;
        KapriLib::MemBuffer* filled = buffer.get();
        if (filled == nullptr) return;
        // The host decides which frames it logs (FrameGrabInterval, TriggerFrameDelay) from the count of
        // every frame acquired, so a frame it does not want is still counted, and a frame lost on the way
        // out as well: counting only what is sent would stop the count at the first frame not wanted.
        if (manager->isSendFrame()) {
            try {
                deliver(*adaptor, *filled);
            } catch (...) {
            }
        }
        manager->incrementFrameCount();
    } catch (...) {
    }
}

void CListener::deliver(QVXadaptor& adaptor, KapriLib::MemBuffer& buffer) const {
    const BufferLock lock(buffer);

    int x = 0, y = 0, width = 0, height = 0;
    try {
        adaptor.getROI(&x, &y, &width, &height);
    } catch (...) {
        // A failed offset read must not cost the frame: the size was already read from the current
        // format, so the frame goes out uncut at offsets 0 and 0. Without a size it is dropped.
        x = 0;
        y = 0;
        if (width <= 0 || height <= 0) return;
    }
    const int frameType = adaptor.getFrameType();
    const int imageWidth = adaptor.getMaxWidth();
    const int imageHeight = adaptor.getMaxHeight();

    // The buffer's size is nothing the library promises to tell: the sink fills it with the current
    // format, which is what the sizes above describe.
    imaqkit::IAdaptorManager* manager = adaptor.getAdaptorManager();
    imaqkit::IAdaptorFrame* frame = manager->getEngine()->makeFrame(frameType, width, height);
    if (frame == nullptr) return;

    void* data = buffer.getPtr();
    if (roiCapable_)
        frame->setImage(data, width, height, 0, 0); // the camera delivered exactly the region
    else
        frame->setImage(data, imageWidth, imageHeight, x, y);
    frame->setTime(imaqkit::getCurrentTime());
    manager->getEngine()->receiveFrame(frame);
}

} // namespace qvx
