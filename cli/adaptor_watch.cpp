// Keeping the adaptor's warnings and error boxes so that a command can tell its user it failed.
#include "cli/adaptor_watch.h"

#include <cstdio>
#include <mutex>

#include "sim/toolbox/toolbox.h"
#if !defined(_WIN32)
#include "platform/testing.h"
#endif

namespace qvxcli {

struct AdaptorWatch::Impl {
    std::mutex mutex;
    std::vector<std::string> boxes;
    std::size_t warningsSeen = 0;
};

AdaptorWatch::AdaptorWatch() : impl_(std::make_shared<Impl>()) {
    impl_->warningsSeen = qvxtb::warnings().size();
#if !defined(_WIN32)
    // Outside Windows a box is a line of text; Windows shows the real box, and a wrong format still shows
    // in the frame size the adaptor reports.
    std::weak_ptr<Impl> weak = impl_;
    qvxplatform::setMessageBoxHook([weak](const qvxplatform::MessageBoxCall& call) {
        std::fprintf(stderr, "[%s] %s\n", call.caption.c_str(), call.text.c_str());
        if (auto impl = weak.lock()) {
            std::lock_guard<std::mutex> lock(impl->mutex);
            impl->boxes.push_back(call.caption + ": " + call.text);
        }
        return IDOK;
    });
#endif
}

AdaptorWatch::~AdaptorWatch() {
#if !defined(_WIN32)
    qvxplatform::setMessageBoxHook(nullptr);
#endif
}

std::vector<std::string> AdaptorWatch::take() {
    std::vector<std::string> complaints;
    {
        std::lock_guard<std::mutex> lock(impl_->mutex);
        complaints.swap(impl_->boxes);
    }
    const std::vector<qvxtb::Warning> warnings = qvxtb::warnings();
    for (std::size_t i = impl_->warningsSeen; i < warnings.size(); ++i)
        complaints.push_back(warnings[i].text);
    impl_->warningsSeen = warnings.size();
    return complaints;
}

std::string reportedText(const std::vector<std::string>& complaints) {
    if (complaints.empty()) return "";
    std::string text = " (the adaptor reported: ";
    for (std::size_t i = 0; i < complaints.size(); ++i) {
        std::string line = complaints[i];
        for (char& c : line) {
            if (c == '\n') c = ' ';
        }
        text += (i == 0 ? "" : "; ") + line;
    }
    return text + ")";
}

} // namespace qvxcli
