#pragma once
// A cairo image written as a PNG file: RGB, with its resolution (pHYs) so
// that other programs know its dots per inch. Rows are filtered by their
// neighbour above and deflated whole by libdeflate at a low level, which
// keeps a section's runs of colour small and writes several times faster
// than the usual adaptive filters and zlib's default level.
#include <cairo.h>

#include <string>

#include "daz/hardcopy_target.h"

namespace daz {

// False with the reason when the picture could not be written.
bool write_png(cairo_surface_t* image, int dpi, HardcopyTarget& target, std::string& reason);

}  // namespace daz
