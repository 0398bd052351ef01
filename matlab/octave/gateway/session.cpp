// The gateway's state between calls, and its orderly release.
#include "matlab/octave/gateway/session.h"

#include <climits>
#include <cstdlib>

#include <algorithm>
#include <cctype>

#include "matlab/octave/gateway/gateway_error.h"

namespace qvxgw {

std::string adaptorNameOf(const std::string& path) {
    std::string file = path.substr(path.find_last_of("/\\") + 1);
    file = file.substr(0, file.find('.'));
    if (file.rfind("lib", 0) == 0 && file.size() > 3) file = file.substr(3);
    for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return file;
}

Session::~Session() { reset(); }

std::string canonicalPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

void Session::registerLibrary(const std::string& given) {
    // One file is one adaptor, whichever way its path is spelt (links, "." and "..", repeated slashes).
    const std::string path = canonicalPath(given);
    const std::string name = adaptorNameOf(path);
    for (const std::string& held : registered_) {
        if (held == path) return;
        if (adaptorNameOf(held) == name) {
            throw GatewayError("imaq:imaqregister:alreadyregistered",
                               "An adaptor named '" + name + "' is already registered: " + held + ".");
        }
    }
    // Only what loads and initialises as an adaptor is listed: anything else would show as installed and
    // fail at every use.
    try {
        qvxtb::Adaptor probe(path);
    } catch (const std::exception& error) {
        throw GatewayError("imaq:imaqregister:invalidAdaptor",
                           "The file " + given + " cannot be loaded as an adaptor: " + error.what());
    }
    registered_.push_back(path);
}

void Session::unregisterLibrary(const std::string& given) {
    const std::string path = canonicalPath(given);
    auto held = std::find(registered_.begin(), registered_.end(), path);
    if (held == registered_.end()) {
        throw GatewayError("imaq:imaqregister:unregisterfailed",
                           "The adaptor " + path + " is not registered.");
    }
    registered_.erase(held);
}

std::vector<std::string> Session::adaptorNames() const {
    std::vector<std::string> names;
    for (const std::string& path : registered_) names.push_back(adaptorNameOf(path));
    return names;
}

std::string Session::pathOf(const std::string& adaptorName) const {
    for (const std::string& path : registered_) {
        if (adaptorNameOf(path) == adaptorName) return path;
    }
    return "";
}

qvxtb::Adaptor& Session::adaptor(const std::string& adaptorName) {
    const std::string path = pathOf(adaptorName);
    if (path.empty()) {
        throw GatewayError("imaq:imaqhwinfo:invalidAdaptor",
                           "Invalid ADAPTOR specified. Type 'imaqhwinfo' for a list of installed ADAPTORs.");
    }
    Loaded& loaded = loaded_[adaptorName];
    if (!loaded.adaptor) {
        try {
            loaded.adaptor = std::make_unique<qvxtb::Adaptor>(path);
        } catch (const std::exception& error) {
            loaded_.erase(adaptorName);
            throw GatewayError("imaq:imaqhwinfo:adaptorLoad",
                               "The adaptor '" + adaptorName + "' could not be loaded: " + error.what());
        }
    }
    return *loaded.adaptor;
}

const std::vector<qvxtb::DeviceInfo>& Session::devices(const std::string& adaptorName) {
    qvxtb::Adaptor& loadedAdaptor = adaptor(adaptorName);
    Loaded& loaded = loaded_[adaptorName];
    if (!loaded.scanned) {
        loaded.devices = loadedAdaptor.hwinfo();
        loaded.scanned = true;
    }
    return loaded.devices;
}

double Session::createInput(const std::string& adaptorName, const qvxtb::DeviceInfo& device,
                            const std::string& format) {
    Input made;
    made.video = adaptor(adaptorName).videoinput(std::to_string(device.id), format);
    made.adaptorName = adaptorName;
    made.deviceId = device.id;
    made.deviceName = device.name;
    made.format = format;
    const double handle = nextHandle_++;
    inputs_.emplace(handle, std::move(made));
    return handle;
}

Input& Session::input(double handle) {
    auto found = inputs_.find(handle);
    if (found == inputs_.end()) {
        throw GatewayError("imaq:videoinput:invalidObject",
                           "Image acquisition object OBJ is an invalid object: it was deleted or reset.");
    }
    return found->second;
}

void Session::deleteInput(double handle) {
    auto found = inputs_.find(handle);
    if (found == inputs_.end()) return;
    // Taken out first, so that the handle is gone even when stopping the adaptor fails.
    Input taken = std::move(found->second);
    inputs_.erase(found);
    taken.video.reset(); // stops a running acquisition and deletes the adaptor object
}

std::vector<double> Session::handles() const {
    std::vector<double> result;
    for (const auto& entry : inputs_) result.push_back(entry.first);
    return result;
}

bool Session::deviceBusy(const Input& asking) const {
    for (const auto& entry : inputs_) {
        const Input& other = entry.second;
        if (&other != &asking && other.adaptorName == asking.adaptorName &&
            other.deviceId == asking.deviceId && other.video->isRunning())
            return true;
    }
    return false;
}

void Session::reset() {
    // Video inputs first: their adaptor objects live in the libraries the adaptors keep loaded.
    while (!inputs_.empty()) deleteInput(inputs_.begin()->first);
    loaded_.clear();
}

} // namespace qvxgw
