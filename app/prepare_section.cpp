// Section preparation, after the variables are chosen: density conversion,
// sorting, station positions and times, the date and serial texts, loading
// and gridding the chosen variables over the typed vertical range, value
// ranges and frame scales.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "app/session.h"
#include "data/load_sec.h"
#include "data/missing.h"
#include "data/teos10_samples.h"
#include "data/units.h"
#include "data/variables.h"
#include "daz/stroke_text.h"
#include "miscli/calendar.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/fixed_read.h"
#include "miscli/progress.h"
#include "miscli/stop.h"
#include "section/buoyancy_grid.h"
#include "section/density_axis.h"
#include "section/mixed_layer.h"
#include "section/p_sort.h"
#include "section/plotcom.h"
#include "section/smooth.h"

namespace app {

using section::plotcom;

namespace {

using data::MISSING_BELOW;  // vertical coordinates below this are fill values

// A variable's full name and unit as stroke text, said to be on a log
// scale when it is; its registry name where the file's name cannot be drawn.
std::string figure_title(const Session& s, char letter, bool log) {
    const data::Variable* v = data::find_variable(letter);
    if (!v) return std::string(1, letter);
    std::string why;
    std::string title = data::variable_title(*v, s.header) + (log ? " (log scale)" : "");
    if (auto text = daz::stroke_text_of(title, why)) return *text;
    return std::string(v->name) + (log ? " (log scale)" : "");
}

// A dive's number in the title: four columns at least, and a blank before
// it; a cast's letter after its number.
std::string dive_field(const data::DiveTable& t, int d) {
    if (t.cast(d) == '\0') return miscli::fmt_i_wide(t.dive_number(d), 4, 1);
    return miscli::fmt_i_wide(t.dive_number(d), 3, 1) + t.cast(d);
}

// The date text from the first and last dives of the range that
// have a time; blank numbers when none has.
void make_texts(Session& s) {
    const auto& t = s.dives;
    int a = s.first_dive;
    while (a <= s.last_dive && (t.dive_year(a) < 0 || t.day_start(a) < 0.0f)) ++a;
    int b = s.last_dive;
    while (b >= s.first_dive && t.day_start(b) < 0.0f) --b;
    s.date_text = "Date";
    if (s.look.titled) {
        // ISO dates of the first and last profile that have a time.
        std::optional<double> from, to;
        for (int d = s.first_dive; d <= s.last_dive; ++d)
            if (const auto when = section::dive_time(t, d)) {
                if (!from) from = when;
                to = when;
            }
        s.date_text = from ? miscli::iso_date(*from) + " to " + miscli::iso_date(*to) : std::string("No times");
    } else if (a <= s.last_dive && b >= s.first_dive) {
        s.date_text += miscli::fmt_i(t.dive_year(a), 5);
        s.date_text += miscli::fmt_f(t.day_start(a), 6, 1);
        s.date_text += miscli::fmt_f(t.day_start(b), 6, 1);
    } else {
        s.date_text.append(17, ' ');
    }
    s.sn_text = "SN";
    s.sn_text += miscli::fmt_i_wide(s.header.serial_no, 3);
    s.sn_text += dive_field(t, s.first_dive);
    s.sn_text += dive_field(t, s.last_dive);
    s.sn_text += "  ";
}

// The typed vertical range, asked again until the grid can hold
// it and a frame can be drawn from it.
void ask_range(Session& s, float data_min, float data_max) {
    if (s.range_kept) {
        plotcom.z_min = s.typed_range[0];
        plotcom.z_max = s.typed_range[1];
        return;
    }
    const bool pressure_axis = section::is_pressure(plotcom.vertical);
    for (;;) {
        std::string prompt = " Min, Max P is";
        prompt += miscli::fmt_f_wide(data_min, 7, 1);
        prompt += miscli::fmt_f_wide(data_max, 7, 1);
        prompt += "  Give Min, Max to plot ";
        miscli::console().write_prompt(prompt);

        // A free-format read: blank lines are passed over, and when a line
        // holds one number the next line gives the second.
        const miscli::Question range{miscli::QuestionId::Range, {data_min, data_max}};
        std::string line;
        auto next_line = [&line, &range]() -> std::optional<std::string_view> {
            line = miscli::console().read_line(range);
            return line;
        };
        miscli::ListReader answer(next_line);
        float v[2] = {0, 0};
        if (!answer.real(v[0]) || !answer.real(v[1])) {
            miscli::console().write_line(" Give two numbers, the minimum and the maximum.");
            continue;
        }
        if (!(v[0] < v[1])) {
            miscli::console().write_line(" The minimum must be below the maximum.");
            continue;
        }
        const float levels = 2.0f * (v[1] - v[0]) / s.grid_step + 1.0f;
        const int most = data::MXLEV;
        if (!(levels < static_cast<float>(most) + 1.0f)) {
            miscli::ListLine why;
            why << "That range needs more than" << most << " grid levels"
                << "; the largest span at this grid step is "
                << miscli::fmt_f(static_cast<double>(most - 1) * s.grid_step / 2.0, 0, 2) << ".";
            miscli::console().write_line(why.str());
            continue;
        }
        if (levels < 2.0f) {
            miscli::ListLine why;
            why << "The range must span at least one grid level (" << miscli::fmt_f(s.grid_step / 2.0, 0, 2) << ").";
            miscli::console().write_line(why.str());
            continue;
        }
        // The frame of a pressure axis starts at the surface: cells above it
        // would be painted over the ticks and the title. Pressures down to
        // -0.1 dbar count as the surface, as they do for a good sample.
        if (pressure_axis && v[0] < -0.1f) {
            miscli::console().write_line(" The minimum pressure must not be above the surface (below -0.1).");
            continue;
        }
        // The frame of a pressure axis starts at 0, so the deepest level
        // of the grid must lie below the surface.
        const float deepest = v[0] + static_cast<float>(static_cast<int>(levels) - 1) * s.grid_step * 0.5f;
        if (pressure_axis && !(deepest > 0.0f)) {
            miscli::console().write_line(" The maximum pressure must be below the surface (above 0).");
            continue;
        }
        plotcom.z_min = v[0];
        plotcom.z_max = v[1];
        s.typed_range = {v[0], v[1]};
        return;
    }
}

// The variable loaded for a chosen letter: by TEOS-10 the density
// variable is sigma-0.
char loaded_letter(const Session& s, char letter) {
    return letter == 'D' && s.look.eos == section::Eos::Teos10 ? 'G' : letter;
}

// Absolute Salinity needs a position; a dive without one takes the
// Reference Salinity, which the run says once.
void say_reference_salinity(Session& s, char letter) {
    if (s.said_reference_salinity || !data::is_teos10(letter)) return;
    int without = 0, first_without = 0;
    for (int d = s.first_dive; d <= s.last_dive; ++d)
        if (!data::dive_position(s.dives, d) && without++ == 0) first_without = d;
    if (without == 0) return;
    const int dives = s.last_dive - s.first_dive + 1;
    std::string line = " ";
    line += std::to_string(without);
    line += " of ";
    line += std::to_string(dives);
    line += " dives have no position (the first is dive ";
    line += s.dives.dive_label(first_without);
    line += "): their Absolute Salinity is the Reference Salinity, SP x 35.16504/35.";
    miscli::console().write_line(line);
    s.said_reference_salinity = true;
}

// Grids a variable worked out from gridded ones (buoyancy frequency, from
// gridded Absolute Salinity, Conservative Temperature and the levels'
// pressures) for dives first..last, its log10 when asked.
void grid_worked_out(Session& s, int first, int last, miscli::Array2<float>& grid, bool log,
                     section::GridRange range) {
    const auto& t = s.dives;
    const bool density_axis = plotcom.vertical == section::Vertical::Density;
    miscli::Array2<float> sa(grid.dim1(), grid.dim2()), ct(grid.dim1(), grid.dim2()), p(grid.dim1(), grid.dim2());
    auto grid_of = [&](const data::Variable* v, miscli::Array2<float>& g) {
        data::load_values(s.sec_val, s.sec_z, first, last, s.sec_n, v, t);
        section::smooth_(s.sec_val, s.sec_z, s.sec_n, first, last, s.grid_z, g, s.grid_work.span(), s.n_levels,
                         s.grid_step, data::GRID_MISSING, range);
    };
    grid_of(data::find_variable('A'), sa);
    grid_of(data::find_variable('C'), ct);
    // On a pressure axis a level's pressure is its coordinate; on the
    // density axis it is the mean pressure of the samples there.
    if (density_axis) {
        grid_of(&data::kPressure, p);
    } else {
        for (int d = first; d <= last; ++d)
            for (int k = 1; k <= s.n_levels; ++k) p(k, d) = s.grid_z(k);
    }
    std::vector<double> lat;
    for (int d = first; d <= last; ++d) {
        const auto at = data::dive_position(t, d);
        lat.push_back(at ? at->lat : 45.0);
    }
    section::buoyancy_grid(sa, ct, p, lat, first, last, s.n_levels, grid);
    if (!log) return;
    for (int d = first; d <= last; ++d)
        for (int k = 1; k <= s.n_levels; ++k) {
            float& v = grid(k, d);
            v = v > 0.0f ? std::log10(v) : data::SAMPLE_FILL;
        }
}

// Grids the loaded variable `letter` of dives first..last.
void grid_variable(Session& s, char letter, int first, int last, miscli::Array2<float>& grid, bool log,
                   float threshold, section::GridRange range) {
    const data::Variable* v = data::find_variable(letter);
    if (v && v->source == data::Source::Grid) {
        grid_worked_out(s, first, last, grid, log, range);
        return;
    }
    section::smooth_(s.sec_val, s.sec_z, s.sec_n, first, last, s.grid_z, grid, s.grid_work.span(), s.n_levels,
                     s.grid_step, threshold, range);
}

// Loads and grids the line variable `letter` over the section's dives. A
// variable that asks no question as it loads (no log10 question) takes the
// grid of an earlier figure made from the same: the same values, once.
void grid_lines(Session& s, char letter, section::GridRange range) {
    const data::Variable* v = data::find_variable(letter);
    const bool plain = v && !v->log_question;
    char key[96];
    std::snprintf(key, sizeof key, "%c %d %d %a %a %d %d", letter, s.first_dive, s.last_dive, range.z_min, range.z_max,
                  s.n_levels, static_cast<int>(plotcom.vertical));
    auto& earlier = s.gridded_lines;
    const auto found = std::find_if(earlier.begin(), earlier.end(), [&](const auto& g) { return g.key == key; });
    if (plain && found != earlier.end()) {
        s.grid_line = found->grid;
        s.label_line = found->label;
        s.log_line = 0;
    } else {
        int is_adcp_line = 0;
        data::load_sec_(s.sec_val, s.sec_z, s.first_dive, s.last_dive, s.sec_n, letter, s.label_line, s.log_line,
                        is_adcp_line, s.dives, s.header.column(4).name);
        grid_variable(s, letter, s.first_dive, s.last_dive, s.grid_line, s.log_line != 0, data::GRID_MISSING, range);
        // A few are kept: a quick-look's views each have their own.
        constexpr std::size_t kKept = 4;
        if (plain) {
            if (earlier.size() == kKept) earlier.erase(earlier.begin());
            earlier.push_back({key, s.grid_line, s.label_line});
        }
    }
    if (s.look.titled) s.title_line = figure_title(s, letter, s.log_line != 0);
}

// The mixed-layer depths of the section's dives, for its line and the
// one command's file.
void mixed_layer(Session& s) {
    s.mld.clear();
    if (!s.look.mld_threshold && s.mld_csv.empty()) return;
    const double threshold = s.look.mld_threshold ? *s.look.mld_threshold : section::kMldThreshold;
    const std::vector<section::ProfileMld> profiles = section::profile_mlds(s.dives, s.first_dive, s.last_dive, threshold);
    for (const section::ProfileMld& m : profiles) s.mld.push_back(m.mld ? static_cast<float>(*m.mld) : std::numeric_limits<float>::quiet_NaN());
    if (!s.mld_csv.empty()) {
        std::string error;
        if (!section::write_mld_csv(s.mld_csv, profiles, error)) miscli::stop(error);
        miscli::console().write_line(" Mixed-layer depths of " + std::to_string(profiles.size()) + " profiles in " +
                                     s.mld_csv);
    }
    if (s.look.mld_threshold && !section::is_pressure(plotcom.vertical) && !s.said_mld_axis) {
        miscli::console().write_line(" The mixed-layer depth is drawn over a pressure axis only.");
        s.said_mld_axis = true;
    }
}

void value_range(const Session& s, const miscli::Array2<float>& grid, float& lo, float& hi) {
    lo = 999.0f;
    hi = data::GRID_MISSING;
    for (int d = s.first_dive; d <= s.last_dive; ++d)
        for (int k = 1; k <= s.n_levels; ++k) {
            float g = grid(k, d);
            if (g > data::GRID_MISSING) {
                lo = std::min(lo, g);
                hi = std::max(hi, g);
            }
        }
}

}  // namespace

bool prepare_section(Session& s) {
    auto& t = s.dives;
    const int n = s.header.n_dives;
    miscli::Progress gridding("Gridding the section");

    s.grid_step = section::grid_step(plotcom.vertical);
    if (plotcom.vertical == section::Vertical::Density && !s.density_converted) {
        section::convert_to_density(s.dives, s.header.n_dives, s.look.eos);
        s.density_converted = true;
    }

    // The pressures kept beside densities are sorted with them.
    section::p_sort_(n, s.header.n_vars, t.n_samp, t.prof, t.prof_flag,
                     t.sea_pressure.dim2() >= n ? &t.sea_pressure : nullptr);

    // The TEOS-10 variables and the mixed layer read each sample's SA and CT,
    // worked out once the samples are in order (sorting them again moves none).
    if (data::is_teos10(loaded_letter(s, s.color_var)) || data::is_teos10(loaded_letter(s, s.line_var)) ||
        s.look.mld_threshold || !s.mld_csv.empty())
        data::work_out_teos10(t, n);

    for (int d = s.first_dive; d <= s.last_dive; ++d) s.station_day(d) = 0.25f * t.day_start(d) + 0.75f * t.day_end(d);
    section::place_stations(t, s.track_km, s.first_dive, s.last_dive, s.reverse, s.station_x);
    make_texts(s);
    s.label_count = 0;
    mixed_layer(s);

    const char color = loaded_letter(s, s.color_var), line = loaded_letter(s, s.line_var);
    say_reference_salinity(s, color);
    say_reference_salinity(s, line);
    // The colour grid fills a level a profile lacks from the profiles either
    // side, so it takes in one dive beyond each end of the section.
    const int lo = std::max(1, s.first_dive - 1), hi = std::min(n, s.last_dive + 1);
    data::load_sec_(s.sec_val, s.sec_z, lo, hi, s.sec_n, color, s.label_color, s.log_color, s.is_adcp, t,
                    s.header.column(4).name);

    float z_lo = 1000.0f, z_hi = 0.0f;
    for (int d = s.first_dive; d <= s.last_dive; ++d)
        for (int k = 1; k <= s.sec_n(d); ++k) {
            // A coordinate of -999 (a profiler bin without a density on the
            // density axis) marks a sample that never reaches the grid.
            if (!(s.sec_z(k, d) >= MISSING_BELOW)) continue;
            z_lo = std::min(z_lo, s.sec_z(k, d));
            z_hi = std::max(z_hi, s.sec_z(k, d));
        }
    ask_range(s, z_lo, z_hi);
    if (s.look.titled) s.title_color = figure_title(s, color, s.log_color != 0);
    s.device_code = 'S';

    const section::GridRange range{plotcom.z_min, plotcom.z_max};
    s.size_grids(section::grid_levels(s.grid_step, range, data::MXLEV));
    grid_variable(s, color, lo, hi, s.grid_color, s.log_color != 0, data::COLOUR_SAMPLE_ABOVE, range);
    if (s.line_var != 'X') grid_lines(s, line, range);

    value_range(s, s.grid_color, s.color_lo, s.color_hi);
    if (s.color_lo > s.color_hi) {
        miscli::console().write_line(" The colour variable " + std::string(1, s.color_var) + " has no value in dives " +
                                     t.dive_label(s.first_dive) + " to " + t.dive_label(s.last_dive) + " from " +
                                     miscli::fmt_f(plotcom.z_min, 0, 1) + " to " + miscli::fmt_f(plotcom.z_max, 0, 1) +
                                     ": choose another variable, dives or range.");
        return false;
    }
    if (s.line_var != 'X') value_range(s, s.grid_line, s.line_lo, s.line_hi);

    plotcom.z_max = std::min(s.grid_z(s.n_levels), plotcom.z_max);
    plotcom.z_min = std::max(s.grid_z(1), plotcom.z_min);

    section::set_horizontal_scale(s.station_x(s.first_dive), s.station_x(s.last_dive));
    section::set_vertical_scale();
    return true;
}

}  // namespace app
