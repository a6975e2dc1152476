// letter_, justy_ and glyph_: where the strokes land and how far texts reach.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "daz/font_strokes.h"
#include "daz/stroke_text.h"
#include "letter_recorder.h"

namespace {

using letter_testing::Recording;
using letter_testing::Stroke;

constexpr float kTol = 2e-5f;

// Strokes of glyph g drawn upright at `origin` with `v` inch per unit and
// the baseline raised by `base`.
std::vector<Stroke> expected_glyph(int g, float ox, float oy, float v, float base = 0.0f) {
    std::vector<Stroke> s;
    daz::for_each_glyph_stroke(g, [&](int p, int x, int y) {
        s.push_back({ox + v * static_cast<float>(x), oy + base + v * static_cast<float>(y), p});
    });
    return s;
}

std::vector<Stroke> expected_symbol(int n, float cx, float cy, float size) {
    std::vector<Stroke> s;
    const float k = size / 21.0f;
    daz::for_each_symbol_stroke(n, [&](int p, int x, int y) {
        s.push_back({cx + k * static_cast<float>(x), cy + k * static_cast<float>(y), p});
    });
    return s;
}

void expect_strokes(const std::vector<Stroke>& got, std::size_t from, const std::vector<Stroke>& want) {
    ASSERT_GE(got.size(), from + want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(got[from + i].x, want[i].x, kTol);
        EXPECT_NEAR(got[from + i].y, want[i].y, kTol);
        EXPECT_EQ(got[from + i].pen, want[i].pen);
    }
}

std::size_t strokes_of(int g) { return expected_glyph(g, 0, 0, 1).size(); }

float width(int g) { return daz::glyph_width(g); }

// Where a following text starts: the end point of the last one.
Stroke end_point() {
    Recording r;
    daz::letter_(999.0f, 999.0f, 0.21f, 0.0f, "\\1001\\");  // glyph A from the end point
    return r.take().at(0);
}

TEST(Letter, TwoLettersFromAPoint) {
    Recording r;
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "AB");
    const auto s = r.take();
    ASSERT_EQ(s.size(), strokes_of(1) + strokes_of(2));
    EXPECT_NEAR(s[0].x, 1.09f, kTol);  // A's first point, (9, 21) units
    EXPECT_NEAR(s[0].y, 1.21f, kTol);
    expect_strokes(s, 0, expected_glyph(1, 1.0f, 1.0f, 0.01f));
    expect_strokes(s, strokes_of(1), expected_glyph(2, 1.18f, 1.0f, 0.01f));

    const Stroke e = end_point();
    EXPECT_NEAR(e.x, 1.18f + width(2) * 0.01f + 0.09f, kTol);
    EXPECT_NEAR(e.y, 1.0f + 0.21f, kTol);
}

TEST(Letter, TurnedText) {
    Recording r;
    daz::letter_(1.0f, 1.0f, 0.21f, 90.0f, "AB");
    const auto s = r.take();
    // Along the y axis: font x goes up, font y goes left.
    EXPECT_NEAR(s[0].x, 1.0f - 0.21f, 1e-4f);
    EXPECT_NEAR(s[0].y, 1.0f + 0.09f, 1e-4f);
    const Stroke b0 = expected_glyph(2, 0.0f, 0.0f, 0.01f)[0];  // B starts 0.18 higher up
    EXPECT_NEAR(s[strokes_of(1)].x, 1.0f - b0.y, 1e-4f);
    EXPECT_NEAR(s[strokes_of(1)].y, 1.18f + b0.x, 1e-4f);
    const Stroke e = end_point();
    EXPECT_NEAR(e.x, 1.0f + 0.09f, 1e-4f);  // the next text goes on horizontally
    EXPECT_NEAR(e.y, 1.18f + width(2) * 0.01f + 0.21f, 1e-4f);
}

TEST(Letter, ContinuationIsPerCoordinate) {
    Recording r;
    daz::letter_(2.0f, 3.0f, 0.21f, 0.0f, "A");
    daz::letter_(999.0f, 5.0f, 0.21f, 0.0f, "A");
    daz::letter_(7.0f, 1000.0f, 0.21f, 0.0f, "A");
    const auto s = r.take();
    const std::size_t a = strokes_of(1);
    expect_strokes(s, a, expected_glyph(1, 2.18f, 5.0f, 0.01f));
    expect_strokes(s, 2 * a, expected_glyph(1, 7.0f, 5.0f, 0.01f));
}

TEST(Letter, BlanksBackspaceAndHeights) {
    Recording r;
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "A B");
    auto s = r.take();
    const std::size_t a = strokes_of(1);
    EXPECT_NEAR(s[a].x, 1.38f, kTol);  // the blank is a pen move of 20 units
    EXPECT_EQ(s[a].pen, 3);
    expect_strokes(s, a + 1, expected_glyph(2, 1.38f, 1.0f, 0.01f));

    // \BS\ draws the next glyph over the last one.
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "A\\BS\\B");
    s = r.take();
    expect_strokes(s, a, expected_glyph(2, 1.0f, 1.0f, 0.01f));

    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "A\\0042\\A");
    s = r.take();
    expect_strokes(s, a, expected_glyph(1, 1.18f, 1.0f, 0.02f));

    // Height 0 draws in one point; a later height works again.
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "\\1000\\A\\0021\\A");
    s = r.take();
    ASSERT_EQ(s.size(), 2 * a);
    for (std::size_t i = 0; i < a; ++i) EXPECT_EQ(s[i].x, 1.0f);
    expect_strokes(s, a, expected_glyph(1, 1.0f, 1.0f, 0.01f));
}

TEST(Letter, SuperscriptsAndSubscripts) {
    Recording r;
    const std::size_t a = strokes_of(1), b = strokes_of(2);
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "A\\sup{B}A");
    auto s = r.take();
    expect_strokes(s, a, expected_glyph(2, 1.18f, 1.0f, 0.009f, 0.105f));
    expect_strokes(s, a + b, expected_glyph(1, 1.18f + 0.009f * width(2), 1.0f, 0.01f));

    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "A\\sub{B}");
    s = r.take();
    expect_strokes(s, a, expected_glyph(2, 1.18f, 1.0f, 0.009f, -0.105f));

    // Nested: the inner offset is half the reduced height.
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "\\sup{\\sub{A}}");
    s = r.take();
    expect_strokes(s, 0, expected_glyph(1, 1.0f, 1.0f, 0.0081f, 0.105f - 0.0945f));

    // A height change inside a group keeps the reduction.
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "\\sup{\\0042\\A}");
    s = r.take();
    expect_strokes(s, 0, expected_glyph(1, 1.0f, 1.0f, 0.018f, 0.105f));
}

TEST(Letter, UnbalancedGroupsStayHarmless) {
    Recording r;
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "A}B");
    const auto with_end = r.take();
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "AB");
    expect_strokes(with_end, 0, r.take());

    // Deeper than the offsets kept: closing them all gives the plain line back.
    std::string deep;
    for (int i = 0; i < 25; ++i) deep += "\\sup{";
    deep += "A" + std::string(25, '}') + "A";
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, deep);
    auto s = r.take();
    ASSERT_EQ(s.size(), 2 * strokes_of(1));
    const float x = s[strokes_of(1)].x - 0.09f;
    expect_strokes(s, strokes_of(1), expected_glyph(1, x, 1.0f, 0.01f));
}

TEST(Letter, MarkerSymbolsInText) {
    Recording r;
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "\\2003\\A");
    auto s = r.take();
    // A diamond in the 20-unit cell standing on the baseline, then A after it.
    const auto d = expected_symbol(3, 1.1f, 1.1f, 0.18f);
    expect_strokes(s, 0, d);
    expect_strokes(s, d.size(), expected_glyph(1, 1.2f, 1.0f, 0.01f));

    // Turned text: the cell turns, the symbol stays upright.
    daz::letter_(1.0f, 1.0f, 0.21f, 90.0f, "\\2000\\");
    s = r.take();
    expect_strokes(s, 0, expected_symbol(0, 0.9f, 1.1f, 0.18f));
    const Stroke e = end_point();
    EXPECT_NEAR(e.x, 1.0f + 0.09f, 1e-4f);
    EXPECT_NEAR(e.y, 1.2f + 0.21f, 1e-4f);
}

TEST(Letter, ItalicPersistsIntoTheNextText) {
    Recording r;
    daz::letter_(1.0f, 1.0f, 0.21f, 0.0f, "\\IT\\x");
    daz::letter_(1.0f, 2.0f, 0.21f, 0.0f, "x");
    const auto s = r.take();
    const int italic_x = 240 + 50;
    expect_strokes(s, 0, expected_glyph(italic_x, 1.0f, 1.0f, 0.01f));
    expect_strokes(s, strokes_of(italic_x), expected_glyph(italic_x, 1.0f, 2.0f, 0.01f));
}

TEST(Letter, NothingForZeroHeightOrBadNumbers) {
    Recording r;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    daz::letter_(1.0f, 1.0f, 0.0f, 0.0f, "ABC");
    daz::letter_(nan, 1.0f, 0.21f, 0.0f, "ABC");
    daz::letter_(1.0f, 1.0f, inf, 0.0f, "ABC");
    daz::letter_(1.0f, 1.0f, 0.21f, nan, "ABC");
    daz::glyph_(1.0f, nan, 0.2f, 3);
    daz::glyph_(1.0f, 1.0f, 0.2f, 22);
    daz::glyph_(1.0f, 1.0f, 0.2f, -1);
    EXPECT_TRUE(r.take().empty());
}

TEST(Glyph, SymbolAtItsCentre) {
    Recording r;
    daz::glyph_(2.0f, 3.0f, 0.21f, 0);
    const auto s = r.take();
    ASSERT_EQ(s.size(), 5u);
    for (const auto& p : s) {
        EXPECT_NEAR(std::abs(p.x - 2.0f), 0.1f, kTol);
        EXPECT_NEAR(std::abs(p.y - 3.0f), 0.1f, kTol);
    }
    EXPECT_EQ(s[0].pen, 3);
}

TEST(Justy, ExtentsOfPlainText) {
    std::array<float, 4> r{};
    daz::ofset.font = 0;
    daz::justy_(r, 0.21f, "AB   ");
    EXPECT_NEAR(r[0], 0.0f, kTol);
    EXPECT_NEAR(r[2], 0.01f * (width(1) + width(2)), kTol);
    EXPECT_NEAR(r[1], r[2] / 2.0f, kTol);
    EXPECT_NEAR(r[3], r[2] + 3 * 0.2f, kTol);

    daz::justy_(r, 0.21f, "  AB");
    EXPECT_NEAR(r[0], 0.4f, kTol);
    EXPECT_NEAR(r[2], 0.4f + 0.39f, kTol);
    EXPECT_NEAR(r[1], (0.4f + 0.79f) / 2.0f, kTol);

    daz::justy_(r, 0.21f, std::string(10, ' '));
    EXPECT_EQ(r[0], 0.0f);
    EXPECT_EQ(r[1], 0.0f);
    EXPECT_EQ(r[2], 0.0f);
    EXPECT_NEAR(r[3], 2.0f, kTol);

    // Blank-only codes: the visible text starts at the last of them.
    daz::justy_(r, 0.21f, "\\ff\\\\hh\\");
    EXPECT_NEAR(r[0], 0.2f, kTol);
    EXPECT_NEAR(r[2], 0.4f, kTol);
}

TEST(Justy, EscapesInTheMeasure) {
    std::array<float, 4> r{};
    daz::ofset.font = 0;
    daz::justy_(r, 0.21f, "A\\sup{B}A");
    EXPECT_NEAR(r[2], 0.01f * (2 * width(1)) + 0.0075f * width(2), kTol);
    daz::justy_(r, 0.21f, "A\\BS\\B");
    EXPECT_NEAR(r[2], 0.01f * width(2), kTol);
    daz::justy_(r, 0.21f, "\\0042\\A\\2003\\ ");
    EXPECT_NEAR(r[2], 0.02f * width(1) + 0.4f, kTol);
    daz::justy_(r, 0.21f, "A}}A");  // unmatched ends change nothing
    EXPECT_NEAR(r[2], 0.02f * width(1), kTol);
    EXPECT_EQ(daz::ofset.last_user, 1);
}

TEST(Justy, AgreesWithTheDrawing) {
    // For text without groups the measured end is where letter_ stops.
    Recording rec;
    const std::string text = "\\CO\\Depth (m) \\sigma\\\\SIM\\ \\2001\\ x\\BS\\-";
    std::array<float, 4> r{};
    daz::ofset.font = 0;
    daz::justy_(r, 0.14f, text);
    daz::ofset.font = 0;
    daz::letter_(3.0f, 2.0f, 0.14f, 0.0f, text);
    EXPECT_EQ(daz::ofset.last_user, 2);
    rec.take();
    const Stroke e = end_point();
    EXPECT_NEAR(e.x - 0.09f - 3.0f, r[2], 1e-4f);
}

}  // namespace
