#include "data/hdf5_library.h"

#include <dlfcn.h>

#include <H5Epublic.h>

#include <optional>

#include "data/nc_file.h"
#include "data/nc_library.h"

namespace data {

namespace {

template <class F>
bool bind(void* handle, const char* name, F& f) {
    f = reinterpret_cast<F>(dlsym(handle, name));
    return f != nullptr;
}

std::optional<Hdf5Library> load() {
    void* h = nullptr;
    try {
        h = nc_library().handle;
    } catch (const NcError&) {
        return std::nullopt;
    }
    Hdf5Library l{};
    const bool all = bind(h, "H5Fopen", l.fopen) && bind(h, "H5Fclose", l.fclose) && bind(h, "H5Lexists", l.lexists) &&
                     bind(h, "H5Dopen2", l.dopen) && bind(h, "H5Dclose", l.dclose) &&
                     bind(h, "H5Dget_space", l.dget_space) && bind(h, "H5Dget_type", l.dget_type) &&
                     bind(h, "H5Dget_create_plist", l.dget_create_plist) &&
                     bind(h, "H5Dget_chunk_storage_size", l.dget_chunk_storage_size) &&
                     bind(h, "H5Dread_chunk", l.dread_chunk) && bind(h, "H5Pget_layout", l.pget_layout) &&
                     bind(h, "H5Pget_chunk", l.pget_chunk) && bind(h, "H5Pget_nfilters", l.pget_nfilters) &&
                     bind(h, "H5Pget_filter2", l.pget_filter) && bind(h, "H5Pclose", l.pclose) &&
                     bind(h, "H5Sget_simple_extent_ndims", l.sget_ndims) &&
                     bind(h, "H5Sget_simple_extent_dims", l.sget_dims) && bind(h, "H5Sclose", l.sclose) &&
                     bind(h, "H5Tget_class", l.tget_class) && bind(h, "H5Tget_size", l.tget_size) &&
                     bind(h, "H5Tget_sign", l.tget_sign) && bind(h, "H5Tget_order", l.tget_order) &&
                     bind(h, "H5Tclose", l.tclose);
    if (!all) return std::nullopt;
    // A probe that fails (a chunk not yet written, a name that is not a
    // dataset) is answered by the netCDF library instead: HDF5 must not
    // print its trace of it.
    decltype(&::H5Eset_auto2) set_auto = nullptr;
    if (bind(h, "H5Eset_auto2", set_auto)) set_auto(H5E_DEFAULT, nullptr, nullptr);
    return l;
}

}  // namespace

const Hdf5Library* hdf5_library() {
    static const std::optional<Hdf5Library> library = load();
    return library ? &*library : nullptr;
}

}  // namespace data
