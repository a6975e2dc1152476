#pragma once
// The netCDF-C library, loaded when the first netCDF file is opened: a run
// on a dive file neither maps it nor the dozens of libraries it pulls in
// (HDF5, curl, TLS, XML), so it starts as fast and as small as before.
#include <netcdf.h>
#include <netcdf_mem.h>

namespace data {

struct NcLibrary {
    void* handle;  // of dlopen: the HDF5 library beneath is reached through it
    decltype(&::nc_open) open;
    decltype(&::nc_open_mem) open_mem;
    decltype(&::nc_close) close;
    decltype(&::nc_inq_format) inq_format;
    decltype(&::nc_inq_unlimdim) inq_unlimdim;
    decltype(&::nc_inq_dimids) inq_dimids;
    decltype(&::nc_inq_dim) inq_dim;
    decltype(&::nc_inq_varids) inq_varids;
    decltype(&::nc_inq_var) inq_var;
    decltype(&::nc_inq_vardimid) inq_vardimid;
    decltype(&::nc_inq_varnatts) inq_varnatts;
    decltype(&::nc_inq_att) inq_att;
    decltype(&::nc_inq_attname) inq_attname;
    decltype(&::nc_get_att_text) get_att_text;
    decltype(&::nc_get_att_string) get_att_string;
    decltype(&::nc_free_string) free_string;
    decltype(&::nc_get_att_double) get_att_double;
    decltype(&::nc_get_var_double) get_var_double;
    decltype(&::nc_get_vara_double) get_vara_double;
    decltype(&::nc_get_vara_int) get_vara_int;
    decltype(&::nc_get_vara_text) get_vara_text;
};

// The library's entry points; throws NcError when it cannot be loaded.
const NcLibrary& nc_library();

}  // namespace data
