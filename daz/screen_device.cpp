#include "daz/screen_device.h"

#include <array>
#include <cmath>
#include <vector>

#include "screen/screen.h"

namespace daz {

namespace {

int channel(float v) {
    double c = std::round(255.0 * static_cast<double>(v));
    if (!(c >= 0)) return 0;
    return c > 255 ? 255 : static_cast<int>(c);
}

}  // namespace

void ScreenDevice::open_window() {
    screen::winitialise_("");
    screen::windowopen_(screen::WindowRecord{}, 0);
    screen::windowselect_(0);
    screen::igrarea_(0.0f, 0.0f, 1.0f, 1.0f);
    screen::igrunits_(0.0f, 0.0f, 10.0f, 8.0f);
    screen::igrfillpattern_(4, 0, 0);
    screen::igrcolourmodel_(24);
}

void ScreenDevice::close_window() { screen::windowclose_(); }
void ScreenDevice::clear_window() { screen::windowclear_(); }
bool ScreenDevice::window_open() const { return screen::window_is_open(); }

void ScreenDevice::stroke(PagePoint to, int pen) {
    if (pen == 3) screen::igrmoveto_(to.x, to.y);
    else if (pen == 2) screen::igrlineto_(to.x, to.y);
}

void ScreenDevice::colour(float red, float green, float blue) {
    packed_colour_ = channel(red) + 256 * channel(green) + 65536 * channel(blue);
    screen::igrcolourn_(packed_colour_);
}

void ScreenDevice::fill(std::span<const PagePoint> vertices) {
    // The layer takes the corners' x and y apart. Most polygons are cells
    // of four corners: they stay in small arrays.
    const std::size_t n = vertices.size();
    std::array<float, 8> few_x, few_y;
    std::vector<float> many_x, many_y;
    float* xs = few_x.data();
    float* ys = few_y.data();
    if (n > few_x.size()) {
        many_x.resize(n);
        many_y.resize(n);
        xs = many_x.data();
        ys = many_y.data();
    }
    for (std::size_t i = 0; i < n; ++i) {
        xs[i] = vertices[i].x;
        ys[i] = vertices[i].y;
    }
    screen::igrpolygoncomplex_(std::span<const float>(xs, n), std::span<const float>(ys, n), static_cast<int>(n));
}

bool ScreenDevice::draws_nothing() const { return screen::canvas_unseen(); }

}  // namespace daz
