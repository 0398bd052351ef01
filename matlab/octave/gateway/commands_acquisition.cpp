// Gateway commands about acquisitions: trigger settings, start, stop, wait, getdata, getsnapshot, flushdata.
#include <climits>
#include <cmath>
#include <string>

#include "host/imaqkit.h"
#include "matlab/octave/gateway/commands.h"
#include "matlab/octave/gateway/frames.h"
#include "matlab/octave/gateway/gateway_error.h"
#include "matlab/octave/gateway/metadata.h"

namespace qvxgw {
namespace {

// Frames one acquisition logs; infinite when either setting is Inf.
double wanted(const Input& input) { return input.framesPerTrigger * (input.triggerRepeat + 1); }

// The toolbox stops an acquisition once its frames are in, or when it ends by itself (the frame memory
// limit); the kit stand-in leaves that to the host's thread, so every look at the object first stops such
// an acquisition. Its error reaches the user once, as a warning here unless a command raised it already.
void settle(Input& input) {
    if (!input.video->isRunning()) return;
    const std::string failure = input.video->acquisitionError();
    if (failure.empty() &&
        (std::isinf(wanted(input)) || static_cast<double>(input.video->framesAcquired()) < wanted(input)))
        return;
    adaptorCall("imaq:stop:adaptorError", "Stopping the acquisition", [&] { input.video->stop(); });
    if (!failure.empty() && !input.failureReported) {
        input.failureReported = true;
        warnLater("imaq:acquisition:frameMemoryLimit", failure);
    }
}

// A whole number from `least` to INT_MAX (the kit's range), or Inf where `infinite` allows it: checked
// before any conversion, with a message that names the range.
double countIn(const Arguments& args, int index, const char* what, double least, bool infinite,
               const char* identifier) {
    const double value = args.number(index, what);
    const bool whole = std::isfinite(value) && std::floor(value) == value;
    if ((infinite && value == HUGE_VAL) || (whole && value >= least && value <= INT_MAX)) return value;
    throw GatewayError(identifier, std::string(what) + " must be a whole number from " +
                                       std::to_string(static_cast<int>(least)) + " to " +
                                       std::to_string(INT_MAX) + (infinite ? ", or Inf." : "."));
}

Input& settled(Session& session, const Arguments& args) {
    Input& input = session.input(args.number(0, "The handle"));
    settle(input);
    return input;
}

// Arguments 1 and 2: FramesPerTrigger and TriggerRepeat; Inf for either acquires until stopped.
void applyTriggerCounts(Input& input, const Arguments& args) {
    const double frames = countIn(args, 1, "FramesPerTrigger", 1, true, "imaq:set:outOfBounds");
    const double repeats = countIn(args, 2, "TriggerRepeat", 0, true, "imaq:set:outOfBounds");
    const bool endless = std::isinf(frames) || std::isinf(repeats);
    adaptorCall("imaq:set:refused", "Setting FramesPerTrigger and TriggerRepeat", [&] {
        // The kit stand-in counts frames per trigger of 0 as "until stopped".
        input.video->setFramesPerTrigger(endless ? 0 : static_cast<int>(frames));
        input.video->setTriggerRepeat(endless ? 0 : static_cast<int>(repeats));
    });
    input.framesPerTrigger = frames;
    input.triggerRepeat = repeats;
}

// configure(h, FramesPerTrigger, TriggerRepeat)
void configure(Session& session, const Arguments& args, Outputs&) {
    args.expect(3, "configure");
    applyTriggerCounts(settled(session, args), args);
}

// spacing(h, FrameGrabInterval, TriggerFrameDelay): which of the frames acquired are logged; the kit
// stand-in keeps both and asks the adaptor to send only those frames.
void spacing(Session& session, const Arguments& args, Outputs&) {
    args.expect(3, "spacing");
    Input& input = settled(session, args);
    const double interval = args.number(1, "FrameGrabInterval");
    const double delay = args.number(2, "TriggerFrameDelay");
    adaptorCall("imaq:set:refused", "Setting FrameGrabInterval and TriggerFrameDelay", [&] {
        input.video->setFrameGrabInterval(static_cast<int>(interval));
        input.video->setTriggerFrameDelay(static_cast<int>(delay));
    });
}

// start(h, FramesPerTrigger, TriggerRepeat): the counts this acquisition logs.
void start(Session& session, const Arguments& args, Outputs&) {
    args.expect(3, "start");
    Input& input = settled(session, args);
    if (input.video->isRunning()) throw GatewayError("imaq:start:running", "OBJ is already running.");
    if (session.deviceBusy(input)) {
        throw GatewayError(
            "imaq:start:deviceInUse",
            "Multiple image acquisition objects cannot access the same device simultaneously.");
    }
    applyTriggerCounts(input, args);
    // Immediate trigger: logging starts with the acquisition, and the time stamps count from here.
    input.startTime = imaqkit::getCurrentTime();
    input.framesTaken = 0;
    input.failureReported = false;
    adaptorCall("imaq:start:adaptorError", "Starting the acquisition", [&] { input.video->start(); });
}

void stop(Session& session, const Arguments& args, Outputs&) {
    args.expect(1, "stop");
    Input& input = session.input(args.number(0, "The handle"));
    adaptorCall("imaq:stop:adaptorError", "Stopping the acquisition", [&] { input.video->stop(); });
}

// Running (logical), FramesAcquired and FramesAvailable, after a complete acquisition was stopped.
void status(Session& session, const Arguments& args, Outputs& out) {
    args.expect(1, "status");
    Input& input = settled(session, args);
    StructBuilder result({"Running", "FramesAcquired", "FramesAvailable"});
    result.set(0, "Running", makeLogical(input.video->isRunning()));
    result.set(0, "FramesAcquired", makeNumber(static_cast<double>(input.video->framesAcquired())));
    result.set(0, "FramesAvailable", makeNumber(static_cast<double>(input.video->framesAvailable())));
    out.set(0, result.release());
}

void wait(Session& session, const Arguments& args, Outputs&) {
    args.expect(2, "wait");
    Input& input = settled(session, args);
    if (!input.video->isRunning()) return;
    const double seconds = args.number(1, "WAITTIME");
    try {
        input.video->wait(seconds);
    } catch (const qvxtb::InterruptedError&) {
        throw;
    } catch (const qvxtb::TimeoutError&) {
        throw GatewayError("imaq:wait:timeout", "WAIT reached its timeout before OBJ stopped running.");
    } catch (const std::exception& error) {
        throw GatewayError("imaq:wait:adaptorError", error.what());
    }
    settle(input);
}

mxClassID classNamed(const std::string& name, int frameType) {
    if (name == "native") return nativeClass(frameType);
    if (name == "uint8") return mxUINT8_CLASS;
    if (name == "uint16") return mxUINT16_CLASS;
    if (name == "uint32") return mxUINT32_CLASS;
    if (name == "single") return mxSINGLE_CLASS;
    if (name == "double") return mxDOUBLE_CLASS;
    throw GatewayError("imaq:getdata:invalidType",
                       "TYPE must be 'native', 'uint8', 'uint16', 'uint32', 'single' or 'double'.");
}

// getdata(h, N, Timeout, TYPE, FORMAT) -> [data, times, metadata]: H×W×B×N frames of class TYPE (or an N×1
// cell for FORMAT 'cell'), their times in seconds since START (N×1), and their metadata (N×1 struct). The
// frames leave the buffer only once all of it is built: a result that cannot be allocated costs none.
void getdata(Session& session, const Arguments& args, Outputs& out) {
    args.expect(5, "getdata");
    Input& input = settled(session, args);
    const double count = countIn(args, 1, "N", 1, false, "imaq:getdata:invalidN");
    const double timeout = args.number(2, "Timeout");
    const std::string type = args.text(3, "TYPE");
    const bool cell = args.text(4, "FORMAT") == "cell";
    const bool running = input.video->isRunning();
    const double available = static_cast<double>(input.video->framesAvailable());
    if (!running && available == 0)
        throw GatewayError("imaq:getdata:noFramesAvailable",
                           "OBJ is not running and no frames are available.");
    if (count > available) {
        // Frames still to come: none when stopped, the rest of a finite acquisition otherwise.
        const double coming =
            !running ? 0 : wanted(input) - static_cast<double>(input.video->framesAcquired());
        if (count > available + coming) {
            throw GatewayError("imaq:getdata:tooManyFrames",
                               "GETDATA asked for " + std::to_string(static_cast<long>(count)) +
                                   " frames, but no more than " +
                                   std::to_string(static_cast<long>(available + coming)) +
                                   " will be available.");
        }
    }
    mxArray* results[3] = {nullptr, nullptr, nullptr};
    const auto build = [&](const std::vector<const qvxtb::Frame*>& frames) {
        mxArray* data = framesArray(frames, classNamed(type, frames.front()->frameType), cell);
        results[0] = data;
        if (out.wants(1)) {
            results[1] = mxCreateDoubleMatrix(frames.size(), 1, mxREAL);
            double* times = mxGetPr(results[1]);
            for (std::size_t i = 0; i < frames.size(); ++i) times[i] = frames[i]->time - input.startTime;
        }
        if (out.wants(2)) results[2] = loggedMetadata(frames, input.framesTaken, input.framesPerTrigger);
    };
    try {
        input.video->getdata(static_cast<int>(count), timeout, build);
    } catch (...) {
        for (mxArray* result : results) {
            if (result != nullptr) mxDestroyArray(result);
        }
        try {
            throw;
        } catch (const qvxtb::InterruptedError&) {
            throw;
        } catch (const qvxtb::TimeoutError&) {
            throw GatewayError("imaq:getdata:timeout", "GETDATA timed out before FRAMES were available.");
        } catch (const qvxtb::ToolboxError& error) {
            const std::string failure = input.video->acquisitionError();
            if (!failure.empty() && failure == error.what()) {
                input.failureReported = true;
                settle(input);
                throw GatewayError("imaq:getdata:frameMemoryLimit", failure);
            }
            throw GatewayError("imaq:getdata:adaptorError", error.what());
        }
    }
    input.framesTaken += count;
    settle(input);
    for (int i = 0; i < 3; ++i)
        out.set(i, results[i] != nullptr ? results[i] : mxCreateDoubleMatrix(0, 0, mxREAL));
}

// A snapshot while running is a copy of the next frame the acquisition logs, which stays logged; when
// stopped, the kit stand-in takes a one-frame acquisition of its own, for which the device must be free.
void snapshot(Session& session, const Arguments& args, Outputs& out) {
    args.expect(2, "snapshot");
    Input& input = settled(session, args);
    if (!input.video->isRunning() && session.deviceBusy(input)) {
        throw GatewayError(
            "imaq:getsnapshot:deviceInUse",
            "Multiple image acquisition objects cannot access the same device simultaneously.");
    }
    const double timeout = args.number(1, "Timeout");
    qvxtb::Frame frame;
    try {
        frame = input.video->getsnapshot(timeout);
    } catch (const qvxtb::InterruptedError&) {
        throw;
    } catch (const qvxtb::TimeoutError&) {
        throw GatewayError("imaq:getsnapshot:timeout", "GETSNAPSHOT timed out before a frame was available.");
    } catch (const std::exception& error) {
        throw GatewayError("imaq:getsnapshot:adaptorError", error.what());
    }
    out.set(0, frameArray(frame));
    if (out.wants(1)) out.set(1, snapshotMetadata(frame));
}

void flush(Session& session, const Arguments& args, Outputs&) {
    args.expect(1, "flush");
    Input& input = settled(session, args);
    // The frames at hand are taken and dropped; the count can only grow meanwhile, so none wait.
    const long available = input.video->framesAvailable();
    if (available > 0) {
        adaptorCall("imaq:flushdata:adaptorError", "Dropping the frames",
                    [&] { input.video->getdata(static_cast<int>(available), 0); });
        input.framesTaken += static_cast<double>(available);
    }
}

// The toolbox's frame memory: its limit and what the frames alive take, in bytes.
void memory(Session&, const Arguments& args, Outputs& out) {
    args.expect(0, "memory");
    StructBuilder result({"FrameMemoryLimit", "FrameMemoryUsed"});
    result.set(0, "FrameMemoryLimit", makeNumber(static_cast<double>(qvxtb::frameMemoryLimit())));
    result.set(0, "FrameMemoryUsed", makeNumber(static_cast<double>(qvxtb::frameMemoryUsed())));
    out.set(0, result.release());
}

void setMemoryLimit(Session&, const Arguments& args, Outputs&) {
    args.expect(1, "setMemoryLimit");
    const double bytes = args.number(0, "The frame memory limit");
    // 2^53: every whole number of bytes up to it is a double, and it fits size_t on 64-bit systems.
    constexpr double most = 9007199254740992.0;
    if (!(bytes >= 1 && bytes <= most) || std::floor(bytes) != bytes) {
        throw GatewayError("imaq:imaqmem:invalidLimit",
                           "The frame memory limit must be a whole number of bytes from 1 to 2^53.");
    }
    qvxtb::setFrameMemoryLimit(static_cast<std::size_t>(bytes));
}

} // namespace

void addAcquisitionCommands(CommandTable& table) {
    table["configure"] = configure;
    table["spacing"] = spacing;
    table["start"] = start;
    table["stop"] = stop;
    table["status"] = status;
    table["wait"] = wait;
    table["getdata"] = getdata;
    table["snapshot"] = snapshot;
    table["flush"] = flush;
    table["memory"] = memory;
    table["setMemoryLimit"] = setMemoryLimit;
}

} // namespace qvxgw
