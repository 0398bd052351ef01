// What the adaptor reported while a user's request was applied: its warnings and error boxes.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace qvxcli {

// While one exists, every error box the adaptor raises is still shown (on standard error here; Windows
// shows its own box) and also kept. One at a time.
class AdaptorWatch {
public:
    AdaptorWatch();
    ~AdaptorWatch();
    AdaptorWatch(const AdaptorWatch&) = delete;
    AdaptorWatch& operator=(const AdaptorWatch&) = delete;

    // The boxes and warnings since the last call, as "caption: text" and the warning's text.
    std::vector<std::string> take();

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

// The complaints joined for a message: "(the adaptor reported: A; B)", or "" when there are none.
std::string reportedText(const std::vector<std::string>& complaints);

} // namespace qvxcli
