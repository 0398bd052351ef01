// Whether a device delivers regions itself: decided by the first format descriptor of its current norm.
#include "attributes/roi_capable.h"

#include "grabber/snapshot.h"

namespace qvx {

bool isROICapable(const KapriLib::Grabber& grabber) {
    const auto descriptors = KapriLib::snapshotFormatDescs(grabber);
    const auto* list = descriptors.get();
    if (list == nullptr || list->empty()) return false;
    const KapriLib::VideoFormatDesc* first = list->front().get();
    return first != nullptr && first->isROIFormat();
}

} // namespace qvx
