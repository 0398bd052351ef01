// Frames from Aravis's GigE Vision fake over loopback, through the adaptor and through Aravis's own stream.
//
// Run in a private network namespace (scripts/genicam-bench.sh): the fake serves 127.0.0.1 from this
// process. For each frame size, at the highest rate and at a paced one, it measures frames per second,
// lost frames and the time to the first frame, both ways, and the ratio of the adaptor's rate to Aravis's.
#include <arv.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "sim/cameras/sim_api.h"
#include "sim/toolbox/toolbox.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Case {
    int width, height, frames;
    double rate; // 0: the camera's highest
};

struct Result {
    double fps = 0;
    long lost = 0;
    double firstSeconds = 0;
    long frames = 0;
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A copy of the fake's description with a sensor large enough for the largest frames.
std::string largeSensorDescription(const std::string& folder) {
    arv_enable_interface("Fake");
    ArvCamera* camera = arv_camera_new("Fake_1", nullptr);
    if (camera == nullptr) throw std::runtime_error("the in-process fake does not open");
    std::size_t size = 0;
    const char* text = arv_device_get_genicam_xml(arv_camera_get_device(camera), &size);
    std::string xml(text, size);
    g_object_unref(camera);
    for (const char* name : {"SensorWidth", "SensorHeight"}) {
        const std::string opening = std::string("<Integer Name=\"") + name + "\"";
        const auto start = xml.find(opening);
        const auto end = xml.find("</Integer>", start);
        if (start == std::string::npos || end == std::string::npos)
            throw std::runtime_error("no sensor size");
        xml.replace(start, end + 10 - start,
                    opening + " NameSpace=\"Standard\"><Value>4608</Value></Integer>");
    }
    const std::string path = folder + "/large-sensor.xml";
    std::FILE* out = std::fopen(path.c_str(), "wbx");
    if (out == nullptr) throw std::runtime_error("cannot create " + path);
    std::fwrite(xml.data(), 1, xml.size(), out);
    std::fclose(out);
    return path;
}

Result throughAravis(const Case& c) {
    GError* error = nullptr;
    ArvCamera* camera = arv_camera_new("127.0.0.1", &error);
    if (camera == nullptr) throw std::runtime_error("the GigE Vision fake does not answer");
    arv_camera_set_pixel_format_from_string(camera, "Mono8", nullptr);
    arv_camera_set_region(camera, 0, 0, c.width, c.height, nullptr);
    double low = 0, high = 0;
    arv_camera_get_frame_rate_bounds(camera, &low, &high, nullptr);
    arv_camera_set_frame_rate(camera, c.rate > 0 ? c.rate : high, nullptr);
    arv_camera_set_acquisition_mode(camera, ARV_ACQUISITION_MODE_CONTINUOUS, nullptr);
    const guint payload = arv_camera_get_payload(camera, nullptr);
    ArvStream* stream = arv_camera_create_stream(camera, nullptr, nullptr, nullptr);
    g_object_set(stream, "socket-buffer", ARV_GV_STREAM_SOCKET_BUFFER_AUTO, nullptr);
    for (int i = 0; i < 8; ++i) arv_stream_push_buffer(stream, arv_buffer_new_allocate(payload));
    Result r;
    const auto start = Clock::now();
    arv_camera_start_acquisition(camera, nullptr);
    Clock::time_point first, last;
    guint64 firstId = 0, lastId = 0;
    const auto deadline = start + std::chrono::seconds(60);
    while (r.frames < c.frames && Clock::now() < deadline) {
        ArvBuffer* buffer = arv_stream_timeout_pop_buffer(stream, 200000);
        if (buffer == nullptr) continue;
        if (arv_buffer_get_status(buffer) == ARV_BUFFER_STATUS_SUCCESS) {
            last = Clock::now();
            lastId = arv_buffer_get_frame_id(buffer);
            if (r.frames++ == 0) first = last, firstId = lastId;
        } else if (r.frames > 0) {
            ++r.lost;
        }
        arv_stream_push_buffer(stream, buffer);
    }
    arv_camera_stop_acquisition(camera, nullptr);
    g_object_unref(stream);
    g_object_unref(camera);
    r.firstSeconds = seconds(first - start);
    if (r.frames > 1) r.fps = (r.frames - 1) / seconds(last - first);
    // Frames the camera numbered but no complete buffer brought, failed ones included.
    const long numbered = static_cast<long>(lastId - firstId) + 1;
    r.lost = std::max(r.lost, numbered - r.frames);
    return r;
}

Result throughAdaptor(const Case& c) {
    qvxtb::Adaptor adaptor(QVX_ADAPTOR_PATH);
    auto video = adaptor.videoinput("127.0.0.1", "Y800 (4608x4608)");
    video->setROIPosition(0, 0, c.width, c.height);
    video->set("AcquisitionFrameRate", c.rate > 0 ? c.rate : 1000.0);
    video->setFramesPerTrigger(c.frames);
    const long droppedBefore = qvxsim::counters().droppedFrames;
    Result r;
    const auto start = Clock::now();
    video->start();
    while (video->framesAcquired() == 0 && Clock::now() < start + std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    r.firstSeconds = seconds(Clock::now() - start);
    video->wait(60);
    const std::vector<qvxtb::Frame> frames = video->getdata(c.frames, 10);
    r.frames = static_cast<long>(frames.size());
    if (frames.size() > 1) r.fps = (frames.size() - 1) / (frames.back().time - frames.front().time);
    // The fake's picture counts frames in its first pixel, modulo 255: a step of more than one is a loss.
    for (std::size_t i = 1; i < frames.size(); ++i) {
        const int step = (frames[i].data[0] - frames[i - 1].data[0] + 255) % 255;
        r.lost += step > 0 ? step - 1 : 254;
    }
    r.lost = std::max(r.lost, qvxsim::counters().droppedFrames - droppedBefore);
    return r;
}

} // namespace

int main() {
    try {
        char folder[] = "/tmp/qvx-genicam-bench-XXXXXX";
        if (mkdtemp(folder) == nullptr) throw std::runtime_error("no temporary folder");
        const std::string xml = largeSensorDescription(folder);
        ArvGvFakeCamera* fake = arv_gv_fake_camera_new_full("127.0.0.1", "GV01", xml.c_str());
        if (fake == nullptr || !arv_gv_fake_camera_is_running(fake))
            throw std::runtime_error(
                "the GigE Vision fake does not run (is this a private network namespace?)");
        qvxtb::setPrintWarnings(false);
        qvxtb::setRecordCalls(false);
        qvxsim::loadCamerasFromFile("genicam:127.0.0.1");
        const Case cases[] = {{640, 480, 300, 0},   {640, 480, 30, 10},  {2560, 2048, 60, 0},
                              {2560, 2048, 30, 10}, {4608, 4608, 20, 0}, {4608, 4608, 30, 10}};
        std::printf(
            "| frame | MB | rate asked | Aravis fps | adaptor fps | ratio | lost (Aravis / adaptor) | "
            "first frame ms (Aravis / adaptor) |\n|---|---:|---|---:|---:|---:|---|---|\n");
        for (const Case& c : cases) {
            const Result own = throughAravis(c);
            const Result ours = throughAdaptor(c);
            const std::string rate =
                c.rate > 0 ? std::to_string(static_cast<int>(c.rate)) + " fps" : "highest";
            std::printf("| %dx%d | %.1f | %s | %.1f | %.1f | %.3f | %ld / %ld of %d | %.1f / %.1f |\n",
                        c.width, c.height, c.width * c.height / 1e6, rate.c_str(), own.fps, ours.fps,
                        own.fps > 0 ? ours.fps / own.fps : 0.0, own.lost, ours.lost, c.frames,
                        own.firstSeconds * 1e3, ours.firstSeconds * 1e3);
            std::fflush(stdout);
        }
        g_object_unref(fake);
        std::remove(xml.c_str());
        rmdir(folder);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "genicam_stream_bench: %s\n", error.what());
        return 1;
    }
}
