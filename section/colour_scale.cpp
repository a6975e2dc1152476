#include "section/colour_scale.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "section/robust_range.h"

namespace section {

namespace {

// Each variable's usual map, by its registry letter; the velocities have a
// meaningful zero, at the middle of a diverging map.
struct UsualMap {
    char letter;
    std::string_view map;
    bool around_zero;
};

constexpr UsualMap kUsualMaps[] = {
    {'T', "thermal", false}, {'S', "haline", false},  {'D', "dense", false},  {'B', "turbid", false},
    {'U', "balance", true},  {'V', "balance", true},  {'W', "balance", true},  {'A', "haline", false},
    {'C', "thermal", false}, {'G', "dense", false},   {'N', "tempo", false},   {'P', "matter", false},
};

const UsualMap* usual_of(char letter) {
    for (const UsualMap& u : kUsualMaps)
        if (u.letter == letter) return &u;
    return nullptr;
}

// The fourth variable's map from the file's name for it.
std::string_view fourth_map(std::string_view file_name) {
    std::string name(file_name);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.find("chl") != std::string::npos || name.find("fluor") != std::string::npos) return "algae";
    if (name.find("oxy") != std::string::npos || name.find("o2") != std::string::npos) return "oxy";
    return "viridis";
}

const daz::ColourMap& known(std::string_view name) {
    const daz::ColourMap* m = daz::find_colour_map(name);
    return m ? *m : *daz::find_colour_map("viridis");
}

}  // namespace

const daz::ColourMap& usual_colour_map(ColourVariable variable) {
    if (const UsualMap* u = usual_of(variable.letter)) return known(u->map);
    if (variable.letter == '4') return known(fourth_map(variable.file_name));
    return known("viridis");
}

daz::ScaleColour ColourScale::colour(float value) const {
    if (hi == lo) return map->colour(0.5f);
    if (!centred) return map->colour((value - lo) / (hi - lo));
    // Each side of zero spreads over its own part of the map.
    const float h = map->hinge;
    return map->colour(value <= 0.0f ? h * (value - lo) / -lo : h + (1.0f - h) * value / hi);
}

ColourScale colour_scale(const Look& look, ColourVariable variable, const miscli::Array2<float>& grid,
                         int n_levels, int first, int last, float v_lo, float v_hi, int log_color, float missing) {
    ColourScale s;
    if (look.colour_map) s.map = &*look.colour_map;
    else if (look.maps_by_variable) s.map = &usual_colour_map(variable);
    if (!s.map) return s;

    s.lo = v_lo;
    s.hi = v_hi;
    if (look.colour_range) {
        // A log field's range is given in its values: a bound at or below
        // zero has no log and leaves the field's own.
        const ValueRange given = *look.colour_range;
        if (log_color == 0) {
            s.lo = given.lo;
            s.hi = given.hi;
        } else {
            if (given.lo > 0.0f) s.lo = std::log10(given.lo);
            if (given.hi > 0.0f) s.hi = std::log10(given.hi);
        }
    } else if (look.robust_range) {
        if (const auto r = robust_range(grid, n_levels, first, last, missing); r && r->hi > r->lo) {
            s.lo = r->lo;
            s.hi = r->hi;
        }
    }
    const UsualMap* usual = usual_of(variable.letter);
    if (!look.colour_range && s.map->kind == daz::MapKind::Diverging && usual && usual->around_zero) {
        const float m = std::max(std::fabs(s.lo), std::fabs(s.hi));
        if (m > 0.0f) {
            s.lo = -m;
            s.hi = m;
            s.centred = true;
        }
    }
    if (look.grey_missing) s.missing = s.map->missing.value_or(daz::ScaleColour{0.85f, 0.85f, 0.85f});
    return s;
}

}  // namespace section
