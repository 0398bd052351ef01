// The property listeners and their registration; once registered they belong to the host.
#include "instance/property_listeners.h"

#include <memory>
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
    imaqkit::IPropContainer* engineProperties = engine->getEnginePropContainer();
    imaqkit::IPropContainer* properties = engine->getAdaptorPropContainer();

    std::vector<const char*> deviceSpecific;
    const int count = properties->getNumberProps();
    if (count > 0) {
        std::vector<const char*> names(static_cast<std::size_t>(count), nullptr);
        properties->getPropNames(names.data());
        for (const char* name : names) {
            if (name == nullptr) continue;
            const imaqkit::IPropInfo* info = properties->getIPropInfo(name);
            if (info != nullptr && info->isPropertyDeviceSpecific()) deviceSpecific.push_back(name);
        }
    }

    // Every listener exists before the first one is registered: a registered listener is the
    // host's and points at this adaptor, so memory that ran out half-way would leave the host
    // listeners of an adaptor that the failing construction frees. Until registration they are
    // ours, and the unique_ptrs give them back to imaqfree on the way out.
    auto sourceListener = std::make_unique<EnginePropSetListener>(this);
    std::vector<std::unique_ptr<PropListener>> getters;
    std::vector<std::unique_ptr<PropSetListener>> setters;
    getters.reserve(deviceSpecific.size());
    setters.reserve(deviceSpecific.size());
    for (std::size_t index = 0; index < deviceSpecific.size(); ++index) {
        getters.push_back(std::make_unique<PropListener>(this));
        setters.push_back(std::make_unique<PropSetListener>(this));
    }

    // A listener the host takes is the host's; one it refuses is still ours, and its unique_ptr destroys
    // it on the way out.
    if (engineProperties->addEnginePostSetListener("SelectedSourceName", sourceListener.get()))
        sourceListener.release();
    for (std::size_t index = 0; index < deviceSpecific.size(); ++index) {
        if (properties->setCustomGetFcn(deviceSpecific[index], getters[index].get()))
            getters[index].release();
        if (properties->addPostSetListener(deviceSpecific[index], setters[index].get()))
            setters[index].release();
    }
}

} // namespace qvx
