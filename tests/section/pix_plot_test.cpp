#include <gtest/gtest.h>

#include <cmath>

#include "daz/plot_device.h"
#include "section/pix_plot.h"
#include "section/plotcom.h"
#include "support/eps_reader.h"
#include "support/test_support.h"

using namespace testing_support;
namespace {

// Levels and profiles the grids of these tests hold.
constexpr int MXZ = 500, MXPR = 800;

struct Section {
    miscli::Array1<float> z{MXZ + 1}, km{MXPR}, day{MXPR};
    miscli::Array1<int> number{MXPR};
    miscli::Array2<float> g{MXZ, MXPR, 5.0f};
    int levels = 5;
    Section() {
        for (int k = 1; k <= levels + 1; ++k) z(k) = 2.5f * static_cast<float>(k - 1);
        for (int j = 1; j <= MXPR; ++j) number(j) = j;
        auto& p = section::plotcom;
        p = section::Plotcom{};
        p.vertical = section::Vertical::Pressure;
        p.z_min = 0;
        p.z_max = 10;
        p.z_scale = 6.4f / 10.0f;
    }
    void frame(float x_right) {
        section::plotcom.x_left = 0;
        section::plotcom.x_right = x_right;
        section::plotcom.x_scale = 7.2f / x_right;
    }
    // Draws profiles first..last into a hardcopy and reads it back.
    EpsPicture draw(int first, int last, int day_tics = 0, float lo = 0.0f, float hi = 10.0f) {
        TempDir dir;
        WorkingDir here(dir.path());
        with_console("", [&] {
            daz::plopen_('H', 'X');
            section::pix_plot_(z, g, km, day, number, levels, first, last, lo, hi, 0, day_tics, 0.0f, "T", -999.0f, section::Look{});
            daz::plclosnow_();
        });
        if (have_ghostscript()) {
            auto r = render_eps(dir / "OUT01.EPS", dir / "x.png");
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.output, "");
        }
        return read_eps(read_file(dir / "OUT01.EPS"));
    }
};

float lo_x(const Fill& f) { return std::fmin(std::fmin(f.points[0].x, f.points[1].x), f.points[2].x); }
float hi_x(const Fill& f) { return std::fmax(std::fmax(f.points[0].x, f.points[1].x), f.points[2].x); }
float lo_y(const Fill& f) { return std::fmin(std::fmin(f.points[0].y, f.points[1].y), f.points[2].y); }
float hi_y(const Fill& f) { return std::fmax(std::fmax(f.points[0].y, f.points[1].y), f.points[2].y); }

}  // namespace

TEST(PixPlot, ColumnsSpanHalfwayToTheNeighboursAndCellsStopAtTheBottom) {
    Section s;
    s.km(1) = 0;
    s.km(2) = 10;
    s.km(3) = 30;
    s.frame(30);
    s.g(1, 1) = -999.0f;  // missing: black
    s.g(2, 1) = -998.9f;  // a value: coloured
    auto pic = s.draw(1, 3);
    ASSERT_EQ(pic.fills.size(), 50u + 3u * 4u);  // the bar, then four cells a column
    const float edges[] = {0.8f, 2.0f, 5.6f, 8.0f};
    for (int col = 0; col < 3; ++col)
        for (int k = 0; k < 4; ++k) {
            const Fill& f = pic.fills[50u + static_cast<std::size_t>(col * 4 + k)];
            EXPECT_NEAR(lo_x(f), edges[col], 0.0015f);
            EXPECT_NEAR(hi_x(f), edges[col + 1] + 0.01f, 0.0015f);
        }
    // Level edges at 0, 1.25, 3.75, 6.25 and 8.75; the next, 11.25, lies past z_max.
    const Fill& first = pic.fills[50];
    EXPECT_NEAR(hi_y(first), 7.2f, 0.0015f);
    EXPECT_NEAR(lo_y(first), 7.2f - 1.25f * 0.64f - 0.01f, 0.0015f);
    EXPECT_NEAR(lo_y(pic.fills[53]), 7.2f - 8.75f * 0.64f - 0.01f, 0.0015f);
    EXPECT_EQ(first.red + first.green + first.blue, 0.0f);
    const Fill& second = pic.fills[51];
    EXPECT_FLOAT_EQ(second.blue, 0.65f);  // far below the scale: its darkest blue
    // The bar runs from dark blue at the bottom to dark red at the top.
    EXPECT_NEAR(lo_y(pic.fills[0]), 0.8f, 0.0015f);
    EXPECT_GT(pic.fills[0].blue, 0.6f);
    EXPECT_GT(pic.fills[49].red, 0.6f);
    EXPECT_GT(lo_y(pic.fills[49]), 7.0f);
}

TEST(PixPlot, SquareRootAxisTicksStopAboveTheBottom) {
    Section s;
    s.km(1) = 0;
    s.km(2) = 10;
    s.frame(10);
    auto& p = section::plotcom;
    p.vertical = section::Vertical::SqrtPressure;
    p.z_max = 120;
    p.z_scale = 6.4f / (std::sqrt(129.0f) - 3.0f);
    auto pic = s.draw(1, 2);
    for (float v : {0.0f, 10.0f, 20.0f, 35.0f, 50.0f, 75.0f, 100.0f}) {
        const float y = 7.2f - (std::sqrt(v + 9.0f) - 3.0f) * p.z_scale;
        EXPECT_EQ(count_segments(pic, 0.9f, y, 0.7f, y), 1) << v;
    }
    const float y150 = 7.2f - (std::sqrt(159.0f) - 3.0f) * p.z_scale;
    EXPECT_EQ(count_segments(pic, 0.9f, y150, 0.7f, y150), 0);
}

TEST(PixPlot, ProfileAndDayTicksAlongTheTop) {
    Section s;
    for (int i = 1; i <= 200; ++i) {
        s.km(i) = static_cast<float>(i - 1);
        s.day(i) = 100.0f + 0.5f * static_cast<float>(i);  // 100.5 .. 200
    }
    s.frame(199);
    auto count_ticks = [](const EpsPicture& pic, float up) {
        int n = 0;
        for (const auto& seg : pic.segments)
            if (std::fabs(seg.from.y - 7.15f) < 0.002f && std::fabs(seg.to.y - (7.2f + up)) < 0.002f &&
                std::fabs(seg.from.x - seg.to.x) < 0.002f)
                ++n;
        return n;
    };
    auto profiles = s.draw(1, 200);
    EXPECT_EQ(count_ticks(profiles, 0.1f), 10);   // 20, 40, ..., 200
    EXPECT_EQ(count_ticks(profiles, 0.05f), 190);

    auto hundred = s.draw(1, 100);
    EXPECT_EQ(count_ticks(hundred, 0.1f), 10);    // every tenth

    // Days 101..199 over the section: long ticks every tenth day.
    auto days = s.draw(1, 200, 1);
    EXPECT_EQ(count_ticks(days, 0.1f), 9);        // 110, 120, ..., 190
    EXPECT_EQ(count_ticks(days, 0.05f), 90);
}

TEST(PixPlot, AFieldOfOneValueIsDrawnInTheMiddleColour) {
    Section s;
    s.km(1) = 0;
    s.km(2) = 10;
    s.frame(10);
    auto pic = s.draw(1, 2, 0, 5.0f, 5.0f);
    ASSERT_EQ(pic.fills.size(), 50u + 2u * 4u);
    for (const auto& f : pic.fills) {
        EXPECT_EQ(f.red, 0.0f);
        EXPECT_EQ(f.green, 1.0f);
        EXPECT_EQ(f.blue, 0.0f);
    }
    // The bar's axis still has ticks around the value.
    int bar_ticks = 0;
    for (const auto& seg : pic.segments)
        if (std::fabs(seg.from.y - seg.to.y) < 0.001f && std::fabs(seg.from.x - 8.8f) < 0.1f &&
            std::fabs(seg.to.x - 8.8f) < 0.1f && seg.from.x != seg.to.x)
            ++bar_ticks;
    EXPECT_GT(bar_ticks, 5);
}

TEST(PixPlot, AReversedRangeDrawsTheReversedScaleAndAFieldWithoutValuesTheMiddleColour) {
    Section s;
    s.km(1) = 0;
    s.km(2) = 10;
    s.frame(10);
    s.g.fill(2.5f);
    // From 10 at the bottom to 0 at the top: the bar keeps its colours
    // (value 10 - dv/2 is near the low end) and a cell of 2.5 is orange.
    auto reversed = s.draw(1, 2, 0, 10.0f, 0.0f);
    EXPECT_NEAR(reversed.fills[0].blue, 0.685f, 0.01f);  // the file keeps two decimals
    EXPECT_GT(reversed.fills[49].red, 0.6f);
    EXPECT_EQ(reversed.fills[49].green, 0.0f);
    EXPECT_NEAR(reversed.fills[50].red, 1.0f, 0.01f);
    EXPECT_NEAR(reversed.fills[50].green, 0.75f, 0.01f);

    // No cell with a value: the driver's range stays at 999, -999.
    s.g.fill(-999.9f);
    auto empty = s.draw(1, 2, 0, 999.0f, -999.0f);
    for (std::size_t i = 0; i < 50; ++i) EXPECT_EQ(empty.fills[i].green, 1.0f) << i;
}

TEST(PixPlot, CellsStartAtTheFirstLevelWhenTheGridStartsBelowTheFrameTop) {
    Section s;
    s.km(1) = 0;
    s.km(2) = 10;
    s.frame(10);
    for (int k = 1; k <= s.levels + 1; ++k) s.z(k) = 5.0f + 2.5f * static_cast<float>(k - 1);
    auto pic = s.draw(1, 2);
    ASSERT_EQ(pic.fills.size(), 50u + 2u * 2u);  // the third lower edge, 11.25, is past z_max
    EXPECT_NEAR(hi_y(pic.fills[50]), 7.2f - 5.0f * 0.64f, 0.0015f);
    EXPECT_NEAR(lo_y(pic.fills[50]), 7.2f - 6.25f * 0.64f - 0.01f, 0.0015f);
    // The frame still starts at the surface.
    EXPECT_GE(count_segments(pic, 0.8f, 0.8f, 0.8f, 7.2f), 1);
}
