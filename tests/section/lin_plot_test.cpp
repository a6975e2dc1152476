// Line contours: the level list, the tracing through cells, the interval
// line and the stop, checked in the hardcopy's strokes.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "daz/letter_recorder.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/text_field.h"
#include "section/contour_labels.h"
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

Plotted plot_hardcopy(const Field& f, float lo, float hi, int count = 0) {
    TempDir dir;
    WorkingDir here(dir.path());
    Plotted p;
    letter_testing::Recording rec;
    with_console("", [&] {
        daz::plopen_('H', 'X');
        f.plot(lo, hi, count, 'H');
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
