#pragma once
// The section frame record: where the section stands on the page and how
// distance and the vertical coordinate map onto it. The driver fills it; the
// gridding and the section plots read it.

namespace section {

struct Plotcom {
    float left = 0.8f, right = 8.0f, bottom = 0.8f, top = 7.2f;  // frame edges, inches
    float x_scale = 0.0f;               // inches per km
    float x_left = 0.0f, x_right = 0.0f;  // distances at the left and right edges, km
    float z_scale = 0.0f;               // inches per unit of the vertical axis
    float z_min = 0.0f, z_max = 0.0f;   // vertical coordinate at the top and bottom edges
    char axis_code = 'S';               // S square-root pressure, L linear, D sigma-theta
};

inline Plotcom plotcom;

}  // namespace section
