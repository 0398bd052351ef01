// Camera descriptions (JSON for the grabber stand-in) of the sizes and shapes the benchmarks measure.
#pragma once

#include <cstddef>
#include <string>

namespace qvxbench {

// One frame shape: the colour format of the camera and its size.
struct FrameShape {
    const char* colorformat; // "Y800", "Y16", "RGB32"
    int width;
    int height;
    std::size_t bytesPerPixel() const;
    std::size_t bytes() const {
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * bytesPerPixel();
    }
};

// A camera of that shape whose own delivery thread stays asleep (the benchmark hands it buffers) and
// whose buffers are not painted. With `roi` it is a region-of-interest camera on the descriptor path
// with partial-scan offset controls, otherwise a camera with one video norm and one format.
std::string frameCameraJson(const char* name, const FrameShape& shape, bool roi, bool fast = false,
                            bool pattern = false);
// The format name discovery reports for that camera.
std::string frameCameraFormat(const FrameShape& shape, bool roi);

// `devices` cameras with one norm of `formats` formats each.
std::string discoveryCamerasJson(int devices, int formats);

// One camera with `elements` VCD elements: one item per element, each with a range value, named
// "Setting<i>" (property names "Setting<i>").
std::string vcdCameraJson(const char* name, int elements);

// A whole document around the devices' JSON objects.
std::string cameraSet(const std::string& devices);

} // namespace qvxbench
