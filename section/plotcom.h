#pragma once
// The section frame record: where the section stands on the page, what its
// two coordinates are and how they map onto it. The driver fills it; the
// gridding and the section plots read it.
#include "section/frame_axes.h"

namespace section {

struct Plotcom {
    float left = 0.8f, right = 8.0f, bottom = 0.8f, top = 7.2f;  // frame edges, inches
    Horizontal horizontal = Horizontal::Distance;
    Vertical vertical = Vertical::SqrtPressure;
    float x_scale = 0.0f;               // inches per unit of the horizontal axis
    float x_left = 0.0f, x_right = 0.0f;  // horizontal coordinate at the left and right edges
    bool x_descending = false;          // the horizontal coordinate falls to the right
    double x_origin = 0.0;              // time axis: the time of coordinate 0 [days since 1970]
    float z_scale = 0.0f;               // inches per unit of the vertical axis
    float z_min = 0.0f, z_max = 0.0f;   // vertical coordinate at the top and bottom edges
    // A panel of a stacked page shares its horizontal axis: the top panel
    // alone has the ticks above the frame, the bottom one alone the axis's
    // labels and the lines under the frame.
    bool ticks_above = true, words_below = true;
};

inline Plotcom plotcom;

}  // namespace section
