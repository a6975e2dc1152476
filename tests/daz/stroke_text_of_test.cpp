// stroke_text_of: UTF-8 turned into escapes, or refused with the character
// named; every character it takes draws a glyph.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "daz/stroke_text.h"
#include "miscli/utf8.h"

namespace {

TEST(StrokeTextOf, GivesTheEscapesOrRefusesNamingTheCharacter) {
    struct Row {
        std::string utf8;
        std::string text;  // the stroke text; empty: refused
        std::string why;
    } rows[] = {
        // ASCII as it is, escapes and all.
        {"Salinity \\sigma\\ _`{}", "Salinity \\sigma\\ _`{}", ""},
        {"\xc2\xb0" "C", "\\1397\\C", ""},                                                   // °C
        {"\xcf\x83\xce\xb8", "\\sigma\\\\theta\\", ""},                                      // σθ
        {"\xce\xa3\xce\x98\xce\xa9\xcf\x82", "\\SIGMA\\\\THETA\\\\OMEGA\\\\sigma\\", ""},      // ΣΘΩς
        {"kg m\xe2\x81\xbb\xc2\xb3", "kg m\\sup{\\sub{\\sup{-3}}}", ""},                     // kg m⁻³
        {"\xc2\xb5mol kg\xe2\x81\xbb\xc2\xb9", "\\mu\\mol kg\\sup{\\sub{\\sup{-1}}}", ""},   // µmol kg⁻¹
        {"O\xe2\x82\x82\xc2\xb2" "x", "O\\sup{\\sub{\\sub{2}}}\\sup{\\sub{\\sup{2}}}x", ""},   // O₂²x: one group each
        {"\xc2\xb1\xc3\x97\xe2\x88\x9a\xe2\x89\xa4\xe2\x89\xa5\xe2\x88\x9e",               // ±×√≤≥∞
         "\\1387\\\\1389\\\\1398\\\\1391\\\\1392\\\\1396\\", ""},
        {"\xe2\x98\x83", "", "the stroke font has no \"\xe2\x98\x83\" (U+2603 SNOWMAN)"},
        {"Temp\xc3\xa9rature", "", "the stroke font has no \"\xc3\xa9\" (U+00E9 LATIN SMALL LETTER E WITH ACUTE)"},
        {"\xf0\x9f\x8c\x8a", "", "the stroke font has no \"\xf0\x9f\x8c\x8a\" (U+1F30A)"},
        {"a\tb", "", "the stroke font has no control character U+0009"},
        {"\xc2\x85", "", "the stroke font has no control character U+0085"},
        // Broken UTF-8: a lone byte, a cut sequence, an overlong slash, a surrogate.
        {"ab\xff", "", "not UTF-8 text (byte 0xFF at byte 3)"},
        {"\xcf", "", "not UTF-8 text (byte 0xCF at byte 1)"},
        {"\xc0\xaf", "", "not UTF-8 text (byte 0xC0 at byte 1)"},
        {"\xed\xa0\x80", "", "not UTF-8 text (byte 0xED at byte 1)"},
    };
    for (const Row& r : rows) {
        std::string why;
        const std::optional<std::string> text = daz::stroke_text_of(r.utf8, why);
        EXPECT_EQ(text.value_or(""), r.text) << r.utf8;
        if (!r.why.empty()) {
            EXPECT_EQ(why, r.why) << r.utf8;
        }
    }
}

TEST(StrokeTextOf, EveryCharacterTakenDrawsAGlyph) {
    int taken = 0;
    for (char32_t c = 0xA1; c < 0x3000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        std::string utf8, why;
        miscli::append_utf8(utf8, c);
        const std::optional<std::string> text = daz::stroke_text_of(utf8, why);
        if (!text) {
            EXPECT_EQ(why.find("U+"), why.find("(U+") + 1) << why;
            continue;
        }
        ++taken;
        daz::ofset.font = 0;
        std::array<std::int32_t, daz::MXCODE> codes{};
        int n = 0;
        daz::chrcod_(*text, codes, n);
        int glyphs = 0;
        for (int i = 0; i < n; ++i) glyphs += codes[static_cast<std::size_t>(i)] >= 1 && codes[static_cast<std::size_t>(i)] <= 432;
        EXPECT_EQ(glyphs, 1) << *text;
    }
    EXPECT_GE(taken, 110);
}

}  // namespace
