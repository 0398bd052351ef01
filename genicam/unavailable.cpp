// A grabber library built without Aravis: GenICam choices are refused with the reason, nothing else is
// reached.
#include <stdexcept>

#include "genicam/genicam.h"

namespace qvxgenicam {

std::shared_ptr<qvxsim::CameraSet> listCameras(const std::string& /*choice*/) {
    throw std::invalid_argument(
        "this grabber library was built without GenICam cameras (Aravis was not found "
        "when it was configured)");
}

std::vector<std::string> notesOf(const qvxsim::Camera& /*listed*/) { return {}; }

// Never reached: no listed camera names a GenICam camera in such a library.
std::shared_ptr<Device> openDevice(const qvxsim::Camera& /*listed*/) { return nullptr; }
std::shared_ptr<qvxsim::Camera> modelOf(const Device& /*device*/) { return nullptr; }
double initialRate(const Device& /*device*/) { return 0.0; }
bool isLost(const Device& /*device*/) { return true; }
KapriLib::IVCDPropertyItems* makeVcdItems(std::shared_ptr<qvxsim::Session> /*session*/,
                                          std::shared_ptr<Device> /*device*/) {
    return nullptr;
}
std::unique_ptr<Live> startLive(KapriLib::Grabber& /*grabber*/, std::shared_ptr<qvxsim::Session> /*session*/,
                                std::shared_ptr<Device> /*device*/) {
    return nullptr;
}

} // namespace qvxgenicam
