#pragma once
// Line contours of one gridded section field over the section frame, with
// the contour interval line and the hand-placed labels (contour_labels.h).
// Everything is drawn through the plot device, so the screen and the
// hardcopy get the same strokes.
#include <array>
#include <string_view>

#include "data/limits.h"
#include "miscli/array.h"
#include "section/look.h"

namespace section {

inline constexpr int MXDEP = data::MXLEV;  // grid levels the contours can hold: all the grid has
inline constexpr int MXCON = 100;  // contour levels of one field

// The contour levels of a field: n values w[0..n-1] = m * step for
// m = first, first + 1, ..., increasing. The heavier lines are every fourth
// level of the list, or with heavy_on_multiples those at the multiples of
// 4 * step.
struct ContourLevels {
    int n = 0;
    double step = 0.0;
    long first = 0;
    bool heavy_on_multiples = false;
    std::array<float, MXCON> w{};
};

// A tidy interval of 1, 2 or 5 times a power of ten giving about 7 to 19
// levels strictly above v_lo and up to v_hi. No levels (n = 0) when v_hi is
// not above v_lo or either is not a number.
void contour_levels(float v_lo, float v_hi, ContourLevels& levels);

// The multiples of a chosen step strictly above v_lo and up to v_hi, heavy
// at the multiples of 4 * step. When they would be more than MXCON the step
// grows to the smallest whole multiple of itself that gives MXCON or fewer
// (levels.step says which). No levels as above, or for a step that is not a
// number above 0.
void contour_levels_every(float v_lo, float v_hi, double step, ContourLevels& levels);

// Whether level q (1..n) of the list is drawn heavier.
bool heavy_level(const ContourLevels& levels, int q);

// One cell edge from node (x1, y1) holding v1 to node (x2, y2) holding v2:
// when w lies between v1 and v2 (ends included) the pen goes to the
// interpolated crossing with `pen` and pen becomes 2 (draw). `spare` is
// not read; it keeps the argument order of the plotting routines.
void cross_(float w, float v1, float v2, float x1, float x2, float y1, float y2, float spare, int& pen);

// Contours grid_line(k, j), k = 1..n_levels at the levels grid_z(k),
// j = first_dive..last_dive at station_x(j), between v_lo and v_hi; writes
// "CI=<interval>  <label_line>" under the frame; every fourth level is
// heavier. The interval is the classic choice (contour_levels), or
// look.contour_step when that is above 0 (contour_levels_every). A cell edge with a node below -990 (missing) is not traced; the
// other edges of its cell are. `missing` is the label editor's threshold.
// Then draws the label_count stored labels and, on the screen ('S'), runs
// the label editor, which updates label_count. With look.auto_labels and no
// stored label, labels placed along the heavy lines (auto_labels.h) are
// drawn as well, the lines broken under them; the editor leaves them be,
// and the first label it stores takes their place from the next drawing on. Reads section::plotcom; expects
// the device open. More than MXDEP levels: closes the device and stops with
// "Increase MXDEP of LIN_PLOT". contour_step is not read. `look` says how it
// is drawn beyond the classic picture.
void lin_plot_(const miscli::Array1<float>& grid_z, const miscli::Array2<float>& grid_line,
               const miscli::Array1<float>& station_x, int n_levels, int first_dive, int last_dive, float v_lo,
               float v_hi, float contour_step, std::string_view label_line, int& label_count, char device_code,
               float missing, const Look& look);

}  // namespace section
