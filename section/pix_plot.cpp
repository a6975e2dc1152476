#include "section/pix_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "daz/axis.h"
#include "section/frame_axes.h"
#include "daz/plot_device.h"
#include "daz/shade.h"
#include "daz/stroke_text.h"
#include "miscli/fixed_format.h"
#include "section/colour_scale.h"
#include "section/plotcom.h"

namespace section {

namespace {

constexpr int BANDS = 50;

// Whether any cell of profiles first..last holds a value.
bool any_value(const miscli::Array2<float>& grid, int n_levels, int first, int last, float missing) {
    for (int i = first; i <= last; ++i)
        for (int k = 1; k <= n_levels; ++k)
            if (grid(k, i) > missing) return true;
    return false;
}

// The range the colour bar's axis is labelled with: the field's own, also
// when reversed. A field of one value (or none) still gets an axis around
// that value.
void bar_range(float v_lo, float v_hi, bool ranged, float& lo, float& hi) {
    lo = v_lo;
    hi = v_hi;
    if (ranged || v_hi > v_lo) return;
    float centre = v_lo <= v_hi ? v_lo : 0.0f;
    float half = std::max(0.05f * std::fabs(centre), 0.5f);
    lo = centre - half;
    hi = centre + half;
}

// The bar of `bands` bands from bottom to top, each in its colour
// band_colour(k), k = 1..bands, with its axis from lo to hi; titled, the
// label runs up its side. Each band but the top one reaches `overlap` into
// the next, which covers it, so that no seam shows between them.
template <class BandColour>
void colour_bar(int bands, const BandColour& band_colour, float overlap, float lo, float hi, int log_color,
                std::string_view label, bool titled) {
    const float x0 = plotcom.right + 0.8f, x1 = plotcom.right + 1.2f;
    const float h = (plotcom.top - plotcom.bottom) / static_cast<float>(bands);
    for (int k = 1; k <= bands; ++k) {
        const daz::ScaleColour c = band_colour(k);
        daz::rgbcolor_(c.red, c.green, c.blue);
        const float top = plotcom.bottom + static_cast<float>(k) * h;
        daz::shaderect_(x0, plotcom.bottom + static_cast<float>(k - 1) * h, x1, k < bands ? top + overlap : top);
    }
    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    daz::linwid_(20);
    if (log_color != 0)
        daz::logy_ax_(std::pow(10.0f, lo), std::pow(10.0f, hi), " ", x0, plotcom.bottom, x0, plotcom.top);
    else
        daz::liny_ax_(lo, hi, " ", x0, plotcom.bottom, x0, plotcom.top);
    daz::ploti_(x0, plotcom.bottom, 3);
    daz::ploti_(x1, plotcom.bottom, 2);
    daz::ploti_(x1, plotcom.top, 2);
    daz::ploti_(x0, plotcom.top, 2);
    if (!titled) {
        daz::letter_(x0, plotcom.top + 0.05f, 0.12f, 0.0f, label);
        return;
    }
    // The full title runs up the bar's right side, centred on it, smaller
    // beside a frame too low for it.
    const float height = height_within(label, 0.12f, plotcom.top - plotcom.bottom);
    std::array<float, 4> r{};
    daz::justy_(r, height, label);
    daz::letter_(x1 + 0.3f, 0.5f * (plotcom.bottom + plotcom.top) - r[1], height, 90.0f, label);
}

// `ranged`: the field has values and v_lo differs from v_hi; a reversed
// range draws the reversed scale, as the cells get it.
void classic_bar(float v_lo, float v_hi, bool ranged, int log_color, std::string_view label, bool titled) {
    const float dv = (v_hi - v_lo) / BANDS;
    // A field without a range shows the middle colour, like its cells.
    const auto band = [&](int k) {
        return ranged ? daz::scale_colour(v_lo + (static_cast<float>(k) - 0.5f) * dv, v_lo, v_hi)
                      : daz::scale_colour(0.0f, 0.0f, 0.0f);
    };
    float lo, hi;
    bar_range(v_lo, v_hi, ranged, lo, hi);
    colour_bar(BANDS, band, 0.0f, lo, hi, log_color, label, titled);
}

// The bar of a colour map, in finer bands than the classic scale's so that
// it looks continuous.
void map_bar(const ColourScale& scale, bool ranged, int log_color, std::string_view label, bool titled) {
    constexpr int kMapBands = 128;
    const float dv = (scale.hi - scale.lo) / kMapBands;
    const auto band = [&](int k) {
        return ranged ? scale.colour(scale.lo + (static_cast<float>(k) - 0.5f) * dv) : scale.map->colour(0.5f);
    };
    float lo, hi;
    bar_range(scale.lo, scale.hi, ranged, lo, hi);
    colour_bar(kMapBands, band, 0.01f, lo, hi, log_color, label, titled);
}

// A swatch of the missing cells' colour under the bar, labelled "no data".
void no_data_swatch(daz::ScaleColour c) {
    const float x0 = plotcom.right + 0.8f, x1 = plotcom.right + 1.2f;
    const float y0 = plotcom.bottom - 0.45f, y1 = plotcom.bottom - 0.3f;
    daz::rgbcolor_(c.red, c.green, c.blue);
    daz::shaderect_(x0, y0, x1, y1);
    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    daz::ploti_(x0, y0, 3);
    daz::ploti_(x1, y0, 2);
    daz::ploti_(x1, y1, 2);
    daz::ploti_(x0, y1, 2);
    daz::ploti_(x0, y0, 2);
    daz::letter_(x0, y0 - 0.17f, 0.1f, 0.0f, "no data");
}

// The cells of profiles first..last, each in cell_colour(value); gives
// whether a cell drawn has no value.
template <class CellColour>
bool cells(const miscli::Array1<float>& grid_z, const miscli::Array2<float>& grid, const miscli::Array1<float>& x,
           int n_levels, int first, int last, float missing, const CellColour& cell_colour) {
    if (n_levels < 1 || daz::draws_nothing()) return false;
    // The first cell starts at the frame's top, or at the grid's first
    // level when that lies lower (a range typed from 100 dbar on a frame
    // from the surface): nothing was gridded above it.
    const float top_of_cells = std::min(frame_y(plotcom.z_min), frame_y(grid_z(1)));
    bool any_missing = false;
    daz::CellColumn column;
    column.cells.reserve(static_cast<std::size_t>(n_levels));
    for (int i = first; i <= last; ++i) {
        const int prev = std::max(first, i - 1), next = std::min(last, i + 1);
        const float a = frame_x((x(i) + x(prev)) * 0.5f), b = frame_x((x(i) + x(next)) * 0.5f);
        column.x_lo = std::min(a, b);
        column.x_hi = std::max(a, b);
        column.seam = 0.01f;
        column.cells.clear();
        float upper = top_of_cells;
        for (int k = 1; k <= n_levels; ++k) {
            const float z = (grid_z(k) + grid_z(k + 1)) * 0.5f;
            const float lower = frame_y(z);
            if (z < plotcom.z_max) {
                const float g = grid(k, i);
                any_missing = any_missing || !(g > missing);
                const daz::ScaleColour c = cell_colour(g);
                column.cells.push_back({c.red, c.green, c.blue, lower, upper});
            }
            upper = lower;
        }
        daz::shade_cells(column);
    }
    return any_missing;
}

// One top tick at page x for number `number`; long and labelled on
// multiples of `step`, labels at least half an inch apart.
void top_tick(float x, long number, long step, float& last_label) {
    const float top = plotcom.top;
    if (number % step != 0) {
        daz::ploti_(x, top - 0.05f, 3);
        daz::ploti_(x, top + 0.05f, 2);
        return;
    }
    daz::ploti_(x, top - 0.05f, 3);
    daz::ploti_(x, top + 0.1f, 2);
    if (std::fabs(x - last_label) > 0.5f) {
        const std::string text = miscli::fmt_i_wide(number, 3);
        std::array<float, 4> r{};
        daz::justy_(r, 0.1f, text);
        daz::letter_(x - r[1], top + 0.12f, 0.1f, 0.0f, text);
        last_label = x;
    }
}

// A titled figure's station ticks for n stations: labels at a round step
// at least half an inch apart, and short ticks between at a fifth of it
// only where they stand apart (a mission of thousands of profiles would
// otherwise be a black band).
struct StationSteps {
    long label, tick;
};
StationSteps titled_steps(int n) {
    const float spacing = (plotcom.right - plotcom.left) / static_cast<float>(std::max(1, n));
    long label = 100000;
    for (long s : {1L, 2L, 5L, 10L, 20L, 50L, 100L, 200L, 500L, 1000L, 2000L, 5000L, 10000L, 20000L, 50000L})
        if (static_cast<float>(s) * spacing >= 0.5f) {
            label = s;
            break;
        }
    long tick = label >= 5 ? label / 5 : 1;
    if (static_cast<float>(tick) * spacing < 0.03f) tick = label;
    return {label, tick};
}

void top_ticks(const miscli::Array1<float>& x, const miscli::Array1<float>& day, const miscli::Array1<int>& numbers,
               int first, int last, int day_tics, bool titled) {
    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    float last_label = -10.0f;
    if (day_tics == 0) {
        const int n = last + 1 - first;
        if (titled) {
            const StationSteps s = titled_steps(n);
            for (int i = first; i <= last; ++i)
                if (numbers(i) % s.tick == 0) top_tick(frame_x(x(i)), numbers(i), s.label, last_label);
            return;
        }
        const long step = n <= 80 ? 5 : n <= 160 ? 10 : 20;
        for (int i = first; i <= last; ++i) top_tick(frame_x(x(i)), numbers(i), step, last_label);
        return;
    }
    const float t1 = day(first) + 0.5f, t2 = day(last) - 0.5f;
    // Times that are missing or absurd give no day ticks rather than a
    // loop over millions of days.
    if (!(std::fabs(t1) < 1.0e5f && std::fabs(t2) < 1.0e5f)) return;
    const long d1 = static_cast<long>(t1), d2 = static_cast<long>(t2);
    const long step = d2 + 1 - d1 > 80 ? 10 : 5;
    int from = first;
    for (long d = d1; d <= d2; ++d) {
        int j = from;
        while (j <= last && !(day(j) > static_cast<float>(d))) ++j;
        if (j > last) continue;
        from = std::max(first, j - 1);
        // A day before the first profile lies off the section: no tick.
        if (j == first) continue;
        const float span = day(j) - day(j - 1);
        const float f = span != 0.0f ? (static_cast<float>(d) - day(j - 1)) / span : 1.0f;
        top_tick(frame_x((1.0f - f) * x(j - 1) + f * x(j)), d, step, last_label);
    }
}

}  // namespace

void pix_plot_(const miscli::Array1<float>& grid_z, const miscli::Array2<float>& grid,
               const miscli::Array1<float>& station_x, const miscli::Array1<float>& station_day,
               const miscli::Array1<int>& station_number, int n_levels,
               int first, int last, float v_lo, float v_hi, int log_color, int day_tics, float /*contour_step*/,
               std::string_view label, float missing, const Look& look, ColourVariable variable) {
    const bool any = any_value(grid, n_levels, first, last, missing);
    const ColourScale scale =
        colour_scale(look, variable, grid, n_levels, first, last, v_lo, v_hi, log_color, missing);
    if (!scale.map) {
        const bool ranged = (v_hi > v_lo || v_hi < v_lo) && any;
        classic_bar(v_lo, v_hi, ranged, log_color, label, look.titled);
        const daz::ScaleColour black{0.0f, 0.0f, 0.0f};
        cells(grid_z, grid, station_x, n_levels, first, last, missing,
              [&](float g) { return g > missing ? daz::scale_colour(g, v_lo, v_hi) : black; });
    } else {
        // A range given is drawn even over a field without values.
        const bool ranged = (scale.hi > scale.lo || scale.hi < scale.lo) && (any || look.colour_range);
        map_bar(scale, ranged, log_color, label, look.titled);
        const bool holes = cells(grid_z, grid, station_x, n_levels, first, last, missing,
                                 [&](float g) { return g > missing ? scale.colour(g) : scale.missing; });
        if (holes && look.grey_missing && plotcom.words_below) no_data_swatch(scale.missing);
    }

    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    daz::ploti_(plotcom.left, plotcom.bottom, 3);
    daz::ploti_(plotcom.left, plotcom.top, 2);
    daz::ploti_(plotcom.right, plotcom.top, 2);
    daz::ploti_(plotcom.right, plotcom.bottom, 2);
    draw_horizontal_axis(look.titled);
    draw_vertical_axis(look.titled, look.eos);
    if (plotcom.ticks_above) top_ticks(station_x, station_day, station_number, first, last, day_tics, look.titled);
}

}  // namespace section
