// Sections in colour maps: the modern style draws each variable in its own
// map, its bar running one way in lightness, missing cells grey with a
// "no data" swatch; --cmap takes a known map or a .cpt file, and a name
// that is neither is refused before anything is drawn.
#include <gtest/gtest.h>

#include <cairo.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>

#include "daz/colour_map.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const std::string kSample = (fs::path(GLIDERSECT_SOURCE_DIR) / "examples" / "sample.SCI").string();
constexpr int kDpi = 50;

// A PNG page read back through cairo.
struct Page {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface{nullptr, cairo_surface_destroy};
    explicit Page(const fs::path& p) : surface(cairo_image_surface_create_from_png(p.c_str()), cairo_surface_destroy) {
        cairo_surface_flush(surface.get());
    }
    bool ok() const { return cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS; }
    // The pixel at page inches (x, y), y up from the page's foot.
    std::array<int, 3> at(float x, float y) const {
        const int u = static_cast<int>(x * kDpi), v = static_cast<int>((8.0f - y) * kDpi);
        const auto* row = cairo_image_surface_get_data(surface.get()) + v * cairo_image_surface_get_stride(surface.get());
        std::uint32_t p;
        std::memcpy(&p, row + 4 * u, 4);
        return {int(p >> 16 & 255), int(p >> 8 & 255), int(p & 255)};
    }
};

double lightness(std::array<int, 3> c) {
    auto linear = [](int b) {
        const double v = b / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double y = 0.2126 * linear(c[0]) + 0.7152 * linear(c[1]) + 0.0722 * linear(c[2]);
    return y > 216.0 / 24389.0 ? 116.0 * std::cbrt(y) - 16.0 : y * 24389.0 / 27.0;
}

std::array<int, 3> bytes(daz::ScaleColour c) {
    return {int(std::lround(c.red * 255)), int(std::lround(c.green * 255)), int(std::lround(c.blue * 255))};
}

bool near(std::array<int, 3> a, std::array<int, 3> b) {
    for (std::size_t i = 0; i < 3; ++i)
        if (std::abs(a[i] - b[i]) > 4) return false;
    return true;
}

// The middle of the colour bar, at page inches 9.0 across, from the frame's
// foot (0.8) to its top (7.2).
constexpr float kBarX = 9.0f, kBarFoot = 0.85f, kBarTop = 7.15f;

}  // namespace

TEST(ColourMaps, ModernSectionsTakeEachVariablesMapAndCmapANamedOneOrAFile) {
    const std::array<int, 3> grey{217, 217, 217};
    for (const char* variable : {"T", "S", "D", "4"}) {
        TempDir dir;
        // Down to 600 dbar, below the deepest sample: cells without values.
        RunResult run = run_program(dir.path(), "",
                                    {kSample, "--style", "modern", "--color", variable, "--contour", "D", "--range",
                                     "0,600", "-o", "x.png", "--dpi", std::to_string(kDpi)});
        ASSERT_EQ(run.status, 0) << run.output;
        Page page(dir / "x.png");
        ASSERT_TRUE(page.ok()) << variable;
        // The bar's lightness runs one way from its foot to its top.
        const double foot = lightness(page.at(kBarX, kBarFoot)), top = lightness(page.at(kBarX, kBarTop));
        EXPECT_GT(std::fabs(top - foot), 40.0) << variable;
        double before = foot, worst = 0.0;
        for (float y = kBarFoot; y <= kBarTop; y += 1.0f / kDpi) {
            const double l = lightness(page.at(kBarX, y));
            worst = std::min(worst, (top > foot ? 1.0 : -1.0) * (l - before));
            before = l;
        }
        EXPECT_GT(worst, -0.5) << variable;
        // The deepest cells are grey, and so is the swatch under the bar.
        EXPECT_TRUE(near(page.at(4.0f, 0.9f), grey)) << variable;
        EXPECT_TRUE(near(page.at(kBarX, 0.8f - 0.375f), grey)) << variable;
    }

    // The velocities in balance, centred on zero: the bar's middle is the
    // map's middle. A .cpt file's colours run from the bar's foot to its top.
    TempDir dir;
    write_file(dir / "two.cpt", "# two colours\n0 0/0/255 10 255/255/0\nN 255 0 255\n");
    RunResult u = run_program(dir.path(), "", {kSample, "--style", "modern", "--color", "U", "-o", "u.png", "--dpi",
                                               std::to_string(kDpi)});
    RunResult file = run_program(dir.path(), "", {kSample, "--cmap", "two.cpt", "--color", "S", "-o", "f.png", "--dpi",
                                                  std::to_string(kDpi)});
    ASSERT_EQ(u.status, 0) << u.output;
    ASSERT_EQ(file.status, 0) << file.output;
    const daz::ColourMap& balance = *daz::find_colour_map("balance");
    EXPECT_TRUE(near(Page(dir / "u.png").at(kBarX, 4.0f), bytes(balance.colour(0.5f))));
    Page f(dir / "f.png");
    EXPECT_TRUE(near(f.at(kBarX, kBarFoot), {0, 0, 255}));
    EXPECT_TRUE(near(f.at(kBarX, kBarTop), {255, 255, 0}));

    // A name that is no map and no file, and a file that is no colour
    // table: one line each, status 1, nothing written.
    write_file(dir / "bad.cpt", "0 0/0/0 1 0/0/300\n");
    struct Refused {
        std::string value, line;
    } refused[] = {
        {"therml", " --cmap therml: no such colour map or file; the nearest known maps are thermal, curl, tarn\n"},
        {"bad.cpt", " --cmap bad.cpt: line 1: colour 0/0/300 is outside 0..255\n"},
    };
    for (const Refused& r : refused) {
        TempDir out;
        fs::copy_file(dir / "bad.cpt", out / "bad.cpt");
        RunResult run = run_program(out.path(), "", {kSample, "--cmap", r.value, "--style", "modern"});
        EXPECT_EQ(run.status, 1) << r.value;
        EXPECT_EQ(run.output, r.line);
        EXPECT_FALSE(fs::exists(out / "OUT01.EPS")) << r.value;
    }
}
