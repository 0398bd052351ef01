// The interface through which the host drives one adaptor object; its defaults forward to the adaptor
// manager.
#pragma once

#include "host/adaptor_manager.h"
#include "host/imaq_interface.h"

namespace imaqkit {

class IAdaptor : public IMAQInterface {
public:
    explicit IAdaptor(IEngine* engine) : manager_(createAdaptorManager(this, engine)) {}
    IAdaptor(const IAdaptor&) = delete;
    IAdaptor& operator=(const IAdaptor&) = delete;

    // slot 0: the adaptor owns its manager and deletes it last.
    ~IAdaptor() override { delete manager_; }

    virtual int hostDefault() { return manager_->hostDefault(); }  // slot 1
    virtual void getROI(int* x, int* y, int* width, int* height) { // slot 2
        manager_->getROI(x, y, width, height);
    }
    virtual void setROI(int x, int y, int width, int height) { // slot 3
        manager_->setROI(x, y, width, height);
    }
    virtual int getMaxWidth() const = 0;                  // slot 4
    virtual int getMaxHeight() const = 0;                 // slot 5
    virtual int getFrameType() const = 0;                 // slot 6
    virtual int getNumberOfBands() const = 0;             // slot 7
    virtual const char* getDriverDescription() const = 0; // slot 8
    virtual const char* getDriverVersion() const = 0;     // slot 9
    virtual bool openDevice() = 0;                        // slot 10
    virtual bool closeDevice() = 0;                       // slot 11
    virtual bool startCapture() = 0;                      // slot 12
    virtual bool stopCapture() = 0;                       // slot 13

    IAdaptorManager* getAdaptorManager() const { return manager_; }

private:
    IAdaptorManager* manager_;
};

} // namespace imaqkit
