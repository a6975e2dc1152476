#include "data/units.h"

#include <cctype>
#include <vector>

#include "miscli/text_field.h"

namespace data {

namespace {

using miscli::lower_case;

// "-3" as superscript digits and sign.
std::string superscript(std::string_view power) {
    static constexpr const char* kDigits[] = {"⁰", "¹", "²", "³", "⁴", "⁵", "⁶", "⁷", "⁸", "⁹"};
    std::string out;
    for (char c : power) {
        if (c == '-') out += "⁻";
        else if (c >= '0' && c <= '9') out += kDigits[c - '0'];
    }
    return out;
}

// One factor: a name and a power ("m-3", "m^-3", "m3", "kg"), its power
// negated when it stands after a slash.
std::string factor(std::string_view f, bool divided) {
    std::size_t split = f.size();
    while (split > 0 && (std::isdigit(static_cast<unsigned char>(f[split - 1])) || f[split - 1] == '-' ||
                         f[split - 1] == '^' || f[split - 1] == '+'))
        --split;
    std::string name(f.substr(0, split));
    std::string power;
    for (char c : f.substr(split))
        if (c != '^' && c != '+') power += c;
    static constexpr std::pair<const char*, const char*> kNames[] = {
        {"umol", "µmol"}, {"micromol", "µmol"}, {"micromole", "µmol"}, {"micromoles", "µmol"},
        {"ug", "µg"},     {"um", "µm"},         {"mmol", "mmol"},      {"degree", "°"},
        {"degrees", "°"}, {"sec", "s"},         {"meter", "m"},        {"meters", "m"},
        {"metre", "m"},   {"metres", "m"},      {"second", "s"},       {"seconds", "s"},
    };
    for (const auto& [from, to] : kNames)
        if (lower_case(name) == from) name = to;
    if (name.empty()) return std::string(f);
    if (divided) power = power.empty() ? "-1" : (power[0] == '-' ? power.substr(1) : "-" + power);
    if (power == "1") power.clear();
    return name + superscript(power);
}

}  // namespace

std::string printed_unit(std::string_view units) {
    const std::string u = lower_case(units);
    for (const char* none : {"", "1", "psu", "pss-78", "pss78", "1e-3", "0.001", "none", "-"})
        if (u == none) return {};
    for (const char* celsius : {"degree_celsius", "degrees_celsius", "degc", "deg_c", "celsius", "deg c", "°c"})
        if (u == celsius) return "°C";
    if (u == "degrees_north" || u == "degree_north") return "°N";
    if (u == "degrees_east" || u == "degree_east") return "°E";
    if (u == "dbar" || u == "decibar" || u == "decibars") return "dbar";
    // Factors parted by blanks, dots or asterisks; one slash divides by what follows.
    std::string out;
    bool divided = false;
    std::string word;
    auto flush = [&] {
        if (word.empty()) return;
        if (!out.empty()) out += ' ';
        out += factor(word, divided);
        word.clear();
    };
    for (char c : units) {
        if (c == ' ' || c == '.' || c == '*') {
            flush();
        } else if (c == '/') {
            flush();
            divided = true;
        } else {
            word += c;
        }
    }
    flush();
    return out;
}

std::string variable_title(const Variable& v, const FileHeader& header) {
    const ColumnText* text = nullptr;
    if (v.source == Source::Samples && v.column >= 1 && v.column <= 4) text = &header.column(v.column);
    std::string title;
    if (text && !text->long_name.empty()) title = text->long_name;
    else if (v.named_by_file && text && !text->name.empty()) title = text->name;
    else if (!v.title.empty()) title = v.title;
    else title = v.name;
    if (!title.empty()) title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    const std::string unit = printed_unit(text && !text->unit.empty() ? std::string_view(text->unit) : v.unit);
    return unit.empty() ? title : title + ", " + unit;
}

}  // namespace data
