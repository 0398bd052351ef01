// The picture a virtual camera delivers: a moving diagonal ramp, gain and brightness, the frame stamp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qvxsim {

struct Picture {
    int colorformat = 0; // tColorformatEnum of the sink
    int width = 0;
    int height = 0;
    int originX = 0; // where the delivered region lies on the sensor
    int originY = 0;
    double gain = 1.0;  // 1: unscaled
    int brightness = 0; // added to every level
    bool pattern = true;
};

// Bytes per pixel of a sink colour format: 1 (Y800), 2 (Y16), 3 (RGB24), 4 for any other (RGB32).
std::size_t bytesPerPixel(int colorformat);
// Fills one buffer of width * height * bytesPerPixel bytes and stamps the frame number into its first bytes.
void renderPicture(std::uint8_t* data, const Picture& picture, std::uint32_t frameNumber);

} // namespace qvxsim
