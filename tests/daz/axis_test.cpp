// Axes: where the ticks, labels and title land for the linear, decade and
// log-linear schemes, on either side, and what degenerate axes draw.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "daz/axis.h"
#include "daz/axis_pen.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "support/test_support.h"

namespace {

constexpr float kTol = 1e-4f;
using Labels = std::vector<std::string>;

struct Tick {
    float x0, y0, x1, y1;  // a pen-down line from its move to its last point
};
struct Text {
    float x, y, angle;
    std::string text;
};
struct Drawn {
    Tick line{};
    std::vector<Tick> ticks;
    std::vector<Text> labels;
    Text title;
    Labels texts() const {
        Labels out;
        for (const Text& t : labels) out.push_back(t.text);
        return out;
    }
};

Drawn recorded;

void record_stroke(float x, float y, int pen) {
    if (pen == 3) {
        recorded.ticks.push_back({x, y, x, y});
    } else if (!recorded.ticks.empty()) {
        recorded.ticks.back().x1 = x;
        recorded.ticks.back().y1 = y;
    }
}
void record_text(float x, float y, float, float angle, std::string_view t) {
    recorded.labels.push_back({x, y, angle, std::string(t)});
}

// What `f` draws: the axis line, the ticks, the labels and the title.
Drawn draw(const std::function<void()>& f) {
    recorded = {};
    const auto old = daz::set_axis_pen({&record_stroke, &record_text});
    f();
    daz::set_axis_pen(old);
    Drawn d = recorded;
    std::erase_if(d.ticks, [](const Tick& t) { return t.x0 == t.x1 && t.y0 == t.y1; });  // pen lifts
    EXPECT_FALSE(d.ticks.empty());
    EXPECT_FALSE(d.labels.empty());
    if (d.ticks.empty() || d.labels.empty()) return d;
    d.line = d.ticks.front();
    d.ticks.erase(d.ticks.begin());
    d.title = d.labels.back();
    d.labels.pop_back();
    return d;
}

std::array<float, 4> measure(const std::string& text) {
    std::array<float, 4> r{};
    daz::justy_(r, 0.1f, text);
    return r;
}

// Ticks of an axis along x at y, `dx` apart from x0, crossing it; every
// `long_every`-th one from the first is long.
void expect_crossing_ticks(const Drawn& d, float x0, float dx, float y, int long_every) {
    for (std::size_t j = 0; j < d.ticks.size(); ++j) {
        SCOPED_TRACE(j);
        const float half = j % static_cast<std::size_t>(long_every) == 0 ? 0.09f : 0.06f;
        EXPECT_NEAR(d.ticks[j].x0, x0 + dx * static_cast<float>(j), kTol);
        EXPECT_NEAR(d.ticks[j].x1, d.ticks[j].x0, kTol);
        EXPECT_NEAR(d.ticks[j].y0, y + half, kTol);
        EXPECT_NEAR(d.ticks[j].y1, y - half, kTol);
    }
}

TEST(LinearAxis, DistanceAxisTicksLabelsAndTitleBelow) {
    const Drawn d = draw([] { daz::linx_ax_(0, 100, "Distance, km", 0.8f, 0.8f, 8.0f, 0.8f); });
    EXPECT_NEAR(d.line.x1, 8.0f, kTol);
    ASSERT_EQ(d.ticks.size(), 21u);  // every 5 km at 0.072 inch per km, long every 10
    expect_crossing_ticks(d, 0.8f, 0.36f, 0.8f, 2);
    ASSERT_EQ(d.texts(), (Labels{"0", "20", "40", "60", "80", "100"}));
    for (std::size_t j = 0; j < 6; ++j) {
        SCOPED_TRACE(j);
        const Text& t = d.labels[j];
        EXPECT_NEAR(t.x, 0.8f + 1.44f * static_cast<float>(j) - measure(t.text)[1] - 0.025f, kTol);
        EXPECT_NEAR(t.y, 0.8f - 0.24f, kTol);
        EXPECT_EQ(t.angle, 0.0f);
    }
    EXPECT_NEAR(d.title.x, 4.4f - measure("Distance, km")[1], kTol);
    EXPECT_NEAR(d.title.y, 0.8f - 0.29f - 0.14f, kTol);  // the labels' reach, then 1.4 heights
}

TEST(LinearAxis, IntervalsFollowTheSpacingAndEndsKeepTheirTicks) {
    struct Case {
        float v1, v2, length;
        std::size_t ticks;
        float first, dx;
        int long_every;
        Labels labels;
    };
    const Case cases[] = {
        {0, 30, 6, 31, 1, 0.2f, 5, {"0", "5", "10", "15", "20", "25", "30"}},
        {0, 30, 1, 7, 1, 1.0f / 6, 2, {"0", "10", "20", "30"}},
        {0, 120, 1.2f, 13, 1, 0.1f, 5, {"0", "50", "100"}},
        // A tick step of 0.01, a tick every second one from -0.52.
        {-0.53f, 0.47f, 10, 50, 1.3f, 0.2f, 5,
         {"-0.5", "-0.4", "-0.3", "-0.2", "-0.1", "0", "0.1", "0.2", "0.3", "0.4"}},
        // 0.3 is stored a little above 0.3; its tick and label stay.
        {0.3f, 0.6f, 6, 31, 1, 0.2f, 5, {"0.3", "0.35", "0.4", "0.45", "0.5", "0.55", "0.6"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.v1) + ".." + std::to_string(c.v2));
        Drawn d = draw([&] { daz::linx_ax_(c.v1, c.v2, "", 1, 1, 1 + c.length, 1); });
        ASSERT_EQ(d.ticks.size(), c.ticks);
        if (c.v1 < -0.5f) d.ticks.erase(d.ticks.begin());  // the short one before -0.5
        expect_crossing_ticks(d, c.first, c.dx, 1, c.long_every);
        EXPECT_EQ(d.texts(), c.labels);
    }
}

TEST(LinearAxis, DepthAxisUpwardsWithLabelsLeftAndTitleReadingUp) {
    const Drawn d = draw([] { daz::liny_ax_(1000, 0, "Depth", 0.8f, 0.8f, 0.8f, 7.2f); });
    ASSERT_EQ(d.ticks.size(), 21u);  // from 1000 at the bottom, every 50, long every 100
    for (std::size_t j = 0; j < d.ticks.size(); ++j) {
        SCOPED_TRACE(j);
        const float half = j % 2 == 0 ? 0.09f : 0.06f;
        EXPECT_NEAR(d.ticks[j].y0, 0.8f + 0.32f * static_cast<float>(j), kTol);
        EXPECT_NEAR(d.ticks[j].x0, 0.8f + half, kTol);
        EXPECT_NEAR(d.ticks[j].x1, 0.8f - half, kTol);
    }
    ASSERT_EQ(d.texts(), (Labels{"1000", "800", "600", "400", "200", "0"}));
    for (std::size_t j = 0; j < 6; ++j) {
        SCOPED_TRACE(j);
        const Text& t = d.labels[j];
        EXPECT_NEAR(t.x + measure(t.text)[2], 0.65f, kTol);  // ends 0.15 inch from the axis
        EXPECT_NEAR(t.y, 0.76f + 1.28f * static_cast<float>(j), kTol);
        EXPECT_NEAR(t.angle, 0.0f, 1e-3f);
    }
    const auto widest = measure("1000");
    EXPECT_NEAR(d.title.x, 0.8f - 0.04f - (0.21f + widest[2] - widest[0]), kTol);
    EXPECT_NEAR(d.title.y, 4.0f - measure("Depth")[1], kTol);
    EXPECT_NEAR(d.title.angle, 90.0f, 1e-3f);
}

TEST(LinearAxis, SideCodeTurnsLabelsAndTitleOver) {
    const Drawn above = draw([] { daz::axis_(0, 100, "T", "cc", 0, 0.8f, 0.8f, 8.0f, 0.8f); });
    EXPECT_NEAR(above.labels[0].y, 0.8f + 0.11f, kTol);
    EXPECT_NEAR(above.title.y, 0.8f + 0.04f + 0.29f, kTol);
    EXPECT_NEAR(above.ticks[0].y0, 0.8f - 0.09f, kTol);
    const Drawn right = draw([] { daz::axis_(0, 100, "T", "CW", 0, 2, 1, 2, 7); });
    const Text& top = right.labels.back();
    EXPECT_NEAR(top.x + measure(top.text)[0], 2.15f, kTol);  // starts 0.15 inch out
    EXPECT_GT(right.title.x, top.x + measure(top.text)[2]);
}

TEST(LogAxis, DecadesEitherWayRound) {
    // 1..1000 over 6 inches: 2 inches a decade, short ticks at 2..9.
    for (bool reversed : {false, true}) {
        SCOPED_TRACE(reversed);
        const Drawn d = draw([&] { daz::logy_ax_(reversed ? 1000 : 1, reversed ? 1 : 1000, "", 1, 1, 1, 7); });
        ASSERT_EQ(d.ticks.size(), 28u);
        for (std::size_t j = 0; j < d.ticks.size(); ++j) {
            SCOPED_TRACE(j);
            const int k = static_cast<int>(j % 9) + 1;
            const float up = 2.0f * std::log10(static_cast<float>(k)) + 2.0f * static_cast<float>(j / 9);
            EXPECT_NEAR(d.ticks[j].y0, reversed ? 7.0f - up : 1.0f + up, kTol);
            EXPECT_NEAR(d.ticks[j].x0, 1.06f, kTol);                   // from inside the axis
            EXPECT_NEAR(d.ticks[j].x1, k == 1 ? 0.91f : 1.0f, kTol);  // across it at a decade
        }
        ASSERT_EQ(d.texts(), (Labels{"1", "10", "100", "10\\sup{3}"}));
        EXPECT_NEAR(d.labels[3].y, (reversed ? 1.0f : 7.0f) - 0.04f, kTol);
    }
    const Drawn wide = draw([] { daz::logy_ax_(0.1f, 10, "", 1, 1, 1, 7); });  // 3 inches a decade
    EXPECT_EQ(wide.texts(), (Labels{"10\\sup{-1}", "2x10\\sup{-1}", "5x10\\sup{-1}", "1", "2", "5", "10"}));
    const Drawn tight = draw([] { daz::logy_ax_(1e-2f, 1e4f, "", 1, 1, 1, 4); });  // half an inch
    EXPECT_EQ(tight.ticks.size(), 7u);
    EXPECT_EQ(tight.texts(), (Labels{"10\\sup{-2}", "10\\sup{-1}", "1", "10", "100", "10\\sup{3}", "10\\sup{4}"}));
    const Drawn huge = draw([] { daz::logy_ax_(1e-30f, 1e30f, "", 1, 1, 1, 7); });  // the ratio overflows
    EXPECT_EQ(huge.ticks.size(), 61u);
}

TEST(LogAxis, NarrowRangeHasDecimalStepsOnTheLogScale) {
    const Drawn d = draw([] { daz::logy_ax_(2, 5, "", 1, 1, 1, 7); });
    ASSERT_EQ(d.ticks.size(), 31u);
    for (std::size_t j = 0; j < d.ticks.size(); ++j) {
        SCOPED_TRACE(j);
        const float v = 2.0f + 0.1f * static_cast<float>(j);
        EXPECT_NEAR(d.ticks[j].y0, 1.0f + 6.0f * std::log10(v / 2) / std::log10(2.5f), 2e-4f);
        EXPECT_NEAR(d.ticks[j].x0 - d.ticks[j].x1, j % 5 == 0 ? 0.18f : 0.12f, kTol);
    }
    EXPECT_EQ(d.texts(), (Labels{"2", "2.5", "3", "3.5", "4", "4.5", "5"}));
}

TEST(AxisInput, DegenerateAxesDrawTheLineAndTitleOnly) {
    const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float v1, v2;
        int log;
        float x2;
    } cases[] = {{5, 5, 0, 7},     {5, 5, 1, 7},    {0, 100, 0, 1},     {0, 100, 1, 7},        {-10, 100, 1, 7},
                 {-1, -1e3f, 1, 7}, {nan, 1, 0, 7}, {0, inf, 0, 7},     {1, inf, 1, 7},        {-3e38f, 3e38f, 0, 7},
                 {0, 1e-44f, 0, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.v1) + ".." + std::to_string(c.v2) + " log " + std::to_string(c.log));
        recorded = {};
        const auto old = daz::set_axis_pen({&record_stroke, &record_text});
        daz::axis_(c.v1, c.v2, "Title", "CW", c.log, 1, 1, c.x2, 1);
        daz::set_axis_pen(old);
        EXPECT_EQ(recorded.ticks.size(), 1u);  // the line
        ASSERT_EQ(recorded.labels.size(), 1u);
        EXPECT_NEAR(recorded.labels[0].y, 1.0f - 0.14f, kTol);  // no labels to stand clear of
    }
    for (float v1 : {1e30f, -1e-30f, 123456.7f}) {  // far from zero: bounded, on the axis
        SCOPED_TRACE(v1);
        const Drawn d = draw([&] { daz::linx_ax_(v1, v1 + std::fabs(v1) * 1e-3f, "", 0, 1, 9, 1); });
        EXPECT_GE(d.ticks.size(), 13u);
        EXPECT_LE(d.ticks.size(), 127u);
        for (const Tick& t : d.ticks) EXPECT_TRUE(t.x0 > -1e-3f && t.x0 < 9.001f) << t.x0;
    }
}

TEST(Formt, DecimalsAndPowersOfTen) {
    const struct {
        int m, e, mode;
        const char* text;
    } cases[] = {
        {25, -1, 0, "2.5"},   {5, -2, 0, "0.05"},          {-5, -2, 0, "-0.05"},        {120, 0, 0, "120"},
        {0, 7, 1, "0"},       {1000000, 0, 0, "10\\sup{6}"}, {1, 6, 1, "10\\sup{6}"},    {-1, 3, 1, "-10\\sup{3}"},
        {25, 5, 1, "25x10\\sup{5}"}, {1, -5, 1, "10\\sup{-5}"}, {1, -5, 0, "10\\sup{-5}"}, {123456, 0, 0, "123456"},
        {-123456, 0, 0, "-123456x10\\sup{0}"}, {1, -4, 0, "0.0001"}, {-1, -4, 0, "-10\\sup{-4}"}, {30, -2, 0, "0.3"},
        {7, -40, 0, "7x10\\sup{-40}"}, {1, 123456, 1, "10\\sup{****}"},
        {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0, "-2147483648x10\\sup{*"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.m) + " " + std::to_string(c.e) + " " + std::to_string(c.mode));
        std::string text = "left over";
        int n = -1;
        daz::formt_(c.m, c.e, text, n, c.mode);
        ASSERT_EQ(text.size(), 20u);
        EXPECT_EQ(text.substr(0, static_cast<std::size_t>(n)), c.text);
        EXPECT_EQ(text.find_last_not_of(' ') + 1, static_cast<std::size_t>(n));
    }
}

TEST(AxisPicture, AxesInAHardcopyRender) {
    testing_support::TempDir dir;
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    testing_support::with_console("", [] {
        daz::plopen_('H', 'X');
        daz::linx_ax_(0, 100, "Distance, km", 0.8f, 0.8f, 8.0f, 0.8f);
        daz::liny_ax_(1000, 0, "Pressure, dbar", 0.8f, 0.8f, 0.8f, 7.2f);
        daz::logy_ax_(1, 1000, "\\sigma\\\\sub{\\theta\\}", 8.8f, 0.8f, 8.8f, 7.2f);
        daz::axis_(2, 5, "Log 2..5", "CW", 1, 2, 4, 7, 4);
        daz::axis_(1000, 1, "Log reversed", "CC", 1, 2, 5.5f, 7, 5.5f);
        daz::plclosnow_();
    });
    std::filesystem::current_path(old);
    // The distance axis's long tick at 0 and short one at 5 km (file x = 8000 - 1000 y, y = 1000 x).
    const std::string eps = testing_support::read_file(dir / "OUT01.EPS");
    EXPECT_NE(eps.find("7110 800 M\n7290 800 D"), std::string::npos);
    EXPECT_NE(eps.find("7140 1160 M\n7260 1160 D"), std::string::npos);

    const std::string cmd = "cd '" + dir.path().string() +
                            "' && gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=png16m -r60 -dEPSCrop"
                            " -sOutputFile=axes.png OUT01.EPS > gs.txt 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(testing_support::read_file(dir / "gs.txt"), "");
    EXPECT_GT(std::filesystem::file_size(dir / "axes.png"), 1000u);
}

}  // namespace
