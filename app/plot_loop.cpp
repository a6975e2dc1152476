// The plot loop: the prepared section drawn on the screen, and again on
// request on the screen or into the next hardcopy file.
#include <array>
#include <optional>

#include "app/session.h"
#include "app/title.h"
#include "data/missing.h"
#include "daz/input.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/progress.h"
#include "miscli/stop.h"
#include "miscli/strings.h"
#include "section/lin_plot.h"
#include "section/mld_line.h"
#include "section/pix_plot.h"
#include "section/plotcom.h"

namespace app {

using section::plotcom;

// Asks for the title until the fonts can draw it; the reason for a refusal
// goes in front of the prompt, so that it shows in the strip with it.
void ask_title(Session& s) {
    const std::string prompt = "Complete title " + s.sn_text + " ";
    std::string shown = prompt, reason;
    for (;;) {
        daz::gettext_(shown, s.title_text, kTitleLength, {miscli::QuestionId::Title, {}, reason});
        if (title_stroke_text(s.title_text, reason)) return;
        // A sentence of its own ahead of the prompt.
        shown = reason + ". " + prompt;
        if (shown[0] >= 'a' && shown[0] <= 'z') shown[0] = static_cast<char>(shown[0] - 'a' + 'A');
    }
}

void draw_section(Session& s) {
    section::pix_plot_(s.grid_z, s.grid_color, s.station_x, s.station_day, s.dives.dive_number, s.n_levels, s.first_dive,
                       s.last_dive, s.color_lo, s.color_hi, s.log_color, s.day_tics ? 1 : 0, s.contour_step,
                       s.look.titled ? s.title_color : s.label_color, data::GRID_MISSING, s.look,
                       {s.color_var, s.header.column(4).name});
    if (s.line_var != 'X')
        section::lin_plot_(s.grid_z, s.grid_line, s.station_x, s.n_levels, s.first_dive, s.last_dive,
                           s.line_lo, s.line_hi, s.contour_step, s.look.titled ? s.title_line : s.label_line,
                           s.label_count, s.device_code,
                           data::GRID_MISSING, s.look);
    if (s.look.mld_threshold && section::is_pressure(plotcom.vertical) && !s.mld.empty())
        section::draw_mld_line(s.station_x, s.first_dive, s.last_dive, s.mld, *s.look.mld_threshold, s.look.titled);
}

void page_words(const Session& s, float top, float bottom) {
    std::string refusal;
    const std::string title = title_stroke_text(s.title_text, refusal).value_or(s.title_text);
    daz::letter_(plotcom.left + 1.0f, top + 0.4f, 0.1f, 0.0f, s.sn_text + title);
    // A titled figure gives the axis title its own line, and the dates
    // and the contours' words one each under it.
    daz::letter_(plotcom.left, bottom - (s.look.titled ? 0.55f : 0.4f), 0.1f, 0.0f, s.date_text);
    // A stamp along the top of the page, ending at its right edge, above
    // the title line.
    if (!s.stamp.empty()) {
        std::array<float, 4> r{};
        daz::justy_(r, 0.08f, s.stamp);
        daz::letter_(s.look.page_width - 0.2f - r[2], s.look.page_height - 0.2f, 0.08f, 0.0f, s.stamp);
    }
}

void plot_loop(Session& s) {
    bool title_asked = false;
    for (;;) {
        // The hardcopy's pass may take a while on a mission.
        std::optional<miscli::Progress> writing;
        if (s.device_code == 'H') writing.emplace("Writing the hardcopy");
        daz::plopen_(s.device_code, 'X');
        daz::linwid_(20);
        draw_section(s);
        if (!title_asked) {
            ask_title(s);
            title_asked = true;
        }
        page_words(s, plotcom.top, plotcom.bottom);
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
