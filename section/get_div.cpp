#include "section/get_div.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/missing.h"
#include "daz/input.h"
#include "daz/map_axes.h"
#include "daz/map_size.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/console.h"
#include "miscli/fixed_format.h"
#include "miscli/fixed_read.h"
#include "miscli/stop.h"
#include "miscli/strings.h"
#include "miscli/text_field.h"
#include "section/stray_positions.h"

namespace section {

namespace {

constexpr float kLonFill = -999.0f, kLatFill = -99.0f;
constexpr float kNoPoint = -99.0f;         // map point of a dive without position
constexpr float kSmallestRange = 0.01f;    // narrowest map range before the margins [deg]
constexpr float kMargin = 0.1f;            // of the range, on every side
constexpr float kLabelHeight = 0.1f;       // dive numbers [inch]
constexpr int kColourRun = 20;             // dives of one colour
constexpr float kSearchRadius = 100.0f;    // [inch]
constexpr std::size_t kStatusLength = 80, kTypedLength = 40;
constexpr const char* kRangePrompt = "Give First, Last dive to plot";


// A range of zero width (one dive, or dives at one place) would give no
// scale at all.
void widen(float& lo, float& hi) {
    if (hi - lo < kSmallestRange) {
        const float centre = 0.5f * (lo + hi);
        lo = centre - 0.5f * kSmallestRange;
        hi = centre + 0.5f * kSmallestRange;
    }
    const float margin = kMargin * (hi - lo);
    lo -= margin;
    hi += margin;
}

std::string range_status(int first, int last) {
    return miscli::field("Station range" + miscli::fmt_i_wide(first, 4, 1) + miscli::fmt_i_wide(last, 4, 1) +
                             ". Tell dive (N)umber, (G)ive dive range, (Q)uit",
                         kStatusLength);
}

std::string dive_status(int dive) {
    return miscli::field("Dive " + miscli::fmt_i_wide(dive, 3) + ". Tell dive (N)umber, (G)ive station range, (Q)uit",
                         kStatusLength);
}

// Colours change every 20 dives, red, blue, green, red, ...; the line
// breaks at dives without position.
void draw_track(const TrackMap& m) {
    float r = 1.0f, g = 0.0f, b = 0.0f;
    int pen = 3;
    for (int d = m.first; d <= m.last; ++d) {
        if ((d - m.first) % kColourRun == 0) {
            daz::rgbcolor_(r, g, b);
            const float r0 = r;
            r = g;
            g = b;
            b = r0;
        }
        if (m.map_x(d) == kNoPoint && m.map_y(d) == kNoPoint) {
            pen = 3;
            continue;
        }
        daz::ploti_(m.map_x(d), m.map_y(d), pen);
        pen = 2;
    }
}

void label_dive(const TrackMap& m, int dive, int number) {
    if (m.map_x(dive) == kNoPoint && m.map_y(dive) == kNoPoint) return;  // off the page anyway
    daz::letter_(m.map_x(dive), m.map_y(dive), kLabelHeight, 0.0f, miscli::fmt_i_wide(number, 3));
}

// Asks until the typed range is usable; the reason for a refusal goes in
// front of the prompt so that it shows in the strip with it.
void ask_range(const miscli::Array1<int>& numbers, int n_dives, int& first_dive, int& last_dive) {
    std::string prompt = kRangePrompt, reason;
    for (;;) {
        std::string typed(kTypedLength, ' ');
        daz::getstring_(prompt, typed, {miscli::QuestionId::DiveRange, {}, reason});
        int first = 0, last = 0;
        if (read_dive_range(typed, numbers, n_dives, first, last, reason)) {
            first_dive = first;
            last_dive = last;
            return;
        }
        prompt = reason + " " + kRangePrompt;
    }
}

}  // namespace

float av2_(float a, float b, float t) {
    const float limit = 0.95f * t;
    const bool use_a = a > limit, use_b = b > limit;
    if (use_a && use_b) return 0.5f * (a + b);
    if (use_a) return a;
    if (use_b) return b;
    return t;
}

TrackMap track_map(const miscli::Array1<float>& lon_start, const miscli::Array1<float>& lat_start,
                   const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end, int first,
                   int last) {
    TrackMap m;
    m.first = first;
    m.last = last;
    const std::size_t n = static_cast<std::size_t>(std::max(0, last - first + 1));
    m.x.assign(n, kNoPoint);
    m.y.assign(n, kNoPoint);
    std::vector<float> lon(n), lat(n);
    for (int d = first; d <= last; ++d) {
        const std::size_t i = static_cast<std::size_t>(d - first);
        lon[i] = av2_(lon_start(d), lon_end(d), kLonFill);
        lat[i] = av2_(lat_start(d), lat_end(d), kLatFill);
        if (!has_position(lon[i], lat[i])) continue;
        ++m.n_mapped;
        m.lon_min = std::min(m.lon_min, lon[i]);
        m.lon_max = std::max(m.lon_max, lon[i]);
        m.lat_min = std::min(m.lat_min, lat[i]);
        m.lat_max = std::max(m.lat_max, lat[i]);
    }
    if (m.n_mapped == 0) return m;

    widen(m.lon_min, m.lon_max);
    widen(m.lat_min, m.lat_max);
    m.orientation = '0';
    daz::map_size_(m.lon_min, m.lon_max, m.lat_min, m.lat_max, m.left, m.right, m.bottom, m.top, m.orientation);

    const float sx = (m.right - m.left) / (m.lon_max - m.lon_min);
    const float sy = (m.top - m.bottom) / (m.lat_max - m.lat_min);
    for (std::size_t i = 0; i < n; ++i) {
        if (!has_position(lon[i], lat[i])) continue;
        m.x[i] = m.left + (lon[i] - m.lon_min) * sx;
        m.y[i] = m.bottom + (lat[i] - m.lat_min) * sy;
    }
    return m;
}

int nearest_dive(const TrackMap& m, float x, float y) {
    int nearest = 0;
    float best = kSearchRadius;
    for (int d = m.first; d <= m.last; ++d) {
        if (m.map_x(d) == kNoPoint && m.map_y(d) == kNoPoint) continue;
        const float dist = std::hypot(m.map_x(d) - x, m.map_y(d) - y);
        if (dist < best) {
            best = dist;
            nearest = d;
        }
    }
    return nearest;
}

bool read_dive_range(std::string_view typed, const miscli::Array1<int>& dive_number, int n_dives, int& first,
                     int& last, std::string& reason) {
    long numbers[2] = {0, 0};
    int found = 0;
    std::size_t i = 0;
    auto separator = [](char c) { return c == ' ' || c == ',' || c == '\t'; };
    while (found < 2) {
        while (i < typed.size() && separator(typed[i])) ++i;
        if (i == typed.size()) break;
        std::size_t j = i;
        while (j < typed.size() && !separator(typed[j])) ++j;
        auto v = miscli::parse_int_token(typed.substr(i, j - i));
        if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max()) {
            reason = "Dive numbers are whole numbers.";
            return false;
        }
        numbers[found++] = *v;
        i = j;
    }
    if (found < 2) {
        reason = "Type two dive numbers.";
        return false;
    }
    const int n = std::min(n_dives, dive_number.size());
    if (n < 1) {
        reason = "There are no dives.";
        return false;
    }
    const auto [lowest, highest] = std::minmax_element(dive_number.span().begin(), dive_number.span().begin() + n);
    if (numbers[0] < *lowest || numbers[1] > *highest) {
        reason = (miscli::ListLine() << "Dives are" << *lowest << " to" << *highest << ".").str().substr(1);
        return false;
    }
    if (numbers[0] > numbers[1]) {
        reason = "The first dive is after the last.";
        return false;
    }
    // The first and the last dive in the table whose numbers lie in the range.
    first = 0;
    for (int d = 1; d <= n; ++d)
        if (dive_number(d) >= numbers[0] && dive_number(d) <= numbers[1]) {
            if (first == 0) first = d;
            last = d;
        }
    if (first == 0) {
        reason = (miscli::ListLine() << "No dive is numbered" << numbers[0] << " to" << numbers[1] << ".").str().substr(1);
        return false;
    }
    return true;
}

void map_hardcopy(const miscli::Array1<float>& lon_start, const miscli::Array1<float>& lat_start,
                  const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end,
                  const miscli::Array1<int>& dive_number, int first, int last, const std::string& title,
                  const std::string& stamp) {
    if (last - first + 1 > MXPTS) miscli::stop(" Increase MXPTS or GRT_DIV");
    const TrackMap m = track_map(lon_start, lat_start, lon_end, lat_end, first, last);
    if (m.n_mapped == 0)
        miscli::stop((miscli::ListLine() << "No dive from" << dive_number(first) << " to" << dive_number(last)
                                         << " has a position: there is no track to map.")
                         .str());
    daz::plopen_('H', m.orientation);
    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    daz::map_axes_(m.lon_min, m.lon_max, m.lat_min, m.lat_max, m.left, m.right, m.bottom, m.top);
    draw_track(m);
    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    label_dive(m, first, dive_number(first));
    label_dive(m, last, dive_number(last));
    if (!title.empty()) daz::letter_(m.left, m.top + 0.35f, 0.12f, 0.0f, title);
    if (!stamp.empty()) daz::letter_(m.left, m.top + 0.6f, 0.08f, 0.0f, stamp);
    daz::plclosnow_();
}

void get_div_(const miscli::Array1<float>& lon_start, const miscli::Array1<float>& lat_start,
              const miscli::Array1<float>& lon_end, const miscli::Array1<float>& lat_end,
              const miscli::Array1<int>& dive_number, int n_dives, int& first_dive, int& last_dive) {
    // Only dives that are in the file and in every array can be shown.
    const int size =
        std::min({n_dives, lon_start.size(), lat_start.size(), lon_end.size(), lat_end.size(), dive_number.size()});
    const int first = std::max(first_dive, 1), last = std::min(last_dive, size);
    if (first > last) {
        miscli::console().write_line((miscli::ListLine() << "No dives to show on the map.").str());
        return;
    }
    if (last - first + 1 > MXPTS) miscli::stop(" Increase MXPTS or GRT_DIV");

    const TrackMap m = track_map(lon_start, lat_start, lon_end, lat_end, first, last);
    if (m.n_mapped == 0) {
        miscli::console().write_line((miscli::ListLine() << "No dive from" << dive_number(first) << " to"
                                                         << dive_number(last)
                                                         << " has a position, so no map is shown; the range stays"
                                                         << dive_number(first) << " to" << dive_number(last) << ".")
                                         .str());
        return;
    }

    daz::plopen_('S', m.orientation);
    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    float x = 0.0f, y = 0.0f;
    char key = ' ';
    daz::scrtxt_("Click plot area to begin", miscli::QuestionId::Begin);
    daz::ginch_(x, y, key);

    daz::map_axes_(m.lon_min, m.lon_max, m.lat_min, m.lat_max, m.left, m.right, m.bottom, m.top);
    draw_track(m);
    label_dive(m, first, dive_number(first));
    label_dive(m, last, dive_number(last));

    const int first_number = dive_number(first), last_number = dive_number(last);
    const auto [lowest, highest] =
        std::minmax_element(dive_number.span().begin() + (first - 1), dive_number.span().begin() + last);
    std::string status = range_status(first_number, last_number);
    int nearest = 0;
    for (;;) {
        // The numbers of the map's whole range go with the question, for
        // an answerer that wants all of it.
        daz::scrtxt_(status, {miscli::QuestionId::MapStatus, {static_cast<double>(*lowest), static_cast<double>(*highest)}});
        daz::ginch_(x, y, key);
        miscli::ucase_(key);
        if (key == 'Q') {
            daz::plclosnow_();
            miscli::stop_normal();
        }
        if (key == 'G') {
            ask_range(dive_number, size, first_dive, last_dive);
            daz::clearsc_();
            daz::plclosnow_();
            return;
        }
        if (key == 'N') {
            // A pointer far off the page finds no dive: the last one found stays.
            if (int d = nearest_dive(m, x, y)) nearest = d;
            status = nearest > 0 ? dive_status(dive_number(nearest)) : range_status(first_number, last_number);
        } else {
            status = range_status(first_number, last_number);
        }
    }
}

}  // namespace section
