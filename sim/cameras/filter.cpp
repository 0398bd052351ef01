// Frame filters by name: the stand-in knows one, "Rotate Flip", which does nothing to frames.
#include <mutex>
#include <string>

#include "grabber/filter.h"
#include "sim/cameras/com_object.h"
#include "sim/cameras/sim_api.h"
#include "sim/cameras/sim_text.h"

namespace KapriLib {

constexpr GUID kIidFrameFilter = {
    0x51564601, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr const char* kRotateFlip = "Rotate Flip";

class RotateFlipFilter final : public qvxsim::ComObject<IFrameFilter> {
public:
    const char* name() const { return kRotateFlip; }

protected:
    bool answers(REFIID riid) const override { return riid == kIidFrameFilter; }
};

smart_com<IFrameFilter> FilterLoader::createFilter(dstringa name, dstringa module) {
    const std::string filter = name.str == nullptr ? "" : name.str;
    const std::string from = module.str == nullptr ? "" : module.str;
    qvxsim::System& sys = qvxsim::System::instance();
    {
        std::lock_guard<std::mutex> lock(sys.mutex);
        sys.log("createFilter(" + filter + "," + from + ")");
    }
    if (filter != kRotateFlip) return smart_com<IFrameFilter>();
    return smart_com<IFrameFilter>(new RotateFlipFilter());
}

} // namespace KapriLib

namespace qvxsim {

std::string filterName(KapriLib::IFrameFilter* filter) {
    const auto* known = dynamic_cast<const KapriLib::RotateFlipFilter*>(filter);
    return known != nullptr ? known->name() : std::string();
}

} // namespace qvxsim
