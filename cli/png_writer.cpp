// PNG output through libpng (the Windows build has its own writer in png_writer_win.cpp).
#include "cli/png_writer.h"

#if !defined(_WIN32)
#include <png.h>
#endif

#include <cstdio>
#include <cstring>
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
namespace {

// What the rows are written from; the row buffer is owned outside the part libpng may jump out of.
struct RowSource {
    const Image* image;
    std::uint8_t* row;
    std::size_t rowBytes;
};

// Everything after libpng's error jump is set. Only trivially destructible objects live here: an error
// leaves this function by longjmp, which runs no destructors.
void writeRows(png_structp png, png_infop info, std::FILE* file, const RowSource& rows) {
    const Image& image = *rows.image;
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height),
                 image.bitDepth, image.channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* source = image.pixels.data() + static_cast<std::size_t>(y) * rows.rowBytes;
        if (image.bitDepth == 16) {
            // PNG stores 16-bit samples big-endian.
            for (std::size_t i = 0; i + 1 < rows.rowBytes; i += 2) {
                rows.row[i] = source[i + 1];
                rows.row[i + 1] = source[i];
            }
        } else {
            std::memcpy(rows.row, source, rows.rowBytes);
        }
        png_write_row(png, rows.row);
    }
    png_write_end(png, nullptr);
}

// False when libpng reported an error. Nothing here changes after setjmp, so nothing can be clobbered.
bool writeGuarded(png_structp png, png_infop info, std::FILE* file, const RowSource& rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    writeRows(png, info, file, rows);
    return true;
}

} // namespace

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
    std::vector<std::uint8_t> row(image.rowBytes());
    const bool written = writeGuarded(png, info, file.get(), RowSource{&image, row.data(), row.size()});
    png_destroy_write_struct(&png, &info);
    if (!written || std::fflush(file.get()) != 0) throw std::runtime_error("cannot write \"" + path + "\"");
}
#endif

} // namespace qvxcli
