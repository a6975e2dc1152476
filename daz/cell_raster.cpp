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
    // The column's share of each pixel across, once for all its cells.
    across_.clear();
    for (int x = across.first; x <= across.last; ++x) across_.push_back(across.share(x));
    // Neighbouring cells mostly share a colour: its channels are kept.
    float red_in = -1.0f, green_in = -1.0f, blue_in = -1.0f, r = 0, g = 0, b = 0;
    bool any = false;
    int y_lo = y_lo_, y_hi = y_hi_;
    for (const CellColumn::Cell& c : column.cells) {
        const Span down = span_of((page_height_ - c.y_hi) * ppi_, (page_height_ - c.y_lo) * ppi_, height_);
        if (down.last < down.first || !(down.b > down.a)) continue;
        if (c.red != red_in || c.green != green_in || c.blue != blue_in) {
            red_in = c.red, green_in = c.green, blue_in = c.blue;
            r = channel(c.red), g = channel(c.green), b = channel(c.blue);
        }
        for (int y = down.first; y <= down.last; ++y) {
            const double wy = down.share(y);
            Sum* row = &at(across.first, y);
            for (std::size_t i = 0; i < across_.size(); ++i) {
                const float w = static_cast<float>(wy * across_[i]);
                Sum& sum = row[i];
                sum.red += r * w;
                sum.green += g * w;
                sum.blue += b * w;
                sum.cover += w;
            }
        }
        y_lo = touched_ || any ? std::min(y_lo, down.first) : down.first;
        y_hi = touched_ || any ? std::max(y_hi, down.last) : down.last;
        any = true;
    }
    if (!any) return;
    y_lo_ = y_lo;
    y_hi_ = y_hi;
    x_lo_ = touched_ ? std::min(x_lo_, across.first) : across.first;
    x_hi_ = touched_ ? std::max(x_hi_, across.last) : across.last;
    touched_ = true;
}

CellRaster::Image CellRaster::take() {
    Image image;
    if (!touched_) return image;
    image.x = x_lo_;
    image.y = y_lo_;
    image.width = x_hi_ - x_lo_ + 1;
    image.height = y_hi_ - y_lo_ + 1;
    image.stride = 4 * image.width;
    image.pixels.resize(static_cast<std::size_t>(image.stride) * image.height);
    // Rounded half away from zero, as lround does, without its call: the
    // float times 255 plus a half is exact in a double.
    const auto byte = [](float v) {
        return static_cast<std::uint32_t>(static_cast<double>(std::clamp(v, 0.0f, 1.0f) * 255.0f) + 0.5);
    };
    for (int y = y_lo_; y <= y_hi_; ++y) {
        Sum* sums = &at(x_lo_, y);
        unsigned char* row = image.pixels.data() + static_cast<std::size_t>(y - y_lo_) * image.stride;
        for (int i = 0; i < image.width; ++i) {
            const Sum& s = sums[i];
            // Premultiplied: a pixel covered in part keeps what lies under
            // it; one not covered at all comes out 0, transparent.
            const float alpha = std::min(s.cover, 1.0f), k = s.cover > 0.0f ? alpha / s.cover : 0.0f;
            const std::uint32_t argb =
                byte(alpha) << 24 | byte(s.red * k) << 16 | byte(s.green * k) << 8 | byte(s.blue * k);
            std::memcpy(row + 4 * static_cast<std::size_t>(i), &argb, 4);
        }
        std::fill(sums, sums + image.width, Sum{});
    }
    touched_ = false;
    return image;
}

}  // namespace daz
