// What the gateway keeps between calls: registered adaptor libraries, loaded adaptors with their device
// lists, and the video inputs by numeric handle.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sim/toolbox/toolbox.h"

namespace qvxgw {

// One video input with the toolbox settings the adaptor kit stand-in does not keep itself.
struct Input {
    std::unique_ptr<qvxtb::VideoInput> video;
    std::string adaptorName;
    int deviceId = 0;
    std::string deviceName;
    std::string format;
    double framesPerTrigger = 10; // Inf: until stopped
    double triggerRepeat = 0;     // Inf: until stopped
    double startTime = 0;         // the host's clock when the last acquisition was started
    double framesTaken = 0;       // frames of the last acquisition taken out of the buffer so far
    bool failureReported = false; // the user was told why the last acquisition ended by itself
};

class Session {
public:
    ~Session();

    // Registrations last as long as the gateway stays loaded: the Octave session.
    std::vector<std::string> registered() const { return registered_; }
    void registerLibrary(const std::string& path);
    void unregisterLibrary(const std::string& path);
    // The adaptors' names (file base name without a leading "lib", lower case), in registration order.
    std::vector<std::string> adaptorNames() const;
    // The registered path under that name, or "" when none.
    std::string pathOf(const std::string& adaptorName) const;

    // The adaptor, loaded on first use; its device list is read once and kept until reset.
    qvxtb::Adaptor& adaptor(const std::string& adaptorName);
    const std::vector<qvxtb::DeviceInfo>& devices(const std::string& adaptorName);

    double createInput(const std::string& adaptorName, const qvxtb::DeviceInfo& device,
                       const std::string& format);
    Input& input(double handle);
    bool hasInput(double handle) const { return inputs_.count(handle) != 0; }
    void deleteInput(double handle);
    std::vector<double> handles() const;
    // Another running input on the same device, if any.
    bool deviceBusy(const Input& asking) const;

    // Stops and deletes every video input, then unloads every adaptor; registrations stay.
    void reset();

private:
    struct Loaded {
        std::unique_ptr<qvxtb::Adaptor> adaptor;
        bool scanned = false;
        std::vector<qvxtb::DeviceInfo> devices;
    };
    std::vector<std::string> registered_;
    std::map<std::string, Loaded> loaded_;
    std::map<double, Input> inputs_;
    double nextHandle_ = 1; // never reused, so a deleted object's handle stays invalid
};

std::string adaptorNameOf(const std::string& path);
// The path with links and "." and ".." resolved; as given when it cannot be resolved.
std::string canonicalPath(const std::string& path);

} // namespace qvxgw
