// The host's adaptor manager: acquisition state, the engine, the host's copy of the region, frame counting.
#pragma once

#include <memory>

#include "host/adaptor_manager.h"
#include "sim/toolbox/acquisition_state.h"
#include "sim/toolbox/host_memory.h"
#include "sim/toolbox/placeholder.h"

namespace qvxtb::detail {

class AdaptorManager final : public imaqkit::IAdaptorManager, public HostAllocated {
public:
    QVXTB_PLACEHOLDER("adaptorManager", 1)
    QVXTB_PLACEHOLDER("adaptorManager", 2)
    QVXTB_PLACEHOLDER("adaptorManager", 7)
    QVXTB_PLACEHOLDER("adaptorManager", 10)
    QVXTB_PLACEHOLDER("adaptorManager", 16)
    using HostAllocated::operator new;
    using HostAllocated::operator delete;

    AdaptorManager(imaqkit::IAdaptor* adaptor, imaqkit::IEngine* engine,
                   std::shared_ptr<AcquisitionState> state);
    ~AdaptorManager() override;

    bool startAcquisition() override;
    bool stopAcquisition() override;
    bool isOpen() override;
    bool isAcquisitionActive() override;
    imaqkit::IEngine* getEngine() override;
    int hostDefault() override;
    void getROI(int* x, int* y, int* width, int* height) override;
    void setROI(int x, int y, int width, int height) override;
    void incrementFrameCount() override;
    bool isSendFrame() override;
    bool isAcquisitionNotComplete() override;

private:
    void ensureRoi();

    imaqkit::IAdaptor* adaptor_;
    imaqkit::IEngine* engine_;
    std::shared_ptr<AcquisitionState> state_;
};

} // namespace qvxtb::detail
