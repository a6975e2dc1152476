#include "section/look.h"

namespace section {

Look resolve_look(const LookChoices& c) {
    Look look;
    look.style = c.style;
    if (c.style == Style::Modern) {
        look.maps_by_variable = true;
        look.robust_range = true;
        look.grey_missing = true;
        look.titled = true;
        look.auto_labels = true;
        look.teos10_variables = true;
    }
    if (c.eos) look.eos = *c.eos;
    if (look.eos == Eos::Teos10) look.teos10_variables = true;
    look.mld_threshold = c.mld_threshold;
    if (c.horizontal) look.horizontal = *c.horizontal;
    if (c.colour_map) {
        look.colour_map = c.colour_map;
        look.maps_by_variable = false;
    }
    if (c.colour_range) {
        look.colour_range = c.colour_range;
        look.robust_range = false;
    }
    if (c.auto_labels) look.auto_labels = *c.auto_labels;
    if (c.contour_step) look.contour_step = *c.contour_step;
    if (c.page) {
        look.page_width = c.page->lo;
        look.page_height = c.page->hi;
    }
    return look;
}

}  // namespace section
