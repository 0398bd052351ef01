// Frame filters and the loader that makes them by name.
#pragma once

#include "grabber/dstring.h"
#include "grabber/kapri_api.h"
#include "grabber/smart_com.h"
#include "platform/win32.h"

namespace KapriLib {

struct IFrameFilter : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE getName(BSTR* name) = 0; // slot 3
};

class KAPRI_API FilterLoader {
public:
    // The filter of that name from that module (empty: any module), or an empty holder.
    static smart_com<IFrameFilter> createFilter(dstringa name, dstringa module);
};

} // namespace KapriLib
