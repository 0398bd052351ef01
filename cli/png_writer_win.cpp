// PNG output on Windows, where no libpng is at hand: stored deflate blocks with their CRC and Adler sums.
#if defined(_WIN32)

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <stdexcept>

#include "cli/png_writer.h"

namespace qvxcli {
namespace {

constexpr std::size_t kStoredBlockMax = 65535;
constexpr std::size_t kIdatChunkMax = std::size_t{1} << 20;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = makeCrcTable();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    return ~crc;
}

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 24));
    out.push_back(static_cast<std::uint8_t>(value >> 16));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void writeChunk(std::FILE* file, const char type[4], const std::uint8_t* data, std::size_t size,
                const std::string& path) {
    std::vector<std::uint8_t> head;
    putBig32(head, static_cast<std::uint32_t>(size));
    head.insert(head.end(), type, type + 4);
    std::uint32_t crc = crc32(head.data() + 4, 4);
    crc = crc32(data, size, crc);
    std::vector<std::uint8_t> tail;
    putBig32(tail, crc);
    if (std::fwrite(head.data(), 1, head.size(), file) != head.size() ||
        (size > 0 && std::fwrite(data, 1, size, file) != size) ||
        std::fwrite(tail.data(), 1, tail.size(), file) != tail.size()) {
        throw std::runtime_error("cannot write \"" + path + "\"");
    }
}

// The zlib stream of the filtered rows (filter type 0 on every row), 16-bit samples turned big-endian.
std::vector<std::uint8_t> zlibStream(const Image& image) {
    const std::size_t rowBytes = image.rowBytes();
    const std::size_t rawSize = (rowBytes + 1) * static_cast<std::size_t>(image.height);
    std::vector<std::uint8_t> raw;
    raw.reserve(rawSize);
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* source = image.pixels.data() + static_cast<std::size_t>(y) * rowBytes;
        raw.push_back(0);
        if (image.bitDepth == 16) {
            for (std::size_t i = 0; i + 1 < rowBytes; i += 2) {
                raw.push_back(source[i + 1]);
                raw.push_back(source[i]);
            }
        } else {
            raw.insert(raw.end(), source, source + rowBytes);
        }
    }
    std::vector<std::uint8_t> out;
    out.reserve(raw.size() + raw.size() / kStoredBlockMax * 5 + 16);
    out.push_back(0x78); // deflate, 32K window
    out.push_back(0x01); // no preset dictionary, check bits make 0x7801 a multiple of 31
    std::size_t offset = 0;
    do {
        const std::size_t length = std::min(kStoredBlockMax, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    putBig32(out, (b << 16) | a);
    return out;
}

} // namespace

void writePng(const std::string& path, const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() < image.rowBytes() * static_cast<std::size_t>(image.height)) {
        throw std::runtime_error("cannot write \"" + path + "\": the image is empty");
    }
    const std::vector<std::uint8_t> stream = zlibStream(image);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot write \"" + path + "\"");
    static const std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::fwrite(kSignature, 1, sizeof kSignature, file.get()) != sizeof kSignature)
        throw std::runtime_error("cannot write \"" + path + "\"");
    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(image.width));
    putBig32(header, static_cast<std::uint32_t>(image.height));
    header.push_back(static_cast<std::uint8_t>(image.bitDepth));
    header.push_back(image.channels == 3 ? 2 : 0); // truecolour or greyscale
    header.push_back(0);                           // deflate
    header.push_back(0);                           // adaptive filtering
    header.push_back(0);                           // not interlaced
    writeChunk(file.get(), "IHDR", header.data(), header.size(), path);
    for (std::size_t offset = 0; offset < stream.size(); offset += kIdatChunkMax) {
        writeChunk(file.get(), "IDAT", stream.data() + offset,
                   std::min(kIdatChunkMax, stream.size() - offset), path);
    }
    writeChunk(file.get(), "IEND", nullptr, 0, path);
    if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write \"" + path + "\"");
}

} // namespace qvxcli

#endif
