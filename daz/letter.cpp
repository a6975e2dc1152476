// letter_: a text drawn as pen strokes, with its groups, heights, symbols
// and backspaces.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "daz/font_strokes.h"
#include "daz/letter_pen.h"
#include "daz/plot_device.h"
#include "daz/stroke_text.h"

namespace daz {

namespace {

LetterPen pen_in_place = &ploti_;

// Where the last text ended, for continuation with x or y of 999.
float end_x = 0.0f;
float end_y = 0.0f;

constexpr float kRadian = 0.0174533f;
constexpr float kContinue = 999.0f;
constexpr float kGroupShrink = 0.9f;
constexpr float kGroupGrow = 1.1111111f;
constexpr int kMaxGroups = 20;

}  // namespace

LetterPen set_letter_pen(LetterPen pen) {
    LetterPen old = pen_in_place;
    pen_in_place = pen ? pen : &ploti_;
    return old;
}

LetterPen letter_pen() { return pen_in_place; }

void letter_(float x, float y, float height, float angle, std::string_view text) {
    ofset.last_user = 2;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(height) || !std::isfinite(angle)) return;
    const float v0 = height / 21.0f;
    if (v0 == 0.0f) return;
    const float cs = std::cos(angle * kRadian);
    const float sn = std::sin(angle * kRadian);
    float x0 = x >= kContinue ? end_x : x;
    float y0 = y >= kContinue ? end_y : y;

    chrcod_(text, ajust.codes, ajust.n);

    const LetterPen pen = pen_in_place;
    float h = height;      // current character height
    float shrink = 1.0f;   // reduction of the open groups
    float v = v0;          // inch per font unit
    float base = 0.0f;     // baseline offset of the open groups
    float w = 0.0f;        // advance of the last glyph
    float offsets[kMaxGroups];
    int depth = 0;         // open groups, of which the first kMaxGroups shift the baseline

    for (int i = 0; i < ajust.n; ++i) {
        const std::int32_t code = ajust.codes[static_cast<std::size_t>(i)];
        if (code <= 0) {
            // The group reduction stays; kept apart so a height of 0 does not lose it.
            h = static_cast<float>(-code) / 100.0f;
            v = shrink * h / 21.0f;
        } else if (code <= kGlyphCount) {
            const float ox = x0, oy = y0, b = base, s = v;
            for_each_glyph_stroke(code, [&](int p, int gx, int gy) {
                const float xx = s * static_cast<float>(gx);
                const float yy = b + s * static_cast<float>(gy);
                pen(ox + cs * xx - sn * yy, oy + sn * xx + cs * yy, p);
            });
            w = v * glyph_width(code);
            x0 += w * cs;
            y0 += w * sn;
        } else if (code == 1000) {
            x0 += 20.0f * v * cs;
            y0 += 20.0f * v * sn;
            pen(x0, y0, 3);
        } else if (code == 1001 || code == 1002) {
            const float d = (code == 1001 ? 0.5f : -0.5f) * h * v / v0;
            if (depth < kMaxGroups) {
                offsets[depth] = d;
                base += d;
            }
            ++depth;
            shrink *= kGroupShrink;
            v *= kGroupShrink;
        } else if (code == 1003) {
            // A group end with no group open changes nothing.
            if (depth > 0) {
                --depth;
                if (depth < kMaxGroups) base -= offsets[depth];
                shrink *= kGroupGrow;
                v *= kGroupGrow;
            }
        } else if (code == 1004) {
            x0 -= w * cs;
            y0 -= w * sn;
        } else if (code >= 2000 && code < 2000 + kSymbolCount) {
            const float cell = 20.0f * v;
            glyph_(x0 + (cs - sn) * cell / 2.0f, y0 + (sn + cs) * cell / 2.0f, 0.9f * cell, code - 2000);
            x0 += cs * cell;
            y0 += sn * cell;
        }
        end_x = x0;
        end_y = y0;
    }
}

}  // namespace daz
