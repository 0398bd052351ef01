// Pixel conversion from camera frames to the layouts of the library's sinks.
#include "genicam/pixels.h"

#include <cstring>

#include "genicam/demosaic.h"
#include "grabber/sink.h"

namespace qvxgenicam {
namespace {

enum class Layout { None, Mono8, Mono16, Rgb8, Bgr8, Bgra8, Bayer };

Layout layoutOf(const std::string& p, BayerPattern* pattern = nullptr) {
    if (p == "Mono8") return Layout::Mono8;
    if (p == "Mono16") return Layout::Mono16;
    if (p == "RGB8" || p == "RGB8Packed") return Layout::Rgb8;
    if (p == "BGR8" || p == "BGR8Packed") return Layout::Bgr8;
    if (p == "BGRa8" || p == "BGRA8Packed") return Layout::Bgra8;
    static const struct {
        const char* name;
        BayerPattern pattern;
    } kBayer[] = {{"BayerRG8", BayerPattern::RG},
                  {"BayerGR8", BayerPattern::GR},
                  {"BayerGB8", BayerPattern::GB},
                  {"BayerBG8", BayerPattern::BG}};
    for (const auto& b : kBayer)
        if (p == b.name) {
            if (pattern != nullptr) *pattern = b.pattern;
            return Layout::Bayer;
        }
    return Layout::None;
}

std::size_t bytesPerPixel(Layout layout) {
    switch (layout) {
    case Layout::Mono8:
    case Layout::Bayer:
        return 1;
    case Layout::Mono16:
        return 2;
    case Layout::Rgb8:
    case Layout::Bgr8:
        return 3;
    case Layout::Bgra8:
        return 4;
    default:
        return 0;
    }
}

// Colour pixels as B, G, R of a top-down source row, into a bottom-up sink of 3 or 4 bytes a pixel.
void colourRows(const std::uint8_t* frame, Layout layout, int width, int height, std::size_t outBpp,
                std::uint8_t* out) {
    const std::size_t inBpp = bytesPerPixel(layout);
    const std::size_t w = static_cast<std::size_t>(width);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = frame + static_cast<std::size_t>(row) * w * inBpp;
        std::uint8_t* px = out + static_cast<std::size_t>(height - 1 - row) * w * outBpp;
        for (std::size_t x = 0; x < w; ++x, in += inBpp, px += outBpp) {
            switch (layout) {
            case Layout::Rgb8:
                px[0] = in[2], px[1] = in[1], px[2] = in[0];
                break;
            case Layout::Bgr8:
            case Layout::Bgra8:
                px[0] = in[0], px[1] = in[1], px[2] = in[2];
                break;
            default: // grey
                px[0] = px[1] = px[2] = in[0];
                break;
            }
            if (outBpp == 4) px[3] = 0xFF;
        }
    }
}

} // namespace

const char* colorformatOfPixelFormat(const std::string& pixelFormat) {
    switch (layoutOf(pixelFormat)) {
    case Layout::Mono8:
        return "Y800";
    case Layout::Mono16:
        return "Y16";
    case Layout::Rgb8:
    case Layout::Bgr8:
        return "RGB24";
    case Layout::Bgra8:
        return "RGB32";
    case Layout::Bayer:
        return "BY8";
    default:
        return nullptr;
    }
}

std::size_t cameraFrameBytes(const std::string& pixelFormat, int width, int height) {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
           bytesPerPixel(layoutOf(pixelFormat));
}

bool convertFrame(const std::string& pixelFormat, const std::uint8_t* frame, std::size_t frameBytes,
                  int width, int height, int sinkColorformat, std::uint8_t* out, std::size_t outBytes) {
    BayerPattern pattern = BayerPattern::RG;
    const Layout layout = layoutOf(pixelFormat, &pattern);
    const std::size_t need = cameraFrameBytes(pixelFormat, width, height);
    if (need == 0 || frame == nullptr || frameBytes < need) return false;
    const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    switch (sinkColorformat) {
    case KapriLib::eY800:
        if (layout != Layout::Mono8 || outBytes < pixels) return false;
        std::memcpy(out, frame, pixels);
        return true;
    case KapriLib::eY16:
        if (layout != Layout::Mono16 || outBytes < pixels * 2) return false;
        std::memcpy(out, frame, pixels * 2); // both little-endian
        return true;
    case KapriLib::eRGB24:
    case KapriLib::eRGB32: {
        const std::size_t outBpp = sinkColorformat == KapriLib::eRGB24 ? 3 : 4;
        if (outBytes < pixels * outBpp || layout == Layout::Mono16) return false;
        if (layout == Layout::Bayer)
            demosaicBilinear(frame, width, height, pattern, outBpp, out);
        else
            colourRows(frame, layout, width, height, outBpp, out);
        return true;
    }
    default:
        return false;
    }
}

} // namespace qvxgenicam
