// The library's FrameHandlerSink: the colour format frames are delivered in, and the snap switch.
#pragma once

#include <atomic>

#include "grabber/refcount.h"
#include "grabber/sink.h"

namespace qvxsim {

class SimSink final : public KapriLib::FrameHandlerSink {
public:
    explicit SimSink(KapriLib::tColorformatEnum colorformat);
    ~SimSink() override;

    bool setSnapMode(bool snap) override;
    bool getSnapMode() const { return snap_.load(); }
    // The colour format the sink was created for (eInvalidColorformat when none was accepted).
    KapriLib::tColorformatEnum getColorformat() const { return colorformat_; }

private:
    KapriLib::tColorformatEnum colorformat_;
    std::atomic<bool> snap_{true}; // read by the delivery thread
};

// The sink behind a holder handed to setSinkType, when it is one of ours.
SimSink* simSinkOf(KapriLib::refcount_ptr_base* holder);

// The colour format a subtype stands for; eInvalidColorformat for zero or unknown subtypes.
KapriLib::tColorformatEnum colorformatOfSubtype(const GUID& subtype);

} // namespace qvxsim
