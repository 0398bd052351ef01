// The MEX entry point of the toolbox's Octave layer: qvximaq_gateway(COMMAND, ARGS...) runs one command.
//
// The gateway stays loaded for the whole session (mexLock) and releases every video input and adaptor
// in its exit handler: adaptor code and camera threads must be gone before Octave unloads the libraries.
// No C++ exception of ours leaves mexFunction; each becomes an Octave error with an identifier. Octave's own
// interrupt and exit do leave it, and an allocation that fails gives Octave's out-of-memory error.
//
// Waits give way to Octave's pending signals: the kit stand-in asks octave_signal_caught in every slice of
// a wait, and the gateway then lets octave_quit act on the signal as Octave would between statements:
// Ctrl-C becomes Octave's interrupt, SIGTERM ends Octave (whose exit runs the gateway's exit handler, which
// stops the camera threads). Every command that waits changes nothing before its wait ends, so a signal
// that is neither leaves a command that is simply run again.
#include <octave/quit.h>

#include <cctype>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "matlab/octave/gateway/commands.h"
#include "matlab/octave/gateway/gateway_error.h"
#include "mex.h"
#include "sim/toolbox/toolbox.h"

namespace qvxgw {

void Outputs::set(int index, mxArray* value) {
    if (!wants(index)) {
        mxDestroyArray(value);
        return;
    }
    values_[index] = value;
}

namespace {

std::unique_ptr<Session> gSession;
std::vector<std::pair<std::string, std::string>> gLaterWarnings;

const CommandTable& commands() {
    static const CommandTable table = [] {
        CommandTable made;
        addHardwareCommands(made);
        addInputCommands(made);
        addAcquisitionCommands(made);
        return made;
    }();
    return table;
}

void release() {
    qvxtb::setWaitInterrupt(nullptr);
    gSession.reset();
}

Session& session() {
    if (!gSession) {
        gSession = std::make_unique<Session>();
        // A session-long acquisition would otherwise keep a record of every call of every frame.
        qvxtb::setRecordCalls(false);
        // Warnings reach the user through Octave's warning mechanism instead (see forwardWarnings).
        qvxtb::setPrintWarnings(false);
        qvxtb::setWaitInterrupt([] { return octave_signal_caught != 0; });
        mexLock();
        mexAtExit(release);
    }
    return *gSession;
}

// Octave takes identifiers of the form "component:name"; an adaptor's own may not be one.
std::string warningIdentifier(const std::string& identifier) {
    const auto colon = identifier.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == identifier.size())
        return "imaq:adaptor:warning";
    for (char c : identifier) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == ':' || c == '_' || c == '-'))
            return "imaq:adaptor:warning";
    }
    return identifier;
}

// The warnings the adaptor raised since the last command, also those from the delivery thread.
void forwardWarnings() {
    std::vector<qvxtb::Warning> raised = qvxtb::warnings();
    qvxtb::clearRecords();
    for (auto& later : gLaterWarnings) raised.push_back({later.first, later.second});
    gLaterWarnings.clear();
    for (const qvxtb::Warning& warning : raised) {
        mxArray* args[3] = {makeText(warningIdentifier(warning.identifier)), makeText("%s"),
                            makeText(warning.text)};
        mexCallMATLAB(0, nullptr, 3, args, "warning");
        for (mxArray* arg : args) mxDestroyArray(arg);
    }
}

// Raises the error as Octave's error(struct) does: with the identifier, and the message as it is
// (mexErrMsgIdAndTxt would put the gateway's name in front of it).
void raise(const std::string& identifier, const std::string& message) {
    const char* fields[] = {"message", "identifier"};
    mxArray* error = mxCreateStructMatrix(1, 1, 2, fields);
    mxSetField(error, 0, "message", makeText(message));
    mxSetField(error, 0, "identifier", makeText(identifier));
    mexCallMATLAB(0, nullptr, 1, &error, "error");
    // Not reached: error does not return.
    mxDestroyArray(error);
    mexErrMsgIdAndTxt(identifier.c_str(), "%s", message.c_str());
}

// Runs the command until it ends without an interrupt of its wait; see the top of this file.
void runCommand(Session& session, const CommandTable::mapped_type command, int nlhs, mxArray* plhs[],
                int nrhs, const mxArray* prhs[]) {
    for (;;) {
        try {
            const Arguments args(nrhs - 1, prhs + 1);
            Outputs outputs(nlhs, plhs);
            command(session, args, outputs);
            return;
        } catch (const qvxtb::InterruptedError&) {
            // Unwound: whatever the command held is released. Outside the handler, as Octave's interrupt
            // and exit are exceptions of their own.
        }
        octave_quit();
    }
}

bool allocationFailure(const octave::execution_exception& error) {
    return std::string(error.what()).find("failed to allocate") != std::string::npos;
}

} // namespace

void warnLater(const std::string& identifier, const std::string& text) {
    gLaterWarnings.emplace_back(identifier, text);
}

} // namespace qvxgw

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    std::string identifier;
    std::string message;
    try {
        qvxgw::Session& session = qvxgw::session();
        const qvxgw::Arguments all(nrhs, prhs);
        const std::string name = all.text(0, "The gateway command");
        const auto command = qvxgw::commands().find(name);
        if (command == qvxgw::commands().end())
            throw qvxgw::GatewayError("imaq:gateway:unknownCommand",
                                      "Unknown gateway command '" + name + "'.");
        qvxgw::runCommand(session, command->second, nlhs, plhs, nrhs, prhs);
    } catch (const octave::interrupt_exception&) {
        throw;
    } catch (const octave::exit_exception&) {
        throw;
    } catch (const std::bad_alloc&) {
        identifier = "Octave:bad-alloc";
        message = "out of memory or dimension too large for Octave's index type";
    } catch (const octave::execution_exception& error) {
        // An error Octave raised in a call of ours: its own out-of-memory one in its own words.
        if (!qvxgw::allocationFailure(error)) throw;
        identifier = "Octave:bad-alloc";
        message = "out of memory or dimension too large for Octave's index type";
    } catch (const qvxgw::GatewayError& error) {
        identifier = error.identifier();
        message = error.what();
    } catch (const std::exception& error) {
        identifier = "imaq:adaptor:error";
        message = error.what();
    } catch (...) {
        identifier = "imaq:adaptor:error";
        message = "An unknown C++ exception was raised.";
    }
    try {
        qvxgw::forwardWarnings();
    } catch (...) {
        // The command's own result or error matters more than a warning that could not be given.
    }
    if (!identifier.empty()) qvxgw::raise(identifier, message);
}
