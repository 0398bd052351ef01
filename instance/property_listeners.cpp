// The property listeners and their registration; once registered they belong to the host.
#include "instance/property_listeners.h"

#include <vector>

#include "host/adaptor_manager.h"
#include "host/engine.h"
#include "instance/qvx_adaptor.h"

namespace qvx {

void PropListener::getValue(imaqkit::IPropInfo* property, void* value) {
    if (value != nullptr) adaptor_->getPropertyValue(property, value);
}

void PropSetListener::notify(imaqkit::IPropInfo* property, void* newValue) {
    if (newValue != nullptr) adaptor_->setPropertyValue(property, newValue);
}

void EnginePropSetListener::notify(imaqkit::IPropInfo* /*ignored*/, void* newValue) {
    if (newValue != nullptr && adaptor_->getAdaptorManager()->isOpen()) restart();
}

bool EnginePropSetListener::restart() {
    imaqkit::IAdaptorManager* manager = adaptor_->getAdaptorManager();
    if (!manager->isAcquisitionActive()) return false;
    manager->stopAcquisition();
    return manager->startAcquisition();
}

void QVXadaptor::registerPropertyListeners() {
    imaqkit::IEngine* engine = getAdaptorManager()->getEngine();
    engine->getEnginePropContainer()->addEnginePostSetListener("SelectedSourceName",
                                                               new EnginePropSetListener(this));

    imaqkit::IPropContainer* properties = engine->getAdaptorPropContainer();
    const int count = properties->getNumberProps();
    if (count <= 0) return;
    std::vector<const char*> names(static_cast<std::size_t>(count), nullptr);
    properties->getPropNames(names.data());
    for (const char* name : names) {
        if (name == nullptr) continue;
        const imaqkit::IPropInfo* info = properties->getIPropInfo(name);
        if (info == nullptr || !info->isPropertyDeviceSpecific()) continue;
        properties->setCustomGetFcn(name, new PropListener(this));
        properties->addPostSetListener(name, new PropSetListener(this));
    }
}

} // namespace qvx
