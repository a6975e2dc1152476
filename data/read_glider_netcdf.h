#pragma once
// The glider netCDF reader: one file or a set of files into the dive table
// that the dive file reader fills, one entry per profile, so everything
// after the reader runs as it does for a dive file.
#include <cstddef>
#include <span>
#include <string>

#include "data/dive_table.h"

namespace data {

// One file of the set: a path, or bytes held in memory under a name.
struct NcSource {
    std::string name;                 // the path; the name in every message
    bool in_memory = false;
    std::span<const std::byte> bytes;  // the file when in_memory
};

// Reads the files, in the order given, into the table: profiles by the
// file's profile numbers, or per dive, or one per file, or cut at turning
// points; pressure from depth where a sample has no pressure; QC flags,
// times and positions. Writes " Read N profiles from M netCDF files", then
// asks for the fourth variable when the first file offers any, and fills
// the header as a dive file's first line would. A file that cannot be read
// as netCDF, lacks time or pressure and depth, has a used variable of the
// wrong shape, no pressure at all or no profile stops the program with one
// console line naming it (status 1); nothing is kept of the set then.
//
// The files are opened and read in a child process whose memory is
// limited by the files' size, so that the netCDF library crashing or
// running away on a damaged file ends with one line naming the file too.
void read_glider_netcdf(std::span<const NcSource> files, FileHeader& header, DiveTable& t);

// The same within this process (for the fuzz target, which watches the
// library's faults itself).
void read_glider_netcdf_here(std::span<const NcSource> files, FileHeader& header, DiveTable& t);

// The serial number in a file's global attributes: the first run of digits
// of the first of glider_serial, platform_serial_number, glider,
// platform_id, id that holds any ("SG542" 542, "unit028_20230202T1637" 28);
// 0 when none does.
class NcFile;
int serial_number(const NcFile& f);

}  // namespace data
