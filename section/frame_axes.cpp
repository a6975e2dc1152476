#include "section/frame_axes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "daz/axis.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
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

void place_stations(Horizontal, const miscli::Array1<float>& km, int first, int last, bool reverse,
                    miscli::Array1<float>& x) {
    for (int d = first; d <= last; ++d) x(d) = reverse ? km(last) - km(d) : km(d) - km(first);
}

void set_horizontal_scale(float x_first, float x_last) {
    plotcom.x_left = std::min(x_first, x_last);
    plotcom.x_right = std::max(x_first, x_last);
    // One station (or all at one place) still needs a frame of some width.
    if (!(plotcom.x_right > plotcom.x_left)) plotcom.x_right = plotcom.x_left + 1.0f;
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

void draw_horizontal_axis() {
    daz::linx_ax_(plotcom.x_left, plotcom.x_right, "Distance, km", plotcom.left, plotcom.bottom, plotcom.right,
                  plotcom.bottom);
}

void draw_vertical_axis() {
    if (plotcom.vertical != Vertical::SqrtPressure) {
        daz::liny_ax_(plotcom.z_max, plotcom.z_min, " ", plotcom.left, plotcom.bottom, plotcom.left, plotcom.top);
        return;
    }
    // The square-root axis has its own ticks, denser near the surface.
    static constexpr float ticks[] = {0, 10, 20, 35, 50, 75, 100, 150, 200, 300, 500};
    for (float v : ticks) {
        if (!(v < plotcom.z_max)) continue;
        const float y = frame_y(v);
        daz::ploti_(plotcom.left + 0.1f, y, 3);
        daz::ploti_(plotcom.left - 0.1f, y, 2);
        const std::string text = miscli::fmt_i(std::lround(v), 4);
        std::array<float, 4> r{};
        daz::justy_(r, 0.1f, text);
        daz::letter_(plotcom.left - 0.1f - r[2], y - 0.04f, 0.1f, 0.0f, text);
    }
}

}  // namespace section
