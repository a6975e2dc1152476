// lin_plot_: line contours of a gridded section field, the interval line,
// the stored labels and, on the screen, the label editor.
#include "section/lin_plot.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/console.h"
#include "miscli/stop.h"
#include "miscli/text_field.h"
#include "section/auto_labels.h"
#include "section/contour_labels.h"
#include "section/contour_trace.h"
#include "section/pix_plot.h"
#include "section/plotcom.h"

namespace section {

namespace {

// Page heights of the grid levels and the level list of the last call;
// the label editor reads both.
std::vector<float> level_y;
ContourLevels levels;

// Multiples of the step beyond this are not whole numbers in a float.
constexpr double kMaxMultiple = 1.0e9;

void interval_line(const ContourLevels& c, std::string_view label_line, bool titled) {
    std::string text(8, ' ');
    int n = 0;
    wr_label_(static_cast<float>(c.step), text, n);
    if (titled) {
        // In words, ending at the frame's right edge.
        const std::string line = "Contours of " + std::string(label_line) + " every " +
                                 text.substr(0, static_cast<std::size_t>(n));
        std::array<float, 4> r{};
        daz::justy_(r, 0.1f, line);
        daz::linwid_(20);
        daz::letter_(plotcom.right - r[2], plotcom.bottom - 0.7f, 0.1f, 0.0f, line);
        return;
    }
    std::string line = "CI=";
    line.append(text, 0, static_cast<std::size_t>(n));
    line += "  ";
    line += miscli::field(label_line, 20);
    daz::linwid_(20);
    daz::letter_(plotcom.right - 1.0f, plotcom.bottom - 0.4f, 0.1f, 0.0f, line);
}

}  // namespace

namespace {

// The multiples of step strictly above lo and up to hi, at most `most` of
// them; false (and nothing set) when they are more or cannot be counted.
bool multiples(double lo, double hi, double step, long most, ContourLevels& c) {
    const double q_lo = lo / step, q_hi = hi / step;
    if (!(step > 0.0) || !std::isfinite(q_lo) || !std::isfinite(q_hi) || std::fabs(q_lo) > kMaxMultiple ||
        std::fabs(q_hi) > kMaxMultiple)
        return false;
    // Rounded down, not toward zero: every level lies strictly above v_lo
    // and at most at v_hi for negative values too.
    const long m1 = static_cast<long>(std::floor(q_lo)) + 1;
    const long m2 = static_cast<long>(std::floor(q_hi));
    if (m2 - m1 + 1 > most) return false;
    c.step = step;
    c.first = m1;
    for (long m = m1; m <= m2 && c.n < MXCON; ++m) c.w[static_cast<std::size_t>(c.n++)] = static_cast<float>(m * step);
    return true;
}

bool has_range(float v_lo, float v_hi) { return std::isfinite(v_lo) && std::isfinite(v_hi) && v_hi > v_lo; }

// Says that the chosen interval gave too many levels and which one is drawn.
void widened_note(float asked, double drawn) {
    std::string a(8, ' '), d(8, ' ');
    int na = 0, nd = 0;
    wr_label_(asked, a, na);
    wr_label_(static_cast<float>(drawn), d, nd);
    miscli::console().write_line(" The contour interval " + a.substr(0, static_cast<std::size_t>(na)) +
                                 " gives more than " + std::to_string(MXCON) + " levels; lines are drawn every " +
                                 d.substr(0, static_cast<std::size_t>(nd)) + ".");
}

}  // namespace

void contour_levels(float v_lo, float v_hi, ContourLevels& c) {
    c = ContourLevels{};
    if (!has_range(v_lo, v_hi)) return;
    // In double: a float step of a tiny range would underflow.
    const double lo = v_lo, hi = v_hi, range = hi - lo;
    double step = std::pow(10.0, std::round(std::log10(range / 19.0) - 0.5));
    const double n = std::trunc(range / step);
    if (n > 90) step *= 10.0;
    else if (n > 36) step *= 5.0;
    else if (n > 18) step *= 2.0;
    else if (n < 10) step *= 0.5;
    multiples(lo, hi, step, std::numeric_limits<long>::max(), c);
}

void contour_levels_every(float v_lo, float v_hi, double step, ContourLevels& c) {
    c = ContourLevels{};
    c.heavy_on_multiples = true;
    if (!has_range(v_lo, v_hi) || !(step > 0.0) || !std::isfinite(step)) return;
    const double lo = v_lo, hi = v_hi;
    // Too many levels: the smallest whole multiple of the step that fits,
    // found from the estimate upward (a level more or less at the ends).
    const double over = std::ceil((hi - lo) / step / MXCON);
    double factor = std::isfinite(over) ? std::max(over, 1.0) : 1.0;
    for (int tries = 0; tries < 4 && !multiples(lo, hi, factor * step, MXCON, c); ++tries) factor += 1.0;
}

bool heavy_level(const ContourLevels& c, int q) {
    if (!c.heavy_on_multiples) return q % 4 == 0;
    const long m = c.first + q - 1;
    return m % 4 == 0;
}

void lin_plot_(const miscli::Array1<float>& grid_z, const miscli::Array2<float>& grid_line,
               const miscli::Array1<float>& station_x, int n_levels, int first_dive, int last_dive, float v_lo,
               float v_hi, float /*contour_step*/, std::string_view label_line, int& label_count, char device_code,
               float missing, const Look& look) {
    if (n_levels > MXDEP) {
        daz::plclosnow_();
        miscli::stop(" Increase MXDEP of LIN_PLOT");
    }
    // Only what the arrays hold is read.
    const int n_z = std::clamp(std::min({n_levels, grid_z.size(), grid_line.dim1()}), 0, MXDEP);
    const int j1 = std::max(first_dive, 1);
    const int j2 = std::min({last_dive, station_x.size(), grid_line.dim2()});
    level_y.resize(static_cast<std::size_t>(n_z));
    for (int k = 1; k <= n_z; ++k) level_y[static_cast<std::size_t>(k - 1)] = frame_y(grid_z(k));

    if (look.contour_step > 0.0f) {
        contour_levels_every(v_lo, v_hi, look.contour_step, levels);
        // Said once, on the screen, which every plot shows first.
        if (device_code == 'S' && levels.n > 0 && levels.step > 1.5 * look.contour_step)
            widened_note(look.contour_step, levels.step);
    } else {
        contour_levels(v_lo, v_hi, levels);
    }
    if (levels.n > 0 && plotcom.words_below) interval_line(levels, label_line, look.titled);

    std::vector<float> column_x(static_cast<std::size_t>(std::max(j2 - j1 + 1, 0)));
    for (int j = j1; j <= j2; ++j) column_x[static_cast<std::size_t>(j - j1)] = frame_x(station_x(j));
    const TracedField traced{std::span<const float>(level_y.data(), static_cast<std::size_t>(n_z)), column_x,
                             grid_line, j1};

    // The lines only draw; the label editor below reads the levels above.
    // Labels placed by the program come first, so that the lines can be
    // broken under them; hand-placed labels take their place.
    const bool drawn = !daz::draws_nothing();
    std::vector<AutoLabel> placed;
    const LevelCells cells = drawn && levels.n > 0
                                 ? LevelCells(traced, std::span<const float>(levels.w.data(),
                                                                             static_cast<std::size_t>(levels.n)))
                                 : LevelCells(traced, {});
    if (drawn && look.auto_labels && label_count <= 0 && levels.n > 0)
        placed = place_auto_labels(traced, levels, {plotcom.left, plotcom.bottom, plotcom.right, plotcom.top}, &cells);
    const BrokenLines broken(placed, column_x);
    // Each cell's crossings are joined in edge order: two give one segment,
    // four (a saddle, or a level through corners) three.
    for (int q = 1; q <= (drawn ? levels.n : 0); ++q) {
        daz::linwid_(heavy_level(levels, q) ? 16 : 8);
        const float w = levels.w[static_cast<std::size_t>(q - 1)];
        const auto trace = [&](auto&& visit) {
            if (!cells.empty()) cells.trace(traced, q, w, visit);
            else trace_level(traced, w, visit);
        };
        if (placed.empty()) {
            trace([](int, int, const CellCrossings& c) {
                for (int i = 0; i < c.n; ++i)
                    daz::ploti_(c.at[static_cast<std::size_t>(i)].x, c.at[static_cast<std::size_t>(i)].y,
                                i == 0 ? 3 : 2);
            });
        } else {
            trace([&](int j, int, const CellCrossings& c) { broken.cell(j - j1, c); });
        }
    }

    daz::linwid_(20);
    label_count = std::clamp(label_count, 0, MXLAB);
    draw_labels(label_count);
    for (const AutoLabel& a : placed) draw_label(a.label);
    if (device_code != 'S') return;
    const LabelField field{std::span<const float>(level_y.data(), static_cast<std::size_t>(n_z)),
                           grid_line,
                           station_x,
                           j1,
                           j2,
                           std::span<const float>(levels.w.data(), static_cast<std::size_t>(levels.n)),
                           missing};
    edit_labels(field, label_count);
}

}  // namespace section
