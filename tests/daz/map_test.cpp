// Map frames: a box fitted onto the page, and its graduated border.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "daz/map_axes.h"
#include "daz/map_size.h"
#include "daz/stroke_text.h"
#include "miscli/text_field.h"

namespace {

std::vector<std::string> texts(const daz::MapAxesLayout& m) {
    std::vector<std::string> out;
    for (const auto& l : m.labels) out.emplace_back(miscli::trim_right(l.text));
    return out;
}

// Where the label's visible text is centred (i = 1) or ends (i = 2).
float at(const daz::MapLabel& l, int i) {
    std::array<float, 4> r{};
    daz::justy_(r, 0.1f, l.text);
    return l.x + r[static_cast<std::size_t>(i)];
}

std::size_t lon_ticks(const daz::MapAxesLayout& m) {
    std::size_t n = 0;
    for (const auto& t : m.ticks) n += t.x1 == t.x2;
    return n;
}

}  // namespace

TEST(MapSize, ShapeOrCodeChoosesTheOrientationWithinTheLargestFrame) {
    struct Case {
        float west, east, south, north;
        char code, want;
        float right, top;
    } cases[] = {
        {-5, 5, -2.5f, 2.5f, ' ', 'X', 9.5f, 0.8f + 4.25f},  // the equator: 8.5 by 4.25
        {-5, 5, 58, 62, ' ', 'X', 9.125f, 0.8f + 6.5f},      // 60 N: 6.8 high would not fit
        {-5, 5, -2.5f, 2.5f, 'y', 'Y', 7.5f, 0.8f + 3.25f},  // portrait forced
    };
    for (const auto& c : cases) {
        float left, right, bottom, top;
        char code = c.code;
        daz::map_size_(c.west, c.east, c.south, c.north, left, right, bottom, top, code);
        EXPECT_EQ(code, c.want) << c.north;
        EXPECT_FLOAT_EQ(left, 1.0f);
        EXPECT_FLOAT_EQ(bottom, 0.8f);
        EXPECT_NEAR(right, c.right, 1e-4) << c.north;
        EXPECT_NEAR(top, c.top, 1e-4) << c.north;
    }
}

TEST(MapAxes, LongitudeBandsAndLabels) {
    // 9 degrees over 8.5 inches: 1-degree bands, 5-degree labels.
    auto m = daz::map_axes_layout(-125, -116, 36, 40, 1.0f, 9.5f, 0.8f, 4.6f);
    EXPECT_EQ(daz::map_interval(m.lon_band), 1.0);
    EXPECT_EQ(daz::map_interval(m.lon_label), 5.0);
    auto t = texts(m);
    EXPECT_EQ(std::vector<std::string>(t.begin(), t.begin() + 2),
              (std::vector<std::string>{"125\\sup{o}W", "120\\sup{o}W"}));
    const float sx = 8.5f / 9.0f;
    EXPECT_NEAR(at(m.labels[1], 1), 1.0f + 5 * sx, 1e-4);  // centred under its tick
    EXPECT_NEAR(m.labels[1].y, 0.8f - 0.25f, 1e-6);
    // Every other degree from -125 is filled, in the bottom and top bands.
    std::vector<float> bottom;
    for (const auto& b : m.blocks)
        if (b.y2 == 0.8f) bottom.push_back(b.x1);
    ASSERT_EQ(bottom.size(), 5u);
    EXPECT_NEAR(bottom[4], 1.0f + 8 * sx, 1e-4);
}

TEST(MapAxes, MinutesBelowTheLatitudeTickAndHemisphereLetters) {
    auto m = daz::map_axes_layout(-0.7f, 0.9f, 35.7f, 37.3f, 1.0f, 9.5f, 0.8f, 4.6f);
    EXPECT_EQ(daz::map_interval(m.lat_label), 0.5);
    // Longitude 0 takes the western letter (east needs 0.001 degree).
    EXPECT_EQ(texts(m), (std::vector<std::string>{"  0\\sup{o}30W", "  0\\sup{o}W", "  0\\sup{o}30E", "36\\sup{o}N",
                                                  "36\\sup{o}", "30N", "37\\sup{o}N"}));
    // 36.5 N: degrees just above the tick, minutes a line below, both
    // ending at the tick's outer end.
    const float y = 0.8f + 3.8f / 1.6f * 0.8f;
    EXPECT_NEAR(m.labels[4].y, y + 0.02f, 1e-4);
    EXPECT_NEAR(m.labels[5].y, y - 0.12f, 1e-4);
    EXPECT_NEAR(at(m.labels[4], 2), 0.9f, 1e-5);
    EXPECT_NEAR(at(m.labels[5], 2), 0.9f, 1e-5);
}

TEST(MapAxes, SmallFramesAndRulesThatWouldAlternateStillEnd) {
    // A 1-inch frame grows to 2 inches at the same scale, and the box with it.
    auto small = daz::map_axes_layout(10, 11, 50, 52, 1.0f, 2.0f, 1.0f, 1.5f);
    EXPECT_FLOAT_EQ(small.right, 3.0f);
    EXPECT_FLOAT_EQ(small.east, 12.0f);
    EXPECT_FLOAT_EQ(small.north, 58.0f);

    // 1-degree labels (-32, -31) lie 0.75 inch apart, 2-degree ones leave
    // only -32: the coarser interval is kept.
    auto m = daz::map_axes_layout(-32.9f, -30.1f, 30, 36, 1.0f, 3.1f, 0.8f, 7.3f);
    EXPECT_EQ(daz::map_interval(m.lon_label), 2.0);
    EXPECT_EQ(lon_ticks(m), 1u);
    // Smaller than every interval: labels every minute, at most one.
    auto tiny = daz::map_axes_layout(7.0001f, 7.0002f, 3.0001f, 3.0002f, 1.0f, 9.5f, 0.8f, 7.3f);
    EXPECT_EQ(tiny.lon_label, 11);
    EXPECT_EQ(tiny.lon_band, daz::N_MAP_INTERVALS);
    EXPECT_LE(lon_ticks(tiny), 1u);

    // Boxes that cannot be graduated get their outline only.
    for (auto b : {daz::map_axes_layout(5, 5, 0, 1, 1, 9, 1, 7), daz::map_axes_layout(std::nanf(""), 1, 0, 1, 1, 9, 1, 7),
                   daz::map_axes_layout(0, 1e6f, 0, 1, 1, 9, 1, 7)}) {
        EXPECT_EQ(b.outline.size(), 4u);
        EXPECT_TRUE(!b.graduated && b.blocks.empty() && b.labels.empty());
    }
}

TEST(MapAxes, ATrackOfAFewMinutesIsLabelledInWholeMinutes) {
    // 1.5' by 1.5': the bands go to 30", but labels at 30" would read
    // 123°22W, 123°21W, 123°21W (minutes are rounded); at 1' there is one.
    auto m = daz::map_axes_layout(-123.36f, -123.335f, 36.6f, 36.625f, 1.0f, 9.5f, 0.8f, 7.3f);
    EXPECT_EQ(m.lon_band, daz::N_MAP_INTERVALS);
    EXPECT_EQ(m.lon_label, 11);
    EXPECT_EQ(m.lat_label, 11);
    EXPECT_EQ(texts(m), (std::vector<std::string>{"123\\sup{o}21W", "36\\sup{o}", "36N", "36\\sup{o}", "37N"}));
}
