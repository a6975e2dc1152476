// After the file is read: track distance, the dive range on the track map,
// the station order and the vertical axis.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "app/session.h"
#include "app/title.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/stop.h"
#include "miscli/strings.h"
#include "section/get_div.h"
#include "section/plotcom.h"
#include "section/stray_positions.h"
#include "section/trak.h"

namespace app {

using section::plotcom;

namespace {

// The widest span of the chosen dives' positions [km], across a box of
// their latitudes and longitudes.
float position_extent(const data::DiveTable& t, int first, int last) {
    float lat_lo = 90, lat_hi = -90, lon_lo = 360, lon_hi = -360;
    for (int d = first; d <= last; ++d)
        for (auto [lon, lat] : {std::pair{t.lon_start(d), t.lat_start(d)}, std::pair{t.lon_end(d), t.lat_end(d)}}) {
            if (!section::has_position(lon, lat)) continue;
            lat_lo = std::min(lat_lo, lat);
            lat_hi = std::max(lat_hi, lat);
            lon_lo = std::min(lon_lo, lon);
            lon_hi = std::max(lon_hi, lon);
        }
    if (lat_hi < lat_lo) return 0.0f;
    constexpr float kKmPerDegree = 111.2f, kRadian = 0.0174533f;
    const float north = (lat_hi - lat_lo) * kKmPerDegree;
    const float east = (lon_hi - lon_lo) * kKmPerDegree * std::cos(0.5f * (lat_lo + lat_hi) * kRadian);
    return std::hypot(north, east);
}

// Dives with no distance between them (no positions, one place, or a
// glider holding station, whose track goes back and forth over a spot
// less than 1 % of its length wide) have no section along the track: they
// are drawn against time, with a line saying so. Without times either, or
// for one dive alone, the run ends with the reason and what to do about it.
void settle_distance(Session& s, const std::vector<char>& positioned, const section::StrayPositions& stray) {
    if (plotcom.horizontal != section::Horizontal::Distance) return;
    const auto first = s.track_km.span().begin() + (s.first_dive - 1), last = first + (s.last_dive - s.first_dive + 1);
    const auto [lo, hi] = std::minmax_element(first, last);
    const float track = *hi - *lo;
    const float extent = position_extent(s.dives, s.first_dive, s.last_dive);
    const bool holding = track > 0.0f && extent < 0.01f * track;
    if (track > 0.0f && !holding) return;
    const std::string dives = " Dives " + s.dives.dive_label(s.first_dive) + " to " + s.dives.dive_label(s.last_dive);
    if (s.first_dive == s.last_dive)
        miscli::stop(" Dive " + s.dives.dive_label(s.first_dive) +
                     " alone makes no section: choose two or more dives along the track.");
    const bool any = std::any_of(positioned.begin() + (s.first_dive - 1), positioned.begin() + s.last_dive,
                                 [](char p) { return p != 0; });
    std::string why;
    if (holding)
        why = dives + " stay within " + miscli::fmt_f(extent, 0, 1) + " km of each other over " +
              miscli::fmt_f(track, 0, 1) + " km of track (holding station)";
    else if (any)
        why = dives + " lie at one place, with no distance between them to draw a section along";
    else
        why = dives + " have no positions, so no distance between them to draw a section along";
    const std::string note = section::stray_note(stray);
    bool timed = false;
    for (int d = s.first_dive; d <= s.last_dive && !timed; ++d) timed = section::dive_time(s.dives, d).has_value();
    if (!timed)
        miscli::stop(why + " and no times to draw it against" + (note.empty() ? std::string(".") : "; " + note));
    miscli::console().write_line(why + ": the section is drawn against time" +
                                 (note.empty() ? std::string(".") : "; " + note));
    plotcom.horizontal = section::Horizontal::Time;
}

}  // namespace

void choose_track_and_axis(Session& s) {
    auto& t = s.dives;
    const int n = s.header.n_dives;
    const section::StrayPositions stray = section::drop_stray_positions(t.lon_start, t.lat_start, t.lon_end, t.lat_end, n);
    std::vector<char> positioned(static_cast<std::size_t>(n));
    for (int d = 1; d <= n; ++d)
        positioned[static_cast<std::size_t>(d - 1)] =
            section::has_position(t.lon_start(d), t.lat_start(d)) || section::has_position(t.lon_end(d), t.lat_end(d));
    section::trak_(t.lon_start, t.lat_start, t.lon_end, t.lat_end, t.dive_weight, s.track_km, n);

    s.first_dive = 1;
    s.last_dive = n;
    if (s.map_only) {
        std::string why;
        section::map_hardcopy(t.lon_start, t.lat_start, t.lon_end, t.lat_end, t.dive_number, 1, n,
                              title_stroke_text(s.map_title, why).value_or(""), s.stamp);
        miscli::stop_normal();
    }
    section::get_div_(t.lon_start, t.lat_start, t.lon_end, t.lat_end, t.dive_number, n, s.first_dive, s.last_dive);
    settle_distance(s, positioned, stray);

    miscli::console().write_prompt(" Normally 1st station to left. Reverse? Y/N? ");
    std::string answer = miscli::console().read_line(miscli::QuestionId::Reverse);
    s.reverse = !answer.empty() && (answer[0] == 'Y' || answer[0] == 'y');

    miscli::console().write_prompt(" Choose a vertical axis. (S)quare root of depth, (L)inear depth,");
    // Only the three axes exist; any other letter asks again.
    for (;;) {
        char axis = ' ';
        miscli::charans_(axis, "(D)ensity (sigma 0)? S/L/D?", miscli::QuestionId::Axis);
        if (const auto v = section::vertical_of_letter(axis)) {
            plotcom.vertical = *v;
            break;
        }
    }
}

}  // namespace app
