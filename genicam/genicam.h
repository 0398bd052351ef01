// What the grabber library asks of its GenICam cameras: listing, opening, the VCD tree and live capture.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "grabber/grabber.h"
#include "grabber/vcd.h"
#include "sim/cameras/model.h"
#include "sim/cameras/system.h"

namespace qvxgenicam {

class Device;

// True for "genicam" and "genicam:ID-OR-ADDRESS[;...]", the camera choices that are no file.
bool isGenicamChoice(const std::string& choice);

// The cameras of such a choice: every camera discovery finds ("genicam"), or the named ones, unopened.
// Throws std::invalid_argument for a choice naming nothing, or when this library has no GenICam cameras.
std::shared_ptr<qvxsim::CameraSet> listCameras(const std::string& choice);

// What a user should know of a listed camera's formats: the pixel format behind each colour format and the
// pixel formats left out, and why. Opens the camera for it; empty for a virtual camera or one that does
// not answer.
std::vector<std::string> notesOf(const qvxsim::Camera& listed);

// Opens a listed camera; null when it does not answer. The device's model describes it as opened.
std::shared_ptr<Device> openDevice(const qvxsim::Camera& listed);
std::shared_ptr<qvxsim::Camera> modelOf(const Device& device);
// The frames per second a session starts with: the listed rate nearest the camera's own (0: none listed).
double initialRate(const Device& device);
// The camera stopped answering its control channel.
bool isLost(const Device& device);

// The item collection of the camera's features, one reference for the caller.
KapriLib::IVCDPropertyItems* makeVcdItems(std::shared_ptr<qvxsim::Session> session,
                                          std::shared_ptr<Device> device);

// Live capture of one Grabber: its own delivery thread hands the camera's frames to the listeners.
class Live {
public:
    virtual ~Live() = default; // stops and joins, unless called on the delivery thread itself
    // Asks the thread to leave; joins it unless called on the thread itself.
    virtual void stop() = 0;
    virtual bool isDeliveryThread() const = 0;
};

// Writes the session's format, region and rate to the camera and starts its stream; null when the
// camera refuses. Call without the system mutex held.
std::unique_ptr<Live> startLive(KapriLib::Grabber& grabber, std::shared_ptr<qvxsim::Session> session,
                                std::shared_ptr<Device> device);

} // namespace qvxgenicam
