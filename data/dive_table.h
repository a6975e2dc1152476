#pragma once
// The dive table: what every reader gives (the file's variables, each
// dive's times and positions, its samples with their flags and the current
// profiler's bins), sized by what the file holds. Fill values mark what the
// file did not supply. The readers' own texts stay in the readers.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/limits.h"
#include "data/missing.h"
#include "miscli/array.h"
#include "miscli/ragged_array.h"

namespace data {

// What a file's current profiler records beside east and north velocity,
// in its fourth column: nothing (no profiler), backscatter or vertical
// velocity.
enum class Profiler { None, Backscatter, Velocity };

// How the file names one of its sample variables; empty where it does not.
struct ColumnText {
    std::string name;       // the file's own name for it ("Fluor", "CHLA")
    std::string long_name;  // in words
    std::string unit;
};

// What the file says of itself.
struct FileHeader {
    int serial_no = 0;
    int n_dives = 0;                     // dives stated; 0 when the file cannot be opened
    int n_vars = 0;                      // sample variables, pressure included
    std::array<ColumnText, 4> columns;   // sample variables 1..4: pressure, T, S, the fourth
    Profiler profiler = Profiler::None;
    bool opened = false;                 // the file could be opened
    int n_read = 0;                      // dives actually read
    std::vector<std::string> offered;    // a netCDF file's names for the fourth variable, as offered

    const ColumnText& column(int v) const { return columns[static_cast<std::size_t>(v - 1)]; }
    ColumnText& column(int v) { return columns[static_cast<std::size_t>(v - 1)]; }
};

// Quality flags take a byte each: a section has as many flags as samples,
// and only whether a flag is zero, its sign and which of two is larger are
// ever asked.
using Flag = std::int8_t;
// A flag as stored: beyond a byte's range it is held at the nearer end,
// which keeps zero, the sign and the order of any two flags.
constexpr Flag as_flag(int f) { return static_cast<Flag>(std::clamp(f, -128, 127)); }

struct DiveTable {
    DiveTable() = default;  // no dives: the readers size the table
    // n_dives entries of fill values, each with room for n_samples samples
    // and n_bins profiler bins.
    DiveTable(int n_dives, int n_samples, int n_bins);

    int size() const { return n_samp.size(); }
    // n_dives entries: those kept keep their values, new ones get the fill
    // values and no room for samples or bins.
    void resize(int n_dives);
    // Room for `more` samples of dives still to come, in one piece (a
    // reader that knows how many samples follow asks once).
    void reserve_samples(std::size_t more);
    // Room for n samples of dive d, filled (-999.9, flag 1), except
    // variables 1..written, which the caller writes whole.
    void set_samples(int d, int n, int written = 0);
    // Room for n profiler bins of dive d, zero unless the caller writes
    // them whole.
    void set_bins(int d, int n, bool written = false);

    // The number the file gives each dive, and for a dive cut into its down
    // and up casts, which cast it is ('a' down, 'b' up; 0 for a whole dive).
    // A dive file's dives are numbered 1, 2, ... in file order.
    miscli::Array1<int> dive_number;
    miscli::Array1<char> cast;
    // "304", or "304a" for a cast.
    std::string dive_label(int d) const;

    miscli::Array1<int> dive_year;
    miscli::Array1<float> day_start;
    miscli::Array1<float> lon_start;   // size() + 1: the track adds the last end
    miscli::Array1<float> lat_start;   // size() + 1
    miscli::Array1<float> day_end;
    miscli::Array1<float> lon_end;
    miscli::Array1<float> lat_end;
    miscli::Array1<float> dive_weight;
    miscli::Array1<float> sal_offset;
    miscli::Array1<float> var4_offset;
    miscli::Array1<int> n_samp;
    miscli::RaggedArray3<float> prof{0, 0, 4};    // (sample, dive, variable 1..4)
    miscli::RaggedArray3<Flag> prof_flag{0, 0, 4};
    // The samples' sea pressures while the density axis holds density in
    // prof column 1 (none before): (sample, dive), sorted with the samples.
    miscli::RaggedArray2<float> sea_pressure;
    // Each sample's Absolute Salinity and Conservative Temperature, worked
    // out once when a TEOS-10 variable is first asked for (none before;
    // SAMPLE_FILL where temperature or salinity is not good).
    miscli::RaggedArray2<float> absolute_salinity, conservative_temperature;
    miscli::Array1<int> n_adcp;
    miscli::RaggedArray3<float> adcp{0, 0, 5};    // (bin, dive, column 1..5)
    miscli::RaggedArray3<Flag> adcp_flag{0, 0, 3}; // (bin, dive, flag 1..3)
};

}  // namespace data
