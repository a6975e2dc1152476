#include "data/nc_library.h"

#include <dlfcn.h>

#include <string>

#include "data/nc_file.h"

namespace data {

namespace {

template <class F>
void bind(void* handle, const char* name, F& f) {
    f = reinterpret_cast<F>(dlsym(handle, name));
    if (!f) throw NcError(std::string("the netCDF library lacks ") + name);
}

NcLibrary load() {
    // The library the program was built against (its path is set by the build).
    void* h = dlopen(GLIDERSECT_NETCDF_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!h) h = dlopen("libnetcdf.so", RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* why = dlerror();
        throw NcError(std::string("the netCDF library cannot be loaded: ") + (why ? why : GLIDERSECT_NETCDF_LIBRARY));
    }
    NcLibrary l{};
    l.handle = h;
    bind(h, "nc_open", l.open);
    bind(h, "nc_open_mem", l.open_mem);
    bind(h, "nc_close", l.close);
    bind(h, "nc_inq_format", l.inq_format);
    bind(h, "nc_inq_unlimdim", l.inq_unlimdim);
    bind(h, "nc_inq_dimids", l.inq_dimids);
    bind(h, "nc_inq_dim", l.inq_dim);
    bind(h, "nc_inq_varids", l.inq_varids);
    bind(h, "nc_inq_var", l.inq_var);
    bind(h, "nc_inq_vardimid", l.inq_vardimid);
    bind(h, "nc_inq_varnatts", l.inq_varnatts);
    bind(h, "nc_inq_att", l.inq_att);
    bind(h, "nc_inq_attname", l.inq_attname);
    bind(h, "nc_get_att_text", l.get_att_text);
    bind(h, "nc_get_att_string", l.get_att_string);
    bind(h, "nc_free_string", l.free_string);
    bind(h, "nc_get_att_double", l.get_att_double);
    bind(h, "nc_get_var_double", l.get_var_double);
    bind(h, "nc_get_vara_double", l.get_vara_double);
    bind(h, "nc_get_vara_int", l.get_vara_int);
    bind(h, "nc_get_vara_text", l.get_vara_text);
    return l;
}

}  // namespace

const NcLibrary& nc_library() {
    // Loaded once; a failed load is tried again (and reported) next time.
    static const NcLibrary library = load();
    return library;
}

}  // namespace data
