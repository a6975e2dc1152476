// After the file is read: track distance, the dive range on the track map,
// the station order and the vertical axis.
#include <algorithm>
#include <string>
#include <vector>

#include "app/session.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "miscli/strings.h"
#include "section/get_div.h"
#include "section/plotcom.h"
#include "section/stray_positions.h"
#include "section/trak.h"

namespace app {

using section::plotcom;

namespace {

// Dives with no distance between them give an empty frame, not a section:
// the run ends with the reason and what to do about it.
void refuse_without_distance(const Session& s, const std::vector<char>& positioned,
                             const section::StrayPositions& stray) {
    const auto first = s.track_km.span().begin() + (s.first_dive - 1), last = first + (s.last_dive - s.first_dive + 1);
    const auto [lo, hi] = std::minmax_element(first, last);
    if (*hi > *lo) return;
    const std::string dives = " Dives " + std::to_string(s.first_dive) + " to " + std::to_string(s.last_dive);
    if (s.first_dive == s.last_dive)
        miscli::stop(" Dive " + std::to_string(s.first_dive) +
                     " alone makes no section: choose two or more dives along the track.");
    const bool any = std::any_of(positioned.begin() + (s.first_dive - 1), positioned.begin() + s.last_dive,
                                 [](char p) { return p != 0; });
    if (any)
        miscli::stop(dives + " lie at one place, with no distance between them to draw a section along; "
                             "choose dives along the track.");
    const std::string note = section::stray_note(stray);
    miscli::stop(dives + " have no positions, so no distance between them to draw a section along" +
                 (note.empty() ? std::string(".") : "; " + note));
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
    section::get_div_(t.lon_start, t.lat_start, t.lon_end, t.lat_end, n, s.first_dive, s.last_dive);
    refuse_without_distance(s, positioned, stray);

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
