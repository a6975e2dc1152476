#pragma once
// How a figure looks beyond what the dialogue asks. The classic look, the
// default, draws the plotter's picture exactly. The modern look titles the
// axes and the colour bar with names and units, gives each variable its
// perceptual colour map over robust limits, greys missing cells and labels
// the contours by itself; each of these can also be chosen on its own.
#include <optional>

#include "daz/colour_map.h"
#include "section/frame_axes.h"

namespace section {

enum class Style { Classic, Modern };

struct ValueRange {
    float lo = 0.0f, hi = 0.0f;
};

struct Look {
    Style style = Style::Classic;
    Horizontal horizontal = Horizontal::Distance;
    // The map named (a known one, or a .cpt file's); none: the classic
    // scale, or each variable's usual map.
    std::optional<daz::ColourMap> colour_map;
    // Each variable takes its field's usual map when no map is named.
    bool maps_by_variable = false;
    std::optional<ValueRange> colour_range;  // the colour bar's range, as given
    bool robust_range = false;     // the 0.5 and 99.5 percentiles of the field, not its extremes
    bool grey_missing = false;     // missing cells light grey, and the bar says so
    bool titled = false;           // axes and bar titled with units, both ends labelled, ISO dates
    bool auto_labels = false;      // contour labels placed along the lines
    float contour_step = 0.0f;     // the contour interval; 0: the classic choice
    // The page the figure is laid out on [inch]: the frame keeps its margins
    // to the page's edges (the colour bar and titles beside it).
    float page_width = 10.0f, page_height = 8.0f;
    Eos eos = Eos::Eos80;          // the density axis's and the density variable's equation of state
    bool teos10_variables = false; // the TEOS-10 variables are offered in the menus
    // The mixed-layer depth line over a pressure section, at this sigma-0
    // threshold [kg/m3] from the value at 10 dbar; none: no line.
    std::optional<float> mld_threshold;
};

// What the command line chose, each unset where it said nothing.
struct LookChoices {
    Style style = Style::Classic;
    std::optional<Horizontal> horizontal;
    std::optional<daz::ColourMap> colour_map;
    std::optional<ValueRange> colour_range;
    std::optional<bool> auto_labels;
    std::optional<float> contour_step;
    std::optional<ValueRange> page;  // width, height [inch] of the layout page (--size)
    std::optional<Eos> eos;
    std::optional<float> mld_threshold;
};

// The look of the choices: the style's defaults, then each choice made.
Look resolve_look(const LookChoices& choices);

}  // namespace section
