#include "app/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "app/title.h"
#include "data/variables.h"
#include "daz/colour_map.h"
#include "daz/stroke_text.h"
#include "miscli/fixed_format.h"
#include "miscli/fixed_read.h"
#include "section/mixed_layer.h"
#include "section/plotcom.h"

namespace app {

namespace {

bool one_of(std::string_view value, std::string_view letters, char& out) {
    if (value.size() != 1) return false;
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
    if (letters.find(c) == std::string_view::npos) return false;
    out = c;
    return true;
}

bool whole_number(std::string_view s, long& v) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool real_number(std::string_view s, double& v) {
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
}

bool printable(std::string_view s) {
    for (char c : s)
        if (c < 32 || c > 126) return false;
    return true;
}

// Each setter takes the option's value and gives false with the reason.
using Setter = bool (*)(std::string_view value, Options& o, std::string& why);

bool set_dives(std::string_view v, Options& o, std::string& why) {
    const std::size_t colon = v.find(':');
    long first = 0, last = 0;
    if (colon == std::string_view::npos || !whole_number(v.substr(0, colon), first) ||
        !whole_number(v.substr(colon + 1), last)) {
        why = "give FIRST:LAST, two whole dive numbers";
        return false;
    }
    if (first < 1) {
        why = "dives are numbered from 1";
        return false;
    }
    if (first > last) {
        why = "the first dive is after the last";
        return false;
    }
    o.section.dives = std::to_string(first) + " " + std::to_string(last);
    o.section.dives_option = v;
    return true;
}

// "A,B": two finite numbers; false when it is not.
bool number_pair(std::string_view v, float& a, float& b) {
    float r[3] = {0, 0, 0};
    int found = 0;
    if (v.find(',') == std::string_view::npos || !miscli::read_reals(v, r, 3, found) || found != 2 ||
        !std::isfinite(r[0]) || !std::isfinite(r[1]))
        return false;
    a = r[0];
    b = r[1];
    return true;
}

bool set_range(std::string_view v, Options& o, std::string& why) {
    // Read as the dialogue reads the typed range.
    float lo = 0, hi = 0;
    if (!number_pair(v, lo, hi)) {
        why = "give MIN,MAX, two numbers";
        return false;
    }
    if (!(lo < hi)) {
        why = "MIN must be below MAX";
        return false;
    }
    o.section.range = v;
    o.section.range_option = v;
    return true;
}

bool set_title(std::string_view v, Options& o, std::string& why) {
    if (!title_stroke_text(v, why)) return false;
    o.section.title = v;
    return true;
}

// "T,S,D,4" or "TSD4": two to eight panels of the registry's letters.
bool set_stack(std::string_view v, Options& o, std::string& why) {
    const std::string known = data::variable_letters();
    std::string letters;
    for (char c : v) {
        if (c == ',' || c == ' ') continue;
        const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (known.find(up) == std::string::npos) {
            why = std::string("give two to eight of ") + data::listed_letters(0, {}, true) + ", as T,S,D";
            return false;
        }
        letters += up;
    }
    if (letters.size() < 2 || letters.size() > kMostPanels) {
        why = "give two to eight colour variables, one a panel, as T,S,D";
        return false;
    }
    o.section.stack = letters;
    o.section.color = letters.front();
    o.section.stack_option = v;
    return true;
}

bool set_label(std::string_view v, Options& o, std::string& why) {
    const std::size_t comma = v.find(',');
    double x = 0, y = 0;
    if (comma == std::string_view::npos || !real_number(v.substr(0, comma), x) ||
        !real_number(v.substr(comma + 1), y)) {
        why = "give X,Y, a page position in inches";
        return false;
    }
    // A label stands on a contour line, so only inside the section frame.
    constexpr section::Plotcom frame;
    if (!(x >= frame.left && x <= frame.right && y >= frame.bottom && y <= frame.top)) {
        why = "outside the section frame, which is " + miscli::fmt_f(frame.left, 0, 1) + " to " +
              miscli::fmt_f(frame.right, 0, 1) + " inches across and " + miscli::fmt_f(frame.bottom, 0, 1) + " to " +
              miscli::fmt_f(frame.top, 0, 1) + " up";
        return false;
    }
    o.section.labels.push_back({std::string(v.substr(0, comma)), std::string(v.substr(comma + 1))});
    return true;
}

bool set_var4(std::string_view v, Options& o, std::string& why) {
    if (v.empty() || !printable(v) || v.find(' ') != std::string_view::npos) {
        why = "give the name of one variable of the file";
        return false;
    }
    o.section.var4 = std::string(v);
    return true;
}

bool set_hardcopy(std::string_view v, Options& o, std::string& why) {
    auto f = daz::format_named(v);
    if (!f) {
        why = "give " + daz::format_list();
        return false;
    }
    o.hardcopy.format = *f;
    return true;
}

bool set_dpi(std::string_view v, Options& o, std::string& why) {
    long dpi = 0;
    if (!whole_number(v, dpi) || dpi < daz::kMinDpi || dpi > daz::kMaxDpi) {
        why = "give a whole number of dots per inch from 50 to 1200";
        return false;
    }
    o.hardcopy.dpi = static_cast<int>(dpi);
    return true;
}

// A name that can be a file's; false with the reason for a folder's.
bool file_name(std::string_view v, std::string& why) {
    std::error_code ec;
    if (v.empty() || v.back() == '/' || std::filesystem::is_directory(std::string(v), ec)) {
        why = "give the name of a file (not a folder)";
        return false;
    }
    return true;
}

bool set_output(std::string_view v, Options& o, std::string& why) {
    if (!file_name(v, why)) return false;
    o.hardcopy.name = v;
    return true;
}

// A word of `words` (in any case), at its index; false when it is none.
bool word_of(std::string_view v, std::initializer_list<std::string_view> words, std::size_t& index) {
    std::size_t i = 0;
    for (std::string_view w : words) {
        if (v.size() == w.size() && std::equal(v.begin(), v.end(), w.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == b;
            })) {
            index = i;
            return true;
        }
        ++i;
    }
    return false;
}

bool set_style(std::string_view v, Options& o, std::string& why) {
    std::size_t i = 0;
    if (!word_of(v, {"classic", "modern"}, i)) {
        why = "give classic or modern";
        return false;
    }
    o.look_choices.style = i == 0 ? section::Style::Classic : section::Style::Modern;
    return true;
}

bool set_x(std::string_view v, Options& o, std::string& why) {
    std::size_t i = 0;
    if (!word_of(v, {"distance", "time", "profile"}, i)) {
        why = "give distance, time or profile";
        return false;
    }
    constexpr section::Horizontal kinds[] = {section::Horizontal::Distance, section::Horizontal::Time,
                                             section::Horizontal::Profile};
    o.look_choices.horizontal = kinds[i];
    return true;
}

// A known map's name, else a GMT colour table file; a name that is neither
// gets the nearest known names.
bool set_cmap(std::string_view v, Options& o, std::string& why) {
    if (v.empty() || !printable(v)) {
        why = "give the name of a colour map or a .cpt file";
        return false;
    }
    if (const daz::ColourMap* known = daz::find_colour_map(v)) {
        o.look_choices.colour_map = *known;
        return true;
    }
    const std::string name(v);
    std::error_code ec;
    std::size_t cpt = 0;
    const bool a_file = std::filesystem::exists(name, ec) || name.find('/') != std::string::npos ||
                        (name.size() > 4 && word_of(v.substr(v.size() - 4), {".cpt"}, cpt));
    if (!a_file) {
        why = "no such colour map or file; the nearest known maps are";
        const std::vector<std::string_view> nearest = daz::nearest_colour_maps(v);
        for (std::size_t i = 0; i < nearest.size(); ++i) why += (i == 0 ? " " : ", ") + std::string(nearest[i]);
        return false;
    }
    std::optional<daz::ColourMap> map = daz::read_cpt(name, why);
    if (!map) return false;
    o.look_choices.colour_map = std::move(*map);
    return true;
}

bool set_clim(std::string_view v, Options& o, std::string& why) {
    section::ValueRange r;
    if (!number_pair(v, r.lo, r.hi)) {
        why = "give MIN,MAX, two numbers";
        return false;
    }
    if (!(r.lo < r.hi)) {
        why = "MIN must be below MAX";
        return false;
    }
    o.look_choices.colour_range = r;
    return true;
}

bool set_ci(std::string_view v, Options& o, std::string& why) {
    double step = 0;
    if (!real_number(v, step) || !(step > 0.0) || !std::isfinite(step)) {
        why = "give the contour interval, a number above 0";
        return false;
    }
    o.look_choices.contour_step = static_cast<float>(step);
    return true;
}

bool set_size(std::string_view v, Options& o, std::string& why) {
    float width = 0, height = 0;
    if (!number_pair(v, width, height) || !(width >= 2.0f && width <= 40.0f && height >= 1.6f && height <= 32.0f)) {
        why = "give W,H, the sheet's width and height in inches (2 to 40 by 1.6 to 32)";
        return false;
    }
    // The figure is laid out on a page the sheet holds at its scale; its
    // frame must keep room beside the colour bar and titles.
    const float scale = daz::layout_scale(width, height);
    if (width / scale < 5.0f || height / scale < 4.0f) {
        why = "too narrow or too low for the figure; give a sheet nearer 5:4 (as 7,5.6 or 3.5,2.8)";
        return false;
    }
    o.hardcopy.width = width;
    o.hardcopy.height = height;
    o.hardcopy.scale = scale;
    o.look_choices.page = section::ValueRange{width / scale, height / scale};
    return true;
}

bool set_labels(std::string_view v, Options& o, std::string& why) {
    std::size_t i = 0;
    if (!word_of(v, {"auto", "hand"}, i)) {
        why = "give auto (placed along the lines) or hand (only where asked)";
        return false;
    }
    o.look_choices.auto_labels = i == 0;
    return true;
}

bool set_eos(std::string_view v, Options& o, std::string& why) {
    std::size_t i = 0;
    if (!word_of(v, {"eos80", "teos10"}, i)) {
        why = "give eos80 (sigma-theta) or teos10 (sigma-0 and the TEOS-10 variables)";
        return false;
    }
    o.look_choices.eos = i == 0 ? section::Eos::Eos80 : section::Eos::Teos10;
    return true;
}

bool set_mld(std::string_view v, Options& o, std::string& why) {
    double threshold = 0;
    if (!real_number(v, threshold) || !(threshold > 0.0 && threshold <= 10.0)) {
        why = "give the density threshold in kg/m3, above 0 and at most 10 (0.03 when none is given)";
        return false;
    }
    o.look_choices.mld_threshold = static_cast<float>(threshold);
    return true;
}

bool set_stamp(std::string_view v, Options& o, std::string& why) {
    std::string refusal;
    if (v.size() > 200 || !daz::stroke_text_of(v, refusal)) {
        why = v.size() > 200 ? "at most 200 characters" : refusal;
        return false;
    }
    o.stamp = v;
    return true;
}

bool set_mld_csv(std::string_view v, Options& o, std::string& why) {
    if (!file_name(v, why)) return false;
    o.mld_csv = v;
    return true;
}

// One-letter answers of the section, in either case. A variable option
// takes the registry's letters and, with `none`, that letter for none.
struct LetterOption {
    std::string_view name, letters, why;
    char SectionChoices::*answer;
    bool variable = false;
    char none = 0;
};

constexpr LetterOption kLetterOptions[] = {
    {"--axis", "SLD", "the axis is S (square root of pressure), L (linear pressure) or D (sigma-theta)",
     &SectionChoices::axis},
    {"--color", "", "", &SectionChoices::color, true},
    {"--contour", "", "", &SectionChoices::contour, true, 'X'},
    {"--ticks", "SD", "give S (station) or D (day)", &SectionChoices::ticks},
};

struct ValueOption {
    std::string_view name;
    std::string_view value;  // how the value is written, for the refusal of a missing one
    bool section_only;       // belongs to a one-command section
    Setter set;
};

constexpr ValueOption kValueOptions[] = {
    {"--dives", "FIRST:LAST", true, set_dives},   {"--range", "MIN,MAX", true, set_range},
    {"--title", "TEXT", true, set_title},         {"--label", "X,Y", true, set_label},
    {"--var4", "NAME", true, set_var4},           {"-o", "NAME", true, set_output},
    {"--hardcopy", "eps|pdf|svg|png", false, set_hardcopy}, {"--dpi", "N", false, set_dpi},
    {"--style", "classic|modern", false, set_style},        {"--x", "distance|time|profile", false, set_x},
    {"--cmap", "NAME", false, set_cmap},                    {"--clim", "MIN,MAX", false, set_clim},
    {"--ci", "STEP", false, set_ci},                        {"--labels", "auto|hand", false, set_labels},
    {"--size", "W,H", false, set_size},                     {"--eos", "eos80|teos10", false, set_eos},
    {"--mld", "THRESHOLD", false, set_mld},                 {"--mld-csv", "FILE", true, set_mld_csv},
    {"--stamp", "TEXT", true, set_stamp},                   {"--stack", "LETTERS", true, set_stack},
};

// Sets a letter option; false with the reason when the value is not one of
// its letters.
bool set_letter(const LetterOption& l, std::string_view value, Options& o, std::string& why) {
    if (!l.variable) {
        why = l.why;
        return one_of(value, l.letters, o.section.*l.answer);
    }
    why = "give one of " + data::listed_letters(0, {}, false);
    std::string letters = data::variable_letters();
    if (l.none != 0) {
        why += std::string(", or ") + l.none + " for none";
        letters += l.none;
    }
    // The TEOS-10 letters are checked against the look once it is known.
    std::string teos10;
    for (char c : letters)
        if (data::is_teos10(c)) teos10 += std::string(teos10.empty() ? "" : ", ") + c;
    why += " (with --eos teos10 or --style modern also " + teos10 + ")";
    return one_of(value, letters, o.section.*l.answer);
}

// Whether the letter's variable is asked whether to take its log10.
bool has_log(char letter) {
    const data::Variable* v = data::find_variable(letter);
    return v && v->log_question;
}

// " --log: only the fourth variable has a log10 scale; give --color 4 or
// --contour 4", from the variables that have a log question.
std::string log_refusal(bool teos10_offered) {
    const data::LogPhrases p = data::log_phrases(teos10_offered);
    return " --log: only the " + p.names + " has a log10 scale; give " + p.options;
}

struct Flag {
    std::string_view name;
    bool section_only;
    bool Options::*dialogue;  // the dialogue run's switches
    bool SectionChoices::*answer;
};

constexpr Flag kFlags[] = {
    {"--headless", false, &Options::headless, nullptr},
    {"--screenshots", false, &Options::screenshots, nullptr},
    {"--reverse", true, nullptr, &SectionChoices::reverse},
    {"--log", true, nullptr, &SectionChoices::log},
    {"--map", true, &Options::map, nullptr},
};

}  // namespace

daz::HardcopyOutput output_of(const Options& options) {
    daz::HardcopyOutput output = options.hardcopy;
    const bool modern = options.look.style == section::Style::Modern;
    output.upright = modern;
    output.cells_as_image = modern && output.format == daz::HardcopyFormat::Png;
    return output;
}

bool parse_options(int argc, char** argv, Options& options, std::string& error) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    for (std::string_view a : args) {
        if (a == "--") break;
        if (a == "--help" || a == "-h") options.help = true;
        if (a == "--version" || a == "-V") options.version = true;
    }
    if (options.help || options.version) return true;

    std::string_view section_option;  // the first one met, for the refusal without a file
    bool only_files = false, format_given = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view a = args[i];
        if (!only_files && a == "--") {
            only_files = true;
            continue;
        }
        if (only_files || a.empty() || a[0] != '-') {
            options.dive_files.emplace_back(a);
            continue;
        }
        // --name=value is the same as --name value.
        std::string_view name = a, value;
        bool has_value = false;
        if (const std::size_t eq = a.find('='); eq != std::string_view::npos && a.starts_with("--")) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            has_value = true;
        }
        // --mld alone draws the line at the usual threshold; a number after it is its own.
        if (name == "--mld" && !has_value) {
            double threshold = 0;
            if (i + 1 < args.size() && real_number(args[i + 1], threshold)) {
                value = args[++i];
                has_value = true;
            } else {
                options.look_choices.mld_threshold = static_cast<float>(section::kMldThreshold);
                continue;
            }
        }
        const auto flag = std::find_if(std::begin(kFlags), std::end(kFlags), [&](const Flag& f) { return f.name == name; });
        if (flag != std::end(kFlags) && !has_value) {
            if (flag->dialogue) options.*flag->dialogue = true;
            else options.section.*flag->answer = true;
            if (flag->section_only && section_option.empty()) section_option = flag->name;
            continue;
        }
        const auto letter = std::find_if(std::begin(kLetterOptions), std::end(kLetterOptions),
                                         [&](const LetterOption& l) { return l.name == name; });
        const auto valued = std::find_if(std::begin(kValueOptions), std::end(kValueOptions),
                                         [&](const ValueOption& v) { return v.name == name; });
        const bool is_letter = letter != std::end(kLetterOptions);
        if (!is_letter && valued == std::end(kValueOptions)) {
            error = " Unknown option " + std::string(a) + " (see glidersect --help)";
            return false;
        }
        if (!has_value) {
            if (i + 1 == args.size()) {
                error = " " + std::string(name) + " needs a value (" +
                        std::string(is_letter ? std::string_view("a letter") : valued->value) + ")";
                return false;
            }
            value = args[++i];
        }
        std::string why;
        if (is_letter ? !set_letter(*letter, value, options, why) : !valued->set(value, options, why)) {
            error = " " + std::string(name) + " " + std::string(value) + ": " + why;
            return false;
        }
        if ((is_letter || valued->section_only) && section_option.empty()) section_option = name;
        format_given = format_given || (!is_letter && valued->set == set_hardcopy);
    }

    // A stacked page is as tall as its panels need, unless a sheet is given.
    const std::string& stack = options.section.stack;
    // A stacked page is as tall as its panels need; a sheet given is laid
    // out 10 inches across (or at the least text size), as tall as it takes.
    if (daz::HardcopyOutput& h = options.hardcopy; !stack.empty()) {
        const float n = static_cast<float>(stack.size());
        if (!options.look_choices.page) {
            h.width = 10.0f;
            h.height = 1.6f + n * kPanelHeight + (n - 1.0f) * kPanelGap;
        }
        h.scale = std::max(0.6f, h.width / 10.0f);
        options.look_choices.page = section::ValueRange{h.width / h.scale, h.height / h.scale};
    }
    // The look is the dialogue's as well as the one command's.
    options.look = section::resolve_look(options.look_choices);
    // The TEOS-10 variables are offered only beyond the classic menus.
    std::string letters = {options.section.color, options.section.contour};
    letters += stack;
    for (const char letter : letters) {
        if (data::is_teos10(letter) && !options.look.teos10_variables) {
            const std::string option = letter == options.section.contour ? "--contour " + std::string(1, letter)
                                       : stack.empty()                    ? "--color " + std::string(1, letter)
                                                                          : "--stack " + options.section.stack_option;
            error = " " + option + ": " + std::string(data::find_variable(letter)->name) +
                    " is offered with --eos teos10 or --style modern";
            return false;
        }
    }
    if (options.dive_files.empty()) {
        if (!section_option.empty()) {
            error = " " + std::string(section_option) + " needs a dive file named on the command line (glidersect FILE " +
                    std::string(section_option) + " ...)";
            return false;
        }
        return true;
    }
    if (options.headless || options.screenshots) {
        error = std::string(options.headless ? " --headless" : " --screenshots") +
                " belongs to the dialogue; with a dive file named the section is drawn without a window";
        return false;
    }
    if (!options.section.labels.empty() && options.section.contour == 'X') {
        error = " --label " + options.section.labels.front().x + "," + options.section.labels.front().y +
                ": labels name contour lines, so they need --contour";
        return false;
    }
    // Only a variable with a log question can use --log.
    if (options.section.log && !has_log(options.section.color) && !has_log(options.section.contour) &&
        std::none_of(stack.begin(), stack.end(), has_log)) {
        error = log_refusal(options.look.teos10_variables);
        return false;
    }
    // A log10 colour scale's range is given in the values, above 0.
    if (const auto& r = options.look_choices.colour_range;
        r && options.section.log && has_log(options.section.color) && !(r->lo > 0.0f)) {
        error = " --clim: the colour variable has a log10 scale (--log), so MIN must be above 0";
        return false;
    }
    // The format comes from --hardcopy, else from the name's extension.
    if (std::string why, given = options.hardcopy.name;
        !daz::settle_output_name(options.hardcopy, format_given, why)) {
        error = " -o " + given + ": " + why;
        return false;
    }
    // The mixed layer is a depth: drawn over a pressure section only.
    if (options.look.mld_threshold && options.section.axis == 'D') {
        error = " --mld: the mixed-layer depth is drawn over a pressure axis; give --axis S or L";
        return false;
    }
    if (!stack.empty()) {
        const std::string option = " --stack " + options.section.stack_option + ": ";
        if (!options.section.labels.empty()) {
            error = option + "the panels' contour labels are placed along the lines; give no --label";
            return false;
        }
        if (options.look.style == section::Style::Classic && options.hardcopy.format == daz::HardcopyFormat::Eps) {
            error = option + "the classic EPS is the plotter's sheet of one section; give --style modern, or a PDF, SVG or PNG";
            return false;
        }
        if (panel_height(options.look.page_height, stack.size()) < kLeastPanelHeight) {
            error = option + "the sheet is too low for " + std::to_string(stack.size()) +
                    " panels; give a taller --size, or fewer panels";
            return false;
        }
    }
    // The classic EPS is the plotter's sheet, of one size.
    if (options.look_choices.page && options.hardcopy.format == daz::HardcopyFormat::Eps &&
        options.look.style == section::Style::Classic) {
        error = " --size: the classic EPS is the plotter's sheet; give --style modern, or a PDF, SVG or PNG";
        return false;
    }
    return true;
}

}  // namespace app
