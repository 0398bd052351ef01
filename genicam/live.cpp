// Live capture of a GenICam camera: settings written, an Aravis stream, and a delivery thread of our own.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>

#include "genicam/device.h"
#include "genicam/genicam.h"
#include "genicam/pixels.h"
#include "sim/cameras/buffer_holder.h"
#include "sim/cameras/buffer_locks.h"
#include "sim/cameras/buffer_ring.h"
#include "sim/cameras/delivery.h"
#include "sim/cameras/sim_sink.h"

namespace qvxgenicam {
namespace {

using Lock = std::lock_guard<std::mutex>;
using qvxsim::System;

// Buffers Aravis fills while ours are copied out and handed on; the library's own ring is the camera's.
constexpr int kAravisBuffers = 8;
constexpr int kRingBuffers = 4;
// How long the delivery thread waits for a frame before it looks at its stop flag again.
constexpr guint64 kPopTimeoutUs = 50000;

struct Settings {
    std::string pixelFormat;
    int width = 0;
    int height = 0;
    double fps = 0.0;
    int sinkColorformat = 0;
};

gint64 roundedDown(gint64 value, gint64 step) { return step > 1 ? value - value % step : value; }

void setInteger(ArvDevice* device, const char* name, gint64 value, GError** error) {
    if (*error == nullptr) arv_device_set_integer_feature_value(device, name, value, error);
}

// Pixel format, size and offsets as the session chose them. The offsets go to 0 first: a camera
// refuses a size that does not fit beside the offsets it holds.
bool writeSettings(Device& d, const Settings& s) {
    ArvDevice* device = arv_camera_get_device(d.camera());
    GError* error = nullptr;
    arv_device_set_string_feature_value(device, "PixelFormat", s.pixelFormat.c_str(), &error);
    if (d.regionCapable()) {
        setInteger(device, "OffsetX", 0, &error);
        setInteger(device, "OffsetY", 0, &error);
        setInteger(device, "Width", s.width, &error);
        setInteger(device, "Height", s.height, &error);
        const SIZE sensor = *d.model()->sensor;
        const gint64 maxX = std::max<gint64>(0, sensor.cx - s.width);
        const gint64 maxY = std::max<gint64>(0, sensor.cy - s.height);
        gint64 x = d.autoCenter ? maxX / 2 : std::clamp<gint64>(d.offsetX, 0, maxX);
        gint64 y = d.autoCenter ? maxY / 2 : std::clamp<gint64>(d.offsetY, 0, maxY);
        GError* ignored = nullptr;
        x = roundedDown(x, arv_device_get_integer_feature_increment(device, "OffsetX", &ignored));
        g_clear_error(&ignored);
        y = roundedDown(y, arv_device_get_integer_feature_increment(device, "OffsetY", &ignored));
        g_clear_error(&ignored);
        setInteger(device, "OffsetX", x, &error);
        setInteger(device, "OffsetY", y, &error);
    }
    if (error == nullptr && s.fps > 0.0 && d.model()->frameRateList &&
        std::fabs(s.fps - d.writtenFps) > 1e-9) {
        arv_device_set_float_feature_value(device, "AcquisitionFrameRate", s.fps, &error);
        if (error == nullptr) d.writtenFps = s.fps;
    }
    if (error == nullptr)
        arv_camera_set_acquisition_mode(d.camera(), ARV_ACQUISITION_MODE_CONTINUOUS, &error);
    if (error == nullptr) return true;
    g_error_free(error);
    return false;
}

// An Aravis buffer handed to the listeners as it is, where the camera's layout is the sink's (grey frames):
// it goes back to the stream with its last handle, so the frame is copied only once, by the listener.
class StreamBuffer final : public qvxsim::BufferBase {
public:
    StreamBuffer(ArvStream* stream, ArvBuffer* buffer, std::uint8_t* data, std::size_t bytes, SIZE size)
        : stream_(static_cast<ArvStream*>(g_object_ref(stream))), buffer_(buffer), data_(data), bytes_(bytes),
          size_(size) {
        System::instance().counters.liveBuffers.fetch_add(1);
    }
    ~StreamBuffer() override {
        if (locks_.held()) System::instance().counters.lockedBuffers.fetch_sub(1);
        arv_stream_push_buffer(stream_, buffer_);
        g_object_unref(stream_);
        System::instance().counters.liveBuffers.fetch_sub(1);
    }
    std::uint8_t* getPtr() const override { return data_; }
    std::size_t bytes() const override { return bytes_; }
    SIZE pixels() const override { return size_; }
    void lockBuffer() override { locks_.lock(); }
    void unlockBuffer() override { locks_.unlock(); }

private:
    ArvStream* stream_;
    ArvBuffer* buffer_;
    std::uint8_t* data_;
    std::size_t bytes_;
    SIZE size_;
    qvxsim::BufferLocks locks_;
};

// Grey frames of the camera are already laid out as the grey sinks want them.
bool passesAsItIs(const std::string& pixelFormat, int sinkColorformat) {
    return (pixelFormat == "Mono8" && sinkColorformat == KapriLib::eY800) ||
           (pixelFormat == "Mono16" && sinkColorformat == KapriLib::eY16);
}

class Stream final : public Live {
public:
    Stream(KapriLib::Grabber& grabber, std::shared_ptr<qvxsim::Session> session,
           std::shared_ptr<Device> device, Settings settings)
        : grabber_(grabber), session_(std::move(session)), device_(std::move(device)),
          settings_(std::move(settings)) {}

    ~Stream() override {
        stop();
        if (thread_.joinable()) {
            if (isDeliveryThread())
                thread_.detach();
            else
                thread_.join();
        }
        if (stream_ == nullptr) return;
        if (started_) {
            Lock lock(device_->control);
            GError* error = nullptr;
            arv_camera_stop_acquisition(device_->camera(), &error); // a camera gone cannot be stopped
            g_clear_error(&error);
        }
        g_object_unref(stream_); // joins Aravis's own stream thread; its buffers go with it
    }

    bool begin() {
        Lock lock(device_->control);
        if (!writeSettings(*device_, settings_)) return false;
        GError* error = nullptr;
        const guint payload = arv_camera_get_payload(device_->camera(), &error);
        if (error != nullptr || payload == 0) {
            g_clear_error(&error);
            return false;
        }
        stream_ = arv_camera_create_stream(device_->camera(), nullptr, nullptr, &error);
        if (stream_ == nullptr) {
            g_clear_error(&error);
            return false;
        }
        // Without a socket buffer as large as a frame, a process without privileges loses most frames.
        if (ARV_IS_GV_STREAM(stream_))
            g_object_set(stream_, "socket-buffer", ARV_GV_STREAM_SOCKET_BUFFER_AUTO, nullptr);
        for (int i = 0; i < kAravisBuffers; ++i)
            arv_stream_push_buffer(stream_, arv_buffer_new_allocate(payload));
        arv_camera_start_acquisition(device_->camera(), &error);
        if (error != nullptr) {
            g_clear_error(&error);
            return false;
        }
        started_ = true;
        const std::size_t bytes =
            qvxsim::ringBufferBytes(settings_.sinkColorformat, settings_.width, settings_.height);
        ring_ = std::make_shared<qvxsim::BufferRing>(kRingBuffers, bytes,
                                                     SIZE{settings_.width, settings_.height});
        thread_ = std::thread([this] { run(); });
        return true;
    }

    void stop() override {
        stop_.store(true);
        if (!isDeliveryThread() && thread_.joinable()) thread_.join();
    }
    bool isDeliveryThread() const override { return std::this_thread::get_id() == threadId_.load(); }

private:
    void run() {
        threadId_.store(std::this_thread::get_id());
        try {
            deliver();
        } catch (...) {
            // Memory that runs out while live ends the delivery; the caller's thread goes on.
        }
    }

    void deliver() {
        System& sys = System::instance();
        while (!stop_.load()) {
            ArvBuffer* frame = arv_stream_timeout_pop_buffer(stream_, kPopTimeoutUs);
            if (frame == nullptr) continue; // nothing yet, or a camera that stopped answering
            if (!handle(sys, frame)) arv_stream_push_buffer(stream_, frame);
        }
    }

    // Hands one Aravis buffer on; true when a handle now owns it (it goes back to the stream with that).
    bool handle(System& sys, ArvBuffer* frame) {
        if (arv_buffer_get_status(frame) != ARV_BUFFER_STATUS_SUCCESS ||
            arv_buffer_get_payload_type(frame) != ARV_BUFFER_PAYLOAD_TYPE_IMAGE ||
            arv_buffer_get_image_width(frame) != settings_.width ||
            arv_buffer_get_image_height(frame) != settings_.height) {
            sys.counters.droppedFrames.fetch_add(1); // incomplete, failed or not the picture asked for
            return false;
        }
        std::vector<KapriLib::GrabberListener*> listeners;
        {
            Lock lock(sys.mutex);
            const qvxsim::SimSink* sink = qvxsim::simSinkOf(session_->sinkHolder);
            if (sink == nullptr || sink->getSnapMode()) return false;
            listeners = session_->listeners;
        }
        std::size_t size = 0;
        auto* data = static_cast<std::uint8_t*>(const_cast<void*>(arv_buffer_get_image_data(frame, &size)));
        const std::size_t need =
            qvxsim::ringBufferBytes(settings_.sinkColorformat, settings_.width, settings_.height);
        if (passesAsItIs(settings_.pixelFormat, settings_.sinkColorformat) && data != nullptr &&
            size >= need) {
            auto* buffer =
                new StreamBuffer(stream_, frame, data, need, SIZE{settings_.width, settings_.height});
            handOut(sys, listeners, qvxsim::holdBuffer(buffer, std::default_delete<StreamBuffer>()));
            return true;
        }
        qvxsim::SimMemBuffer* buffer = ring_->acquire(std::chrono::milliseconds(0));
        if (buffer == nullptr) {
            sys.counters.droppedFrames.fetch_add(1); // every buffer of ours is still with a listener
            return false;
        }
        if (!convertFrame(settings_.pixelFormat, data, size, settings_.width, settings_.height,
                          settings_.sinkColorformat, buffer->getPtr(), buffer->bytes())) {
            ring_->release(buffer);
            sys.counters.droppedFrames.fetch_add(1);
            return false;
        }
        buffer->setFrameNumber(arv_buffer_get_frame_id(frame));
        handOut(sys, listeners, ring_->handOut(buffer));
        return false;
    }

    void handOut(System& sys, const std::vector<KapriLib::GrabberListener*>& listeners,
                 const KapriLib::smart_ptr<KapriLib::MemBuffer>& handle) {
        bool handed = false;
        for (KapriLib::GrabberListener* listener : listeners) {
            if (stop_.load()) break; // a listener may have stopped live mode
            if (!handed) sys.counters.deliveredFrames.fetch_add(1);
            handed = true;
            try {
                listener->frameReady(grabber_, handle);
            } catch (...) {
                // A listener's failure must not end the delivery thread or the process.
            }
        }
    }

    KapriLib::Grabber& grabber_;
    std::shared_ptr<qvxsim::Session> session_;
    std::shared_ptr<Device> device_;
    Settings settings_;
    ArvStream* stream_ = nullptr;
    bool started_ = false;
    std::shared_ptr<qvxsim::BufferRing> ring_;
    std::atomic<bool> stop_{false};
    std::atomic<std::thread::id> threadId_{};
    std::thread thread_;
};

} // namespace

std::unique_ptr<Live> startLive(KapriLib::Grabber& grabber, std::shared_ptr<qvxsim::Session> session,
                                std::shared_ptr<Device> device) {
    Settings settings;
    {
        Lock lock(System::instance().mutex);
        const qvxsim::Session& s = *session;
        if (!s.hasFormat) return nullptr;
        const qvxsim::SimSink* sink = qvxsim::simSinkOf(s.sinkHolder);
        if (sink == nullptr) return nullptr;
        settings.pixelFormat = device->pixelFormatOf(s.format.colorformat);
        settings.width = s.format.width;
        settings.height = s.format.height;
        settings.fps = s.fps;
        settings.sinkColorformat = sink->getColorformat();
    }
    if (settings.pixelFormat.empty() || settings.width <= 0 || settings.height <= 0) return nullptr;
    auto stream =
        std::make_unique<Stream>(grabber, std::move(session), std::move(device), std::move(settings));
    if (!stream->begin()) return nullptr;
    return stream;
}

} // namespace qvxgenicam
