#pragma once
// Stroke text: texts with escapes drawn as pen strokes through ploti_, so
// they look the same on the screen and on paper and turn to any angle.
//
// Escapes: \SIM\ \CO\ \IT\ \DU\ choose the font (it stays chosen for later
// texts); \alpha\ .. \omega\ Greek letters (capital first letter for the
// capitals); \0015\ character height 0.15 inch; \2003\ marker symbol 3;
// \1397\ glyph 397 by number; \BS\ back over the last glyph; \sup{..} and
// \sub{..} raised and lowered groups.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace daz {

inline constexpr int MXCODE = 132;  // codes kept of one text; later ones are dropped

// Codes of the text last encoded for letter_ or justy_.
struct Ajust {
    int n = 0;
    std::array<std::int32_t, MXCODE> codes{};
};
extern Ajust ajust;

// font: the current font offset (0 simplex, 120 complex, 240 italic, 312
// duplex); unused stays 0; last_user is 1 after justy_, 2 after letter_.
struct Ofset {
    std::int32_t font = 0;
    std::int32_t unused = 0;
    std::int32_t last_user = 0;
};
extern Ofset ofset;

// Character codes of a blank-padded text (its size is the declared length):
// 1..432 glyphs, <= 0 height -code/100 inch, 1000 blank, 1001/1002 start of a
// superscript/subscript group, 1003 end of group, 1004 backspace, 2000..2021
// marker symbols. n codes are written (at most codes.size()); the current
// font follows the font escapes.
void chrcod_(std::string_view text, std::span<std::int32_t> codes, int& n);

// Draws the text from (x, y) [inch] at capital height `height` [inch],
// turned `angle` [degrees] counter-clockwise. x or y of 999 or more
// continues from where the previous text ended. Height 0 draws nothing.
void letter_(float x, float y, float height, float angle, std::string_view text);

// Extents of the text along its baseline [inch from the start point]:
// r[0] where the visible text starts, r[1] its middle, r[2] its end, r[3]
// the end of the whole field. Groups shrink by 0.75 here (0.9 in drawing).
void justy_(std::array<float, 4>& r, float height, std::string_view text);

// The stroke text that draws UTF-8 text: ASCII stays as it is, escapes
// and all; the other characters the fonts have become their glyphs'
// escapes (Greek letters, degree, plus-minus, ...), and a run of
// superscript or subscript characters small raised or lowered glyphs in
// nested \sup{..} and \sub{..} groups, so "kg m⁻³" gives
// "kg m\sup{\sub{\sup{-3}}}". nullopt when the text is not UTF-8 or
// holds a control character or one the fonts lack, with the reason in
// `why`: the stroke font has no "☃" (U+2603 SNOWMAN).
std::optional<std::string> stroke_text_of(std::string_view utf8, std::string& why);

// Draws marker symbol n (0..21) centred on (x, y) [inch], `size` [inch]
// for 21 grid units, upright. Other numbers draw nothing.
void glyph_(float x, float y, float size, int n);

}  // namespace daz
