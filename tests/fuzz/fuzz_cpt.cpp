// GMT colour tables of any bytes: a table either gives a map whose nodes run
// from 0 to 1 with colours within 0..1, or a reason in one line.
#include <cmath>
#include <cstdint>
#include <string>

#include "daz/colour_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Copied so that reading one byte past the end is caught.
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string why;
    const auto map = daz::parse_cpt(text, why);
    if (!map) {
        if (why.empty() || why.find('\n') != std::string::npos) __builtin_trap();
        return 0;
    }
    float before = 0.0f;
    for (const daz::ColourMap::Node& n : map->nodes) {
        if (!(n.at >= before && n.at <= 1.0f)) __builtin_trap();
        before = n.at;
    }
    for (float f : {-1.0f, 0.0f, 0.3f, 0.5f, 1.0f, 2.0f, NAN}) {
        const daz::ScaleColour c = map->colour(f);
        for (float v : {c.red, c.green, c.blue})
            if (!(v >= 0.0f && v <= 1.0f)) __builtin_trap();
    }
    return 0;
}
