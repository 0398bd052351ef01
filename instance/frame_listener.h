// CListener: counts every buffer the grabber library fills while live and turns those the host wants into
// frames.
#pragma once

#include <atomic>

#include "grabber/listener.h"

namespace qvx {

class QVXadaptor;

class CListener : public KapriLib::GrabberListener {
public:
    // Runs on the grabber library's delivery thread; nothing it raises may leave it.
    void frameReady(KapriLib::Grabber& caller, KapriLib::smart_ptr<KapriLib::MemBuffer> buffer) override;

    // Start writes the back pointer on the host's thread, the delivery thread reads it: release and
    // acquire make everything written before it visible with it.
    void setAdaptor(QVXadaptor* adaptor) { adaptor_.store(adaptor, std::memory_order_release); }
    // Written by the constructor, before live mode can start.
    void setROICapable(bool roiCapable) { roiCapable_ = roiCapable; }

private:
    void deliver(QVXadaptor& adaptor, KapriLib::MemBuffer& buffer) const;

    std::atomic<QVXadaptor*> adaptor_{nullptr};
    bool roiCapable_ = false;
};

} // namespace qvx
