// axis0_ and its fixed entry points: the axis line, the tick schemes
// (linear, logarithmic decades, linear steps on a logarithmic scale) and
// the title kept clear of the labels.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "daz/axis.h"
#include "daz/axis_pen.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/strings.h"
#include "miscli/text_field.h"

namespace daz {

namespace {

AxisPen pen_in_place{&ploti_, &letter_};

constexpr float kDegree = 57.2958f;

// Geometry of one axis and what its ticks have drawn so far.
struct Axis {
    float x1 = 0, y1 = 0, dx = 0, dy = 0, length = 0;
    float c = 1, sn = 0, angle = 0;  // direction cosines, angle [degrees]
    float s = 1;                     // side sign: -1 "CC", +1 otherwise
    float tx = 0, ty = 0;            // tick vector across the axis
    float tick = 0, label_height = 0, spacing = 0;
    float extent = 0;                // widest label reach across the axis
};

struct Point {
    float x, y;
};

// The point d inches along the axis from its first end.
Point along(const Axis& a, double d) {
    return {a.x1 + static_cast<float>(d) * a.c, a.y1 + static_cast<float>(d) * a.sn};
}

void stroke(float x, float y, int pen) { pen_in_place.stroke(x, y, pen); }

// A tick crossing the axis, k tick vectors to each side.
void crossing_tick(const Axis& a, Point p, float k) {
    stroke(p.x + k * a.tx, p.y + k * a.ty, 3);
    stroke(p.x - k * a.tx, p.y - k * a.ty, 2);
}

void label(Axis& a, Point p, int m, int e, int mode) {
    std::string text;
    int n = 0;
    formt_(m, e, text, n, mode);
    labltic_(p.x, p.y, a.s, std::string_view(text).substr(0, static_cast<std::size_t>(n)), a.dx, a.dy, a.angle,
             a.sn, a.c, a.extent, a.label_height, a.tick);
}

// Nearest integer, halves away from zero; only for values known to fit.
int nearest(float v) { return static_cast<int>(std::lround(v)); }

// A tick value counts as reaching an end within the float noise of the
// end value (0.3 is stored a little above 0.3), never a whole step.
bool below(double value, float end, double step) {
    const double tol = std::min(1.2e-7 * std::fabs(static_cast<double>(end)), 0.01 * step);
    return value < static_cast<double>(end) - tol;
}
bool above(double value, float end, double step) {
    const double tol = std::min(1.2e-7 * std::fabs(static_cast<double>(end)), 0.01 * step);
    return value > static_cast<double>(end) + tol;
}

// Ticks at multiples of a decimal step; on_log places them on a
// logarithmic scale (an axis whose ends differ by a factor under 3). With
// label_ends, an end that no label stands near gets its value, to the step.
void linear_ticks(Axis& a, float v1, float v2, bool on_log, bool label_ends) {
    const float range = v2 - v1;
    const float scale = on_log ? a.length / std::log10(std::fabs(v2 / v1)) : a.length / range;
    const float lg = std::log10(0.025f * std::fabs(range));
    if (!std::isfinite(scale) || scale == 0.0f || !std::isfinite(lg)) return;
    const int n = nearest(lg);
    const double step_d = std::pow(10.0, n);
    const float step = static_cast<float>(step_d);
    if (!(step > 0.0f) || !std::isfinite(step)) return;
    const float q1 = v1 / step, q2 = v2 / step;
    if (!(std::fabs(q1) < 1e9f && std::fabs(q2) < 1e9f)) return;

    int i1 = 0, i2 = 0;
    if (v2 > v1) {
        i1 = nearest(q1 + 0.4f);
        if (below(step_d * i1, v1, step_d)) ++i1;
        i2 = nearest(q2 - 0.4f);
        if (above(step_d * i2, v2, step_d)) --i2;
    } else {
        i1 = nearest(q1 - 0.4f);
        if (above(step_d * i1, v1, step_d)) --i1;
        i2 = nearest(q2 + 0.4f);
        if (below(step_d * i2, v2, step_d)) ++i2;
    }
    const int span = std::abs(i2 - i1);
    // The range holds 13 to 127 steps; anything else is float trouble.
    if (span > 1000) return;

    int kt = 1, kl = 5, kn = 5;
    if (std::fabs(step * scale) < a.spacing && span > 20) {
        kt = 2;
        kl = 10;
        kn = 10;
        if (std::fabs(2.0f * step * scale) < a.spacing) {
            kt = 5;
            kn = span < 40 ? 10 : 20;
            if (std::fabs(5.0f * step * scale) < a.spacing && span >= 100) {
                kt = 10;
                if (span > 100) {
                    kl = 50;
                    kn = 50;
                }
            }
        }
    }

    const int dir = i2 >= i1 ? 1 : -1;
    bool any = false;
    Point last{0, 0};
    std::vector<double> labelled;  // distances along the axis of the labels
    for (int j = 0; j <= span; ++j) {
        const int i = i1 + dir * j;
        if (i % kt == 0) {
            const double value = step_d * i;
            double d = 0;
            if (on_log) {
                const double ratio = std::fabs(value / static_cast<double>(v1));
                if (!(ratio > 0.0)) continue;
                d = static_cast<double>(scale) * std::log10(ratio);
            } else {
                d = static_cast<double>(scale) * (value - static_cast<double>(v1));
            }
            const Point p = along(a, d);
            crossing_tick(a, p, i % kl == 0 ? 1.5f : 1.0f);
            if (i % kn == 0) {
                label(a, p, i, n, 0);
                stroke(p.x, p.y, 3);
                labelled.push_back(d);
            }
            any = true;
            last = p;
        }
    }
    if (label_ends && !on_log) {
        for (const float end : {v1, v2}) {
            const double d = static_cast<double>(scale) * (static_cast<double>(end) - static_cast<double>(v1));
            const bool near = std::any_of(labelled.begin(), labelled.end(),
                                          [&](double l) { return std::fabs(l - d) < 0.4; });
            const double q = static_cast<double>(end) / step_d;
            if (near || !(std::fabs(q) < 1e9)) continue;
            const Point p = along(a, d);
            label(a, p, static_cast<int>(std::lround(q)), n, 0);
            stroke(p.x, p.y, 3);
            any = true;
            last = p;
        }
    }
    if (any) stroke(last.x, last.y, 3);
}

// Logarithmic ticks by decades, both ends positive and a factor of 3 or
// more apart. The walk goes from the smaller end to the larger, so an axis
// whose first end is the larger one gets its ticks as well.
void decade_ticks(Axis& a, float v1, float v2) {
    // By the difference of the logarithms: the ratio itself may overflow.
    const double decades = std::log10(static_cast<double>(v2)) - std::log10(static_cast<double>(v1));
    const float scale = static_cast<float>(a.length / decades);
    if (!std::isfinite(scale) || scale == 0.0f) return;
    const float per_decade = std::fabs(scale);
    const double lo = std::min(v1, v2), hi = std::max(v1, v2);
    const double lo_end = lo * (1.0 - 1.2e-7), hi_end = hi * (1.0 + 1.2e-7);
    // Floats span under 90 decades; the bound only keeps the walk finite.
    for (int n = nearest(std::log10(static_cast<float>(lo)) - 0.51f); n <= 40; ++n) {
        const double p10 = std::pow(10.0, n);
        for (int k = 1; k <= 9; ++k) {
            const double v = k * p10;
            if (v > hi_end) return;
            if (v < lo_end) continue;
            const Point p = along(a, static_cast<double>(scale) * std::log10(v / static_cast<double>(v1)));
            if (k == 1 || per_decade > 0.75f) {
                stroke(p.x + a.tx, p.y + a.ty, 3);
                stroke(p.x, p.y, 2);
            }
            if (k == 1 || ((k == 2 || k == 5) && per_decade > 2.5f)) {
                stroke(p.x - 1.5f * a.tx, p.y - 1.5f * a.ty, 2);
                label(a, p, k, n, (n >= 0 && n <= 2) ? 0 : 1);
            }
        }
    }
}

}  // namespace

AxisPen set_axis_pen(AxisPen pen) {
    const AxisPen old = pen_in_place;
    pen_in_place.stroke = pen.stroke ? pen.stroke : &ploti_;
    pen_in_place.text = pen.text ? pen.text : &letter_;
    return old;
}

AxisPen axis_pen() { return pen_in_place; }

void linx_ax_(float v1, float v2, std::string_view title, float x1, float y1, float x2, float y2, bool label_ends) {
    axis0_(v1, v2, title, "CW", 0, x1, y1, x2, y2, 0.06f, 0.1f, 0.1f, 0.15f, label_ends);
}

void liny_ax_(float v1, float v2, std::string_view title, float x1, float y1, float x2, float y2, bool label_ends) {
    axis0_(v1, v2, title, "CC", 0, x1, y1, x2, y2, 0.06f, 0.1f, 0.1f, 0.15f, label_ends);
}

void logy_ax_(float v1, float v2, std::string_view title, float x1, float y1, float x2, float y2) {
    axis_(v1, v2, title, "CC", 1, x1, y1, x2, y2);
}

void axis_(float v1, float v2, std::string_view title, std::string_view side, int log_scale, float x1, float y1,
           float x2, float y2) {
    axis0_(v1, v2, title, side, log_scale, x1, y1, x2, y2, 0.06f, 0.1f, 0.1f, 0.15f);
}

void axis0_(float v1, float v2, std::string_view title, std::string_view side, int log_scale, float x1, float y1,
            float x2, float y2, float tick, float label_height, float title_height, float spacing, bool label_ends) {
    std::string code = miscli::field(side, 2);
    miscli::ucase_(code);

    Axis a;
    a.s = code == "CC" ? -1.0f : 1.0f;
    a.x1 = x1;
    a.y1 = y1;
    a.dx = x2 - x1;
    a.dy = y2 - y1;
    a.length = std::sqrt(a.dx * a.dx + a.dy * a.dy);
    const bool has_length = a.length > 0.0f && std::isfinite(a.length);
    if (has_length) {
        a.c = a.dx / a.length;
        a.sn = a.dy / a.length;
        a.angle = std::atan2(a.dy, a.dx) * kDegree;
    }
    a.tx = -a.s * tick * a.sn;
    a.ty = a.s * tick * a.c;
    a.tick = tick;
    a.label_height = label_height;
    a.spacing = spacing;

    stroke(x1, y1, 3);
    stroke(x2, y2, 2);

    const bool usable = has_length && std::isfinite(v1) && std::isfinite(v2) && v1 != v2 &&
                        std::isfinite(tick) && std::isfinite(label_height) && std::isfinite(spacing);
    if (usable) {
        if (log_scale == 0) {
            linear_ticks(a, v1, v2, false, label_ends);
        } else if (v1 > 0.0f && v2 > 0.0f) {
            const float ratio = std::max(v1, v2) / std::min(v1, v2);
            if (ratio >= 3.0f) decade_ticks(a, v1, v2);
            else linear_ticks(a, v1, v2, true, false);
        }
    }

    // Centred on the middle of the axis by its own measure, outside the labels.
    std::array<float, 4> r{};
    justy_(r, title_height, title);
    const float mx = (x1 + x2) * 0.5f, my = (y1 + y2) * 0.5f;
    const float f = a.s > 0.0f ? -a.extent - 1.4f * title_height : 0.4f * title_height + a.extent;
    pen_in_place.text(mx - r[1] * a.c - f * a.sn, my - r[1] * a.sn + f * a.c, title_height, a.angle, title);
}

}  // namespace daz
