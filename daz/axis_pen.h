#pragma once
// Where the axes send their strokes and texts: ploti_ and letter_, unless
// a test puts recorders in their place.
#include <string_view>

namespace daz {

struct AxisPen {
    void (*stroke)(float x, float y, int ipen) = nullptr;
    void (*text)(float x, float y, float height, float angle, std::string_view text) = nullptr;
};

// Makes `pen` receive the axes' strokes and texts (a nullptr member puts
// ploti_ or letter_ back); gives the pen that was in place.
AxisPen set_axis_pen(AxisPen pen);

// The pen in place.
AxisPen axis_pen();

}  // namespace daz
