#include "daz/cell_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace daz {

namespace {

// The pixels [first, last] that the span a..b (pixels, a <= b) covers, and
// how much of each: `share(i)` gives the covered length of pixel i.
struct Span {
    int first, last;
    double a, b;
    double share(int i) const { return std::min(b, i + 1.0) - std::max(a, static_cast<double>(i)); }
};

Span span_of(double a, double b, int size) {
    if (a > b) std::swap(a, b);
    a = std::clamp(a, 0.0, static_cast<double>(size));
    b = std::clamp(b, 0.0, static_cast<double>(size));
    const int first = static_cast<int>(std::floor(a));
    const int last = std::min(size - 1, static_cast<int>(std::ceil(b)) - 1);
    return {first, last, a, b};
}

// A colour channel as every hardcopy writes it: in hundredths, 0..1.
float channel(float v) { return static_cast<float>(hundredths(v)) / 100.0f; }

}  // namespace

CellRaster::CellRaster(double width, double height, double pixels_per_inch)
    : ppi_(pixels_per_inch),
      page_height_(height),
      width_(std::max(1, static_cast<int>(std::ceil(width * pixels_per_inch)))),
      height_(std::max(1, static_cast<int>(std::ceil(height * pixels_per_inch)))),
      sums_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)) {}

void CellRaster::add(const CellColumn& column) {
    const Span across = span_of(column.x_lo * ppi_, column.x_hi * ppi_, width_);
    if (across.last < across.first || !(across.b > across.a)) return;
    for (const CellColumn::Cell& c : column.cells) {
        const Span down = span_of((page_height_ - c.y_hi) * ppi_, (page_height_ - c.y_lo) * ppi_, height_);
        if (down.last < down.first || !(down.b > down.a)) continue;
        const float r = channel(c.red), g = channel(c.green), b = channel(c.blue);
        for (int y = down.first; y <= down.last; ++y) {
            const double wy = down.share(y);
            for (int x = across.first; x <= across.last; ++x) {
                const float w = static_cast<float>(wy * across.share(x));
                Sum& s = at(x, y);
                s.red += r * w;
                s.green += g * w;
                s.blue += b * w;
                s.cover += w;
            }
        }
        y_lo_ = touched_ ? std::min(y_lo_, down.first) : down.first;
        y_hi_ = touched_ ? std::max(y_hi_, down.last) : down.last;
        x_lo_ = touched_ ? std::min(x_lo_, across.first) : across.first;
        x_hi_ = touched_ ? std::max(x_hi_, across.last) : across.last;
        touched_ = true;
    }
}

CellRaster::Image CellRaster::take() {
    Image image;
    if (!touched_) return image;
    image.x = x_lo_;
    image.y = y_lo_;
    image.width = x_hi_ - x_lo_ + 1;
    image.height = y_hi_ - y_lo_ + 1;
    image.stride = 4 * image.width;
    image.pixels.assign(static_cast<std::size_t>(image.stride) * image.height, 0);
    // Rounded half away from zero, as lround does, without its call: the
    // float times 255 plus a half is exact in a double.
    const auto byte = [](float v) {
        return static_cast<std::uint32_t>(static_cast<double>(std::clamp(v, 0.0f, 1.0f) * 255.0f) + 0.5);
    };
    for (int y = y_lo_; y <= y_hi_; ++y) {
        unsigned char* row = image.pixels.data() + static_cast<std::size_t>(y - y_lo_) * image.stride;
        for (int x = x_lo_; x <= x_hi_; ++x) {
            Sum& s = at(x, y);
            if (s.cover > 0.0f) {
                // Premultiplied: a pixel covered in part keeps what lies under it.
                const float alpha = std::min(s.cover, 1.0f), k = alpha / s.cover;
                const std::uint32_t argb = byte(alpha) << 24 | byte(s.red * k) << 16 | byte(s.green * k) << 8 |
                                           byte(s.blue * k);
                std::memcpy(row + 4 * (x - x_lo_), &argb, 4);
            }
            s = Sum{};
        }
    }
    touched_ = false;
    return image;
}

}  // namespace daz
