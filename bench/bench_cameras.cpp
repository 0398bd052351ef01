// The benchmarks' camera descriptions, written out as the grabber stand-in reads them.
#include "bench/bench_cameras.h"

#include <cstring>

namespace qvxbench {
namespace {

std::string size(const FrameShape& shape) {
    return std::to_string(shape.width) + ", " + std::to_string(shape.height);
}

// Slow enough that the camera's own thread never delivers while a benchmark hands it buffers.
const char* const kSleepingRate = R"("fps": [0.001], "rates": [1000])";

} // namespace

std::size_t FrameShape::bytesPerPixel() const {
    if (std::strcmp(colorformat, "Y800") == 0) return 1;
    if (std::strcmp(colorformat, "Y16") == 0) return 2;
    if (std::strcmp(colorformat, "RGB24") == 0) return 3;
    return 4;
}

std::string frameCameraJson(const char* name, const FrameShape& shape, bool roi, bool fast, bool pattern) {
    std::string json =
        R"({"name": ")" + std::string(name) + R"(", "pattern": )" + (pattern ? "true" : "false") + ", ";
    json += fast ? R"("fast": true, "fps": [1000], )" : std::string(kSleepingRate) + ", ";
    if (!roi) {
        return json + R"("norms": [{"name": "N", "formats": [{"colorformat": ")" + shape.colorformat +
               R"(", "width": )" + std::to_string(shape.width) + R"(, "height": )" +
               std::to_string(shape.height) + R"(, "text": "F"}]}]})";
    }
    return json + R"("descriptors": [{"colorformat": ")" + shape.colorformat +
           R"(", "min": [16, 4], "max": [)" + size(shape) +
           R"(], "step": [4, 2], "roi": true}], "sensor": [)" + size(shape) + R"(],
        "vcd": [{"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
            {"name": "Auto-center", "id": "autoCenter", "switch": {"value": false}},
            {"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 8192, "default": 0, "value": 0}},
            {"name": "Y Offset", "id": "offsetY", "range": {"min": 0, "max": 8192, "default": 0, "value": 0}}]}]})";
}

std::string frameCameraFormat(const FrameShape& shape, bool roi) {
    if (!roi) return "N:F";
    return std::string(shape.colorformat) + " (" + std::to_string(shape.width) + "x" +
           std::to_string(shape.height) + ")";
}

std::string discoveryCamerasJson(int devices, int formats) {
    std::string json;
    for (int d = 0; d < devices; ++d) {
        if (d > 0) json += ",\n";
        json += R"({"name": "Camera )" + std::to_string(d) + R"(", "norms": [{"name": "N", "formats": [)";
        for (int f = 0; f < formats; ++f) {
            if (f > 0) json += ", ";
            json += R"({"colorformat": "Y800", "width": )" + std::to_string(64 + 16 * f) +
                    R"(, "height": 48, "fps": [30, 15]})";
        }
        json += "]}]}";
    }
    return cameraSet(json);
}

std::string vcdCameraJson(const char* name, int elements) {
    std::string json =
        R"({"name": ")" + std::string(name) +
        R"(", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 64, "height": 48, "text": "F"}]}], "vcd": [)";
    for (int i = 0; i < elements; ++i) {
        if (i > 0) json += ", ";
        json +=
            R"({"name": "Setting)" + std::to_string(i) +
            R"(", "elements": [{"name": "Value", "id": "value", "range": {"min": 0, "max": 1000, "default": 5, "value": )" +
            std::to_string(i % 1000) + "}}]}";
    }
    return json + "]}";
}

std::string cameraSet(const std::string& devices) { return R"({"devices": [)" + devices + "]}"; }

} // namespace qvxbench
