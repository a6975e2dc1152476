#pragma once
// The few HDF5 calls the chunk reader makes, found in the HDF5 library the
// netCDF library was loaded with (so both work on one set of open files).
#include <H5Dpublic.h>
#include <H5Fpublic.h>
#include <H5Ipublic.h>
#include <H5Lpublic.h>
#include <H5Ppublic.h>
#include <H5Spublic.h>
#include <H5Tpublic.h>

namespace data {

struct Hdf5Library {
    decltype(&::H5Fopen) fopen;
    decltype(&::H5Fclose) fclose;
    decltype(&::H5Lexists) lexists;
    decltype(&::H5Dopen2) dopen;
    decltype(&::H5Dclose) dclose;
    decltype(&::H5Dget_space) dget_space;
    decltype(&::H5Dget_type) dget_type;
    decltype(&::H5Dget_create_plist) dget_create_plist;
    decltype(&::H5Dget_chunk_storage_size) dget_chunk_storage_size;
    decltype(&::H5Dread_chunk) dread_chunk;
    decltype(&::H5Pget_layout) pget_layout;
    decltype(&::H5Pget_chunk) pget_chunk;
    decltype(&::H5Pget_nfilters) pget_nfilters;
    decltype(&::H5Pget_filter2) pget_filter;
    decltype(&::H5Pclose) pclose;
    decltype(&::H5Sget_simple_extent_ndims) sget_ndims;
    decltype(&::H5Sget_simple_extent_dims) sget_dims;
    decltype(&::H5Sclose) sclose;
    decltype(&::H5Tget_class) tget_class;
    decltype(&::H5Tget_size) tget_size;
    decltype(&::H5Tget_sign) tget_sign;
    decltype(&::H5Tget_order) tget_order;
    decltype(&::H5Tclose) tclose;
};

// The calls, or nullptr when the netCDF library has no HDF5 beneath it
// with all of them (reading then goes through the netCDF library alone).
const Hdf5Library* hdf5_library();

// HDF5's "default" property list and its read-only open, which its headers
// spell as macros that call into the library.
inline constexpr hid_t kHdf5Default = 0;
inline constexpr unsigned kHdf5ReadOnly = 0;

}  // namespace data
