#pragma once
// Reads back what the plot device wrote into an EPS file, in the page inches
// of a landscape plot: stroke segments and filled polygons with the colour
// they were drawn in.
#include <string>
#include <vector>

namespace testing_support {

struct PageXY {
    float x, y;
};

struct Segment {
    PageXY from, to;
    float red, green, blue;
};

struct Fill {
    std::vector<PageXY> points;
    float red, green, blue;
};

struct EpsPicture {
    std::vector<Segment> segments;
    std::vector<Fill> fills;
};

EpsPicture read_eps(const std::string& eps_text);

// Segments from (x1, y1) to (x2, y2), either way round, within tol inches.
int count_segments(const EpsPicture& p, float x1, float y1, float x2, float y2, float tol = 0.002f);

}  // namespace testing_support
