// A sheet of every glyph of every font and every marker symbol, written as
// a hardcopy and rendered by Ghostscript. Set GLIDERSECT_SHEET_DIR to keep
// glyph_sheet.eps and glyph_sheet.png there for looking at.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "daz/plot_device.h"
#include "daz/stroke_text.h"
#include "miscli/fixed_format.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

constexpr int kColumns = 24;
constexpr float kCellWidth = 0.32f;
constexpr float kCellHeight = 0.44f;
constexpr float kLeft = 0.4f;

// One cell: the glyph's baseline and its number in small print below.
void cell(int row, int column, float top, const std::string& escape, int number) {
    const float x = kLeft + kCellWidth * static_cast<float>(column);
    const float y = top - kCellHeight * static_cast<float>(row + 1) + 0.12f;
    daz::rgbcolor_(0.0f, 0.0f, 0.0f);
    daz::letter_(x + 0.03f, y, 0.18f, 0.0f, escape);
    daz::rgbcolor_(0.8f, 0.0f, 0.0f);
    daz::letter_(x, y - 0.1f, 0.06f, 0.0f, "\\SIM\\" + miscli::fmt_i(number, 3));
}

// The numeric escape of a glyph or symbol, such as \1397\.
std::string escape_of(int code) {
    std::string e(1, '\\');
    e += miscli::fmt_i(code, 4);
    e += '\\';
    return e;
}

// The whole sheet on a portrait page. Gives the rows drawn.
int draw_sheet() {
    daz::plopen_('H', 'Y');
    daz::linwid_(6);
    // Texts with escapes along the top, one of them turned.
    daz::letter_(0.5f, 9.7f, 0.2f, 0.0f,
                 "\\CO\\Temperature (\\sup{o}C), \\sigma\\\\sub{\\theta\\} (kg m\\sup{-3}), 10\\sup{-3}");
    daz::letter_(0.5f, 9.4f, 0.2f, 0.0f, "\\IT\\Italic: x = y?\\DU\\  Duplex");
    daz::letter_(999.0f, 999.0f, 0.2f, 0.0f, " \\SIM\\A\\BS\\/ \\2003\\\\2016\\ \\0030\\big\\0010\\ small \\THETA\\\\Omega\\");
    daz::letter_(8.2f, 1.0f, 0.2f, 90.0f, "turned 90 \\2001\\");
    daz::letter_(6.9f, 9.12f, 0.12f, 20.0f, "\\CO\\20 degrees");

    const float top = 9.2f;
    int row = 0;
    struct Block {
        int first, count;
    };
    const Block blocks[] = {{1, 120}, {121, 120}, {241, 72}, {313, 72}, {385, 48}};
    for (const auto& b : blocks) {
        for (int k = 0; k < b.count; ++k) {
            const int g = b.first + k;
            cell(row + k / kColumns, k % kColumns, top, escape_of(1000 + g), g);
        }
        row += (b.count + kColumns - 1) / kColumns;
    }
    for (int n = 0; n < 22; ++n) {
        cell(row, n, top, escape_of(2000 + n), n);
        // The same symbol by glyph_, centred on a cross hair, in blue.
        const float cx = kLeft + kCellWidth * static_cast<float>(n) + 0.16f;
        const float cy = top - kCellHeight * static_cast<float>(row + 2) + 0.2f;
        daz::rgbcolor_(0.6f, 0.6f, 0.6f);
        daz::ploti_(cx - 0.15f, cy, 3);
        daz::ploti_(cx + 0.15f, cy, 2);
        daz::ploti_(cx, cy - 0.15f, 3);
        daz::ploti_(cx, cy + 0.15f, 2);
        daz::rgbcolor_(0.0f, 0.0f, 0.8f);
        daz::glyph_(cx, cy, 0.2f, n);
    }
    daz::plclosnow_();
    return row + 2;
}

TEST(GlyphSheet, EveryGlyphAndSymbolRendersInGhostscript) {
    if (!testing_support::have_ghostscript()) GTEST_SKIP() << "Ghostscript is not installed";
    TempDir dir;
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    int rows = 0;
    const std::string console = testing_support::with_console("", [&] { rows = draw_sheet(); });
    fs::current_path(before);
    daz::ofset.font = 0;
    EXPECT_EQ(console, " Open OUT01.EPS\n");
    EXPECT_EQ(rows, 20);

    const fs::path eps = dir / "OUT01.EPS";
    const auto lines = testing_support::lines_of(testing_support::read_file(eps));
    ASSERT_GT(lines.size(), 20000u);
    EXPECT_EQ(lines.back(), "%%EOF");

    const fs::path png = dir / "glyph_sheet.png";
    const testing_support::RunResult r = testing_support::render_eps(eps, png);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.output, "");
    ASSERT_TRUE(fs::exists(png));
    EXPECT_GT(fs::file_size(png), 10000u);

    if (const char* keep = std::getenv("GLIDERSECT_SHEET_DIR")) {
        fs::copy_file(eps, fs::path(keep) / "glyph_sheet.eps", fs::copy_options::overwrite_existing);
        fs::copy_file(png, fs::path(keep) / "glyph_sheet.png", fs::copy_options::overwrite_existing);
    }
}

}  // namespace
