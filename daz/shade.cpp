#include "daz/shade.h"

#include <algorithm>
#include <array>
#include <vector>

#include "daz/plot_device.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"

namespace daz {

ScaleColour scale_colour(float value, float low, float high) {
    // An empty range has no direction: every value sits in the middle.
    float f = high != low ? (value - low) / (high - low) : 0.5f;
    if (!(f > 0.0f)) f = 0.0f;
    if (f > 1.0f) f = 1.0f;
    if (f < 0.1f) return {0.0f, 0.0f, 0.65f + 3.5f * f};
    if (f < 0.3f) return {0.0f, 5.0f * (f - 0.1f), 1.0f};
    if (f < 0.5f) return {0.0f, 1.0f, 1.0f - 5.0f * (f - 0.3f)};
    if (f < 0.7f) return {5.0f * (f - 0.5f), 1.0f, 0.0f};
    if (f < 0.9f) return {1.0f, 1.0f - 5.0f * (f - 0.7f), 0.0f};
    return {1.0f - 3.0f * (f - 0.9f), 0.0f, 0.0f};
}

void palette_(float value, float low, float high) {
    ScaleColour c = scale_colour(value, low, high);
    rgbcolor_(c.red, c.green, c.blue);
}

void shade_(std::span<const float> x, std::span<const float> y, int n) {
    if (n > MXPQ) {
        plclosnow_();
        miscli::stop((miscli::ListLine() << "Increase MXPQ of SHADE " << n).str());
    }
    const std::size_t count = static_cast<std::size_t>(std::max(n, 0));
    // Most polygons are a section's cells of four corners: they stay in a
    // small array, as clearing room for the largest polygon on every cell
    // would cost more than the cell.
    std::array<PagePoint, 8> few;
    std::vector<PagePoint> many;
    std::span<PagePoint> page(few);
    if (count > few.size()) {
        many.resize(count);
        page = many;
    }
    page = page.first(count);
    for (std::size_t i = 0; i < count; ++i) page[i] = device_page(x[i], y[i]);
    current_device().fill(page);
}

void shaderect_(float x1, float y1, float x2, float y2) {
    const std::array<float, 4> x{x1, x1, x2, x2}, y{y1, y2, y2, y1};
    shade_(x, y, 4);
}

void shade_cells(const CellColumn& column) {
    if (devcom.orientation == 'X') {
        current_device().fill_cells(column);
        return;
    }
    // On a portrait page a column is no longer upright on the device.
    for (const CellColumn::Cell& c : column.cells) {
        rgbcolor_(c.red, c.green, c.blue);
        shaderect_(column.x_lo, column.filled_y_lo(c), column.filled_x_hi(), c.y_hi);
    }
}

}  // namespace daz
