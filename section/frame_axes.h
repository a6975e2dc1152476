#pragma once
// What the section frame's two coordinates are, how each maps onto the
// frame and how its axis is drawn. The vertical coordinate is pressure (on
// a square-root or a linear scale) or sigma-theta; the horizontal one is the
// distance along the track, the time (UTC) or the profile number. A new kind
// of axis is one more value here and its cases in frame_axes.cpp; the plots
// only ask for page positions.
#include <optional>
#include <string>
#include <string_view>

#include "data/dive_table.h"
#include "miscli/array.h"

namespace section {

enum class Vertical { SqrtPressure, Pressure, Density };
enum class Horizontal { Distance, Time, Profile };
// The equation of state of the density axis and the density variable:
// sigma-theta by EOS-80, or sigma-0 by TEOS-10.
enum class Eos { Eos80, Teos10 };

// The dialogue's letter of each vertical axis: S, L, D.
std::optional<Vertical> vertical_of_letter(char letter);
char letter_of(Vertical v);

// Pressure axes start at the surface; the density axis at its range.
bool is_pressure(Vertical v);
// The gridding step of the vertical coordinate: 5 dbar, or 0.1 kg/m3.
float grid_step(Vertical v);

// The time of dive d [days since 1970-01-01 UTC]: the middle of its start
// and end, or whichever it has; nullopt when it has neither.
std::optional<double> dive_time(const data::DiveTable& dives, int d);

// Each station's place on the horizontal axis of the frame record, for
// dives first..last: the distance along the track from the first (or,
// reversed, from the last) in km; the time in days from the frame record's
// time origin, a dive without a time between its neighbours; or the dive's
// number in the file (its up cast half a number on). Reversed time and
// profile axes run from right to left.
void place_stations(const data::DiveTable& dives, const miscli::Array1<float>& track_km, int first, int last,
                    bool reverse, miscli::Array1<float>& station_x);

// Scales of the frame record for the section's ranges: the horizontal one
// from the places of the first and last stations, the vertical one from
// z_min..z_max (pressure axes from the surface).
void set_horizontal_scale(float x_first, float x_last);
void set_vertical_scale();

// Page y of vertical coordinate z and page x of horizontal coordinate x.
float frame_y(float z);
float frame_x(float x);

// The height at which text of `height` fits within `room` inches, at
// least `least`: titles that run beside a low frame.
float height_within(std::string_view text, float height, float room, float least = 0.07f);

// The frame's bottom axis and its left axis, in the colour set; titled
// axes have both ends labelled, and the left one says what it is and its
// unit.
void draw_horizontal_axis(bool titled);
void draw_vertical_axis(bool titled, Eos eos = Eos::Eos80);

}  // namespace section
