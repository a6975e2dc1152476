#pragma once
// The two passes of the glider netCDF reader over a set of files, apart
// from where they run and where their samples go: the first fills the dive
// table but for the fourth variable, which the user picks between the
// passes; the second reads it.
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "data/dive_table.h"
#include "data/nc_samples.h"
#include "data/read_glider_netcdf.h"

namespace data {

// What the first pass leaves for the second.
struct NcSetRead {
    struct File {
        int first_dive = 0;  // its profiles are dives first_dive, first_dive + 1, ...
        std::vector<SampleRun> runs;
    };
    std::vector<File> files;
    std::vector<std::string> candidates;  // for the fourth variable, from the first file
    // How the first file names its variables: pressure, temperature and
    // salinity, then each candidate.
    std::vector<ColumnText> texts;
    int serial_no = 0;
};

// Where the passes put the samples they read: the table's own room, or
// messages bound for a table in another process.
class NcSampleSink {
public:
    virtual ~NcSampleSink() = default;
    // The table has grown by dives first, first + 1, ... of `sizes` samples.
    virtual void dives_added(DiveTable& t, int first, std::span<const int> sizes) = 0;
    // Room for the values and flags of samples k .. k + count - 1 (0-based)
    // of variable `column` of dive d, all written before the next call.
    struct Room {
        float* value;
        Flag* flag;
    };
    virtual Room samples(DiveTable& t, int d, int column, int k, std::size_t count) = 0;
    // Each file's index as its reading begins.
    virtual void file_starts(std::size_t) {}
};

// Room in the table itself for the dives added, their columns to be
// written whole.
void make_sample_room(DiveTable& t, int first, std::span<const int> sizes);

// The sink that writes into the table.
class NcTableSink final : public NcSampleSink {
public:
    void dives_added(DiveTable& t, int first, std::span<const int> sizes) override { make_sample_room(t, first, sizes); }
    Room samples(DiveTable& t, int d, int column, int k, std::size_t count) override;
};

// The first pass: every file into the table (a fresh one), all but the
// fourth variable, whose room is left unwritten; days counted from the year
// of the first profile. Stops the program naming the file that cannot be
// read.
NcSetRead read_netcdf_set(std::span<const NcSource> files, DiveTable& t, NcSampleSink& sink);

// The second pass: the variable `name` of every file into column 4 (missing
// where a file lacks it).
void read_fourth_variable(std::span<const NcSource> files, const NcSetRead& set, const std::string& name, DiveTable& t,
                          NcSampleSink& sink);

// Between the passes, on the console: " Read N profiles from M netCDF
// files" and the fourth-variable question when there are candidates. Gives
// the name chosen, empty for none.
std::string tell_and_ask(int n_profiles, std::size_t n_files, const std::vector<std::string>& candidates);

// The fourth column missing throughout, for a set without candidates.
void no_fourth_variable(DiveTable& t);

// The header of the set: its serial number, its dives, the names of its
// variables and of the fourth, `var4` (empty for none).
void fill_netcdf_header(const NcSetRead& set, const std::string& var4, int n_dives, FileHeader& header);

}  // namespace data
