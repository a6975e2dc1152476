#pragma once
// Lines handed over a segment at a time (a mission's contours come cell by
// cell, a few file units each) joined end to end into polylines and thinned,
// so that a page strokes a few thousand paths instead of hundreds of
// thousands of two-point ones, and its file holds a fraction of the points.
#include <vector>

#include "daz/device.h"

namespace daz {

class LineChains {
public:
    void add(FilePoint from, FilePoint to);
    bool empty() const { return segments_.empty(); }

    // Every segment once, in polylines that follow shared end points, in
    // the order their first segments came; then thinned of the points that
    // lie within `tolerance` file units of the line through those kept
    // either side of them. Empties the store.
    std::vector<std::vector<FilePoint>> take(double tolerance);

private:
    struct Segment {
        FilePoint from, to;
    };
    std::vector<Segment> segments_;
};

}  // namespace daz
