// The colour maps: the known ones by name, each sequential one running one
// way in lightness, and GMT colour tables read in each of their colour
// forms, with one clear reason for each kind of bad file.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "daz/colour_map.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// CIELAB lightness L* (0..100) of an sRGB colour.
double lightness(daz::ScaleColour c) {
    auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const double y = 0.2126 * linear(c.red) + 0.7152 * linear(c.green) + 0.0722 * linear(c.blue);
    return y > 216.0 / 24389.0 ? 116.0 * std::cbrt(y) - 16.0 : y * 24389.0 / 27.0;
}

void expect_colour(daz::ScaleColour c, float r, float g, float b, const std::string& what) {
    EXPECT_NEAR(c.red, r, 0.002f) << what;
    EXPECT_NEAR(c.green, g, 0.002f) << what;
    EXPECT_NEAR(c.blue, b, 0.002f) << what;
}

}  // namespace

TEST(ColourMaps, KnownByNameInAnyCaseAndSequentialOnesRunOneWayInLightness) {
    ASSERT_NE(daz::find_colour_map("thermal"), nullptr);
    EXPECT_EQ(daz::find_colour_map("THERMAL"), daz::find_colour_map("thermal"));
    EXPECT_EQ(daz::find_colour_map("grayc")->name, "grayC");
    EXPECT_EQ(daz::find_colour_map("jet"), nullptr);
    EXPECT_EQ(daz::nearest_colour_maps("therml").front(), "thermal");
    EXPECT_EQ(daz::nearest_colour_maps("Viridis", 1), std::vector<std::string_view>{"viridis"});
    // viridis as matplotlib has it, at its ends and middle.
    expect_colour(daz::find_colour_map("viridis")->colour(0.0f), 68 / 255.0f, 1 / 255.0f, 84 / 255.0f, "viridis 0");
    expect_colour(daz::find_colour_map("viridis")->colour(2.0f), 253 / 255.0f, 231 / 255.0f, 37 / 255.0f, "viridis 1");
    EXPECT_EQ(daz::find_colour_map("balance")->kind, daz::MapKind::Diverging);
    EXPECT_FLOAT_EQ(daz::find_colour_map("balance")->hinge, 0.5f);

    int sequential = 0;
    for (const daz::ColourMapTable& t : daz::kColourMapTables) {
        const daz::ColourMap& m = *daz::find_colour_map(t.name);
        ASSERT_GE(m.nodes.size(), 2u) << t.name;
        EXPECT_EQ(m.nodes.front().at, 0.0f) << t.name;
        EXPECT_EQ(m.nodes.back().at, 1.0f) << t.name;
        if (m.kind != daz::MapKind::Sequential) continue;
        ++sequential;
        // Lightness runs from one end to the other without turning back by
        // more than the rounding of the tables to bytes.
        const double first = lightness(m.colour(0.0f)), last = lightness(m.colour(1.0f));
        EXPECT_GT(std::fabs(last - first), 40.0) << t.name;
        const double way = last > first ? 1.0 : -1.0;
        double before = first, worst = 0.0;
        for (int k = 1; k <= 512; ++k) {
            const double l = lightness(m.colour(static_cast<float>(k) / 512.0f));
            worst = std::min(worst, way * (l - before));
            before = l;
        }
        EXPECT_GT(worst, -0.3) << t.name;
    }
    EXPECT_GE(sequential, 30);
}

TEST(ColourMaps, ReadCptTakesEachColourFormAndRefusesBadFilesWithAReason) {
    TempDir dir;
    // Every colour form, a label, an annotation flag, B/F lines and the
    // colour for no value; values from -2 to 2 with the hinge at zero.
    write_file(dir / "good.cpt",
               "# COLOR_MODEL = RGB\n"
               "# SOFT_HINGE\n"
               "-2\t0 0 255\t-1\t0/0/255\n"
               "-1 240-1-1 0 128 ; the middle\r\n"
               "0 white 1 0-1-0.5 L\n"
               "1 c/m/y/k 2 0/0/0/0\n"
               "B black\nF white\nN 255/0/255\n");
    std::string text = read_file(dir / "good.cpt");
    text.replace(text.find("c/m/y/k"), 7, "0/100/100/0");
    write_file(dir / "good.cpt", text);
    std::string why;
    const auto m = daz::read_cpt((dir / "good.cpt").string(), why);
    ASSERT_TRUE(m) << why;
    EXPECT_EQ(m->kind, daz::MapKind::Diverging);
    EXPECT_FLOAT_EQ(m->hinge, 0.5f);
    ASSERT_TRUE(m->missing);
    expect_colour(*m->missing, 1, 0, 1, "N");
    expect_colour(m->colour(0.0f), 0, 0, 1, "r g b");
    expect_colour(m->colour(0.25f), 0, 0, 1, "r/g/b");
    expect_colour(m->colour(0.375f), 0.251f, 0.251f, 0.751f, "from h-s-v to a grey level");
    expect_colour(m->colour(0.5f), 1, 1, 1, "a name");
    expect_colour(m->colour(0.7499f), 0.5f, 0.0f, 0.0f, "h-s-v at a step");
    expect_colour(m->colour(0.75f), 1, 0, 0, "c/m/y/k");
    expect_colour(m->colour(1.0f), 1, 1, 1, "c/m/y/k");

    // An HSV table is interpolated in HSV: half-way from red (hue 0) to blue
    // (240) lies green (120), not the purple of RGB.
    write_file(dir / "hsv.cpt", "# COLOR_MODEL = HSV\n0 0 1 1 1 240 1 1\n");
    const auto hsv = daz::read_cpt((dir / "hsv.cpt").string(), why);
    ASSERT_TRUE(hsv) << why;
    expect_colour(hsv->colour(0.5f), 0, 1, 0, "hue 120");

    struct Bad {
        std::string name, text, why;
    } bad[] = {
        {"none.cpt", "", "cannot be read: No such file or directory"},
        {"empty.cpt", "# only a comment\n\nB 0 0 0\n", "holds no colour slices (\"z0 colour z1 colour\" lines)"},
        {"words.cpt", "a table\n", "line 1: is not \"z0 colour z1 colour\""},
        {"colour.cpt", "0 red 1 pink\n", "line 1: colour pink is not r g b, r/g/b, h-s-v, c/m/y/k, a grey level or a "
                                         "colour name"},
        {"range.cpt", "0 0/0/0 1 0/300/0\n", "line 1: colour 0/300/0 is outside 0..255"},
        {"hsv.cpt", "0 400-1-1 1 0-0-0\n", "line 1: colour 400-1-1 is outside 0..360-0..1-0..1 (h-s-v)"},
        {"down.cpt", "0 0 0 0 1 9 9 9\n0.5 0 0 0 2 9 9 9\n",
         "line 2: its values go down; each slice must start where the one before ends, or above"},
        {"more.cpt", "0 0 0 0 1 9 9 9 9\n", "line 1: has more than \"z0 colour z1 colour\""},
        {"flat.cpt", "1 0 0 0 1 9 9 9\n", "its slices span no range of values"},
        {"nan.cpt", "nan 0 0 0 1 9 9 9\n", "line 1: is not \"z0 colour z1 colour\""},
        {"binary.cpt", std::string("0 0 0 0 1 9 9 9\n\x01\x02\n", 19), "line 2: is not text"},
        {"n.cpt", "0 0 0 0 1 9 9 9\nN\n", "line 2: give N and a colour"},
        {"hinge.cpt", "# HINGE = zero\n0 0 0 0 1 9 9 9\n", "line 1: the HINGE value is not a number"},
        {"big.cpt", std::string(1100000, '#'), "is larger than 1 MB, too large for a colour table"},
        {".", "", "is a folder, not a colour table"},
    };
    for (const Bad& b : bad) {
        if (b.name != "none.cpt" && b.name != ".") write_file(dir / b.name, b.text);
        std::string reason;
        EXPECT_FALSE(daz::read_cpt((dir / b.name).string(), reason)) << b.name;
        EXPECT_EQ(reason, b.why) << b.name;
    }
}
