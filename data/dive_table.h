#pragma once
// The dive table: everything the dive file holds, in fixed storage sized by
// the limits. Fill values mark what the file did not supply.
#include <string>

#include "data/limits.h"
#include "miscli/array.h"

namespace data {

// Values of the file's first line.
struct FileHeader {
    int serial_no = 0;
    int n_dives = 0;                     // dives stated; 0 when the file cannot be opened
    int n_vars = 0;                      // sample variables, pressure included
    std::string var4_name = std::string(8, ' ');
    std::string text5 = std::string(5, ' ');   // read but not used
    std::string adcp_kind = std::string(8, ' ');
    std::string text7 = std::string(8, ' ');   // read but not used
    bool opened = false;                 // the file could be opened
    int n_read = 0;                      // dives actually read
};

struct DiveTable {
    DiveTable();
    // Writes the fill values of every dive (profiler bins are left alone).
    void fill();

    miscli::Array1<int> dive_year;
    miscli::Array1<float> day_start;
    miscli::Array1<float> lon_start;   // MXPR + 1: the track adds the last end
    miscli::Array1<float> lat_start;   // MXPR + 1
    miscli::Array1<float> day_end;
    miscli::Array1<float> lon_end;
    miscli::Array1<float> lat_end;
    miscli::Array1<float> dive_weight;
    miscli::Array1<float> head9, head10;   // kept, used by nothing else
    miscli::Array1<int> head11;
    miscli::Array1<float> sal_offset;
    miscli::Array1<float> var4_offset;
    miscli::Array1<char> line2_text;     // kept, used by nothing else
    miscli::Array1<float> line2_real;    // kept, used by nothing else
    miscli::Array1<int> n_samp;
    miscli::Array3<float> prof;          // (sample, dive, variable 1..4)
    miscli::Array3<int> prof_flag;
    miscli::Array1<int> n_adcp;
    miscli::Array3<float> adcp;          // (bin, dive, column 1..5)
    miscli::Array3<int> adcp_flag;       // (bin, dive, flag 1..3)
};

// Missing-value conventions shared by the loaders and the plots.
inline constexpr float SAMPLE_FILL = -999.9f;
inline constexpr float KNOWN_LON = -990.0f;  // a longitude above this is a position

}  // namespace data
