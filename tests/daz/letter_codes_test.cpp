// chrcod_: character tables, escapes, fonts that persist, cut-off texts.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "daz/stroke_text.h"

namespace {

std::vector<int> codes(std::string_view text) {
    std::array<std::int32_t, daz::MXCODE> c{};
    int n = -1;
    daz::chrcod_(text, c, n);
    return {c.begin(), c.begin() + n};
}

class Codes : public ::testing::Test {
protected:
    void SetUp() override { daz::ofset.font = 0; }
    void TearDown() override { daz::ofset.font = 0; }
};

using V = std::vector<int>;

TEST_F(Codes, PlainCharacters) {
    EXPECT_EQ(codes("AZaz09"), (V{1, 26, 27, 52, 53, 62}));
    EXPECT_EQ(codes("+-/=()*,.$"), (V{63, 64, 65, 66, 67, 68, 69, 70, 71, 72}));
    EXPECT_EQ(codes("<>{@^[]#:;!?%&~|\"'"),
              (V{385, 386, 405, 407, 408, 409, 410, 411, 414, 415, 416, 417, 418, 419, 424, 427, 428, 432}));
    // Blanks inside count, trailing ones do not; unmapped and control
    // characters and bytes beyond the tilde are blanks.
    EXPECT_EQ(codes("A B   "), (V{1, 1000, 2}));
    EXPECT_EQ(codes("_`\t\x7f\xe9"), (V{1000, 1000, 1000, 1000, 1000}));
    EXPECT_TRUE(codes("      ").empty());
    EXPECT_TRUE(codes("").empty());
    EXPECT_EQ(codes("}"), (V{1003}));
}

TEST_F(Codes, FontsOffsetTheLatinGlyphsAndPersist) {
    EXPECT_EQ(codes("\\CO\\A<"), (V{121, 385}));
    EXPECT_EQ(codes("a"), (V{147}));  // still complex
    EXPECT_EQ(codes("\\IT\\x"), (V{240 + 50}));
    EXPECT_EQ(codes("x"), (V{240 + 50}));
    // The italic table: its own : ; ! ?, no circumflex.
    EXPECT_EQ(codes(":;!?^%"), (V{420, 421, 422, 423, 1000, 418}));
    EXPECT_EQ(codes("\\du\\A\\sim\\A\\COMPLEX\\A\\it\\A"), (V{313, 1, 121, 241}));
    EXPECT_EQ(daz::ofset.font, 240);
}

TEST_F(Codes, NumericEscapes) {
    EXPECT_EQ(codes("\\2003\\A"), (V{2003, 1}));
    EXPECT_EQ(codes("\\2021\\"), (V{2021}));   // the last marker symbol
    EXPECT_EQ(codes("\\2022\\"), (V{1000}));
    EXPECT_EQ(codes("\\0015\\A"), (V{-15, 1}));  // height 0.15 inch
    EXPECT_EQ(codes("\\15\\A"), (V{1000, 1}));  // the 4-column read meets the backslash
    EXPECT_EQ(codes("\\ 15 \\"), (V{-15}));     // blanks in the field are ignored
    EXPECT_EQ(codes("\\0499\\\\0500\\\\-015\\"), (V{-499, 1000, 1000}));
    EXPECT_EQ(codes("\\1397\\\\1432\\\\1433\\\\1000\\"), (V{397, 432, 1000, 0}));
    // Numeric glyphs take no font offset.
    EXPECT_EQ(codes("\\CO\\\\1001\\"), (V{1}));
}

TEST_F(Codes, GreekLetters) {
    EXPECT_EQ(codes("\\alpha\\\\beta\\\\gamma\\\\delta\\\\epsilon\\\\zeta\\\\eta\\\\theta\\"),
              (V{97, 98, 99, 100, 101, 102, 103, 104}));
    EXPECT_EQ(codes("\\iota\\\\kappa\\\\lambda\\\\mu\\\\nu\\\\xi\\\\omicron\\\\pi\\"),
              (V{105, 106, 107, 108, 109, 110, 111, 112}));
    EXPECT_EQ(codes("\\rho\\\\sigma\\\\tau\\\\upsilon\\\\phi\\\\chi\\\\psi\\\\omega\\"),
              (V{113, 114, 115, 116, 117, 118, 119, 120}));
    // Capitals: later letters compared in the first letter's case.
    EXPECT_EQ(codes("\\THETA\\\\Theta\\\\Sigma\\\\SIGMA\\\\OMEGA\\\\Omega\\"), (V{80, 1000, 90, 90, 96, 1000}));
    EXPECT_EQ(codes("\\f\\\\h\\\\et\\\\ep\\\\ox\\\\pa\\\\tx\\\\1\\"), (V{1000, 1000, 103, 101, 1000, 1000, 1000, 1000}));
    // Complex Greek for the complex, italic and duplex fonts.
    EXPECT_EQ(codes("\\CO\\\\Alpha\\\\IT\\\\alpha\\\\DU\\\\omega\\"), (V{193, 217, 240}));
    daz::ofset.font = 0;
    EXPECT_EQ(codes("\\sigma\\\\sub{\\theta\\}"), (V{114, 1002, 104, 1003}));
}

TEST_F(Codes, GroupsAndBackspace) {
    EXPECT_EQ(codes("10\\sup{-3}"), (V{54, 53, 1001, 64, 56, 1003}));
    EXPECT_EQ(codes("\\SUB{x}\\sup{o}"), (V{1002, 50, 1003, 1001, 41, 1003}));
    EXPECT_EQ(codes("A\\BS\\B\\bsC"), (V{1, 1004, 2, 1004}));  // \bs takes 4 columns
    // Without its brace a group name is read as a Greek letter.
    EXPECT_EQ(codes("\\sup\\"), (V{114}));
}

TEST_F(Codes, EscapeWithoutClosingBackslashTakesEffectAndEndsTheText) {
    EXPECT_EQ(codes("AB\\alpha CD"), (V{1, 2, 97}));
    EXPECT_EQ(codes("A\\0015"), (V{1, -15}));
    EXPECT_EQ(codes("A\\2003"), (V{1, 2003}));
    EXPECT_EQ(codes("A\\jqz B"), (V{1, 1000}));  // no such letter: a blank
    EXPECT_EQ(codes("A\\"), (V{1, 1000}));  // a blank name reads as the number 0
    EXPECT_EQ(codes("A\\IT"), (V{1}));
    EXPECT_EQ(daz::ofset.font, 240);  // the switch happened
    EXPECT_EQ(codes("A\\BS"), (V{241, 1004}));  // needs no closing backslash
    EXPECT_EQ(codes("A\\sup{B"), (V{241, 1001, 242}));
}

TEST_F(Codes, LongTextIsCutAtTheCodeList) {
    std::array<std::int32_t, daz::MXCODE + 8> c{};
    c.fill(-7777);
    int n = 0;
    const std::string text(200, 'A');
    daz::chrcod_(text, std::span<std::int32_t>(c.data(), daz::MXCODE), n);
    EXPECT_EQ(n, daz::MXCODE);
    EXPECT_EQ(c[daz::MXCODE - 1], 1);
    EXPECT_EQ(c[daz::MXCODE], -7777);  // nothing past the list
}

}  // namespace
