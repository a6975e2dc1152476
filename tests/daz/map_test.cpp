// Map frames: fitting a box onto the page, and the graduated border with
// its degree-and-minute labels.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "daz/map_axes.h"
#include "daz/map_size.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/text_field.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

struct Frame {
    float left = 0, right = 0, bottom = 0, top = 0;
    char code = ' ';
};

Frame fit(float west, float east, float south, float north, char code) {
    Frame f;
    f.code = code;
    daz::map_size_(west, east, south, north, f.left, f.right, f.bottom, f.top, f.code);
    return f;
}

std::vector<std::string> texts(const daz::MapAxesLayout& m) {
    std::vector<std::string> out;
    for (const auto& l : m.labels) out.emplace_back(miscli::trim_right(l.text));
    return out;
}

std::array<float, 4> extent(const std::string& text) {
    std::array<float, 4> r{};
    daz::justy_(r, 0.1f, text);
    return r;
}

// Longitude ticks hang below the bottom edge; latitude ticks stand left.
std::vector<float> lon_ticks(const daz::MapAxesLayout& m) {
    std::vector<float> x;
    for (const auto& t : m.ticks)
        if (t.x1 == t.x2) x.push_back(t.x1);
    return x;
}

}  // namespace

TEST(MapSize, OrientationByShapeOrCodeAndEqualGroundScales) {
    // 10 by 5 degrees on the equator: landscape, full width.
    Frame eq = fit(-5, 5, -2.5f, 2.5f, ' ');
    EXPECT_EQ(eq.code, 'X');
    EXPECT_FLOAT_EQ(eq.left, 1.0f);
    EXPECT_FLOAT_EQ(eq.right, 9.5f);
    EXPECT_FLOAT_EQ(eq.bottom, 0.8f);
    EXPECT_FLOAT_EQ(eq.top, 0.8f + 4.25f);

    // At 60 N the same width is half as long on the ground; 6.8 inches high
    // would not fit, so the height is held at 6.5.
    Frame north = fit(-5, 5, 58, 62, ' ');
    EXPECT_EQ(north.code, 'X');
    EXPECT_NEAR(north.top, 0.8f + 6.5f, 1e-5);
    EXPECT_NEAR(north.right, 9.125f, 1e-4);
    EXPECT_NEAR((north.right - north.left) / (10 * std::cos(60 * M_PI / 180)), (north.top - north.bottom) / 4, 1e-4);

    // "y" forces portrait whatever the shape; a tall box chooses it itself.
    Frame forced = fit(-5, 5, -2.5f, 2.5f, 'y');
    EXPECT_EQ(forced.code, 'Y');
    EXPECT_NEAR(forced.right, 1.0f + 6.5f, 1e-5);
    EXPECT_NEAR(forced.top, 0.8f + 3.25f, 1e-5);
    Frame tall = fit(0, 2, 0, 5, '0');
    EXPECT_EQ(tall.code, 'Y');
    EXPECT_NEAR(tall.top, 0.8f + 8.5f, 1e-5);
    const float ground = 2 * static_cast<float>(std::cos(2.5 * M_PI / 180));
    EXPECT_NEAR(tall.right, 1.0f + 8.5f * ground / 5, 1e-4);

    // "X" forces landscape on a tall box: held to 6.5 high.
    Frame wide = fit(0, 2, 0, 5, 'X');
    EXPECT_EQ(wide.code, 'X');
    EXPECT_NEAR(wide.top, 0.8f + 6.5f, 1e-5);
    EXPECT_NEAR(wide.right, 1.0f + 6.5f * ground / 5, 1e-4);
}

TEST(MapAxes, LongitudeBandsTicksAndLabels) {
    // 9 degrees over 8.5 inches: 1-degree bands, 5-degree labels.
    auto m = daz::map_axes_layout(-125, -116, 36, 40, 1.0f, 9.5f, 0.8f, 4.6f);
    ASSERT_TRUE(m.graduated);
    EXPECT_EQ(daz::map_interval(m.lon_band), 1.0);
    EXPECT_EQ(daz::map_interval(m.lon_label), 5.0);
    auto x = lon_ticks(m);
    ASSERT_EQ(x.size(), 2u);
    const float sx = 8.5f / 9.0f;
    EXPECT_NEAR(x[0], 1.0f, 1e-5);
    EXPECT_NEAR(x[1], 1.0f + 5 * sx, 1e-4);
    auto t = texts(m);
    std::vector<std::string> lon(t.begin(), t.begin() + 2);
    EXPECT_EQ(lon, (std::vector<std::string>{"125\\sup{o}W", "120\\sup{o}W"}));
    // Centred under the tick, one and a half heights below its end.
    EXPECT_NEAR(m.labels[1].x + extent(m.labels[1].text)[1], x[1], 1e-5);
    EXPECT_NEAR(m.labels[1].y, 0.8f - 0.1f - 0.15f, 1e-6);
    EXPECT_EQ(m.labels[0].text.size(), 14u);

    // Every other degree filled, from -125, in the bottom and top bands.
    std::vector<float> bottom_blocks;
    for (const auto& b : m.blocks)
        if (b.y2 == 0.8f) bottom_blocks.push_back(b.x1);
    ASSERT_EQ(bottom_blocks.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(bottom_blocks[i], 1.0f + 2 * sx * static_cast<float>(i), 1e-4);
    EXPECT_EQ(m.outline.size(), 4u);
}

TEST(MapAxes, LatitudeMinutesGoBelowTheTick) {
    // 1.6 degrees of latitude: 30' labels, so 36.5 N has two lines.
    auto m = daz::map_axes_layout(-125, -116, 35.7f, 37.3f, 1.0f, 9.5f, 0.8f, 4.6f);
    EXPECT_EQ(daz::map_interval(m.lat_label), 0.5);
    auto t = texts(m);
    std::vector<std::string> lat(t.begin() + 2, t.end());
    EXPECT_EQ(lat, (std::vector<std::string>{"36\\sup{o}N", "36\\sup{o}", "30N", "37\\sup{o}N"}));
    const float sy = 3.8f / 1.6f;
    const float y365 = 0.8f + sy * (36.5f - 35.7f);
    const auto& deg = m.labels[3];
    const auto& min = m.labels[4];
    EXPECT_NEAR(deg.x + extent(deg.text)[2], 1.0f - 0.1f, 1e-5);  // both end at the tick's outer end
    EXPECT_NEAR(min.x + extent(min.text)[2], 1.0f - 0.1f, 1e-5);
    EXPECT_NEAR(deg.y, y365 + 0.02f, 1e-4);
    EXPECT_NEAR(min.y, y365 - 0.12f, 1e-4);
    EXPECT_NEAR(m.labels[2].y, 0.8f + sy * 0.3f - 0.05f, 1e-4);  // whole degrees sit on the tick
}

TEST(MapAxes, HemisphereLettersAndMinutes) {
    // Longitude 0 takes the western letter; 0.5 E shows its minutes.
    auto m = daz::map_axes_layout(-0.7f, 0.9f, -0.3f, 1.3f, 1.0f, 9.5f, 0.8f, 7.3f);
    auto t = texts(m);
    std::vector<std::string> lon(t.begin(), t.begin() + 3);
    EXPECT_EQ(lon, (std::vector<std::string>{"  0\\sup{o}30W", "  0\\sup{o}W", "  0\\sup{o}30E"}));
    // Latitude 0 is S for the same reason; 30' N has its minutes apart.
    std::vector<std::string> lat(t.begin() + 3, t.end());
    EXPECT_EQ(lat, (std::vector<std::string>{" 0\\sup{o}S", " 0\\sup{o}", "30N", " 1\\sup{o}N"}));
}

TEST(MapAxes, SmallFramesAndLabelRulesThatWouldAlternate) {
    // A frame 1 inch wide grows to 2 inches at the same scale: the box
    // grows east by as much.
    auto small = daz::map_axes_layout(10, 11, 50, 52, 1.0f, 2.0f, 1.0f, 1.5f);
    EXPECT_FLOAT_EQ(small.right, 3.0f);
    EXPECT_FLOAT_EQ(small.east, 12.0f);
    EXPECT_FLOAT_EQ(small.top, 3.0f);
    EXPECT_FLOAT_EQ(small.north, 58.0f);

    // 1-degree labels at -32 and -31 are 0.75 inch apart (below 0.8), while
    // 2-degree labels leave a single one: the coarser interval is kept.
    auto m = daz::map_axes_layout(-32.9f, -30.1f, 30, 36, 1.0f, 3.1f, 0.8f, 7.3f);
    EXPECT_EQ(daz::map_interval(m.lon_label), 2.0);
    EXPECT_EQ(lon_ticks(m).size(), 1u);
    EXPECT_EQ(texts(m)[0], " 32\\sup{o}W");

    // A box smaller than any interval still ends, with at most one label.
    auto tiny = daz::map_axes_layout(7.0001f, 7.0002f, 3.0001f, 3.0002f, 1.0f, 9.5f, 0.8f, 7.3f);
    EXPECT_EQ(tiny.lon_label, daz::N_MAP_INTERVALS);
    EXPECT_LE(lon_ticks(tiny).size(), 1u);
}

TEST(MapAxes, UnusableBoxesGetOnlyTheOutline) {
    const float nan = std::nanf("");
    for (auto m : {daz::map_axes_layout(5, 5, 0, 1, 1, 9, 1, 7), daz::map_axes_layout(0, 1, 2, -2, 1, 9, 1, 7),
                   daz::map_axes_layout(nan, 1, 0, 1, 1, 9, 1, 7), daz::map_axes_layout(0, 1e6f, 0, 1, 1, 9, 1, 7),
                   daz::map_axes_layout(0, 1, 0, 1, 9, 1, 1, 7)}) {
        EXPECT_FALSE(m.graduated);
        EXPECT_EQ(m.outline.size(), 4u);
        EXPECT_TRUE(m.blocks.empty() && m.ticks.empty() && m.labels.empty());
    }
}

TEST(MapAxes, HardcopyHasEveryBlockAndRenders) {
    TempDir dir;
    WorkingDir here(dir.path());
    auto m = daz::map_axes_layout(-125, -116, 35.7f, 37.3f, 1.0f, 9.5f, 0.8f, 4.6f);
    with_console("", [] {
        daz::plopen_('H', 'X');
        daz::map_axes_(-125, -116, 35.7f, 37.3f, 1.0f, 9.5f, 0.8f, 4.6f);
        daz::plclosnow_();
    });
    const std::string eps = read_file(dir / "OUT01.EPS");
    std::size_t fills = 0;
    for (const auto& l : lines_of(eps)) fills += l == " } ufill";
    EXPECT_EQ(fills, m.blocks.size());
    // The bottom band's outline starts at the frame's lower left, 0.05 below.
    EXPECT_NE(eps.find("\n7250 1000 M\n7250 9500 D\n"), std::string::npos);
    if (have_ghostscript()) {
        auto r = render_eps(dir / "OUT01.EPS", dir / "map.png");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.output, "");
    }
}
