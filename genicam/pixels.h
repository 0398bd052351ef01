// Pixel formats of GenICam cameras and the library's colour formats: the mapping and the conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qvxgenicam {

// "Y800" for Mono8, "Y16" for Mono16, "RGB24" for RGB8 and BGR8, "RGB32" for BGRa8, "BY8" for the
// 8-bit Bayer formats; null for a pixel format the library does not deliver.
const char* colorformatOfPixelFormat(const std::string& pixelFormat);

// Bytes of one camera frame of that pixel format and size; 0 for an unmapped format.
std::size_t cameraFrameBytes(const std::string& pixelFormat, int width, int height);

// Writes one camera frame into a buffer of the sink's colour format (tColorformatEnum), laid out as the
// virtual cameras lay it out: grey top-down, colour as B, G, R (and X) bottom-up. Bayer frames are
// demosaiced. False when the frame is shorter than its size needs or the pair is not converted.
bool convertFrame(const std::string& pixelFormat, const std::uint8_t* frame, std::size_t frameBytes,
                  int width, int height, int sinkColorformat, std::uint8_t* out, std::size_t outBytes);

} // namespace qvxgenicam
