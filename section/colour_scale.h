#pragma once
// How the values of a colour section become colours when the look gives it
// a colour map: the map named, or the variable's usual one, over the range
// the look chose; and the colour of the cells without a value.
#include <string_view>

#include "daz/colour_map.h"
#include "miscli/array.h"
#include "section/look.h"

namespace section {

// The variable the colour cells show, which picks its usual map: its letter
// in the variable registry and, for the fourth variable, the file's name for it.
struct ColourVariable {
    char letter = 0;
    std::string_view file_name;
};

// The usual map of a variable: thermal for temperature, haline for
// salinity, dense for sigma-theta, algae or oxy for a fourth variable whose
// name says chlorophyll (or fluorescence) or oxygen, turbid for
// backscatter, balance for the velocities; viridis for any other.
const daz::ColourMap& usual_colour_map(ColourVariable variable);

struct ColourScale {
    const daz::ColourMap* map = nullptr;  // none: the classic scale
    float lo = 0.0f, hi = 0.0f;           // the values at the bar's ends (log10 on a log scale)
    bool centred = false;                 // zero at the map's hinge, lo = -hi
    daz::ScaleColour missing{0.0f, 0.0f, 0.0f};

    // The map's colour of a value; the end colours beyond the range, the
    // middle one when the range is empty.
    daz::ScaleColour colour(float value) const;
};

// The scale of a field (profiles first..last, levels 1..n_levels, values
// above `missing`, extremes v_lo, v_hi) as the look draws it. Its range:
// the look's colour range (given in the field's units, so as log10 of it
// when log_color is set), else with robust_range the field's percentiles,
// else its extremes; a diverging map of a velocity is centred on zero
// unless the range is given. No map for the classic look.
ColourScale colour_scale(const Look& look, ColourVariable variable, const miscli::Array2<float>& grid,
                         int n_levels, int first, int last, float v_lo, float v_hi, int log_color, float missing);

}  // namespace section
