#include "daz/map_axes.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "daz/plot_device.h"
#include "daz/shade.h"
#include "daz/stroke_text.h"
#include "miscli/fixed_format.h"
#include "miscli/text_field.h"

namespace daz {

namespace {

constexpr std::array<double, N_MAP_INTERVALS + 1> kIntervals = {
    0.0, 20.0, 10.0, 5.0, 2.0, 1.0, 0.5, 0.25, 1.0 / 6.0, 1.0 / 12.0, 1.0 / 30.0, 1.0 / 60.0, 1.0 / 120.0};

constexpr float kBand = 0.05f;     // border band width [inch]
constexpr float kTick = 0.1f;      // tick length [inch]
constexpr float kHeight = 0.1f;    // label height [inch]
constexpr float kSmallest = 2.0f;  // smallest frame side [inch]
constexpr float kLonSpan = 0.8f;   // least length covered by the longitude labels [inch]
constexpr float kLatSpan = 0.6f;
constexpr double kWidest = 720.0;     // wider boxes are not graduated [deg]
constexpr double kFarthest = 1.0e5;  // nor boxes this far off [deg]
constexpr std::size_t kLabelField = 14;
constexpr int kFinestLabel = 11;    // 1': the labels show whole minutes
constexpr const char* kDegree = "\\sup{o}";

// Largest k with t k <= v, and smallest k with t k >= v, checked on the
// products themselves so that rounding in v / t cannot put k one off.
long floor_multiple(double v, double t) {
    long k = static_cast<long>(std::floor(v / t));
    while (t * static_cast<double>(k + 1) <= v) ++k;
    while (t * static_cast<double>(k) > v) --k;
    return k;
}
long ceil_multiple(double v, double t) {
    long k = static_cast<long>(std::ceil(v / t));
    while (t * static_cast<double>(k - 1) >= v) --k;
    while (t * static_cast<double>(k) < v) ++k;
    return k;
}

// The coarsest interval giving at least 9 of them across the range.
int band_index(double range) {
    for (int i = 1; i <= N_MAP_INTERVALS; ++i)
        if (range / kIntervals[i] >= 9.0) return i;
    return N_MAP_INTERVALS;
}

struct LabelChoice {
    int index;
    long k1, k2;  // labels at interval * k1 .. interval * k2
};

// Starts two places coarser than the bands; goes finer (down to whole
// minutes: finer ticks would repeat a label or show one off by half a
// minute) while fewer than two labels fit in the range, and coarser while
// the labels cover less than
// min_span inches. When those two rules would send the index back and forth
// between two neighbours, the coarser one is kept, unless it has no label
// at all.
LabelChoice label_interval(double lo, double hi, double scale, int band, float min_span) {
    LabelChoice c{std::max(1, band - 2), 0, 0};
    auto count = [&](LabelChoice& x) {
        x.k1 = ceil_multiple(lo, kIntervals[x.index]);
        x.k2 = floor_multiple(hi, kIntervals[x.index]);
    };
    std::array<bool, N_MAP_INTERVALS + 1> left_for_finer{};
    for (;;) {
        count(c);
        while (c.k1 >= c.k2 && c.index < kFinestLabel) {
            left_for_finer[c.index] = true;
            ++c.index;
            count(c);
        }
        const double covered = kIntervals[c.index] * static_cast<double>(c.k2 - c.k1) * scale;
        if (!(covered < min_span) || c.index <= 1) return c;
        LabelChoice coarser{c.index - 1, 0, 0};
        count(coarser);
        if (!left_for_finer[coarser.index]) {
            c = coarser;
            continue;
        }
        return coarser.k1 <= coarser.k2 ? coarser : c;
    }
}

struct DegMin {
    long degrees;
    long minutes;
    char hemisphere;
};

DegMin degrees_minutes(double v, char positive, char negative) {
    char h = positive;
    if (!(v >= 0.001)) {
        h = negative;
        v = -v;
    }
    long d = static_cast<long>(v);
    long m = std::lround((v - static_cast<double>(d)) * 60.0);
    if (m > 59) {
        ++d;
        m -= 60;
    }
    return {d, m, h};
}

float right_end(const std::string& text) {
    std::array<float, 4> r{};
    justy_(r, kHeight, text);
    return r[2];
}

float middle(const std::string& text) {
    std::array<float, 4> r{};
    justy_(r, kHeight, text);
    return r[1];
}

// Filled blocks of one direction: every other band interval from k1,
// cut to lo_edge..hi_edge on the page.
template <class Add>
void blocks_along(double from, double to, double caller_to, double origin, float lo_edge, float hi_edge,
                  double scale, int band, Add add) {
    const double t = kIntervals[band];
    const long k1 = floor_multiple(from, t);
    long k2 = std::lround(to / t);
    if (t * static_cast<double>(k2) < caller_to) ++k2;
    const long n = (k2 - k1 + 1) / 2;
    for (long b = 0; b < n; ++b) {
        const long j = k1 + 2 * b;
        auto page = [&](double v) {
            float p = lo_edge + static_cast<float>(scale * (v - origin));
            return std::clamp(p, lo_edge, hi_edge);
        };
        const float p1 = page(t * static_cast<double>(j)), p2 = page(t * static_cast<double>(j + 1));
        if (p2 > p1) add(p1, p2);
    }
}

}  // namespace

double map_interval(int index) {
    return index >= 1 && index <= N_MAP_INTERVALS ? kIntervals[static_cast<std::size_t>(index)] : 0.0;
}

MapAxesLayout map_axes_layout(float west, float east, float south, float north, float left, float right,
                              float bottom, float top) {
    MapAxesLayout m;
    const float caller_east = east, caller_north = north;

    const bool usable = std::isfinite(west) && std::isfinite(east) && std::isfinite(south) &&
                        std::isfinite(north) && std::isfinite(left) && std::isfinite(right) &&
                        std::isfinite(bottom) && std::isfinite(top) && east > west && north > south &&
                        right > left && top > bottom && east - west <= kWidest && north - south <= kWidest &&
                        std::fabs(west) <= kFarthest && std::fabs(east) <= kFarthest &&
                        std::fabs(south) <= kFarthest && std::fabs(north) <= kFarthest;

    const float sx = usable ? (right - left) / (east - west) : 0.0f;
    const float sy = usable ? (top - bottom) / (north - south) : 0.0f;
    if (usable && right - left < kSmallest) {
        east += (left + kSmallest - right) / sx;
        right = left + kSmallest;
    }
    if (usable && top - bottom < kSmallest) {
        north += (bottom + kSmallest - top) / sy;
        top = bottom + kSmallest;
    }
    m.east = east;
    m.north = north;
    m.right = right;
    m.top = top;

    m.outline = {{left, bottom - kBand, right, bottom},
                 {left, top, right, top + kBand},
                 {left - kBand, bottom, left, top},
                 {right, bottom, right + kBand, top}};
    if (!usable) return m;
    m.graduated = true;

    m.lon_band = band_index(static_cast<double>(east) - west);
    m.lat_band = band_index(static_cast<double>(north) - south);
    blocks_along(west, east, caller_east, west, left, right, sx, m.lon_band, [&](float x1, float x2) {
        m.blocks.push_back({x1, bottom - kBand, x2, bottom});
        m.blocks.push_back({x1, top, x2, top + kBand});
    });
    blocks_along(south, north, caller_north, south, bottom, top, sy, m.lat_band, [&](float y1, float y2) {
        m.blocks.push_back({left - kBand, y1, left, y2});
        m.blocks.push_back({right, y1, right + kBand, y2});
    });

    const LabelChoice lon = label_interval(west, east, sx, m.lon_band, kLonSpan);
    const LabelChoice lat = label_interval(south, north, sy, m.lat_band, kLatSpan);
    m.lon_label = lon.index;
    m.lat_label = lat.index;

    for (long k = lon.k1; k <= lon.k2; ++k) {
        const double v = kIntervals[lon.index] * static_cast<double>(k);
        const float x = left + sx * static_cast<float>(v - west);
        m.ticks.push_back({x, bottom, x, bottom - kTick});
        const DegMin dm = degrees_minutes(v, 'E', 'W');
        std::string text = miscli::fmt_i(dm.degrees, 3) + kDegree;
        if (dm.minutes > 0) text += miscli::fmt_i(dm.minutes, dm.minutes < 10 ? 1 : 2);
        text += dm.hemisphere;
        text = miscli::field(text, kLabelField);
        m.labels.push_back({x - middle(text), bottom - kTick - 1.5f * kHeight, text});
    }
    const float label_end = left - kTick;
    for (long k = lat.k1; k <= lat.k2; ++k) {
        const double v = kIntervals[lat.index] * static_cast<double>(k);
        const float y = bottom + sy * static_cast<float>(v - south);
        m.ticks.push_back({label_end, y, left, y});
        const DegMin dm = degrees_minutes(v, 'N', 'S');
        if (dm.minutes == 0) {
            std::string text = miscli::field(miscli::fmt_i(dm.degrees, 2) + kDegree + dm.hemisphere, kLabelField);
            m.labels.push_back({label_end - right_end(text), y - 0.5f * kHeight, text});
        } else {
            // Minutes go on a line of their own below the tick.
            std::string deg = miscli::field(miscli::fmt_i(dm.degrees, 2) + kDegree, kLabelField);
            std::string min = miscli::field(miscli::fmt_i(dm.minutes, 2) + dm.hemisphere, kLabelField);
            m.labels.push_back({label_end - right_end(deg), y + 0.02f, deg});
            m.labels.push_back({label_end - right_end(min), y - 1.2f * kHeight, min});
        }
    }
    return m;
}

void map_axes_(float west, float east, float south, float north, float left, float right, float bottom,
               float top) {
    const MapAxesLayout m = map_axes_layout(west, east, south, north, left, right, bottom, top);
    for (const MapRect& r : m.outline) {
        ploti_(r.x1, r.y1, 3);
        ploti_(r.x2, r.y1, 2);
        ploti_(r.x2, r.y2, 2);
        ploti_(r.x1, r.y2, 2);
        ploti_(r.x1, r.y1, 2);
    }
    for (const MapRect& r : m.blocks) shaderect_(r.x1, r.y1, r.x2, r.y2);
    for (const MapTick& t : m.ticks) {
        ploti_(t.x1, t.y1, 3);
        ploti_(t.x2, t.y2, 2);
    }
    for (const MapLabel& l : m.labels) letter_(l.x, l.y, kHeight, 0.0f, l.text);
}

}  // namespace daz
