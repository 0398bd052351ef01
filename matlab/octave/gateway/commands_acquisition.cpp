// Gateway commands about acquisitions: trigger settings, start, stop, wait, getdata, getsnapshot, flushdata.
#include <cmath>

#include "host/imaqkit.h"
#include "matlab/octave/gateway/commands.h"
#include "matlab/octave/gateway/frames.h"
#include "matlab/octave/gateway/gateway_error.h"

namespace qvxgw {
namespace {

// Frames one acquisition logs; infinite when either setting is Inf.
double wanted(const Input& input) { return input.framesPerTrigger * (input.triggerRepeat + 1); }

// The toolbox stops an acquisition once its frames are in; the kit stand-in leaves that to the host's
// thread, so every look at the object first stops one that is complete.
void settle(Input& input) {
    if (!input.video->isRunning() || std::isinf(wanted(input))) return;
    if (static_cast<double>(input.video->framesAcquired()) >= wanted(input))
        adaptorCall("imaq:stop:adaptorError", "Stopping the acquisition", [&] { input.video->stop(); });
}

Input& settled(Session& session, const Arguments& args) {
    Input& input = session.input(args.number(0, "The handle"));
    settle(input);
    return input;
}

// Arguments 1 and 2: FramesPerTrigger and TriggerRepeat; Inf for either acquires until stopped.
void applyTriggerCounts(Input& input, const Arguments& args) {
    const double frames = args.number(1, "FramesPerTrigger");
    const double repeats = args.number(2, "TriggerRepeat");
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
    } catch (const qvxtb::TimeoutError&) {
        throw GatewayError("imaq:wait:timeout", "WAIT reached its timeout before OBJ stopped running.");
    } catch (const std::exception& error) {
        throw GatewayError("imaq:wait:adaptorError", error.what());
    }
}

// [data, times]: H×W×B×N frames, and their time stamps in seconds since the acquisition started (N×1).
void getdata(Session& session, const Arguments& args, Outputs& out) {
    args.expect(3, "getdata");
    Input& input = settled(session, args);
    const double count = args.number(1, "N");
    const double timeout = args.number(2, "Timeout");
    if (!(count >= 1) || std::floor(count) != count || count > 1e9)
        throw GatewayError("imaq:getdata:invalidN", "N must be a positive integer.");
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
    std::vector<qvxtb::Frame> frames;
    try {
        frames = input.video->getdata(static_cast<int>(count), timeout);
    } catch (const qvxtb::TimeoutError&) {
        throw GatewayError("imaq:getdata:timeout", "GETDATA timed out before FRAMES were available.");
    } catch (const std::exception& error) {
        throw GatewayError("imaq:getdata:adaptorError", error.what());
    }
    settle(input);
    out.set(0, framesArray(frames));
    if (out.wants(1)) {
        mxArray* times = mxCreateDoubleMatrix(frames.size(), 1, mxREAL);
        double* data = mxGetPr(times);
        for (std::size_t i = 0; i < frames.size(); ++i) data[i] = frames[i].time - input.startTime;
        out.set(1, times);
    }
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
    } catch (const qvxtb::TimeoutError&) {
        throw GatewayError("imaq:getsnapshot:timeout", "GETSNAPSHOT timed out before a frame was available.");
    } catch (const std::exception& error) {
        throw GatewayError("imaq:getsnapshot:adaptorError", error.what());
    }
    out.set(0, frameArray(frame));
}

void flush(Session& session, const Arguments& args, Outputs&) {
    args.expect(1, "flush");
    Input& input = settled(session, args);
    // The frames at hand are taken and dropped; the count can only grow meanwhile, so none wait.
    const long available = input.video->framesAvailable();
    if (available > 0) {
        adaptorCall("imaq:flushdata:adaptorError", "Dropping the frames",
                    [&] { input.video->getdata(static_cast<int>(available), 0); });
    }
}

} // namespace

void addAcquisitionCommands(CommandTable& table) {
    table["configure"] = configure;
    table["start"] = start;
    table["stop"] = stop;
    table["status"] = status;
    table["wait"] = wait;
    table["getdata"] = getdata;
    table["snapshot"] = snapshot;
    table["flush"] = flush;
}

} // namespace qvxgw
