#pragma once
// The variables a section can show, each declared once: the menus, the
// command-line options, the loading, the help text and the manual page all
// read this table. A new variable is one entry here, and its function when
// it is worked out from others.
#include <span>
#include <string>
#include <string_view>

#include "data/dive_table.h"
#include "data/teos10_samples.h"

namespace data {

// Sets of profiler kinds, for the files that offer a variable.
inline constexpr unsigned kind_bit(Profiler p) { return 1u << static_cast<unsigned>(p); }
inline constexpr unsigned kEveryFile = kind_bit(Profiler::None) | kind_bit(Profiler::Backscatter) |
                                       kind_bit(Profiler::Velocity);
inline constexpr unsigned kAnyProfiler = kind_bit(Profiler::Backscatter) | kind_bit(Profiler::Velocity);

// Where the values come from: a column of the samples (prof, with its flag
// column), a column of the profiler bins (adcp, with its adcp_flag column),
// a function of a dive's samples, or worked out from other variables once
// they are gridded (buoyancy frequency, from the gridded Absolute Salinity
// and Conservative Temperature).
enum class Source { Samples, Profiler, Function, Grid };

// The value of a worked-out variable at sample k of dive d; false where it
// has none (a flag of what it is made from is not 0).
using Derive = bool (*)(const DiveTable& dives, int k, int d, float& value);

// The values of a worked-out variable for all samples of dive d at once,
// where that is quicker than one by one: out[k - 1] is the value of sample
// k, or SAMPLE_FILL where Derive would give none; out holds n_samp(d).
using DeriveProfile = void (*)(const DiveTable& dives, int d, std::span<float> out);

// Sigma-theta [kg/m3] of sample k from its salinity, temperature and
// pressure (EOS-80), where temperature and salinity are good.
bool sample_sigma_theta(const DiveTable& dives, int k, int d, float& value);
// The same for a whole dive.
void profile_sigma_theta(const DiveTable& dives, int d, std::span<float> out);
struct Variable {
    char letter;            // menu answer and option value
    std::string_view name;  // in words, for the help and the manual
    std::string_view unit;  // empty: as the file gives it
    Source source;
    int column;             // Samples: prof variable 1..4; Profiler: adcp column 1..5
    int flag;               // the flag column that must be 0 for a value
    Derive derive;          // Function only
    bool log_question;      // asked whether to contour its log10
    bool named_by_file;     // the menus and the label show the file's name for it
    std::string_view menu;  // its word in the menu listings ("T=temp")
    std::string_view label; // the label drawn with its colour bar or contours (stroke text)
    unsigned offered_by;    // kind_bit()s of the files whose menus offer it
    std::string_view title; // its full name on a figure (UTF-8), unless the file gives one
    // Offered beyond the classic menus: with the TEOS-10 equation of state
    // chosen or in the modern style.
    bool teos10 = false;
    DeriveProfile derive_profile = nullptr;  // Function only, where it has one
};

inline constexpr Variable kVariables[] = {
    {'T', "temperature", "degC", Source::Samples, 2, 2, nullptr, false, false, "temp", "T", kEveryFile, "Temperature"},
    {'S', "salinity", "PSS-78", Source::Samples, 3, 3, nullptr, false, false, "salty", "S", kEveryFile, "Salinity"},
    {'D', "sigma-theta", "kg/m3", Source::Function, 0, 0, sample_sigma_theta, false, false, "sigmat",
     "\\sigma\\\\sub{\\theta\\}", kEveryFile, "σθ", false, profile_sigma_theta},
    {'4', "fourth variable", "", Source::Samples, 4, 4, nullptr, true, true, "", "", kEveryFile, ""},
    {'U', "east velocity", "", Source::Profiler, 2, 1, nullptr, false, false, "east", "U", kAnyProfiler, "East velocity"},
    {'V', "north velocity", "", Source::Profiler, 3, 1, nullptr, false, false, "north", "V", kAnyProfiler, "North velocity"},
    {'B', "backscatter", "", Source::Profiler, 4, 2, nullptr, false, false, "backscat", "ABS",
     kind_bit(Profiler::Backscatter), "Backscatter"},
    {'W', "vertical velocity", "", Source::Profiler, 4, 2, nullptr, false, false, "vert velo", "W",
     kind_bit(Profiler::Velocity), "Vertical velocity"},
    {'A', "Absolute Salinity (TEOS-10)", "g/kg", Source::Function, 0, 0, sample_absolute_salinity, false, false,
     "SA", "SA", kEveryFile, "Absolute Salinity", true},
    {'C', "Conservative Temperature (TEOS-10)", "degC", Source::Function, 0, 0, sample_conservative_temperature,
     false, false, "CT", "CT", kEveryFile, "Conservative Temperature", true},
    {'G', "sigma-0 (TEOS-10)", "kg/m3", Source::Function, 0, 0, sample_sigma0, false, false, "sigma0",
     "\\sigma\\\\sub{0}", kEveryFile, "σ₀", true},
    {'N', "buoyancy frequency squared (TEOS-10)", "s-2", Source::Grid, 0, 0, nullptr, true, false, "N2",
     "N\\sup{2}", kEveryFile, "Buoyancy frequency squared", true},
    {'P', "spiciness-0 (TEOS-10)", "kg/m3", Source::Function, 0, 0, sample_spiciness0, false, false, "spice",
     "spice", kEveryFile, "Spiciness₀", true},
};

// Sample pressure as a variable: not offered, but gridded beside the TEOS-10
// variables where a gridded quantity needs the pressure of each level.
inline constexpr Variable kPressure{'p', "pressure", "dbar", Source::Function, 0, 0, sample_pressure_value,
                                    false, false, "", "P", 0, "Pressure"};

// The entry of a letter (upper case), or nullptr.
const Variable* find_variable(char letter);

// Whether the letter names a TEOS-10 variable, offered only beyond the
// classic menus.
bool is_teos10(char letter);

// The variables that have a log question, for sentences: their names
// ("fourth variable") and the options that choose them ("--color 4 or
// --contour 4"), each joined by " or "; the TEOS-10 ones when
// `teos10_offered`.
struct LogPhrases {
    std::string names, options;
};
LogPhrases log_phrases(bool teos10_offered = false);

// Every variable's letter in table order ("TSD4UVBW", then the TEOS-10 ones
// when `teos10_offered`).
std::string variable_letters(bool teos10_offered = true);

// The letters for a sentence: "T, S, D, 4, U, V, B, W", the one equal to
// `marked` followed by `mark` (" (default)").
std::string listed_letters(char marked = 0, std::string_view mark = {}, bool teos10_offered = true);

}  // namespace data
