// The cell image: each pixel the area-weighted mean of the cells over it,
// opaque where cells cover it whole, seamless where cells meet.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "daz/cell_raster.h"

namespace {

struct Argb {
    int a, r, g, b;
};

Argb pixel(const daz::CellRaster::Image& im, int x, int y) {
    std::uint32_t v = 0;
    std::memcpy(&v, im.pixels.data() + static_cast<std::size_t>(y - im.y) * im.stride + 4 * (x - im.x), 4);
    return {int(v >> 24), int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255)};
}

}  // namespace

TEST(CellRaster, PixelsTakeTheAreaWeightedMeanOfTheirCells) {
    // A page 4 x 2 inches at 1 pixel an inch. Column A: x 0..0.5, red from
    // y 1..2 (the top pixel row); column B: x 0.5..1, blue over the same
    // row, and blue again half way down the second row (y 0.5..1).
    daz::CellRaster r(4.0, 2.0, 1.0);
    daz::CellColumn a{0.0f, 0.5f, {{1, 0, 0, 1.0f, 2.0f}}};
    daz::CellColumn b{0.5f, 1.0f, {{0, 0, 1, 1.0f, 2.0f}, {0, 0, 1, 0.5f, 1.0f}}};
    r.add(a);
    r.add(b);
    const daz::CellRaster::Image im = r.take();
    ASSERT_EQ(im.x, 0);
    ASSERT_EQ(im.y, 0);
    ASSERT_EQ(im.width, 1);
    ASSERT_EQ(im.height, 2);
    // Two halves meeting: wholly covered, half red and half blue.
    const Argb top = pixel(im, 0, 0);
    EXPECT_EQ(top.a, 255);
    EXPECT_EQ(top.r, 128);
    EXPECT_EQ(top.b, 128);
    // A quarter covered: a quarter opaque, premultiplied blue.
    const Argb low = pixel(im, 0, 1);
    EXPECT_EQ(low.a, 64);
    EXPECT_EQ(low.b, 64);
    EXPECT_EQ(low.r, 0);
    // Taken: empty again, and the next cells start from nothing.
    EXPECT_TRUE(r.empty());
    r.add(daz::CellColumn{3.0f, 4.0f, {{0, 1, 0, 0.0f, 2.0f}}});
    const daz::CellRaster::Image next = r.take();
    EXPECT_EQ(next.x, 3);
    EXPECT_EQ(next.height, 2);
    EXPECT_EQ(pixel(next, 3, 1).g, 255);
}
