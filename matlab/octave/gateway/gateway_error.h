// The error a gateway command raises for Octave: an identifier in the toolbox's "imaq:" style and a message.
#pragma once

#include <stdexcept>
#include <string>

namespace qvxgw {

class GatewayError : public std::runtime_error {
public:
    GatewayError(std::string identifier, const std::string& message)
        : std::runtime_error(message), identifier_(std::move(identifier)) {}
    const std::string& identifier() const { return identifier_; }

private:
    std::string identifier_;
};

} // namespace qvxgw
