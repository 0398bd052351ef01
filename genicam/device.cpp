// Opening a GenICam camera and describing it as the library's camera model: formats, sizes, rates.
#include "genicam/device.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "genicam/pixels.h"

namespace qvxgenicam {
namespace {

// The rates the library lists for a camera with AcquisitionFrameRate: these round values, where they lie
// within the camera's range. The property itself offers every value of the range.
constexpr double kListedRates[] = {0.1, 0.2, 0.5, 1,   2,   5,   10,  15,  20,  25,
                                   30,  50,  60,  100, 120, 200, 250, 500, 1000};

gint64 integerOr(ArvDevice* device, const char* name, gint64 fallback) {
    if (!arv_device_is_feature_available(device, name, nullptr)) return fallback;
    GError* error = nullptr;
    const gint64 value = arv_device_get_integer_feature_value(device, name, &error);
    if (error != nullptr) {
        g_error_free(error);
        return fallback;
    }
    return value;
}

void boundsOf(ArvDevice* device, const char* name, gint64& min, gint64& max, gint64& inc) {
    min = max = integerOr(device, name, 0);
    inc = 1;
    GError* error = nullptr;
    arv_device_get_integer_feature_bounds(device, name, &min, &max, &error);
    g_clear_error(&error);
    inc = arv_device_get_integer_feature_increment(device, name, &error);
    g_clear_error(&error);
    if (inc < 1) inc = 1;
}

LONG toLong(gint64 value) { return static_cast<LONG>(std::clamp<gint64>(value, 0, qvxsim::kMaxPictureSide)); }

// A serial number as the library reports it: the device serial when it is a decimal number, none otherwise.
std::optional<std::int64_t> serialOf(const char* text) {
    if (text == nullptr || *text == '\0' || std::strlen(text) > 18) return std::nullopt;
    for (const char* c = text; *c != '\0'; ++c)
        if (!std::isdigit(static_cast<unsigned char>(*c))) return std::nullopt;
    return std::stoll(text);
}

} // namespace

std::shared_ptr<Device> Device::open(const std::string& what, const std::string& listedName) {
    GError* error = nullptr;
    ArvCamera* camera = arv_camera_new(what.c_str(), &error);
    if (camera == nullptr) {
        g_clear_error(&error);
        return nullptr;
    }
    std::shared_ptr<Device> device(new Device());
    device->camera_ = camera;
    // Aravis writes whatever it is given unless told to check; an out-of-range value or a write to a
    // read-only feature can leave a camera broken until it restarts.
    arv_camera_set_range_check_policy(camera, ARV_RANGE_CHECK_POLICY_ENABLE);
    arv_camera_set_access_check_policy(camera, ARV_ACCESS_CHECK_POLICY_ENABLE);
    device->lostHandler_ = g_signal_connect(arv_camera_get_device(camera), "control-lost",
                                            G_CALLBACK(&Device::onControlLost), device.get());
    device->describe(listedName);
    return device;
}

Device::~Device() {
    if (camera_ == nullptr) return;
    if (lostHandler_ != 0) g_signal_handler_disconnect(arv_camera_get_device(camera_), lostHandler_);
    g_object_unref(camera_);
}

void Device::onControlLost(ArvDevice* /*device*/, gpointer self) {
    // Aravis's heartbeat thread: only the flag is touched here.
    static_cast<Device*>(self)->lost_.store(true);
}

std::string Device::pixelFormatOf(const std::string& colorformat) const {
    for (const FormatChoice& f : formats_)
        if (f.colorformat == colorformat) return f.pixelFormat;
    return std::string();
}

void Device::describe(const std::string& listedName) {
    ArvDevice* device = arv_camera_get_device(camera_);
    auto model = std::make_shared<qvxsim::Camera>();
    model->name = listedName;
    model->genicam = listedName;
    model->serial = serialOf(arv_camera_get_device_serial_number(camera_, nullptr));
    model->hasNorms = false;

    // One format per colour format: the first pixel format the camera lists for it.
    guint count = 0;
    const char** names = arv_camera_dup_available_pixel_formats_as_strings(camera_, &count, nullptr);
    for (guint i = 0; names != nullptr && i < count; ++i) {
        const std::string pixelFormat = names[i] == nullptr ? "" : names[i];
        const char* colorformat = colorformatOfPixelFormat(pixelFormat);
        const bool taken = colorformat != nullptr && !pixelFormatOf(colorformat).empty();
        if (colorformat == nullptr || taken)
            leftOut_.push_back(pixelFormat);
        else
            formats_.push_back(FormatChoice{colorformat, pixelFormat});
    }
    g_free(names);
    // The camera opens as it was: the format of its current pixel format comes first, the default one.
    const char* current = arv_camera_get_pixel_format_as_string(camera_, nullptr);
    const char* currentColour = current == nullptr ? nullptr : colorformatOfPixelFormat(current);
    if (currentColour != nullptr)
        std::stable_partition(formats_.begin(), formats_.end(),
                              [&](const FormatChoice& f) { return f.colorformat == currentColour; });

    regionCapable_ = isWritable(device, "Width") && isWritable(device, "Height") &&
                     isWritable(device, "OffsetX") && isWritable(device, "OffsetY");
    gint64 wMin = 0, wMax = 0, wInc = 1, hMin = 0, hMax = 0, hInc = 1;
    boundsOf(device, "Width", wMin, wMax, wInc);
    boundsOf(device, "Height", hMin, hMax, hInc);
    // The sensor's maximum, whatever the offsets now are.
    wMax = integerOr(device, "WidthMax", integerOr(device, "SensorWidth", wMax));
    hMax = integerOr(device, "HeightMax", integerOr(device, "SensorHeight", hMax));
    if (!regionCapable_) {
        wMin = wMax = integerOr(device, "Width", wMax);
        hMin = hMax = integerOr(device, "Height", hMax);
    }
    for (const FormatChoice& f : formats_) {
        qvxsim::DescriptorSpec d;
        d.colorformat = f.colorformat;
        d.min = SIZE{toLong(wMin), toLong(hMin)};
        d.max = SIZE{toLong(wMax), toLong(hMax)};
        d.step = SIZE{toLong(wInc), toLong(hInc)};
        d.roi = regionCapable_;
        model->descriptors.values.push_back(d);
    }
    model->sensor = SIZE{toLong(wMax), toLong(hMax)};

    model->frameRateList = isWritable(device, "AcquisitionFrameRate");
    if (model->frameRateList) {
        double lo = 0.0, hi = 0.0;
        arv_camera_get_frame_rate_bounds(camera_, &lo, &hi, nullptr);
        for (double rate : kListedRates)
            if (rate >= lo && rate <= hi) model->fps.values.push_back(rate);
        writtenFps = arv_camera_get_frame_rate(camera_, nullptr);
    }
    model->vcd.present = false; // the VCD tree comes from the features, not from the model
    features_ = userFeatures(device);
    model_ = std::move(model);
}

double Device::listedRateNearestCurrent() const {
    const auto& rates = model_->fps.values;
    if (rates.empty()) return 0.0;
    double best = rates.front();
    for (double r : rates)
        if (std::fabs(r - writtenFps) < std::fabs(best - writtenFps)) best = r;
    return best;
}

} // namespace qvxgenicam
