// QVXadaptor: the adaptor object that one video input object owns, from opening to deletion.
#pragma once

#include <string>

#include "grabber/filter.h"
#include "grabber/grabber.h"
#include "host/adaptor.h"
#include "host/hardware_info.h"
#include "host/prop_container.h"
#include "instance/declared_type.h"
#include "instance/frame_listener.h"
#include "instance/region.h"

namespace qvx {

class QVXadaptor : public imaqkit::IAdaptor {
public:
    QVXadaptor(imaqkit::IEngine* engine, const imaqkit::IDeviceInfo* deviceInfo, const char* formatName);
    ~QVXadaptor() override;

    // Region of interest; the region lives in the camera, not here.
    void getROI(int* x, int* y, int* width, int* height) override;
    void setROI(int x, int y, int width, int height) override;

    int getMaxWidth() const override { return width_; }
    int getMaxHeight() const override { return height_; }
    int getFrameType() const override { return frameType_; }
    // Monochrome formats included: the host always counts three bands.
    int getNumberOfBands() const override { return 3; }
    const char* getDriverDescription() const override { return "Qovex Plugin for Matlab"; }
    const char* getDriverVersion() const override { return "3.3.0"; }
    bool openDevice() override;
    bool closeDevice() override;
    bool startCapture() override;
    bool stopCapture() override;

    // Property access on behalf of the listeners; failing VCD calls raise their code as long.
    void getPropertyValue(imaqkit::IPropInfo* property, void* value);
    void setPropertyValue(imaqkit::IPropInfo* property, void* value);
    void getVCDPropertyValue(const char* name, const DeclaredType& declared, void* value);
    void setVCDPropertyValue(const char* name, const DeclaredType& declared, void* value);
    // The element whose property name equals `name`; an element of a later item wins.
    KapriLib::smart_com<KapriLib::IVCDPropertyElement> findVCDElement(const std::string& name) const;

    bool isROICapable() const { return roiCapable_; }

private:
    void applyFormatName(const imaqkit::IDeviceInfo* deviceInfo, const char* formatName);
    // Fits the region to the current format's descriptor and applies format, rate and offsets;
    // live mode is the caller's.
    Region applyRegion(Region requested);
    void setupSink(const KapriLib::VideoFormatItem& format);
    void registerPropertyListeners();

    // Member order is destruction order: filter, listener, sink, then the grabber.
    KapriLib::Grabber grabber_;
    KapriLib::smart_ptr<KapriLib::FrameHandlerSink> sink_;
    CListener listener_;
    // Left at zero and false when the device does not open, so the host reads something defined.
    bool roiCapable_ = false;
    int width_ = 0;
    int height_ = 0;
    int frameType_ = 0;
    KapriLib::smart_com<KapriLib::IFrameFilter> filter_;
};

} // namespace qvx
