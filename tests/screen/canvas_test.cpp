// The canvas's own fill of rectangles must set the very pixels cairo's
// fill without antialiasing sets: section cells drawn either way look alike.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "screen/canvas.h"

namespace {

using screen::Canvas;
using screen::PixelPoint;
using screen::Rgb;

bool same_pixels(Canvas& a, Canvas& b) {
    const int row_bytes = 4 * a.width();
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.data() + y * a.stride(), b.data() + y * b.stride(), static_cast<std::size_t>(row_bytes)) != 0)
            return false;
    return true;
}

TEST(CanvasRectangles, FilledLikeCairoAtEveryEdgeIncludingHalvesAndOutside) {
    std::mt19937 gen(14);
    // Edges on whole, half and finer steps of a pixel, across and beyond
    // the canvas; NaN-free as the layer hands them on.
    std::uniform_int_distribution<int> step(-2048, 12288);
    std::uniform_int_distribution<int> grain(0, 3);
    auto edge = [&] {
        static constexpr double kGrains[] = {1.0, 2.0, 256.0, 1024.0};
        const double g = kGrains[grain(gen)];
        return static_cast<double>(step(gen) % static_cast<int>(48 * g)) / g;
    };
    Canvas own, cairo;
    const Rgb white{255, 255, 255}, colour{12, 200, 77};
    for (int round = 0; round < 4000; ++round) {
        own.create(40, 30, white);
        cairo.create(40, 30, white);
        const double x1 = edge(), x2 = edge(), y1 = edge(), y2 = edge();
        own.polygon({{x1, y1}, {x2, y1}, {x2, y2}, {x1, y2}}, colour);
        // Five points with one on an edge: cairo fills it.
        cairo.polygon({{x1, y1}, {(x1 + x2) / 2, y1}, {x2, y1}, {x2, y2}, {x1, y2}}, colour);
        ASSERT_TRUE(same_pixels(own, cairo)) << x1 << ' ' << y1 << ' ' << x2 << ' ' << y2;
    }
}

}  // namespace
