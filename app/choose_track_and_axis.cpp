// After the file is read: track distance, the dive range on the track map,
// the station order and the vertical axis.
#include "app/plotcom.h"
#include "app/session.h"
#include "miscli/console.h"
#include "miscli/strings.h"
#include "section/get_div.h"
#include "section/trak.h"

namespace app {

void choose_track_and_axis(Session& s) {
    auto& t = s.dives;
    section::trak_(t.lon_start, t.lat_start, t.lon_end, t.lat_end, t.dive_weight, s.track_km, s.header.n_dives);

    s.first_dive = 1;
    s.last_dive = s.header.n_dives;
    section::get_div_(t.lon_start, t.lat_start, t.lon_end, t.lat_end, s.header.n_dives, s.first_dive, s.last_dive);

    miscli::console().write_line(" Normally 1st station to left. Reverse? Y/N? ");
    std::string answer = miscli::console().read_line();
    s.reverse = !answer.empty() && (answer[0] == 'Y' || answer[0] == 'y');

    miscli::console().write_line(" Choose a vertical axis. (S)quare root of depth, (L)inear depth,");
    // Only the three axes exist; any other letter asks again.
    for (;;) {
        char axis = ' ';
        miscli::charans_(axis, "(D)ensity (sigma 0)? S/L/D?");
        if (axis == 'S' || axis == 'L' || axis == 'D') {
            plotcom.axis_code = axis;
            break;
        }
    }
}

}  // namespace app
