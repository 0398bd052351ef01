// The engine of one video input: makes frame objects, queues the frames it receives, holds the containers.
#pragma once

#include <memory>

#include "host/engine.h"
#include "sim/toolbox/acquisition_state.h"
#include "sim/toolbox/host_memory.h"
#include "sim/toolbox/placeholder.h"
#include "sim/toolbox/prop_container.h"

namespace qvxtb::detail {

class Engine final : public imaqkit::IEngine, public HostAllocated {
public:
    QVXTB_ENGINE_PLACEHOLDERS
    using HostAllocated::operator new;
    using HostAllocated::operator delete;

    Engine();
    ~Engine() override;

    imaqkit::IAdaptorFrame* makeFrame(int frameType, int width, int height) override;
    void receiveFrame(imaqkit::IAdaptorFrame* frame) override;
    imaqkit::IPropContainer* getEnginePropContainer() override;
    imaqkit::IPropContainer* getAdaptorPropContainer() override;

    const std::shared_ptr<AcquisitionState>& state() const { return state_; }
    PropContainer& engineProperties() { return engineProperties_; }
    PropContainer& deviceProperties() { return deviceProperties_; }

private:
    std::shared_ptr<AcquisitionState> state_;
    PropContainer engineProperties_{"enginePropContainer"};
    PropContainer deviceProperties_{"devicePropContainer"};
};

} // namespace qvxtb::detail
