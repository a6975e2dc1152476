#pragma once
// Value axes: an axis line between two page points, ticks that cross it,
// numeric labels and a title beside it, on a linear or logarithmic scale.
// Value v1 belongs to (x1, y1) and v2 to (x2, y2); positions, lengths and
// heights are inches, angles degrees counter-clockwise. Side "CW" puts the
// labels and title on the clockwise side of the axis direction (below a
// left-to-right axis), "CC" on the other (left of an upward axis).
//
// Ticks are chosen from the value range and the length so they stay at
// least `spacing` apart; large and small labels become powers of ten.
// Degenerate axes (equal ends, zero length, non-positive or non-finite
// logarithmic ends) get their line and title, no ticks.
#include <string>
#include <string_view>

namespace daz {

inline constexpr int kLabelField = 20;  // declared length of a tick label

// Horizontal linear axis, labels below; vertical linear axis, labels left;
// vertical logarithmic axis, labels left. With label_ends, an end that no
// label stands near is labelled with its value to the tick step.
void linx_ax_(float v1, float v2, std::string_view title, float x1, float y1, float x2, float y2,
              bool label_ends = false);
void liny_ax_(float v1, float v2, std::string_view title, float x1, float y1, float x2, float y2,
              bool label_ends = false);
void logy_ax_(float v1, float v2, std::string_view title, float x1, float y1, float x2, float y2);
// Any axis at the usual sizes: tick 0.06, label and title height 0.1, spacing 0.15 [inch];
// log_scale 0 linear, any other value logarithmic.
void axis_(float v1, float v2, std::string_view title, std::string_view side, int log_scale, float x1, float y1, float x2, float y2);
// Draws the axis: ticks `tick` long to each side (long ones 1.5 times), labels
// `label_height` high, the title `title_height` high [inch].
void axis0_(float v1, float v2, std::string_view title, std::string_view side, int log_scale, float x1, float y1, float x2, float y2, float tick, float label_height, float title_height, float spacing, bool label_ends = false);
// One label beside the tick at (x, y), on the side of s (-1 "CC", +1 else);
// extent grows to the label's reach across the axis [inch].
void labltic_(float x, float y, float s, std::string_view text, float dx, float dy, float angle, float sn, float c, float& extent, float h, float t);
// m * 10^e as label text, kLabelField characters, length without trailing blanks;
// mode 0 a decimal unless it takes 7 characters or more, else a power of ten.
void formt_(int m, int e, std::string& text, int& length, int mode);

}  // namespace daz
