#include "daz/png_file.h"

#include <libdeflate.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace daz {

namespace {

void put_u32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

// A chunk: its length, type, data and the CRC of type and data.
void put_chunk(HardcopyTarget& target, std::string_view type, const unsigned char* data, std::size_t length) {
    std::vector<unsigned char> head;
    put_u32(head, static_cast<std::uint32_t>(length));
    head.insert(head.end(), type.begin(), type.end());
    std::uint32_t crc = libdeflate_crc32(0, type.data(), type.size());
    // (A null buffer would ask libdeflate for the initial value instead.)
    if (length > 0) crc = libdeflate_crc32(crc, data, length);
    target.write(reinterpret_cast<const char*>(head.data()), head.size());
    target.write(reinterpret_cast<const char*>(data), length);
    std::vector<unsigned char> tail;
    put_u32(tail, crc);
    target.write(reinterpret_cast<const char*>(tail.data()), tail.size());
}

struct CompressorFree {
    void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

}  // namespace

bool write_png(cairo_surface_t* image, int dpi, HardcopyTarget& target, std::string& reason) {
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image), height = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* pixels = cairo_image_surface_get_data(image);
    // libdeflate's quickest level: a section's noisy fields come out smaller
    // than at zlib's, in about half the work.
    const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(1));
    if (!compressor || width <= 0 || height <= 0) {
        reason = "out of memory";
        return false;
    }

    // The rows, each behind its filter byte: 2, the difference from the row
    // above, which keeps the cells' vertical runs of colour cheap.
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 3;
    // (Room every byte of which is written: not cleared first.)
    const std::size_t rows_size = (row_bytes + 1) * static_cast<std::size_t>(height);
    const std::unique_ptr<unsigned char[]> rows(new unsigned char[rows_size]);
    std::vector<unsigned char> above(row_bytes, 0), here(row_bytes);
    for (int y = 0; y < height; ++y) {
        // cairo's pixels are native 32-bit words, red in bits 16..23.
        const unsigned char* in = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint32_t v;
            std::memcpy(&v, in + 4 * x, 4);
            here[3 * x] = static_cast<unsigned char>(v >> 16);
            here[3 * x + 1] = static_cast<unsigned char>(v >> 8);
            here[3 * x + 2] = static_cast<unsigned char>(v);
        }
        unsigned char* out = rows.get() + static_cast<std::size_t>(y) * (row_bytes + 1);
        out[0] = 2;
        for (std::size_t i = 0; i < row_bytes; ++i) out[1 + i] = static_cast<unsigned char>(here[i] - above[i]);
        above.swap(here);
    }
    const std::size_t room = libdeflate_zlib_compress_bound(compressor.get(), rows_size);
    const std::unique_ptr<unsigned char[]> packed(new unsigned char[room]);
    const std::size_t packed_size = libdeflate_zlib_compress(compressor.get(), rows.get(), rows_size, packed.get(), room);
    if (packed_size == 0) {
        reason = "the picture could not be compressed";
        return false;
    }

    static constexpr std::array<unsigned char, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    target.write(reinterpret_cast<const char*>(kSignature.data()), kSignature.size());
    std::vector<unsigned char> header;
    put_u32(header, static_cast<std::uint32_t>(width));
    put_u32(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, adaptive filters, not interlaced
    put_chunk(target, "IHDR", header.data(), header.size());
    std::vector<unsigned char> resolution;
    const auto per_metre = static_cast<std::uint32_t>(std::lround(dpi / 0.0254));
    put_u32(resolution, per_metre);
    put_u32(resolution, per_metre);
    resolution.push_back(1);  // the unit is the metre
    put_chunk(target, "pHYs", resolution.data(), resolution.size());
    put_chunk(target, "IDAT", packed.get(), packed_size);
    put_chunk(target, "IEND", nullptr, 0);
    return true;
}

}  // namespace daz
