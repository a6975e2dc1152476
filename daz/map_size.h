#pragma once
// Fitting a longitude/latitude box onto the page with equal ground scales.
namespace daz {

// Chooses the frame of a map of the box west..east [deg E], south..north
// [deg N] so that a degree of latitude and a degree of longitude times the
// cosine of the mean latitude have the same length on the page. The frame
// starts at (1.0, 0.8) and is at most 8.5 by 6.5 inches, its long side along
// the page's long side.
//   left, right, bottom, top  out: the frame [inch]
//   orientation               in/out: 'X' landscape, 'Y' portrait (either
//                             case); anything else lets the box's shape
//                             decide. Comes back as 'X' or 'Y'.
// The box must not be empty (east > west, north > south).
void map_size_(float west, float east, float south, float north, float& left, float& right, float& bottom,
               float& top, char& orientation);

}  // namespace daz
