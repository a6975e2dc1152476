#include "section/mld_line.h"

#include <cmath>
#include <string>

#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/fixed_format.h"
#include "section/plotcom.h"

namespace section {

namespace {

constexpr float kCasing = 0.012f;  // [inch]

bool on_frame(float z) {
    return std::isfinite(z) && z >= std::min(plotcom.z_min, plotcom.z_max) &&
           z <= std::max(plotcom.z_min, plotcom.z_max);
}

// One pass of the line, `dy` inches up; a profile alone between gaps is a
// short tick.
void trace(const miscli::Array1<float>& station_x, int first, int last, std::span<const float> mld, float dy) {
    bool down = false;
    for (int d = first; d <= last; ++d) {
        const float z = mld[static_cast<std::size_t>(d - first)];
        if (!on_frame(z)) {
            down = false;
            continue;
        }
        const float x = frame_x(station_x(d)), y = frame_y(z) + dy;
        const bool alone = !down && (d == last || !on_frame(mld[static_cast<std::size_t>(d + 1 - first)]));
        if (alone) {
            daz::ploti_(x - 0.03f, y, 3);
            daz::ploti_(x + 0.03f, y, 2);
            continue;
        }
        daz::ploti_(x, y, down ? 2 : 3);
        down = true;
    }
}

}  // namespace

void draw_mld_line(const miscli::Array1<float>& station_x, int first, int last, std::span<const float> mld,
                   float threshold, bool titled) {
    // A white line cased in black stands out over light and dark cells
    // alike; the casing is drawn wide, and also just above and below, for
    // the screen, whose lines are one pixel whatever the width.
    const auto cased = [](auto&& pass) {
        daz::rgbcolor_(0.0f, 0.0f, 0.0f);
        daz::linwid_(44);
        for (const float dy : {-kCasing, kCasing, 0.0f}) pass(dy);
        daz::rgbcolor_(1.0f, 1.0f, 1.0f);
        daz::linwid_(20);
        pass(0.0f);
        daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    };
    cased([&](float dy) { trace(station_x, first, last, mld, dy); });

    // Its words under the frame, after a short piece of the line.
    if (!plotcom.words_below) return;
    const float y = plotcom.bottom - (titled ? 0.7f : 0.55f);
    cased([&](float dy) {
        daz::ploti_(plotcom.left, y + 0.05f + dy, 3);
        daz::ploti_(plotcom.left + 0.3f, y + 0.05f + dy, 2);
    });
    std::string why;
    const std::string words = "Mixed layer: Δσ₀ = " + miscli::fmt_f(threshold, 0, threshold < 0.1f ? 2 : 3) +
                              " kg m⁻³ from 10 dbar";
    daz::letter_(plotcom.left + 0.4f, y, 0.1f, 0.0f, daz::stroke_text_of(words, why).value_or(words));
}

}  // namespace section
