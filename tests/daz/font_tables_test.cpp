// The generated glyph and symbol tables: layout, packing, and glyphs whose
// exact strokes are known.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include "daz/font_strokes.h"
#include "daz/font_tables.h"

namespace {

using Entry = std::tuple<int, int, int>;  // pen, x, y

std::vector<Entry> glyph(int g) {
    std::vector<Entry> e;
    daz::for_each_glyph_stroke(g, [&](int p, int x, int y) { e.emplace_back(p, x, y); });
    return e;
}

std::vector<Entry> symbol(int n) {
    std::vector<Entry> e;
    daz::for_each_symbol_stroke(n, [&](int p, int x, int y) { e.emplace_back(p, x, y); });
    return e;
}

struct Box {
    int x0 = 99, x1 = -99, y0 = 99, y1 = -99;
};

template <class Entries>
Box box_of(const Entries& e) {
    Box b;
    for (auto [p, x, y] : e) {
        b.x0 = std::min(b.x0, x);
        b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y);
        b.y1 = std::max(b.y1, y);
    }
    return b;
}

// Words from start index s (1-based) up to and including the one with the end entry.
int words_used(const std::int32_t* table, int size, int s) {
    for (int i = s - 1; i < size; ++i) {
        if (((table[i] >> 27) & 7) == 0 || ((table[i] >> 12) & 7) == 0) return i - (s - 1) + 1;
    }
    return -1;
}

TEST(FontTables, KnownGlyphsOfTheSimplexFont) {
    EXPECT_EQ(daz::glyph_width(1), 18.0f);
    EXPECT_EQ(glyph(1), (std::vector<Entry>{{3, 9, 21}, {2, 1, 0}, {3, 9, 21}, {2, 17, 0}, {3, 4, 7}, {2, 14, 7}}));

    // Digit 0: one closed line of 17 points.
    const auto zero = glyph(53);
    EXPECT_EQ(daz::glyph_width(53), 20.0f);
    ASSERT_EQ(zero.size(), 17u);
    EXPECT_EQ(zero.front(), Entry(3, 9, 21));
    EXPECT_EQ(std::get<1>(zero.back()), 9);
    EXPECT_EQ(std::get<2>(zero.back()), 21);
    EXPECT_TRUE(std::all_of(zero.begin() + 1, zero.end(), [](const Entry& e) { return std::get<0>(e) == 2; }));

    EXPECT_EQ(daz::glyph_width(71), 10.0f);
    EXPECT_EQ(glyph(71), (std::vector<Entry>{{3, 5, 2}, {2, 4, 1}, {2, 5, 0}, {2, 6, 1}, {2, 5, 2}}));
    EXPECT_EQ(daz::glyph_width(64), 26.0f);
    EXPECT_EQ(glyph(64), (std::vector<Entry>{{3, 4, 9}, {2, 22, 9}}));
}

TEST(FontTables, EveryGlyphIsWellFormed) {
    int expected_start = 1;
    for (int g = 1; g <= daz::kGlyphCount; ++g) {
        SCOPED_TRACE(g);
        // Glyphs lie one after the other, each ending within its own words.
        ASSERT_EQ(daz::ialph.st[g - 1], expected_start);
        const int used = words_used(daz::ialph.d, daz::kStrokeWords, expected_start);
        ASSERT_GT(used, 0);
        expected_start += used;
        const auto e = glyph(g);
        ASSERT_FALSE(e.empty());
        EXPECT_EQ(std::get<0>(e.front()), 3);
        for (auto [p, x, y] : e) EXPECT_TRUE(p == 2 || p == 3);
        EXPECT_GE(daz::glyph_width(g), 5.0f);
        EXPECT_LE(daz::glyph_width(g), 34.0f);
    }
    EXPECT_EQ(expected_start, daz::kStrokeWords + 1);
    for (auto word : daz::ialph.d) EXPECT_EQ(word >> 30, 0);
}

TEST(FontTables, CapitalsStandOnTheBaselineAtHeight21) {
    // H, E and T have no overshoot in any font: their box is 0..21.
    for (int offset : {0, 120, 240, 312}) {
        for (char c : {'E', 'H', 'T'}) {
            SCOPED_TRACE(offset + c - 'A' + 1);
            const Box b = box_of(glyph(offset + c - 'A' + 1));
            EXPECT_EQ(b.y0, 0);
            EXPECT_EQ(b.y1, 21);
        }
        // Descenders go below the baseline, small letters stay below the capitals.
        EXPECT_LT(box_of(glyph(offset + 27 + 'p' - 'a')).y0, 0);
        EXPECT_EQ(box_of(glyph(offset + 27 + 'x' - 'a')).y1, 14);
    }
}

TEST(FontTables, GreekLettersComeInAlphabeticalOrder) {
    // Greek capitals that look like Latin ones are the same outline.
    const std::pair<char, int> same[] = {{'A', 1},  {'B', 2},  {'E', 5},  {'Z', 6},  {'H', 7},  {'I', 9},
                                         {'K', 10}, {'M', 12}, {'N', 13}, {'O', 15}, {'P', 17}, {'T', 19}};
    for (int offset : {0, 120}) {
        for (auto [latin, index] : same) {
            SCOPED_TRACE(offset + 72 + index);
            EXPECT_EQ(glyph(offset + 72 + index), glyph(offset + latin - 'A' + 1));
        }
        // Small Greek: no capital height except where the letter has an
        // ascender; iota is short, beta and theta are tall.
        EXPECT_LE(box_of(glyph(offset + 96 + 9)).y1, 14);
        EXPECT_GE(box_of(glyph(offset + 96 + 2)).y1, 20);
        EXPECT_GE(box_of(glyph(offset + 96 + 8)).y1, 20);
    }
}

TEST(FontTables, EverySymbolIsWellFormed) {
    int expected_start = 1;
    for (int m = 0; m < daz::kSymbolCount; ++m) {
        SCOPED_TRACE(m);
        ASSERT_EQ(daz::ialph.sst[m], expected_start);
        const int used = words_used(daz::ialph.sd, daz::kSymbolWords, expected_start);
        ASSERT_GT(used, 0);
        expected_start += used;
    }
    EXPECT_EQ(expected_start, daz::kSymbolWords + 1);
    for (int n = 0; n < daz::kSymbolCount; ++n) EXPECT_EQ(std::get<0>(symbol(n).front()), 3);
}

TEST(FontTables, SymbolsHaveTheirShapes) {
    // The bounding box of each symbol number; a wrong slot order shows here.
    struct Expect {
        int n;
        Box box;
    };
    const Expect boxes[] = {
        {0, {-10, 10, -10, 10}}, {1, {-9, 9, -5, 10}},  {3, {-10, 10, -10, 10}}, {4, {-10, 10, -10, 10}},
        {6, {-7, 7, -7, 7}},     {7, {-10, 10, -10, 10}}, {9, {-10, 10, -10, 10}}, {13, {0, 0, -10, 10}},
        {14, {-9, 9, -10, 10}},  {15, {-1, 1, -1, 1}},  {16, {-4, 4, -4, 4}},    {17, {-11, 11, -11, 11}},
        {18, {-22, 22, -22, 22}}, {19, {-4, 4, -4, 4}}, {20, {-4, 4, -4, 4}},    {21, {-5, 5, -6, 3}},
    };
    for (const auto& [n, want] : boxes) {
        SCOPED_TRACE(n);
        const Box b = box_of(symbol(n));
        EXPECT_EQ(std::tie(b.x0, b.x1, b.y0, b.y1), std::tie(want.x0, want.x1, want.y0, want.y1));
    }
    // Plus, star and cross: the star is the plus and the cross together.
    auto plus = symbol(4), cross = symbol(6), star = symbol(5);
    plus.insert(plus.end(), cross.begin(), cross.end());
    EXPECT_EQ(star, plus);
    // The diamond's corners are on the axes.
    for (auto [p, x, y] : symbol(3)) EXPECT_EQ(std::abs(x) + std::abs(y), 10);
}

}  // namespace
