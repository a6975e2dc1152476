#pragma once
#include <string_view>

#include "miscli/array.h"
#include "section/colour_scale.h"
#include "section/frame_axes.h"
#include "section/look.h"

namespace section {

// Draws one gridded field as colour cells (one column per profile
// first..last, one cell per level, profile j at station_x(j) on the
// horizontal axis), with a colour bar, the field's title, the frame, the
// horizontal axis, the vertical axis and day or profile ticks (labelled
// with station_number, the file's dive numbers)
// along the top. The frame comes from section::plotcom; the device must be open.
// Cells at or below `missing` are black. A field without a range (v_hi
// equal to v_lo, or no cell with a value) has its bar in the middle colour;
// a reversed range draws the reversed scale. `look` says how it is drawn
// beyond the classic picture: with a colour map (the one named, or the
// usual map of `variable`) the cells and the bar take their colours from it
// over the look's range, and grey missing cells get a "no data" swatch
// under the bar. Leaves the colour black.
void pix_plot_(const miscli::Array1<float>& grid_z, const miscli::Array2<float>& grid,
               const miscli::Array1<float>& station_x, const miscli::Array1<float>& station_day,
               const miscli::Array1<int>& station_number, int n_levels,
               int first, int last, float v_lo, float v_hi, int log_color, int day_tics, float contour_step,
               std::string_view label, float missing, const Look& look, ColourVariable variable = {});

}  // namespace section
