#pragma once
// A section's colour cells as one image: each cell's colour spread over the
// pixels it covers in proportion to the area it covers of each, so that
// thousands of cells narrower than a pixel give the mean colour there, and
// cells that meet leave no seam. A hardcopy page paints the image once
// instead of filling each cell as a path.
#include <cstdint>
#include <vector>

#include "daz/device.h"

namespace daz {

class CellRaster {
public:
    // A raster of the landscape page, `width` x `height` inches, at
    // `pixels_per_inch`; pixel (0, 0) is at the page's top left.
    CellRaster(double width, double height, double pixels_per_inch);

    // Adds each cell of the column (page inches, colours 0..1).
    void add(const CellColumn& column);
    bool empty() const { return !touched_; }

    // The pixels touched since the last take, as premultiplied ARGB32 rows
    // (cairo's layout) of the box they span; the raster is then empty again.
    struct Image {
        int x = 0, y = 0, width = 0, height = 0;  // the box, in pixels of the raster
        int stride = 0;                          // bytes a row
        std::vector<unsigned char> pixels;
    };
    Image take();

    double pixels_per_inch() const { return ppi_; }

private:
    struct Sum {
        float red = 0, green = 0, blue = 0, cover = 0;
    };
    Sum& at(int x, int y) { return sums_[static_cast<std::size_t>(y) * width_ + x]; }
    double ppi_, page_height_;
    int width_, height_;
    std::vector<Sum> sums_;
    std::vector<double> across_;  // a column's share of each pixel it spans
    bool touched_ = false;
    int x_lo_ = 0, x_hi_ = -1, y_lo_ = 0, y_hi_ = -1;  // the touched box
};

}  // namespace daz
