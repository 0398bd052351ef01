// The listeners the adaptor registers with the host for property reads and writes and for source changes.
#pragma once

#include "host/listeners.h"

namespace qvx {

class QVXadaptor;

// Custom get of a device-specific property: the value comes from the camera on every read.
class PropListener : public imaqkit::IPropCustomGetFcn {
public:
    explicit PropListener(QVXadaptor* adaptor) : adaptor_(adaptor) {}
    void getValue(imaqkit::IPropInfo* property, void* value) override;

private:
    QVXadaptor* adaptor_;
};

// Post-set of a device-specific property: the new value goes to the camera.
class PropSetListener : public imaqkit::IPropPostSetListener {
public:
    explicit PropSetListener(QVXadaptor* adaptor) : adaptor_(adaptor) {}
    void notify(imaqkit::IPropInfo* property, void* newValue) override;

private:
    QVXadaptor* adaptor_;
};

// Post-set of "SelectedSourceName": a running acquisition is restarted on the new source.
class EnginePropSetListener : public imaqkit::IEnginePropPostSetListener {
public:
    explicit EnginePropSetListener(QVXadaptor* adaptor) : adaptor_(adaptor) {}
    void notify(imaqkit::IPropInfo* ignored, void* newValue) override;
    virtual bool restart(); // slot 2

private:
    QVXadaptor* adaptor_;
};

} // namespace qvx
