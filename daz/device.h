#pragma once
// What the plot device's doors (plot_device.h, shade.h) draw on: one small
// interface with its implementations side by side, one file each: the
// screen window (screen_device.cpp), the EPS writer (eps_writer.cpp) and
// the cairo page of a PDF, SVG or PNG (cairo_page.cpp). The doors check
// and convert (a portrait page is turned onto the landscape frame, points
// that are not finite are dropped, widths are held to their field); a
// device only draws. hardcopy_format.cpp picks a hardcopy's writer by its
// format.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace daz {

struct PagePoint {
    float x = 0, y = 0;  // landscape device page, inches
};
struct FilePoint {
    std::int32_t x = 0, y = 0;  // thousandths of an inch on the PostScript sheet
};

// A column of a section's colour cells on the device page: the column
// spans x_lo..x_hi, each cell y_lo..y_hi [inch] in its colour (0..1).
// Filled as paths, each cell reaches `seam` further right and down, under
// the cells filled after it, so that no renderer leaves a hairline between
// them; an image of the cells, seamless by itself, takes them as they are.
struct CellColumn {
    struct Cell {
        float red, green, blue;
        float y_lo, y_hi;
    };
    float x_lo = 0, x_hi = 0;
    std::vector<Cell> cells;
    float seam = 0.0f;
    // The edges a cell is filled to.
    float filled_x_hi() const { return x_hi + seam; }
    float filled_y_lo(const Cell& c) const { return c.y_lo - seam; }
};

class Device {
public:
    virtual ~Device() = default;

    // Pen 3 moves to `to`, pen 2 draws a straight line there; what other
    // pen codes do is the device's (a hardcopy draws, the screen nothing).
    virtual void stroke(PagePoint to, int pen) = 0;
    // Colour of the following strokes and fills, each channel as given
    // (the device holds it to what it takes).
    virtual void colour(float red, float green, float blue) = 0;
    // Line width of the following strokes [0.001 inch], 0..999999999.
    virtual void line_width(long width) = 0;
    // Fills the closed polygon in the current colour.
    virtual void fill(std::span<const PagePoint> vertices) = 0;
    // Each cell of the column in its colour, as colour and then fill of
    // its corners (x_lo, y_lo), (x_lo, y_hi), (x_hi, y_hi), (x_hi, y_lo)
    // would draw it; a device may make the same picture faster.
    virtual void fill_cells(const CellColumn& column);
    // Nothing drawn is ever seen (a canvas nobody looks at): what only
    // draws may be left out.
    virtual bool draws_nothing() const { return false; }
    // Ends a hardcopy's picture, all of it handed to its file; false with
    // the reason when the picture could not be made.
    virtual bool finish(std::string& reason);
};

// The coordinate rule of every hardcopy: device page to file units,
// PX = nearest(8 - YP) * 1000, PY = nearest XP * 1000.
FilePoint file_point(PagePoint p);
// A fill's corner: the file point held to the sheet, 0..8000 x 0..10000.
FilePoint sheet_point(PagePoint p);
// A colour channel as the hardcopies take it: in hundredths, held to 0..1.
std::size_t hundredths(float v);

}  // namespace daz
