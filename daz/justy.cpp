// justy_: where a text's visible part starts, centres and ends, as letter_
// would place it, for centring and right-aligning labels.
#include <cstdint>
#include <string_view>

#include "daz/font_strokes.h"
#include "daz/stroke_text.h"

namespace daz {

void justy_(std::array<float, 4>& r, float height, std::string_view text) {
    ofset.last_user = 1;
    chrcod_(text, ajust.codes, ajust.n);
    const int n = ajust.n;
    auto code_at = [](int i) { return ajust.codes[static_cast<std::size_t>(i - 1)]; };
    float v = height / 21.0f;

    // Leading blanks count apart: r[0] is where the visible text begins.
    int i0 = 1;
    if (n > 0) {
        i0 = n;
        for (int i = 1; i <= n; ++i) {
            if (code_at(i) != 1000) {
                i0 = i;
                break;
            }
        }
    }
    const float lead = 20.0f * v * static_cast<float>(i0 - 1);
    float end = lead;
    float w = 0.0f;
    int depth = 0;
    for (int i = i0; i <= n; ++i) {
        const std::int32_t code = code_at(i);
        if (code < 0) {
            v = static_cast<float>(-code) / 100.0f / 21.0f;
        } else if (code > 0 && code <= kGlyphCount) {
            w = v * glyph_width(code);
            end += w;
        } else if (code == 1000 || code >= 2000) {
            end += 20.0f * v;
        } else if (code == 1001 || code == 1002) {
            ++depth;
            v *= 0.75f;
        } else if (code == 1003) {
            if (depth > 0) {
                --depth;
                v /= 0.75f;
            }
        } else if (code == 1004) {
            end -= w;
        }
    }
    r[0] = lead;
    r[2] = end;
    r[3] = end + 20.0f * v * static_cast<float>(static_cast<int>(text.size()) - n);
    r[1] = (r[0] + r[2]) / 2.0f;
}

}  // namespace daz
