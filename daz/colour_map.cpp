#include "daz/colour_map.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numeric>

#include "miscli/console.h"

namespace daz {

namespace {

bool same_word(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

ColourMap from_table(const ColourMapTable& t) {
    ColourMap m;
    m.name = t.name;
    m.kind = t.kind;
    m.hinge = t.hinge;
    for (const MapNode& n : t.nodes)
        m.nodes.push_back({static_cast<float>(n.at) / 65535.0f,
                           {n.red / 255.0f, n.green / 255.0f, n.blue / 255.0f}});
    return m;
}

// Edit distance of two names in any case, for the maps nearest a misspelling.
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// ---- Reading a .cpt file ----

constexpr std::uintmax_t kMaxCptBytes = 1u << 20;  // far beyond any colour table

enum class Model { Rgb, Hsv, Cmyk };

struct Hsv {
    float h, s, v;  // degrees, 0..1, 0..1
};

ScaleColour rgb_of(Hsv c) {
    const float h = std::fmod(c.h, 360.0f) / 60.0f;
    const int sector = static_cast<int>(h);
    const float f = h - static_cast<float>(sector);
    const float p = c.v * (1 - c.s), q = c.v * (1 - c.s * f), t = c.v * (1 - c.s * (1 - f));
    switch (sector) {
    case 0: return {c.v, t, p};
    case 1: return {q, c.v, p};
    case 2: return {p, c.v, t};
    case 3: return {p, q, c.v};
    case 4: return {t, p, c.v};
    default: return {c.v, p, q};
    }
}

// A colour as read: in HSV when the table interpolates in HSV.
struct Read {
    ScaleColour rgb;
    std::optional<Hsv> hsv;
};

bool number(std::string_view s, float& v) {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

// Splits "a/b/c" (or with '-') into numbers; false unless there are `n`.
bool parts(std::string_view s, char sep, std::size_t n, float* out) {
    std::size_t i = 0;
    for (;;) {
        const std::size_t end = std::min(s.find(sep), s.size());
        if (i == n || !number(s.substr(0, end), out[i++])) return false;
        if (end == s.size()) return i == n;
        s.remove_prefix(end + 1);
    }
}

struct Named {
    std::string_view name;
    ScaleColour rgb;
};
constexpr Named kNamedColours[] = {
    {"black", {0, 0, 0}}, {"white", {1, 1, 1}},   {"red", {1, 0, 0}},     {"green", {0, 1, 0}},
    {"blue", {0, 0, 1}},  {"cyan", {0, 1, 1}},    {"magenta", {1, 0, 1}}, {"yellow", {1, 1, 0}},
    {"gray", {0.745f, 0.745f, 0.745f}},           {"grey", {0.745f, 0.745f, 0.745f}},
};

bool in(float v, float lo, float hi) { return v >= lo && v <= hi; }

// The colour in tokens [i, i + 1) or [i, i + 3); `i` moves past it.
// `room`: tokens the rest of the line needs after this colour.
bool colour_at(const std::vector<std::string_view>& t, std::size_t& i, std::size_t room, Model model, Read& out,
               std::string& why) {
    const std::string_view s = t[i];
    float v[4];
    const auto bad_range = [&](std::string_view range) {
        why = "colour " + miscli::one_line(s) + " is outside " + std::string(range);
        return false;
    };
    // Three numbers v[0..2] as the model reads them: h, s, v or r, g, b.
    const auto three = [&](std::string_view range) {
        if (model == Model::Hsv) {
            if (!(in(v[0], 0, 360) && in(v[1], 0, 1) && in(v[2], 0, 1))) return bad_range(range);
            out = {rgb_of({v[0], v[1], v[2]}), Hsv{v[0], v[1], v[2]}};
            return true;
        }
        if (!(in(v[0], 0, 255) && in(v[1], 0, 255) && in(v[2], 0, 255))) return bad_range(range);
        out = {{v[0] / 255, v[1] / 255, v[2] / 255}, std::nullopt};
        return true;
    };
    if (s.find('/') != std::string_view::npos) {
        ++i;
        if (parts(s, '/', 4, v)) {
            if (!(in(v[0], 0, 100) && in(v[1], 0, 100) && in(v[2], 0, 100) && in(v[3], 0, 100)))
                return bad_range("0..100 (c/m/y/k)");
            const float k = 1 - v[3] / 100;
            out = {{(1 - v[0] / 100) * k, (1 - v[1] / 100) * k, (1 - v[2] / 100) * k}, std::nullopt};
            return true;
        }
        if (!parts(s, '/', 3, v)) {
            why = "colour " + miscli::one_line(s) + " is not r/g/b";
            return false;
        }
        return three(model == Model::Hsv ? "0..360/0..1/0..1 (h/s/v)" : "0..255");
    }
    if (s.size() > 1 && s.find('-', 1) != std::string_view::npos && parts(s, '-', 3, v)) {
        ++i;
        if (!(in(v[0], 0, 360) && in(v[1], 0, 1) && in(v[2], 0, 1))) return bad_range("0..360-0..1-0..1 (h-s-v)");
        out = {rgb_of({v[0], v[1], v[2]}), model == Model::Hsv ? std::optional<Hsv>(Hsv{v[0], v[1], v[2]}) : std::nullopt};
        return true;
    }
    for (const Named& n : kNamedColours)
        if (same_word(s, n.name)) {
            ++i;
            out = {n.rgb, std::nullopt};
            return true;
        }
    if (!number(s, v[0])) {
        why = "colour " + miscli::one_line(s) + " is not r g b, r/g/b, h-s-v, c/m/y/k, a grey level or a colour name";
        return false;
    }
    // Three numbers where the line has room for them, else a grey level.
    if (t.size() - i >= 3 + room) {
        if (!number(t[i + 1], v[1]) || !number(t[i + 2], v[2])) {
            why = "colour " + miscli::one_line(s) + " " + miscli::one_line(t[i + 1]) + " " +
                  miscli::one_line(t[i + 2]) + " is not three numbers";
            return false;
        }
        i += 3;
        return three(model == Model::Hsv ? "0..360, 0..1, 0..1 (h s v)" : "0..255");
    }
    ++i;
    if (!in(v[0], 0, 255)) return bad_range("0..255");
    out = {{v[0] / 255, v[0] / 255, v[0] / 255}, std::nullopt};
    return true;
}

std::vector<std::string_view> tokens_of(std::string_view line) {
    std::vector<std::string_view> t;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) t.push_back(line.substr(start, i - start));
    }
    return t;
}

std::string upper(std::string_view s) {
    std::string u(s);
    for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

struct Slice {
    float z0, z1;
    Read c0, c1;
};

bool same_colour(ScaleColour a, ScaleColour b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

// The nodes of the slices in their own values; a slice interpolated in HSV
// gets in-between nodes so that straight lines in RGB follow it.
std::vector<std::pair<float, ScaleColour>> slice_nodes(const std::vector<Slice>& slices) {
    constexpr int kHsvSteps = 8;
    std::vector<std::pair<float, ScaleColour>> out;
    for (const Slice& s : slices) {
        if (out.empty() || out.back().first != s.z0 || !same_colour(out.back().second, s.c0.rgb))
            out.push_back({s.z0, s.c0.rgb});
        if (s.c0.hsv && s.c1.hsv)
            for (int k = 1; k < kHsvSteps; ++k) {
                const float f = static_cast<float>(k) / kHsvSteps;
                const Hsv a = *s.c0.hsv, b = *s.c1.hsv;
                out.push_back({s.z0 + f * (s.z1 - s.z0),
                               rgb_of({a.h + f * (b.h - a.h), a.s + f * (b.s - a.s), a.v + f * (b.v - a.v)})});
            }
        out.push_back({s.z1, s.c1.rgb});
    }
    return out;
}

// The text of the file, at most kMaxCptBytes; false with the reason.
bool read_text(const std::string& path, std::string& text, std::string& why) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        why = "is a folder, not a colour table";
        return false;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) {
        why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    text.resize(kMaxCptBytes + 1);
    const std::size_t n = std::fread(text.data(), 1, text.size(), f.get());
    if (std::ferror(f.get())) {
        why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    if (n > kMaxCptBytes) {
        why = "is larger than 1 MB, too large for a colour table";
        return false;
    }
    text.resize(n);
    return true;
}

}  // namespace

ScaleColour ColourMap::colour(float fraction) const {
    if (nodes.empty()) return {0, 0, 0};
    if (!(fraction > nodes.front().at)) return nodes.front().colour;
    if (!(fraction < nodes.back().at)) return nodes.back().colour;
    // The first node beyond the fraction: at a step, the colour after it.
    const auto next = std::upper_bound(nodes.begin(), nodes.end(), fraction,
                                       [](float f, const Node& n) { return f < n.at; });
    const Node& a = *(next - 1);
    const Node& b = *next;
    const float t = (fraction - a.at) / (b.at - a.at);
    return {a.colour.red + t * (b.colour.red - a.colour.red), a.colour.green + t * (b.colour.green - a.colour.green),
            a.colour.blue + t * (b.colour.blue - a.colour.blue)};
}

const ColourMap* find_colour_map(std::string_view name) {
    static const std::vector<ColourMap> maps = [] {
        std::vector<ColourMap> all;
        for (const ColourMapTable& t : kColourMapTables) all.push_back(from_table(t));
        return all;
    }();
    for (const ColourMap& m : maps)
        if (same_word(m.name, name)) return &m;
    return nullptr;
}

std::vector<std::string_view> nearest_colour_maps(std::string_view name, std::size_t count) {
    std::vector<std::string_view> names;
    for (const ColourMapTable& t : kColourMapTables) names.push_back(t.name);
    std::stable_sort(names.begin(), names.end(),
                     [&](std::string_view a, std::string_view b) { return distance(name, a) < distance(name, b); });
    names.resize(std::min(count, names.size()));
    return names;
}

std::optional<ColourMap> read_cpt(const std::string& path, std::string& why) {
    std::string text;
    if (!read_text(path, text, why)) return std::nullopt;
    std::optional<ColourMap> map = parse_cpt(text, why);
    if (map) map->name = path;
    return map;
}

std::optional<ColourMap> parse_cpt(std::string_view text, std::string& why) {
    ColourMap map;
    Model model = Model::Rgb;
    bool hsv_lines = false;  // "+HSV": HSV colours, interpolated in RGB
    std::optional<float> hinge;
    std::vector<Slice> slices;
    std::size_t from = 0;
    long number_of_line = 0;
    while (from < text.size()) {
        std::size_t end = std::min(text.find('\n', from), text.size());
        std::string_view line(text.data() + from, end - from);
        from = end + 1;
        ++number_of_line;
        const std::string at = "line " + std::to_string(number_of_line) + ": ";
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (std::any_of(line.begin(), line.end(), [](char c) { return (c >= 0 && c < 32 && c != '\t') || c == 127; })) {
            why = at + "is not text";
            return std::nullopt;
        }
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos) continue;
        line.remove_prefix(first);
        if (line.front() == '#') {
            const std::string u = upper(line.substr(1));
            const std::vector<std::string_view> words = tokens_of(u);
            if (words.empty()) continue;
            const std::string_view key = words[0];
            if (key == "COLOR_MODEL") {
                if (u.find("HSV") != std::string::npos) {
                    model = Model::Hsv;
                    hsv_lines = u.find("+HSV") != std::string::npos;
                } else if (u.find("CMYK") != std::string::npos) {
                    model = Model::Cmyk;
                }
            } else if (key == "SOFT_HINGE" || key == "HARD_HINGE") {
                hinge = 0.0f;
            } else if (key.starts_with("HINGE")) {
                // "HINGE = z": where zero lies, in the table's values.
                const std::size_t eq = u.find('=');
                const std::vector<std::string_view> value =
                    tokens_of(std::string_view(u).substr(eq == std::string::npos ? u.size() : eq + 1));
                float z = 0.0f;
                if (value.empty() || !number(value[0], z)) {
                    why = at + "the HINGE value is not a number";
                    return std::nullopt;
                }
                hinge = z;
            }
            continue;
        }
        // A label after ';' is no part of the colours.
        line = line.substr(0, line.find(';'));
        std::vector<std::string_view> t = tokens_of(line);
        if (t.empty()) continue;
        const Model colour_model = hsv_lines ? Model::Hsv : model;
        if (t[0] == "B" || t[0] == "F" || t[0] == "N") {
            std::size_t i = 1;
            Read c;
            if (t.size() < 2) {
                why = at + "give " + std::string(t[0]) + " and a colour";
                return std::nullopt;
            }
            if (!colour_at(t, i, 0, colour_model, c, why)) {
                why = at + why;
                return std::nullopt;
            }
            if (i != t.size()) {
                why = at + "give " + std::string(t[0]) + " and one colour";
                return std::nullopt;
            }
            if (t[0] == "N") map.missing = c.rgb;
            continue;
        }
        // The annotation flag at the end of a slice.
        if (t.size() > 4 && (t.back() == "L" || t.back() == "U" || t.back() == "B")) t.pop_back();
        Slice s{};
        std::size_t i = 1;
        if (t.size() < 4 || !number(t[0], s.z0)) {
            why = at + "is not \"z0 colour z1 colour\"";
            return std::nullopt;
        }
        if (!colour_at(t, i, 2, colour_model, s.c0, why)) {
            why = at + why;
            return std::nullopt;
        }
        if (i + 1 >= t.size() || !number(t[i], s.z1)) {
            why = at + "is not \"z0 colour z1 colour\"";
            return std::nullopt;
        }
        ++i;
        if (!colour_at(t, i, 0, colour_model, s.c1, why)) {
            why = at + why;
            return std::nullopt;
        }
        if (i != t.size()) {
            why = at + "has more than \"z0 colour z1 colour\"";
            return std::nullopt;
        }
        if (s.z1 < s.z0 || (!slices.empty() && s.z0 < slices.back().z1)) {
            why = at + "its values go down; each slice must start where the one before ends, or above";
            return std::nullopt;
        }
        // "+HSV" tables interpolate in RGB.
        if (hsv_lines) s.c0.hsv = s.c1.hsv = std::nullopt;
        slices.push_back(s);
    }
    if (slices.empty()) {
        why = "holds no colour slices (\"z0 colour z1 colour\" lines)";
        return std::nullopt;
    }
    const float lo = slices.front().z0, hi = slices.back().z1;
    if (!(hi > lo)) {
        why = "its slices span no range of values";
        return std::nullopt;
    }
    for (const auto& [z, c] : slice_nodes(slices)) map.nodes.push_back({(z - lo) / (hi - lo), c});
    if (hinge) {
        map.kind = MapKind::Diverging;
        map.hinge = *hinge > lo && *hinge < hi ? (*hinge - lo) / (hi - lo) : 0.5f;
    }
    return map;
}

}  // namespace daz
