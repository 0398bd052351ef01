// Reference counting and the live-object counter shared by every COM-style object of the stand-in.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "platform/win32.h"
#include "sim/cameras/system.h"

namespace qvxsim {

// A call of a position the library's interface holds only for its layout: the adaptor has no business
// there. Counted as a contract violation and logged; the caller gets E_NOTIMPL.
inline HRESULT placeholderCalled(const char* slot) {
    System& sys = System::instance();
    sys.counters.contractViolations.fetch_add(1);
    std::lock_guard<std::mutex> lock(sys.mutex);
    sys.log(std::string("placeholder slot ") + slot + " called");
    return E_NOTIMPL;
}

#define QVXSIM_PLACEHOLDER(n)                                                                                \
    HRESULT STDMETHODCALLTYPE slot##n() override { return qvxsim::placeholderCalled(#n); }

constexpr GUID kIidIUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

template <class Interface> class ComObject : public Interface {
public:
    ComObject() { System::instance().counters.liveComObjects.fetch_add(1); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() { System::instance().counters.liveComObjects.fetch_sub(1); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (riid == kIidIUnknown || answers(riid)) {
            this->AddRef();
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) delete this;
        return left;
    }

protected:
    // Interface identifiers beyond IUnknown that this object answers.
    virtual bool answers(REFIID /*riid*/) const { return false; }

private:
    std::atomic<ULONG> count_{1};
};

} // namespace qvxsim
