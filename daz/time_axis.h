#pragma once
// A horizontal time axis in UTC: ticks at steps that fit the span (hours for
// a day, days for weeks, months for a year, years beyond), labelled with ISO
// dates and hours below the axis, and a title under the labels.
#include <string_view>

namespace daz {

// The axis from page x1 to x2 at height y, time t1 at x1 and t2 at x2 [days
// since 1970-01-01 UTC; t2 may be below t1]. Ticks and labels as the value
// axes draw them (0.06 ticks, 0.1 inch labels); unlabelled, the ticks alone.
void time_ax_(double t1, double t2, std::string_view title, float x1, float y, float x2, bool labelled = true);

}  // namespace daz
