// CListener: turns every buffer the grabber library fills while live into a host frame.
#pragma once

#include "grabber/listener.h"

namespace qvx {

class QVXadaptor;

class CListener : public KapriLib::GrabberListener {
public:
    // Runs on the grabber library's delivery thread; nothing it raises may leave it.
    void frameReady(KapriLib::Grabber& caller, KapriLib::smart_ptr<KapriLib::MemBuffer> buffer) override;

    // Both are written before live mode starts and only read while it lasts.
    void setAdaptor(QVXadaptor* adaptor) { adaptor_ = adaptor; }
    void setROICapable(bool roiCapable) { roiCapable_ = roiCapable; }

private:
    void deliver(KapriLib::MemBuffer& buffer) const;

    QVXadaptor* adaptor_ = nullptr;
    bool roiCapable_ = false;
};

} // namespace qvx
