#pragma once
// Colour maps: value fractions 0..1 to colours, interpolated between nodes.
// The known maps by name (the cmocean, matplotlib and Scientific colour maps,
// from colour_map_tables), or any GMT colour table read from a .cpt file.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "daz/colour_map_tables.h"
#include "daz/shade.h"

namespace daz {

struct ColourMap {
    struct Node {
        float at;            // value fraction 0..1
        ScaleColour colour;  // 0..1 each
    };
    std::string name;
    MapKind kind = MapKind::Other;
    // From 0 to 1, never decreasing; two nodes at one place make a step.
    std::vector<Node> nodes;
    float hinge = 0.5f;  // Diverging: the fraction where zero lies
    std::optional<ScaleColour> missing;  // a table's own colour for no value (its N line)

    // The colour at `fraction` of the range; outside 0..1 the end colours.
    ScaleColour colour(float fraction) const;
};

// The known map of that name in any case, or nullptr.
const ColourMap* find_colour_map(std::string_view name);

// The known maps' names closest in spelling to `name`, closest first.
std::vector<std::string_view> nearest_colour_maps(std::string_view name, std::size_t count = 3);

// Reads a GMT colour table: "z0 colour z1 colour" slices, each colour as
// r g b, r/g/b, h-s-v, c/m/y/k, a grey level or a basic colour name; the
// COLOR_MODEL (RGB, HSV, CMYK) and HINGE comments; the N line's colour for
// no value. The values are scaled to 0..1. Gives nullopt and the reason in
// one line when the file cannot be read or is no colour table.
std::optional<ColourMap> read_cpt(const std::string& path, std::string& why);
// The same for the text of a table.
std::optional<ColourMap> parse_cpt(std::string_view text, std::string& why);

}  // namespace daz
