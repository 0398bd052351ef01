// PNG output through libpng (the Windows build has its own writer in png_writer_win.cpp).
#include "cli/png_writer.h"

#if !defined(_WIN32)
#include <png.h>
#endif

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace qvxcli {
#if !defined(_WIN32)
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace
#endif

std::size_t Image::rowBytes() const {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(channels) *
           static_cast<std::size_t>(bitDepth / 8);
}

Image imageOf(const qvxtb::Frame& frame) {
    Image image;
    image.width = frame.width;
    image.height = frame.height;
    switch (frame.bytesPerPixel()) {
    case 1:
        break;
    case 2:
        image.bitDepth = 16;
        break;
    case 3:
    case 4:
        image.channels = 3;
        break;
    default:
        throw std::runtime_error("cannot write a frame of type " + std::to_string(frame.frameType) +
                                 " as PNG");
    }
    image.pixels = frame.upright();
    return image;
}

#if !defined(_WIN32)
void writePng(const std::string& path, const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < image.rowBytes() * static_cast<std::size_t>(image.height)) {
        throw std::runtime_error("cannot write \"" + path + "\": the image is empty");
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot write \"" + path + "\"");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw std::runtime_error("cannot write \"" + path + "\": out of memory");
    }
    // PNG stores 16-bit samples big-endian.
    std::vector<std::uint8_t> row(image.rowBytes());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("cannot write \"" + path + "\"");
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                 image.bitDepth, image.channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* source = image.pixels.data() + static_cast<std::size_t>(y) * row.size();
        if (image.bitDepth == 16) {
            for (std::size_t i = 0; i + 1 < row.size(); i += 2) {
                row[i] = source[i + 1];
                row[i + 1] = source[i];
            }
        } else {
            std::copy(source, source + row.size(), row.begin());
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write \"" + path + "\"");
}
#endif

} // namespace qvxcli
