#pragma once
// The dive range chosen on a map of the glider's track: one point per dive,
// clicks name the nearest dive, the first and last dive are typed.
#include <string>
#include <string_view>
#include <vector>

#include "data/limits.h"
#include "miscli/array.h"

namespace section {

inline constexpr int MXPTS = data::MXPR;  // dives one map can hold: every dive a file can have

// Mean of those of a and b that are above 0.95 t; t itself when neither is.
// t is the (negative) fill value of the coordinate.
float av2_(float a, float b, float t);

// Shows the track of dives first_dive..last_dive on a map in the screen
// window and lets the user name dives by pointing at them ("N"), type the
// range to keep ("G"), or end the program ("Q", status 0).
//   lon_start, lat_start, lon_end, lat_end  dive positions [deg]; a
//       coordinate at or below 0.95 times its fill (-999 longitude, -99
//       latitude) is missing
//   dive_number  the file's number of each dive, shown on the map and in
//       its lines, and typed: a typed range takes the dives numbered in it
//   n_dives      dives in the file
//   first_dive, last_dive  in: the range shown; out: the range typed (as
//       indices of the table)
// Without any dive with a position in the range, says so on the console and
// keeps the range. More than MXPTS dives: stops with
// " Increase MXPTS or GRT_DIV".
void get_div_(const miscli::Array1<float>& lon_start, const miscli::Array1<float>& lat_start,
              const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end,
              const miscli::Array1<int>& dive_number, int n_dives, int& first_dive, int& last_dive);

// The same map of dives first..last (table indices) drawn into the open
// hardcopy's file instead, with `title` above it and `stamp` along the top
// of the page (stroke text, either empty), and the hardcopy finished.
// Without any dive with a position, stops with a line saying so.
void map_hardcopy(const miscli::Array1<float>& lon_start, const miscli::Array1<float>& lat_start,
                  const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end,
                  const miscli::Array1<int>& dive_number, int first, int last, const std::string& title,
                  const std::string& stamp);

// The map get_div_ draws, worked out before drawing.
struct TrackMap {
    float lon_min = 990.0f, lon_max = -990.0f;  // map limits [deg]
    float lat_min = 99.0f, lat_max = -99.0f;
    float left = 0, right = 0, bottom = 0, top = 0;  // frame [inch]
    char orientation = '0';
    int first = 1, last = 0;  // dives shown
    int n_mapped = 0;         // of them, dives with a position
    // Page position [inch] of dive first + i - 1 at index i; (-99, -99)
    // for a dive without position.
    std::vector<float> x, y;
    float map_x(int dive) const { return x[static_cast<std::size_t>(dive - first)]; }
    float map_y(int dive) const { return y[static_cast<std::size_t>(dive - first)]; }
};

// Limits, frame and map points of dives first..last (last - first < MXPTS).
// Each range is widened by a tenth on both sides; a range narrower than
// 0.01 degree (one dive, or dives at one place) is first made 0.01 wide.
TrackMap track_map(const miscli::Array1<float>& lon_start, const miscli::Array1<float>& lat_start,
                   const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end, int first, int last);

// The dive whose map point is nearest to (x, y) [inch], closer than 100
// inches, among the dives with a position; the first of equal distances
// wins. 0 when none is.
int nearest_dive(const TrackMap& map, float x, float y);

// Reads the first two numbers of a typed range (blanks or commas between)
// and gives the first and last of dives 1..n_dives numbered in it. False,
// with a short reason for the window's strip, unless they are whole numbers
// in order within the dives' numbers and some dive is numbered in them.
bool read_dive_range(std::string_view typed, const miscli::Array1<int>& dive_number, int n_dives, int& first,
                     int& last, std::string& reason);

}  // namespace section
