#include "section/frame_axes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "daz/axis.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "daz/time_axis.h"
#include "miscli/calendar.h"
#include "miscli/fixed_format.h"
#include "section/plotcom.h"

namespace section {

std::optional<Vertical> vertical_of_letter(char letter) {
    switch (letter) {
    case 'S': return Vertical::SqrtPressure;
    case 'L': return Vertical::Pressure;
    case 'D': return Vertical::Density;
    default: return std::nullopt;
    }
}

char letter_of(Vertical v) {
    switch (v) {
    case Vertical::SqrtPressure: return 'S';
    case Vertical::Pressure: return 'L';
    case Vertical::Density: return 'D';
    }
    return 'S';
}

bool is_pressure(Vertical v) { return v != Vertical::Density; }

float grid_step(Vertical v) { return v == Vertical::Density ? 0.1f : 5.0f; }

std::optional<double> dive_time(const data::DiveTable& t, int d) {
    if (t.dive_year(d) < 0) return std::nullopt;
    const bool start = t.day_start(d) >= 0.0f, end = t.day_end(d) >= 0.0f;
    if (!start && !end) return std::nullopt;
    const double day = start && end ? 0.5 * (static_cast<double>(t.day_start(d)) + t.day_end(d))
                                    : static_cast<double>(start ? t.day_start(d) : t.day_end(d));
    return miscli::epoch_days(t.dive_year(d), day);
}

namespace {

// The times of dives first..last from the frame's origin (the first time,
// at its midnight), a dive without one placed between the nearest dives
// that have one.
void place_in_time(const data::DiveTable& t, int first, int last, miscli::Array1<float>& x) {
    std::vector<std::optional<double>> when;
    for (int d = first; d <= last; ++d) when.push_back(dive_time(t, d));
    const auto known = std::find_if(when.begin(), when.end(), [](const auto& w) { return w.has_value(); });
    plotcom.x_origin = known == when.end() ? 0.0 : std::floor(**known);
    const int n = static_cast<int>(when.size());
    int before = -1;
    for (int i = 0; i < n; ++i) {
        if (when[static_cast<std::size_t>(i)]) {
            before = i;
            continue;
        }
        int after = i + 1;
        while (after < n && !when[static_cast<std::size_t>(after)]) ++after;
        const auto at = [&](int j) { return *when[static_cast<std::size_t>(j)]; };
        if (before < 0 && after >= n) when[static_cast<std::size_t>(i)] = plotcom.x_origin;
        else if (before < 0) when[static_cast<std::size_t>(i)] = at(after);
        else if (after >= n) when[static_cast<std::size_t>(i)] = at(before);
        else when[static_cast<std::size_t>(i)] = at(before) + (at(after) - at(before)) * (i - before) / (after - before);
    }
    for (int i = 0; i < n; ++i) x(first + i) = static_cast<float>(*when[static_cast<std::size_t>(i)] - plotcom.x_origin);
}

}  // namespace

void place_stations(const data::DiveTable& t, const miscli::Array1<float>& km, int first, int last, bool reverse,
                    miscli::Array1<float>& x) {
    plotcom.x_descending = false;
    switch (plotcom.horizontal) {
    case Horizontal::Distance:
        for (int d = first; d <= last; ++d) x(d) = reverse ? km(last) - km(d) : km(d) - km(first);
        return;
    case Horizontal::Time: place_in_time(t, first, last, x); break;
    case Horizontal::Profile:
        // The down and up casts of one dive stand half a number apart.
        for (int d = first; d <= last; ++d)
            x(d) = static_cast<float>(t.dive_number(d)) + (t.cast(d) == 'b' ? 0.5f : 0.0f);
        break;
    }
    plotcom.x_descending = reverse;
}

void set_horizontal_scale(float x_first, float x_last) {
    float lo = std::min(x_first, x_last), hi = std::max(x_first, x_last);
    // One station (or all at one place) still needs a frame of some width.
    if (!(hi > lo)) hi = lo + 1.0f;
    plotcom.x_left = plotcom.x_descending ? hi : lo;
    plotcom.x_right = plotcom.x_descending ? lo : hi;
    plotcom.x_scale = (plotcom.right - plotcom.left) / (plotcom.x_right - plotcom.x_left);
}

void set_vertical_scale() {
    const float height = plotcom.top - plotcom.bottom;
    switch (plotcom.vertical) {
    case Vertical::SqrtPressure:
        plotcom.z_min = 0.0f;
        plotcom.z_scale = height / (std::sqrt(plotcom.z_max + 9.0f) - 3.0f);
        break;
    case Vertical::Pressure:
        plotcom.z_min = 0.0f;
        plotcom.z_scale = height / plotcom.z_max;
        break;
    case Vertical::Density: plotcom.z_scale = height / (plotcom.z_max - plotcom.z_min); break;
    }
}

float frame_y(float z) {
    if (plotcom.vertical == Vertical::SqrtPressure)
        return plotcom.top - (std::sqrt(z + 9.0f) - 3.0f) * plotcom.z_scale;
    return plotcom.top - (z - plotcom.z_min) * plotcom.z_scale;
}

float frame_x(float x) { return plotcom.left + (x - plotcom.x_left) * plotcom.x_scale; }

void draw_horizontal_axis(bool titled) {
    // A panel above others of a stacked page: the time ticks alone.
    if (!plotcom.words_below) {
        if (plotcom.horizontal == Horizontal::Time)
            daz::time_ax_(plotcom.x_origin + plotcom.x_left, plotcom.x_origin + plotcom.x_right, "", plotcom.left,
                          plotcom.bottom, plotcom.right, false);
        return;
    }
    switch (plotcom.horizontal) {
    case Horizontal::Distance:
        daz::linx_ax_(plotcom.x_left, plotcom.x_right, "Distance, km", plotcom.left, plotcom.bottom, plotcom.right,
                      plotcom.bottom, titled);
        return;
    case Horizontal::Time:
        daz::time_ax_(plotcom.x_origin + plotcom.x_left, plotcom.x_origin + plotcom.x_right, "Time, UTC",
                      plotcom.left, plotcom.bottom, plotcom.right);
        return;
    case Horizontal::Profile:
        daz::linx_ax_(plotcom.x_left, plotcom.x_right, "Profile", plotcom.left, plotcom.bottom, plotcom.right,
                      plotcom.bottom, titled);
        return;
    }
}

float height_within(std::string_view text, float height, float room, float least) {
    std::array<float, 4> r{};
    daz::justy_(r, height, text);
    if (!(r[2] > room)) return height;
    return std::max(least, height * room / r[2]);
}

namespace {

// The left axis's title, up its left side and centred on it; beside a
// frame too low for it, the square-root axis's title leaves out its scale
// (the ticks show it).
void vertical_title(Eos eos) {
    static constexpr const char* kTitles[] = {"Pressure, dbar (square-root scale)", "Pressure, dbar", "σθ, kg m⁻³"};
    const bool sigma0 = plotcom.vertical == Vertical::Density && eos == Eos::Teos10;
    std::string why;
    std::string text =
        daz::stroke_text_of(sigma0 ? "σ₀ (TEOS-10), kg m⁻³" : kTitles[static_cast<int>(plotcom.vertical)], why)
            .value_or("");
    const float room = plotcom.top - plotcom.bottom;
    if (height_within(text, 0.12f, room) < 0.12f && plotcom.vertical == Vertical::SqrtPressure) text = kTitles[1];
    const float height = height_within(text, 0.12f, room);
    std::array<float, 4> r{};
    daz::justy_(r, height, text);
    daz::letter_(plotcom.left - 0.55f, 0.5f * (plotcom.bottom + plotcom.top) - r[1], height, 90.0f, text);
}

}  // namespace

void draw_vertical_axis(bool titled, Eos eos) {
    if (titled) vertical_title(eos);
    if (plotcom.vertical != Vertical::SqrtPressure) {
        daz::liny_ax_(plotcom.z_max, plotcom.z_min, " ", plotcom.left, plotcom.bottom, plotcom.left, plotcom.top,
                      titled);
        return;
    }
    // The square-root axis has its own ticks, denser near the surface.
    static constexpr float ticks[] = {0, 10, 20, 35, 50, 75, 100, 150, 200, 300, 500};
    auto tick = [](float v) {
        const float y = frame_y(v);
        daz::ploti_(plotcom.left + 0.1f, y, 3);
        daz::ploti_(plotcom.left - 0.1f, y, 2);
        const std::string text = miscli::fmt_i(std::lround(v), 4);
        std::array<float, 4> r{};
        daz::justy_(r, 0.1f, text);
        daz::letter_(plotcom.left - 0.1f - r[2], y - 0.04f, 0.1f, 0.0f, text);
        return y;
    };
    // Titled, beside a low frame, a tick whose label would touch the one
    // above it is left out.
    float lowest = plotcom.top;
    for (float v : ticks)
        if (v < plotcom.z_max && !(titled && lowest - frame_y(v) < 0.16f && v > 0.0f)) lowest = tick(v);
    // A titled axis says where it ends, unless a label stands close by.
    if (titled && lowest - frame_y(plotcom.z_max) > 0.25f) tick(plotcom.z_max);
}

}  // namespace section
