// The plot loop: the prepared section drawn on the screen, and again on
// request on the screen or into the next hardcopy file.
#include "app/session.h"
#include "data/missing.h"
#include "daz/input.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/stop.h"
#include "miscli/strings.h"
#include "section/lin_plot.h"
#include "section/pix_plot.h"
#include "section/plotcom.h"

namespace app {

using section::plotcom;

void plot_loop(Session& s) {
    bool title_asked = false;
    for (;;) {
        daz::plopen_(s.device_code, 'X');
        daz::linwid_(20);
        section::pix_plot_(s.grid_z, s.grid_color, s.station_x, s.station_day, s.dives.dive_number, s.n_levels, s.first_dive,
                           s.last_dive, s.color_lo, s.color_hi, s.log_color, s.day_tics ? 1 : 0, s.contour_step,
                           s.label_color, data::GRID_MISSING, s.look);
        if (s.line_var != 'X')
            section::lin_plot_(s.grid_z, s.grid_line, s.station_x, s.n_levels, s.first_dive, s.last_dive,
                               s.line_lo, s.line_hi, s.contour_step, s.label_line, s.label_count, s.device_code,
                               data::GRID_MISSING, s.look);
        if (!title_asked) {
            daz::getstring_("Complete title " + s.sn_text + " ", s.title_text, miscli::QuestionId::Title);
            title_asked = true;
        }
        daz::letter_(plotcom.left + 1.0f, plotcom.top + 0.4f, 0.1f, 0.0f, s.sn_text + s.title_text);
        daz::letter_(plotcom.left, plotcom.bottom - 0.4f, 0.1f, 0.0f, s.date_text);
        if (s.device_code == 'H') {
            daz::plclosnow_();
            miscli::stop_normal();
        }
        daz::getchar_("(H)ardcopy, (S)creen or (Q)uit?", s.device_code, miscli::QuestionId::Device);
        miscli::ucase_(s.device_code);
        if (s.device_code != 'S' && s.device_code != 'H') {
            daz::plclosnow_();
            return;
        }
    }
}

}  // namespace app
