// glyph_: one marker symbol, centred and upright.
#include <cmath>

#include "daz/font_strokes.h"
#include "daz/letter_pen.h"
#include "daz/stroke_text.h"

namespace daz {

void glyph_(float x, float y, float size, int n) {
    if (n < 0 || n >= kSymbolCount) return;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(size)) return;
    const float scale = size / 21.0f;
    const LetterPen pen = letter_pen();
    for_each_symbol_stroke(n, [&](int p, int gx, int gy) {
        pen(x + scale * static_cast<float>(gx), y + scale * static_cast<float>(gy), p);
    });
}

}  // namespace daz
