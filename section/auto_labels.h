#pragma once
// Contour labels the program places by itself along the heavier lines: the
// level's value, upright, centred on the line, about one every 2.75 inches
// of line and at least one on each line long enough to carry it, each
// inside the frame and clear of the others. The lines are broken under
// them (BrokenLines draws a level leaving out what passes under a label).
#include <span>
#include <vector>

#include "daz/device.h"
#include "section/contour_labels.h"
#include "section/contour_trace.h"
#include "section/lin_plot.h"

namespace section {

struct PageBox {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // page inches, x0 <= x1, y0 <= y1
};

struct AutoLabel {
    ContourLabel label;  // the text and where letter_ starts it
    PageBox box;         // the text with its margin: no line is drawn inside
};

// One level's line on the page, joined from its cells' pieces; a closed one
// ends where it starts.
struct ContourLine {
    std::vector<daz::PagePoint> points;
    bool closed = false;
};

// Joins the crossings of one level, handed cell by cell in the order
// trace_level visits them, into lines: two cells that share an edge share
// its crossing. A saddle's four crossings make two pieces, upper with right
// and lower with left.
class LineJoiner {
public:
    explicit LineJoiner(int n_levels);
    void cell(int j, int k, const CellCrossings& c);
    // The lines joined so far, each piece in exactly one of them.
    std::vector<ContourLine> lines() const;

private:
    struct Piece {
        std::array<daz::PagePoint, 2> end{};
        std::array<int, 2> link{-1, -1};  // 2 * piece + end of the neighbour there
    };
    struct Slot {
        int j = -1, k = -1, end = -1;
    };
    void add(int j, int k, const CellCrossings& c, int a, int b);
    void meet(int j, int k, Side side, int end);
    void link(int a, int b);

    std::vector<Piece> pieces_;
    std::array<std::vector<Slot>, 2> right_;  // by profile parity, then level: the end on a cell's right edge
    Slot lower_;                              // the end on the lower edge of the cell last seen
};

// Labels for the heavy levels of `levels` traced through `field`, inside
// `frame`. Reads the current font for the texts' widths.
// `cells`, when given, lists the cells each level may cross.
std::vector<AutoLabel> place_auto_labels(const TracedField& field, const ContourLevels& levels, PageBox frame,
                                         const LevelCells* cells = nullptr);

// Draws one level's crossings as lin_plot_ joins them, leaving out every
// part that passes inside a label's box.
class BrokenLines {
public:
    BrokenLines(std::span<const AutoLabel> labels, std::span<const float> column_x);
    void cell(int column, const CellCrossings& c) const;  // column = j - first

private:
    std::span<const AutoLabel> labels_;
    std::vector<int> start_;  // labels over column c: boxes_[start_[c] .. start_[c + 1] - 1]
    std::vector<int> boxes_;
};

}  // namespace section
