#pragma once
// The colour scale and filled areas, on the screen or in the hardcopy file.
#include <span>
#include <string_view>

#include "daz/plot_device.h"

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

// What an EPS fill is framed with: the sheet it is held on, and its end.
inline constexpr std::string_view kEpsFillOpen = " {\n0 0 8000 10000 setbbox\n";
inline constexpr std::string_view kEpsFillClose = " closepath\n } ufill\n";
// A polygon's corner at page inches (x, y) on that sheet.
FilePoint sheet_point(float x, float y);

// The scale colour of `value` without making it current (red, green, blue).
struct ScaleColour {
    float red, green, blue;
};
ScaleColour scale_colour(float value, float low, float high);

}  // namespace daz
