#include "daz/device.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace daz {

namespace {

// File coordinates far off the page are held to what the fields and
// PostScript's numbers take comfortably.
constexpr float kMaxFileUnits = 99999999.0f;

// Nearest integer, halves away from zero, held to the file's range (NaN
// goes to its lower end). In double the half is added exactly.
std::int32_t nearest_file_unit(float v) {
    double d = v;
    if (!(d > -kMaxFileUnits)) d = -kMaxFileUnits;
    if (d > kMaxFileUnits) d = kMaxFileUnits;
    return static_cast<std::int32_t>(d >= 0 ? static_cast<long>(d + 0.5) : -static_cast<long>(0.5 - d));
}

}  // namespace

void Device::fill_cells(const CellColumn& column) {
    for (const CellColumn::Cell& c : column.cells) {
        colour(c.red, c.green, c.blue);
        const float x_hi = column.filled_x_hi(), y_lo = column.filled_y_lo(c);
        const std::array<PagePoint, 4> corners{{{column.x_lo, y_lo}, {column.x_lo, c.y_hi}, {x_hi, c.y_hi}, {x_hi, y_lo}}};
        fill(corners);
    }
}

bool Device::finish(std::string&) { return true; }

FilePoint file_point(PagePoint p) {
    float fx = (8.0f - p.y) * 1000.0f, fy = p.x * 1000.0f;
    return {nearest_file_unit(fx), nearest_file_unit(fy)};
}

FilePoint sheet_point(PagePoint p) {
    const FilePoint q = file_point(p);
    return {std::clamp<std::int32_t>(q.x, 0, 8000), std::clamp<std::int32_t>(q.y, 0, 10000)};
}

// PostScript takes colours in 0..1 anyway; holding them there keeps the
// field from overflowing into asterisks. A float times 100 is exact in
// double, so rounding it here picks the same field as formatting the value
// itself (halves away from zero, as fmt_f).
std::size_t hundredths(float v) {
    if (!(v >= 0)) v = 0;
    if (v > 1) v = 1;
    return static_cast<std::size_t>(std::round(static_cast<double>(v) * 100.0));
}

}  // namespace daz
