#pragma once
// A hardcopy page drawn with cairo: a PDF, SVG or PNG of the upright
// landscape page, 10 x 8 inches. It is handed exactly what the EPS writer
// writes, in the same file units (thousandths of an inch on the plotter's
// sheet, here turned back upright), so the pictures agree stroke for
// stroke: every draw is stroked by itself with butt caps, as the EPS's D
// does; colours come rounded to hundredths, as in its setrgbcolor lines;
// fills take the vertices clamped to the sheet and the nonzero rule of its
// ufill.
#include <span>
#include <string>

#include "daz/hardcopy_format.h"
#include "daz/hardcopy_target.h"
#include "daz/plot_device.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

namespace daz {

class CairoPage {
public:
    // A page of `format` (not EPS) written through `target`, which must
    // stay open until finish; `dpi` sizes a PNG and is noted in it.
    CairoPage(HardcopyFormat format, int dpi, HardcopyTarget& target);
    ~CairoPage();
    CairoPage(const CairoPage&) = delete;
    CairoPage& operator=(const CairoPage&) = delete;

    // A move (the EPS's M) or a draw from the last point (its D).
    void stroke(FilePoint to, bool draw);
    // Channels 0..1, as written in the EPS.
    void colour(double red, double green, double blue);
    // Thousandths of an inch.
    void line_width(long width);
    // A filled polygon in the current colour.
    void fill(std::span<const FilePoint> vertices);
    // Ends the page and hands the rest (all of a PNG) to the target; false
    // with cairo's reason when the picture could not be made.
    bool finish(std::string& reason);

private:
    HardcopyFormat format_;
    int dpi_;
    HardcopyTarget& target_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
    FilePoint last_;  // the EPS page starts with its current point at 0 0
};

}  // namespace daz
