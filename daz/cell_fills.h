#pragma once
// The colour fills of a section's cells written into an EPS hardcopy, each
// exactly as palette_ (or rgbcolor_) and shaderect_ would write it. The
// cells lie on a grid: a corner's sheet coordinates come one from its
// column's x and one from its level's y, so their text is made once per
// column and once per level, not four times per cell. A section has a cell
// for every level of every dive.
#include <string>
#include <vector>

namespace daz {

class CellFills {
public:
    // Whether cells can go this way: an EPS hardcopy is open, in landscape.
    static bool usable();
    // The next cells lie between page x_lo and x_hi.
    void column(float x_lo, float x_hi);
    // The cell of level k (from 1) between page y_lo and y_hi, in colour
    // (red, green, blue), 0..1.
    void cell(int k, float red, float green, float blue, float y_lo, float y_hi);
    // Writes the column's cells into the hardcopy.
    void flush();

private:
    struct Level {
        float y_lo = 0, y_hi = 0;
        bool made = false;
        std::string lo, hi;  // sheet x of y_lo and y_hi, as the corner lines start
    };
    std::string x_lo_, x_hi_;  // sheet y of the column's x, as the corner lines go on
    std::vector<Level> levels_;
    std::string text_;
};

}  // namespace daz
