#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "daz/plot_device.h"
#include "daz/shade.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

void expect_colour(float v, float lo, float hi, float r, float g, float b) {
    daz::ScaleColour c = daz::scale_colour(v, lo, hi);
    EXPECT_NEAR(c.red, r, 1e-5) << v;
    EXPECT_NEAR(c.green, g, 1e-5) << v;
    EXPECT_NEAR(c.blue, b, 1e-5) << v;
}

// The lines between the setbbox line and closepath of every fill.
std::vector<std::vector<std::string>> fills(const std::string& eps) {
    std::vector<std::vector<std::string>> out;
    bool in = false;
    for (const auto& l : lines_of(eps)) {
        if (l == "0 0 8000 10000 setbbox") {
            in = true;
            out.emplace_back();
        } else if (l == " closepath") {
            in = false;
        } else if (in) {
            out.back().push_back(l);
        }
    }
    return out;
}

}  // namespace

TEST(Palette, BandsEndsAndReversedOrEmptyRanges) {
    expect_colour(-5, 0, 10, 0, 0, 0.65f);
    expect_colour(0, 0, 10, 0, 0, 0.65f);
    expect_colour(10, 0, 10, 0.7f, 0, 0);
    expect_colour(99, 0, 10, 0.7f, 0, 0);
    expect_colour(5, 0, 10, 0, 1, 0);
    expect_colour(1, 0, 10, 0, 0, 1);
    expect_colour(3, 0, 10, 0, 1, 1);
    expect_colour(7, 0, 10, 1, 1, 0);
    expect_colour(8.999f, 0, 10, 1, 0.0005f, 0);
    expect_colour(9, 0, 10, 1, 0, 0);
    expect_colour(2, 10, 0, 1, 1.0f - 5.0f * (0.8f - 0.7f), 0);  // reversed: F = 0.8
    expect_colour(4, 4, 4, 0, 1, 0);  // an empty range: the middle colour
}

TEST(Shade, HardcopyUserPathsAreClampedToTheSheet) {
    TempDir dir;
    WorkingDir here(dir.path());
    with_console("", [] {
        daz::plopen_('H', 'X');
        daz::shaderect_(1, 1, 2, 3);
        daz::shaderect_(-1, -1, 11, 9);
        daz::plopen_('H', 'Y');  // a portrait page stands upright
        daz::shaderect_(1, 1, 2, 3);
        daz::plclosnow_();
    });
    auto land = read_file(dir / "OUT01.EPS");
    auto f = fills(land);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(f[0], (std::vector<std::string>{"7000 1000 moveto", "5000 1000 lineto", "5000 2000 lineto",
                                              "7000 2000 lineto"}));
    EXPECT_EQ(f[1], (std::vector<std::string>{"8000 0 moveto", "0 0 lineto", "0 10000 lineto", "8000 10000 lineto"}));
    EXPECT_NE(land.find("\n {\n0 0 8000 10000 setbbox\n"), std::string::npos);
    EXPECT_NE(land.find("\n closepath\n } ufill\n"), std::string::npos);
    auto port = fills(read_file(dir / "OUT02.EPS"));
    ASSERT_EQ(port.size(), 1u);
    EXPECT_EQ(port[0], (std::vector<std::string>{"1000 1000 moveto", "1000 3000 lineto", "2000 3000 lineto",
                                                 "2000 1000 lineto"}));
    if (have_ghostscript()) {
        auto r = render_eps(dir / "OUT01.EPS", dir / "x.png");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.output, "");
    }
}

TEST(Shade, TooManyVerticesClosesTheFileAndStops) {
    TempDir dir;
    WorkingDir here(dir.path());
    std::vector<float> x(2001), y(2001);
    for (std::size_t i = 0; i < x.size(); ++i) {
        x[i] = 1.0f + static_cast<float>(i % 2);
        y[i] = 1.0f + static_cast<float>(i) * 0.001f;
    }
    miscli::ProgramStop stop{"", -1};
    with_console("", [&] {
        daz::plopen_('H', 'X');
        daz::shade_(x, y, 2000);
        daz::shade_(x, y, 2001);
    }, &stop);
    EXPECT_EQ(stop.status, 1);
    EXPECT_EQ(stop.line, " Increase MXPQ of SHADE 2001");
    auto lines = lines_of(read_file(dir / "OUT01.EPS"));
    EXPECT_EQ(lines.back(), "%%EOF");
    EXPECT_EQ(fills(read_file(dir / "OUT01.EPS")).at(0).size(), 2000u);
}

// A column of cells gives the very picture of rgbcolor_ and shaderect_ of
// each cell (the EPS writer makes its lines its own faster way), on and off
// the sheet, with levels met again in later columns, on either page.
TEST(Shade, CellColumnsDrawWhatSingleFillsDraw) {
    TempDir dir;
    WorkingDir here(dir.path());
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> where(-1.0f, 12.0f), value(-2.0f, 12.0f);
    std::vector<float> xs(41), ys(31), values(40 * 30);
    for (float& x : xs) x = where(rng);
    for (float& y : ys) y = where(rng);
    for (float& v : values) v = value(rng);
    auto draw = [&](char orientation, bool by_column) {
        daz::plopen_('H', orientation);
        daz::CellColumn column;
        for (int i = 0; i < 40; ++i) {
            column.x_lo = xs[i];
            column.x_hi = xs[i + 1];
            column.cells.clear();
            for (int k = 1; k <= 30; ++k) {
                const float v = values[static_cast<std::size_t>(i * 30 + k - 1)];
                const float y_lo = ys[static_cast<std::size_t>(k)], y_hi = ys[static_cast<std::size_t>(k - 1)];
                const daz::ScaleColour c = v > 0 ? daz::scale_colour(v, 0, 10) : daz::ScaleColour{0, 0, 0};
                if (by_column) {
                    column.cells.push_back({c.red, c.green, c.blue, y_lo, y_hi});
                } else {
                    if (v > 0) daz::palette_(v, 0, 10);
                    else daz::rgbcolor_(0, 0, 0);
                    daz::shaderect_(xs[i], y_lo, xs[i + 1], y_hi);
                }
            }
            if (by_column) daz::shade_cells(column);
        }
        daz::plclosnow_();
    };
    with_console("", [&] {
        for (char orientation : {'X', 'Y'}) {
            draw(orientation, false);
            draw(orientation, true);
        }
    });
    const std::string landscape = read_file(dir / "OUT01.EPS"), portrait = read_file(dir / "OUT03.EPS");
    EXPECT_GT(fills(landscape).size(), 1000u);
    EXPECT_EQ(read_file(dir / "OUT02.EPS"), landscape);
    EXPECT_EQ(read_file(dir / "OUT04.EPS"), portrait);
    EXPECT_NE(portrait, landscape);
}
