// Frame filters by name: the stand-in knows one, "Rotate Flip", which does nothing to frames.
#include <mutex>
#include <string>

#include "grabber/filter.h"
#include "sim/cameras/com_object.h"
#include "sim/cameras/sim_text.h"

namespace KapriLib {
namespace {

constexpr GUID kIidFrameFilter = {
    0x51564601, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr const char* kRotateFlip = "Rotate Flip";

class RotateFlipFilter final : public qvxsim::ComObject<IFrameFilter> {
public:
    HRESULT STDMETHODCALLTYPE getName(BSTR* name) override {
        if (name == nullptr) return E_POINTER;
        *name = qvxsim::toBstr(kRotateFlip);
        return *name == nullptr ? E_OUTOFMEMORY : S_OK;
    }

protected:
    bool answers(REFIID riid) const override { return riid == kIidFrameFilter; }
};

} // namespace

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
