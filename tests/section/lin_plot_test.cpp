// Line contours: the level list, the tracing through cells, the interval
// line and the stop, checked in the hardcopy's strokes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "daz/letter_recorder.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/text_field.h"
#include "section/auto_labels.h"
#include "section/contour_labels.h"
#include "section/contour_trace.h"
#include "section/lin_plot.h"
#include "section/lin_plot_fixture.h"
#include "support/test_support.h"

using namespace testing_support;
using lin_plot_testing::Field;

namespace {

struct Point {
    int x, y;  // file units: x = (8 - page y) * 1000, y = page x * 1000
    char pen;
    bool operator==(const Point&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Point& p) { return o << p.pen << '(' << p.x << ',' << p.y << ')'; }

// Page inches to the file point the stroke must reach.
Point at(float x, float y, char pen) {
    return {static_cast<int>(std::lround((8.0f - y) * 1000.0f)), static_cast<int>(std::lround(x * 1000.0f)), pen};
}

// The strokes after each setlinewidth line of a hardcopy, past its prologue.
struct Group {
    int width;
    std::vector<Point> points;
};

std::vector<Group> groups(const std::string& eps) {
    std::vector<Group> out;
    bool body = false;
    for (const auto& line : lines_of(eps)) {
        if (!body) {
            body = line == "0 0 NEW";
            continue;
        }
        std::istringstream in(line);
        int a = 0, b = 0;
        std::string word;
        if (line.find("setlinewidth") != std::string::npos && (in >> a >> word) && word == "setlinewidth") {
            out.push_back({a, {}});
        } else if ((in >> a >> b >> word) && (word == "M" || word == "D") && !out.empty()) {
            out.back().points.push_back({a, b, word[0]});
        }
    }
    return out;
}

std::vector<int> widths(const std::vector<Group>& g) {
    std::vector<int> w;
    for (const auto& x : g) w.push_back(x.width);
    return w;
}

// Plots the field into a hardcopy with the texts kept apart (recorded, not
// in the file); gives the file's groups and the text strokes.
struct Plotted {
    std::vector<Group> groups;
    std::vector<letter_testing::Stroke> text;
    std::string eps;
};

Plotted plot_hardcopy(const Field& f, float lo, float hi, int count = 0, const section::Look& look = {}) {
    TempDir dir;
    WorkingDir here(dir.path());
    Plotted p;
    letter_testing::Recording rec;
    with_console("", [&] {
        daz::plopen_('H', 'X');
        f.plot(lo, hi, count, 'H', "Sigma-theta", look);
        daz::plclosnow_();
    });
    p.text = rec.take();
    p.eps = read_file(dir / "OUT01.EPS");
    p.groups = groups(p.eps);
    return p;
}

std::vector<letter_testing::Stroke> strokes_of(float x, float y, const std::string& text) {
    letter_testing::Recording rec;
    daz::letter_(x, y, 0.1f, 0.0f, text);
    return rec.take();
}

bool same(const std::vector<letter_testing::Stroke>& a, const std::vector<letter_testing::Stroke>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].pen != b[i].pen) return false;
    return true;
}

// One cell: km 0 and 2 (page x 1 and 3), levels 0 and 2 (page y 7.2, 5.2).
Field cell(float upper_left, float upper_right, float lower_right, float lower_left) {
    return Field({0, 2}, {0, 2}, {{upper_left, upper_right}, {lower_left, lower_right}});
}

}  // namespace

TEST(ContourLevels, IntervalOfOneTwoOrFiveTimesAPowerOfTen) {
    section::ContourLevels c;
    section::contour_levels(0.0f, 10.0f, c);
    EXPECT_DOUBLE_EQ(c.step, 1.0);
    ASSERT_EQ(c.n, 10);  // 0 itself is not a level
    for (int i = 0; i < 10; ++i) EXPECT_FLOAT_EQ(c.w[static_cast<std::size_t>(i)], static_cast<float>(i + 1));

    section::contour_levels(24.1f, 27.5f, c);
    EXPECT_NEAR(c.step, 0.2, 1e-9);
    ASSERT_EQ(c.n, 17);
    EXPECT_FLOAT_EQ(c.w[0], 24.2f);
    EXPECT_FLOAT_EQ(c.w[14], 27.0f);
    EXPECT_FLOAT_EQ(c.w[16], 27.4f);

    section::contour_levels(0.0f, 4.0f, c);  // 40 steps of 0.1 become 8 of 0.5
    EXPECT_NEAR(c.step, 0.5, 1e-9);
    EXPECT_EQ(c.n, 8);

    // Negative values: every level strictly above v_lo and at most v_hi,
    // as for positive ones (truncating toward zero would lose -0.3 in the
    // first range and put -28.8 above the top of the second).
    struct Negative {
        float lo, hi;
        double step;
        int n;
        float first, last;
    };
    for (const Negative& t : {Negative{-0.35f, 0.41f, 0.05, 15, -0.3f, 0.4f},
                              Negative{-30.0f, -28.9f, 0.1, 11, -29.9f, -28.9f},
                              Negative{-10.0f, 0.0f, 1.0, 10, -9.0f, 0.0f}}) {
        section::contour_levels(t.lo, t.hi, c);
        EXPECT_NEAR(c.step, t.step, 1e-9) << t.lo;
        ASSERT_EQ(c.n, t.n) << t.lo;
        EXPECT_FLOAT_EQ(c.w[0], t.first) << t.lo;
        EXPECT_FLOAT_EQ(c.w[static_cast<std::size_t>(t.n - 1)], t.last) << t.lo;
        EXPECT_GT(c.w[0], t.lo);
        EXPECT_LE(c.w[static_cast<std::size_t>(t.n - 1)], t.hi);
    }

    // No range, a reversed one, or a field that is all missing (the
    // driver's range then stays at 999, -999): no levels at all.
    for (auto [lo, hi] : {std::pair{5.0f, 5.0f}, {6.0f, 5.0f}, {999.0f, -999.0f}, {NAN, 1.0f}, {0.0f, INFINITY}}) {
        section::contour_levels(lo, hi, c);
        EXPECT_EQ(c.n, 0) << lo << " " << hi;
    }
}

TEST(LinPlot, EveryFourthLevelIsHeavyAndTheIntervalLineIsWritten) {
    Field f({0, 1, 2}, {0, 1}, {{0, 10}, {0, 10}, {0, 10}});
    Plotted p = plot_hardcopy(f, 0.0f, 10.0f);
    EXPECT_EQ(widths(p.groups), (std::vector<int>{20, 8, 8, 8, 16, 8, 8, 8, 16, 8, 8, 20}));
    // Level 3 runs straight down the two cells at 0.3 km.
    EXPECT_EQ(p.groups[3].points, (std::vector<Point>{at(1.3f, 7.2f, 'M'), at(1.3f, 6.2f, 'D'), at(1.3f, 6.2f, 'M'),
                                                      at(1.3f, 5.2f, 'D')}));
    EXPECT_TRUE(same(p.text, strokes_of(7.0f, 0.4f, "CI=1  " + miscli::field("Sigma-theta", 20))));

    Plotted s = plot_hardcopy(f, 24.1f, 27.5f);
    EXPECT_TRUE(same(s.text, strokes_of(7.0f, 0.4f, "CI=0.2  " + miscli::field("Sigma-theta", 20))));
}

TEST(ContourLevels, AChosenStepTakesItsMultiplesHeavyAtFourSteps) {
    section::ContourLevels c;
    section::contour_levels_every(24.1f, 27.5f, 0.25, c);
    EXPECT_DOUBLE_EQ(c.step, 0.25);
    ASSERT_EQ(c.n, 14);  // 24.25 .. 27.5
    EXPECT_FLOAT_EQ(c.w[0], 24.25f);
    EXPECT_FLOAT_EQ(c.w[13], 27.5f);
    std::vector<float> heavy;
    for (int q = 1; q <= c.n; ++q)
        if (section::heavy_level(c, q)) heavy.push_back(c.w[static_cast<std::size_t>(q - 1)]);
    EXPECT_EQ(heavy, (std::vector<float>{25.0f, 26.0f, 27.0f}));

    // 1500 levels are too many: every 15th of them, at multiples of 0.15.
    section::contour_levels_every(0.0f, 15.0f, 0.01, c);
    EXPECT_NEAR(c.step, 0.15, 1e-9);
    EXPECT_EQ(c.n, 100);
    section::contour_levels_every(0.0f, 15.0f, 0.0, c);
    EXPECT_EQ(c.n, 0);
}

TEST(LinPlot, CellsAreTracedInEdgeOrderThroughSaddlesAndCorners) {
    // Values 0, 1, 0, 1 around the cell: every level below 1 is a saddle.
    Plotted p = plot_hardcopy(cell(0, 1, 0, 1), 0.0f, 1.0f);
    ASSERT_EQ(p.groups.size(), 12u);  // levels 0.1 .. 1.0
    EXPECT_EQ(p.groups[5].points, (std::vector<Point>{at(2, 7.2f, 'M'), at(3, 6.2f, 'D'), at(2, 5.2f, 'D'),
                                                      at(1, 6.2f, 'D')}));  // upper, right, lower, left
    // Level 1 meets the two corners holding 1, each found by both its edges.
    EXPECT_EQ(p.groups[10].points, (std::vector<Point>{at(3, 7.2f, 'M'), at(3, 7.2f, 'D'), at(1, 5.2f, 'D'),
                                                       at(1, 5.2f, 'D')}));

    // An edge whose both nodes hold the level is crossed at its middle.
    Plotted e = plot_hardcopy(cell(6, 6, 0, 0), 0.0f, 10.0f);
    EXPECT_EQ(e.groups[6].points, (std::vector<Point>{at(2, 7.2f, 'M'), at(3, 7.2f, 'D'), at(1, 7.2f, 'D')}));
    // Level 7 misses the cell altogether.
    EXPECT_TRUE(e.groups[7].points.empty());
}

TEST(LinPlot, NothingIsContouredWithoutCellsOrRange) {
    Field one({0, 1, 2}, {0}, {{0}, {5}, {10}});
    Plotted p = plot_hardcopy(one, 0.0f, 10.0f);
    ASSERT_EQ(p.groups.size(), 12u);
    for (const auto& g : p.groups) EXPECT_TRUE(g.points.empty());
    EXPECT_FALSE(p.text.empty());  // the interval line is still written

    Field flat({0, 1}, {0, 1}, {{3, 3}, {3, 3}});
    Plotted q = plot_hardcopy(flat, 3.0f, 3.0f);
    EXPECT_EQ(widths(q.groups), (std::vector<int>{20}));  // only the width for the labels
    EXPECT_TRUE(q.text.empty());                           // and no interval line

}

TEST(LinPlot, OnlyEdgesWithAMissingNodeAreLeftOut) {
    // The lower left corner is missing. Its two edges give nothing (no line
    // drawn against -999.9), but a level cutting off the good upper right
    // corner is traced from the upper edge to the right edge.
    Plotted m = plot_hardcopy(cell(0, 10, 0, -999.9f), 0.0f, 10.0f);
    ASSERT_EQ(m.groups.size(), 12u);
    EXPECT_EQ(m.groups[5].points, (std::vector<Point>{at(2, 7.2f, 'M'), at(3, 6.2f, 'D')}));  // level 5
    for (const auto& g : m.groups)
        for (const auto& pt : g.points) EXPECT_TRUE(pt.y > 1000 && pt.x < 2800) << pt;  // not on the left or lower edge
}

TEST(LinPlot, StoredLabelsAreRedrawnOnTheHardcopy) {
    section::labstore.labels[0] = {2.5f, 3.0f, {'2', '7'}, 2};
    section::labstore.labels[1] = {4.0f, 6.5f, {'2', '6', '.', '8'}, 4};
    section::labstore.labels[2] = {9.0f, 1.0f, {'9'}, 1};  // beyond the count: not drawn
    Field flat({0, 1}, {0, 1}, {{3, 3}, {3, 3}});
    Plotted p = plot_hardcopy(flat, 3.0f, 3.0f, 2);
    auto want = strokes_of(2.5f, 3.0f, "27");
    auto second = strokes_of(4.0f, 6.5f, "26.8");
    want.insert(want.end(), second.begin(), second.end());
    EXPECT_TRUE(same(p.text, want));
}

TEST(LinPlot, TooManyLevelsClosesTheDeviceAndStops) {
    TempDir dir;
    WorkingDir here(dir.path());
    miscli::Array1<float> z(400);
    miscli::Array2<float> g(400, 2);
    miscli::Array1<float> km(2);
    miscli::ProgramStop stop{"", 0};
    with_console(
        "",
        [&] {
            daz::plopen_('H', 'X');
            int count = 0;
            section::lin_plot_(z, g, km, section::MXDEP + 1, 1, 2, 0, 1, 0, "x", count, 'H', -999.0f, section::Look{});
        },
        &stop);
    EXPECT_EQ(stop.line, " Increase MXDEP of LIN_PLOT");
    EXPECT_EQ(stop.status, 1);
    EXPECT_FALSE(daz::hardcopy_open());
    EXPECT_NE(read_file(dir / "OUT01.EPS").find("%%EOF"), std::string::npos);
}

namespace {

// Levels or stations from lo to hi by step.
std::vector<float> from_to(float lo, float hi, float step) {
    std::vector<float> v;
    for (int i = 0; lo + static_cast<float>(i) * step <= hi + 1e-4f; ++i)
        v.push_back(lo + static_cast<float>(i) * step);
    return v;
}

bool inside(const section::PageBox& b, float x, float y, float shrink) {
    return x > b.x0 + shrink && x < b.x1 - shrink && y > b.y0 + shrink && y < b.y1 - shrink;
}

}  // namespace

TEST(AutoLabels, AlongTheHeavyLinesClearOfEachOtherTheFrameAndMissingCellsWithTheLinesBroken) {
    // Wavy lines z + 0.3 sin(km) across the frame (page x = 1 + km, y = 7.2
    // - z), levels 0.5 .. 6.5 with 2, 4 and 6 heavy; a tiny steep bump at
    // page (6, 2.2) ringed by small closed lines; missing nodes on the 4
    // line at page x 4.3 .. 4.8.
    const Field f(from_to(0.0f, 6.4f, 0.05f), from_to(0.0f, 7.0f, 0.05f), [](float km, float z) {
        if (km >= 3.3f && km <= 3.8f && z >= 3.8f && z <= 4.3f) return -999.9f;
        const float r2 = (km - 5.0f) * (km - 5.0f) + (z - 5.0f) * (z - 5.0f);
        return z + 0.3f * std::sin(km) + 3.0f * std::exp(-r2 / (2.0f * 0.08f * 0.08f));
    });
    const float lo = 0.0f, hi = 6.7f;
    section::ContourLevels levels;
    section::contour_levels(lo, hi, levels);
    std::vector<float> column_x;
    for (int j = 1; j <= f.last; ++j) column_x.push_back(section::frame_x(f.km(j)));
    std::vector<float> level_y;
    for (int k = 1; k <= f.n_z; ++k) level_y.push_back(section::frame_y(f.z(k)));
    const section::PageBox frame{1.0f, 0.8f, 8.0f, 7.2f};
    const auto labels = section::place_auto_labels({level_y, column_x, f.g, 1}, levels, frame);

    std::map<std::string, int> per_level;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const auto& a = labels[i];
        const std::string text(a.label.text.data(), static_cast<std::size_t>(a.label.length));
        ++per_level[text];
        const float cx = 0.5f * (a.box.x0 + a.box.x1), cy = 0.5f * (a.box.y0 + a.box.y1);
        EXPECT_TRUE(a.box.x0 >= frame.x0 && a.box.x1 <= frame.x1 && a.box.y0 >= frame.y0 && a.box.y1 <= frame.y1)
            << text << " at " << cx << "," << cy;
        // On its line, away from the bump and the missing nodes.
        const float km = cx - 1.0f, z = 7.2f - cy;
        EXPECT_NEAR(z + 0.3f * std::sin(km), std::stof(text), 0.03f) << text << " at " << cx << "," << cy;
        EXPECT_GT(std::hypot(cx - 6.0f, cy - 2.2f), 0.4f) << text;
        EXPECT_TRUE(a.box.x1 < 4.3f || a.box.x0 > 4.8f || a.box.y1 < 2.9f || a.box.y0 > 3.4f) << text;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_TRUE(labels[j].box.x1 < a.box.x0 || a.box.x1 < labels[j].box.x0 || labels[j].box.y1 < a.box.y0 ||
                        a.box.y1 < labels[j].box.y0)
                << text << " overlaps label " << j;
    }
    // About one every 2.75 inches of a line 7 inches long; the 4 line is
    // cut in two by the missing nodes, one for each half.
    EXPECT_EQ(per_level, (std::map<std::string, int>{{"2", 3}, {"4", 2}, {"6", 3}}));

    section::Look look;
    look.auto_labels = true;
    const Plotted p = plot_hardcopy(f, lo, hi, 0, look);
    // No stroke inside a label's box, but lines end on its edges.
    std::vector<int> ends(labels.size(), 0);
    for (const auto& g : p.groups) {
        for (std::size_t i = 0; i < g.points.size(); ++i) {
            const float x = static_cast<float>(g.points[i].y) / 1000.0f,
                        y = 8.0f - static_cast<float>(g.points[i].x) / 1000.0f;
            for (std::size_t l = 0; l < labels.size(); ++l) {
                const auto& b = labels[l].box;
                if (inside(b, x, y, -0.002f) && !inside(b, x, y, 0.002f)) ++ends[l];
                if (i == 0 || g.points[i].pen != 'D') continue;
                const float x0 = static_cast<float>(g.points[i - 1].y) / 1000.0f;
                const float y0 = 8.0f - static_cast<float>(g.points[i - 1].x) / 1000.0f;
                for (int t = 0; t <= 10; ++t) {
                    const float u = static_cast<float>(t) / 10.0f;
                    ASSERT_FALSE(inside(b, x0 + u * (x - x0), y0 + u * (y - y0), 0.003f)) << "label " << l;
                }
            }
        }
    }
    for (std::size_t l = 0; l < labels.size(); ++l) EXPECT_GE(ends[l], 2) << "label " << l;
    // The texts after the interval line.
    auto want = strokes_of(7.0f, 0.4f, "CI=0.5  " + miscli::field("Sigma-theta", 20));
    for (const auto& a : labels) {
        const auto s = strokes_of(a.label.x, a.label.y,
                                  std::string(a.label.text.data(), static_cast<std::size_t>(a.label.length)));
        want.insert(want.end(), s.begin(), s.end());
    }
    EXPECT_TRUE(same(p.text, want));

    // A hand-placed label takes the place of all of them: the classic picture.
    section::labstore.labels[0] = {2.5f, 3.0f, {'4'}, 1};
    EXPECT_EQ(plot_hardcopy(f, lo, hi, 1, look).eps, plot_hardcopy(f, lo, hi, 1).eps);
}

TEST(AutoLabels, ALevelThroughNodesThatHoldItIsJoinedIntoOneLine) {
    // Values in quarters: the level 2 runs through nodes holding 2 itself,
    // where the drawn lines meet both edges at the corner.
    const Field f(from_to(0.0f, 6.4f, 0.1f), from_to(0.0f, 7.0f, 0.1f),
                  [](float km, float z) { return std::round((z + 0.3f * std::sin(km)) * 4.0f) / 4.0f; });
    std::vector<float> column_x, level_y;
    for (int j = 1; j <= f.last; ++j) column_x.push_back(section::frame_x(f.km(j)));
    for (int k = 1; k <= f.n_z; ++k) level_y.push_back(section::frame_y(f.z(k)));
    const section::TracedField traced{level_y, column_x, f.g, 1};
    section::LineJoiner joiner(f.n_z);
    trace_level<section::AtLevel::Above>(traced, 2.0f,
                                         [&](int j, int k, const section::CellCrossings& c) { joiner.cell(j, k, c); });
    const auto lines = joiner.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_FALSE(lines[0].closed);
    const auto [left, right] = std::minmax(lines[0].points.front().x, lines[0].points.back().x);
    EXPECT_FLOAT_EQ(left, 1.0f);
    EXPECT_FLOAT_EQ(right, 8.0f);
}

TEST(LevelCells, VisitTheCellsTraceLevelVisitsInItsOrder) {
    // Levels through nodes that hold them, missing patches and NaN nodes.
    Field f(from_to(0.0f, 6.4f, 0.1f), from_to(0.0f, 7.0f, 0.1f),
            [](float km, float z) { return std::round((z + 0.3f * std::sin(km)) * 4.0f) / 4.0f; });
    for (int j = 10; j <= 14; ++j)
        for (int k = 20; k <= 30; ++k) f.g(k, j) = data::GRID_MISSING;
    f.g(40, 33) = NAN;
    f.g(5, 50) = NAN;
    std::vector<float> column_x, level_y, levels;
    for (int j = 1; j <= f.last; ++j) column_x.push_back(section::frame_x(f.km(j)));
    for (int k = 1; k <= f.n_z; ++k) level_y.push_back(section::frame_y(f.z(k)));
    for (float w = 0.25f; w < 7.0f; w += 0.5f) levels.push_back(w);
    const section::TracedField traced{level_y, column_x, f.g, 1};
    const section::LevelCells cells(traced, levels);
    ASSERT_FALSE(cells.empty());
    using Visits = std::vector<std::tuple<int, int, int, float, float>>;
    const auto record = [](Visits& v) {
        return [&v](int j, int k, const section::CellCrossings& c) { v.emplace_back(j, k, c.n, c.at[0].x, c.at[0].y); };
    };
    for (int q = 1; q <= static_cast<int>(levels.size()); ++q) {
        const float w = levels[static_cast<std::size_t>(q - 1)];
        Visits scanned, listed, scanned_above, listed_above;
        section::trace_level(traced, w, record(scanned));
        cells.trace(traced, q, w, record(listed));
        section::trace_level<section::AtLevel::Above>(traced, w, record(scanned_above));
        cells.trace<section::AtLevel::Above>(traced, q, w, record(listed_above));
        EXPECT_FALSE(scanned.empty());
        EXPECT_EQ(scanned, listed) << "level " << w;
        EXPECT_EQ(scanned_above, listed_above) << "level " << w;
    }
}
