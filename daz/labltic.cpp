// labltic_: one tick label beside its tick, and how far it reaches across
// the axis so the title can stand clear of it.
#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "daz/axis.h"
#include "daz/axis_pen.h"
#include "daz/stroke_text.h"

namespace daz {

void labltic_(float x, float y, float s, std::string_view text, float dx, float dy, float angle, float sn, float c,
              float& extent, float h, float t) {
    std::array<float, 4> r{};
    justy_(r, h, text);
    float along = 0, across = 0, reach = 0, turn = 0;
    if (std::fabs(dy) > std::fabs(dx)) {
        // Nearer to vertical: the label stands crosswise, centred on the
        // tick in height, beginning or ending 2.5 tick lengths off the axis.
        turn = angle - 90.0f;
        along = -0.4f * h;
        across = s > 0.0f ? r[0] - 2.5f * t : 2.5f * t + r[2];
        reach = 3.5f * t + r[2] - r[0];
    } else {
        turn = angle;
        along = -r[1] - 0.25f * h;
        across = s > 0.0f ? -1.5f * (h + t) : 0.5f * h + t;
        reach = 2.0f * h + 1.5f * t;
    }
    extent = std::max(extent, reach);
    axis_pen().text(x + along * c - across * sn, y + along * sn + across * c, h, turn, text);
}

}  // namespace daz
