// One open GenICam camera: its Aravis handle, what the library made of its features, remembered offsets.
#pragma once

#include <arv.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "genicam/feature_list.h"
#include "sim/cameras/model.h"

namespace qvxgenicam {

// A video format of the camera: the colour format the library delivers and the pixel format it reads.
struct FormatChoice {
    std::string colorformat;
    std::string pixelFormat;
};

class Device {
public:
    // Opens the camera by device id or address with range and access checks on; null when it does not open.
    static std::shared_ptr<Device> open(const std::string& what, const std::string& listedName);
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    ~Device();

    // Fixed after opening; any thread may read these.
    const std::shared_ptr<qvxsim::Camera>& model() const { return model_; }
    const std::vector<FormatChoice>& formats() const { return formats_; }
    const std::vector<std::string>& leftOutFormats() const { return leftOut_; }
    const std::vector<Feature>& features() const { return features_; }
    bool regionCapable() const { return regionCapable_; }
    // The pixel format behind a colour format; empty when the camera has none for it.
    std::string pixelFormatOf(const std::string& colorformat) const;

    bool isLost() const { return lost_.load(); }
    // The listed rate nearest the camera's rate at opening: the session starts there, so opening a camera
    // does not change its rate.
    double listedRateNearestCurrent() const;

    // Everything below touches the camera's control channel: call with `control` held.
    std::mutex control;
    ArvCamera* camera() const { return camera_; }
    // The offsets the library wrote, applied when live mode starts: the camera is not asked per frame.
    int offsetX = 0;
    int offsetY = 0;
    bool autoCenter = false;
    // The rate last written to AcquisitionFrameRate; a session's rate is written only when it differs.
    double writtenFps = 0.0;

private:
    Device() = default;
    static void onControlLost(ArvDevice* device, gpointer self);
    void describe(const std::string& listedName);

    ArvCamera* camera_ = nullptr;
    gulong lostHandler_ = 0;
    std::atomic<bool> lost_{false};
    std::shared_ptr<qvxsim::Camera> model_;
    std::vector<FormatChoice> formats_;
    std::vector<std::string> leftOut_;
    std::vector<Feature> features_;
    bool regionCapable_ = false;
};

} // namespace qvxgenicam
