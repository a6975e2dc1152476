#pragma once
// The colour scale and filled areas, on whatever device is open.
#include <span>

#include "daz/device.h"

namespace daz {

inline constexpr int MXPQ = 2000;  // vertices of one filled polygon

// Makes the colour of `value` on the six-band scale from `low` (dark blue)
// to `high` (dark red) current. An empty range gives the middle colour.
void palette_(float value, float low, float high);
// Fills the closed polygon (x(i), y(i)), i = 1..n [inch] in the current
// colour; more than MXPQ vertices closes the plot and stops the program.
void shade_(std::span<const float> x, std::span<const float> y, int n);
// Fills the axis-parallel rectangle with corners (x1, y1), (x2, y2) [inch].
void shaderect_(float x1, float y1, float x2, float y2);

// Fills each cell of a section's column (page inches) in its colour, the
// same picture as rgbcolor_ and shaderect_ of each cell make; a device
// may write it faster. A section has a cell for every level of every dive.
void shade_cells(const CellColumn& column);

// The scale colour of `value` without making it current (red, green, blue).
struct ScaleColour {
    float red, green, blue;
};
ScaleColour scale_colour(float value, float low, float high);

}  // namespace daz
