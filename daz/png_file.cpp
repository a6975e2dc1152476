#include "daz/png_file.h"

#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace daz {

namespace {

void to_target(png_structp png, png_bytep data, png_size_t length) {
    static_cast<HardcopyTarget*>(png_get_io_ptr(png))->write(reinterpret_cast<const char*>(data), length);
}

void no_flush(png_structp) {}

// libpng's reason, kept for the caller before it jumps back.
void on_error(png_structp png, png_const_charp message) {
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

}  // namespace

bool write_png(cairo_surface_t* image, int dpi, HardcopyTarget& target, std::string& reason) {
    cairo_surface_flush(image);
    const int width = cairo_image_surface_get_width(image), height = cairo_image_surface_get_height(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* pixels = cairo_image_surface_get_data(image);
    std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &reason, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, nullptr);
        reason = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &target, to_target, no_flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const auto per_metre = static_cast<png_uint_32>(std::lround(dpi / 0.0254));
    png_set_pHYs(png, info, per_metre, per_metre, PNG_RESOLUTION_METER);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_strategy(png, Z_RLE);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        // cairo's pixels are native 32-bit words, red in bits 16..23.
        const unsigned char* in = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            std::uint32_t v;
            std::memcpy(&v, in + 4 * x, 4);
            row[3 * x] = static_cast<unsigned char>(v >> 16);
            row[3 * x + 1] = static_cast<unsigned char>(v >> 8);
            row[3 * x + 2] = static_cast<unsigned char>(v);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace daz
