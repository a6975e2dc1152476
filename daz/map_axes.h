#pragma once
// The border of a latitude/longitude map: a chart-style graduated band
// outside each edge, ticks along the bottom and left edges, and
// degree-and-minute labels with hemisphere letters.
#include <string>
#include <vector>

namespace daz {

inline constexpr int N_MAP_INTERVALS = 12;
// Graduation interval `index` (1 coarse .. 12 fine) [deg]: 20, 10, 5, 2, 1,
// 30', 15', 10', 5', 2', 1', 30".
double map_interval(int index);

struct MapRect {
    float x1, y1, x2, y2;  // corners [inch]
};
struct MapTick {
    float x1, y1, x2, y2;  // from (x1, y1) pen up to (x2, y2) pen down [inch]
};
struct MapLabel {
    float x, y;        // where letter_ starts, height 0.1 [inch]
    std::string text;  // a 14-character field
};

// Everything map_axes_ draws, worked out first.
struct MapAxesLayout {
    bool graduated = false;           // false: only the outline (unusable box)
    float east = 0, north = 0;        // limits after the smallest-frame rule [deg]
    float right = 0, top = 0;         // frame edges after it [inch]
    int lon_band = 0, lat_band = 0;   // table index of the filled blocks
    int lon_label = 0, lat_label = 0; // table index of the ticks and labels
    std::vector<MapRect> outline;     // bottom, top, left and right bands
    std::vector<MapRect> blocks;      // filled parts of the bands
    std::vector<MapTick> ticks;       // longitude ticks, then latitude ticks
    std::vector<MapLabel> labels;     // longitude labels, then latitude labels
};

// Works out the border of the map west..east [deg E] by south..north
// [deg N] in the frame left..right, bottom..top [inch]. A frame side below
// 2 inches is widened to 2 inches at the same scale (the box grows with it).
// The bands may go to 30"; the labels, which show whole minutes, to 1'.
// A box that is empty, not finite, wider than 720 degrees or beyond 1e5
// degrees gets only the outline.
MapAxesLayout map_axes_layout(float west, float east, float south, float north, float left, float right,
                              float bottom, float top);

// Draws that border in the current colour.
void map_axes_(float west, float east, float south, float north, float left, float right, float bottom,
               float top);

}  // namespace daz
