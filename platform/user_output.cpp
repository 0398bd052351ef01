// MessageBoxA and OutputDebugStringA outside Windows: printed or captured, never blocking.
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <mutex>

#include "platform/testing.h"
#include "platform/win32.h"

namespace {

struct Hooks {
    std::mutex mutex;
    std::function<int(const qvxplatform::MessageBoxCall&)> messageBox;
    std::function<void(const char*)> debugOutput;
};

Hooks& hooks() {
    static Hooks* instance = new Hooks();
    return *instance;
}

} // namespace

extern "C" int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style) {
    const qvxplatform::MessageBoxCall call{text != nullptr ? text : "", caption != nullptr ? caption : "",
                                           style};
    std::function<int(const qvxplatform::MessageBoxCall&)> hook;
    {
        std::lock_guard<std::mutex> lock(hooks().mutex);
        hook = hooks().messageBox;
    }
    if (hook) return hook(call);
    std::fprintf(stderr, "[%s] %s\n", call.caption.c_str(), call.text.c_str());
    return IDOK;
}

extern "C" void OutputDebugStringA(LPCSTR text) {
    std::function<void(const char*)> hook;
    {
        std::lock_guard<std::mutex> lock(hooks().mutex);
        hook = hooks().debugOutput;
    }
    if (hook) {
        hook(text != nullptr ? text : "");
        return;
    }
    if (std::getenv("QVX_DEBUG_OUTPUT") != nullptr && text != nullptr) std::fputs(text, stderr);
}

namespace qvxplatform {

void setMessageBoxHook(std::function<int(const MessageBoxCall&)> hook) {
    std::lock_guard<std::mutex> lock(hooks().mutex);
    hooks().messageBox = std::move(hook);
}

void setDebugOutputHook(std::function<void(const char*)> hook) {
    std::lock_guard<std::mutex> lock(hooks().mutex);
    hooks().debugOutput = std::move(hook);
}

} // namespace qvxplatform
