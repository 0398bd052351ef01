// The VCD property objects a Grabber hands out: item collection and everything reached from it.
#pragma once

#include <memory>

#include "grabber/vcd.h"
#include "sim/cameras/system.h"

namespace qvxsim {

// The item collection of a camera as seen from one Grabber's session, with one reference for the caller.
KapriLib::IVCDPropertyItems* makeVcdItems(std::shared_ptr<Session> session, std::shared_ptr<Camera> camera);

// Limits of a range element; the partial-scan offsets follow the sensor minus the session's format.
void rangeLimits(const Session* session, const Camera& camera, const VcdItem& item, const VcdElement& element,
                 LONG& min, LONG& max);

} // namespace qvxsim
