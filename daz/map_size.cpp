#include "daz/map_size.h"

#include <cmath>

#include "miscli/strings.h"

namespace daz {

namespace {
constexpr float kLong = 8.5f, kShort = 6.5f;  // largest frame sides [inch]
constexpr float kRadiansPerDegree = 0.017453293f;
}  // namespace

void map_size_(float west, float east, float south, float north, float& left, float& right, float& bottom,
               float& top, char& orientation) {
    miscli::ucase_(orientation);
    left = 1.0f;
    bottom = 0.8f;
    // Widths on the ground, in degrees of latitude.
    const float w = (east - west) * std::cos((south + north) / 2.0f * kRadiansPerDegree);
    const float hg = north - south;

    if (orientation == 'X' || (orientation != 'Y' && w > hg)) {
        orientation = 'X';
        const float h = kLong * hg / w;
        if (h <= kShort) {
            right = left + kLong;
            top = bottom + h;
        } else {
            top = bottom + kShort;
            right = left + kShort * w / hg;
        }
    } else {
        orientation = 'Y';
        const float wp = kLong * w / hg;
        if (wp <= kShort) {
            top = bottom + kLong;
            right = left + wp;
        } else {
            right = left + kShort;
            top = bottom + kShort * hg / w;
        }
    }
}

}  // namespace daz
