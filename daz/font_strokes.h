#pragma once
// Walking the packed strokes of ialph: the glyph or symbol's entries from
// its start word, first half-word first, up to the entry with pen code 0.
#include <cstdint>

#include "daz/font_tables.h"

namespace daz {

// Stored position of marker symbol n (0..21) in the symbol table.
inline constexpr int kSymbolSlot[kSymbolCount] = {0, 2,  1,  5,  3,  11, 4,  10, 6,  12, 7,
                                                  8, 9, 13, 14, 15, 16, 17, 18, 19, 20, 21};

namespace detail {
template <class F>
void walk(const std::int32_t* word, int x_bias, int y_bias, F&& f) {
    for (;; ++word) {
        const std::int32_t halves[2] = {(*word >> 15) & 0x7fff, *word & 0x7fff};
        for (std::int32_t e : halves) {
            const int pen = e >> 12;
            if (pen == 0) return;
            f(pen, ((e >> 6) & 63) - x_bias, (e & 63) - y_bias);
        }
    }
}
}  // namespace detail

// f(pen, x, y) for each stroke of glyph g (1..kGlyphCount), font units.
template <class F>
void for_each_glyph_stroke(int g, F&& f) {
    detail::walk(&ialph.d[ialph.st[g - 1] - 1], 10, 11, f);
}

// Advance of glyph g (1..kGlyphCount), font units.
inline float glyph_width(int g) { return ialph.w[g - 1]; }

// f(pen, x, y) for each stroke of marker symbol n (0..21), grid units.
template <class F>
void for_each_symbol_stroke(int n, F&& f) {
    detail::walk(&ialph.sd[ialph.sst[kSymbolSlot[n]] - 1], 32, 32, f);
}

}  // namespace daz
