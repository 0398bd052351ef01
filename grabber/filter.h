// Frame filters and the loader that makes them by name.
#pragma once

#include "grabber/dstring.h"
#include "grabber/kapri_api.h"
#include "grabber/smart_com.h"
#include "platform/win32.h"

namespace KapriLib {

// The adaptor only holds and releases a filter; none of its own operations is called.
struct IFrameFilter : public IUnknown {};

class KAPRI_API FilterLoader {
public:
    // The filter of that name from that module (empty: any module), or an empty holder.
    static smart_com<IFrameFilter> createFilter(dstringa name, dstringa module);
};

} // namespace KapriLib
