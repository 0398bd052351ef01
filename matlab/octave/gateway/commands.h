// The gateway's commands: each takes the session, its arguments and the outputs to fill.
#pragma once

#include <map>
#include <string>

#include "matlab/octave/gateway/gateway_error.h"
#include "matlab/octave/gateway/mx_values.h"
#include "matlab/octave/gateway/session.h"

namespace qvxgw {

// Where a command puts its results; the first is always allowed, as Octave sets ans from it.
class Outputs {
public:
    Outputs(int count, mxArray** values) : count_(count), values_(values) {}
    bool wants(int index) const { return index == 0 || index < count_; }
    void set(int index, mxArray* value);

private:
    int count_;
    mxArray** values_;
};

using Command = void (*)(Session&, const Arguments&, Outputs&);
using CommandTable = std::map<std::string, Command>;

void addHardwareCommands(CommandTable& table);
void addInputCommands(CommandTable& table);
void addAcquisitionCommands(CommandTable& table);

// A warning for the user, given through Octave's warning once the command ends.
void warnLater(const std::string& identifier, const std::string& text);

// Runs a call into the adaptor object; whatever it raises becomes a GatewayError with this identifier.
template <typename Call>
decltype(auto) adaptorCall(const char* identifier, const std::string& what, Call&& call) {
    try {
        return call();
    } catch (const qvxtb::InterruptedError&) {
        throw; // not the adaptor's failure: the gateway gives Octave the interrupt
    } catch (const std::exception& error) {
        throw GatewayError(identifier, what + ": " + error.what());
    } catch (long code) {
        throw GatewayError(identifier,
                           what + ": the adaptor raised error code " + std::to_string(code) + ".");
    } catch (int code) {
        throw GatewayError(identifier,
                           what + ": the adaptor raised error code " + std::to_string(code) + ".");
    } catch (...) {
        throw GatewayError(identifier, what + ": the adaptor raised an unknown exception.");
    }
}

} // namespace qvxgw
