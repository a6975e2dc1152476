#include "data/nc_file.h"

#include <algorithm>
#include <new>
#include <stdexcept>

#include "data/nc_library.h"

namespace data {

namespace {

void check(int status) {
    if (status != NC_NOERR) throw NcError(nc_library().strerror(status));
}

std::string name_of(int ncid, int var, int attnum) {
    char name[NC_MAX_NAME + 1] = {};
    check(nc_library().inq_attname(ncid, var, attnum, name));
    return name;
}

}  // namespace

NcFile::NcFile(const std::string& path) {
    check(nc_library().open(path.c_str(), NC_NOWRITE, &ncid_));
    load_metadata();
}

NcFile::NcFile(const std::string& name, std::span<const std::byte> bytes) {
    // The library takes the memory as writable but does not write it when
    // the file is opened for reading.
    void* memory = const_cast<std::byte*>(bytes.data());
    check(nc_library().open_mem(name.c_str(), NC_NOWRITE, bytes.size(), memory, &ncid_));
    load_metadata();
}

NcFile::~NcFile() {
    if (ncid_ >= 0) nc_library().close(ncid_);
}

void NcFile::load_metadata() {
    try {
        int n_dims = 0;
        check(nc_library().inq_dimids(ncid_, &n_dims, nullptr, 0));
        std::vector<int> dim_ids(static_cast<std::size_t>(n_dims));
        if (n_dims > 0) check(nc_library().inq_dimids(ncid_, &n_dims, dim_ids.data(), 0));
        for (int id : dim_ids) {
            char name[NC_MAX_NAME + 1] = {};
            std::size_t length = 0;
            check(nc_library().inq_dim(ncid_, id, name, &length));
            dims_.push_back({id, name, length});
        }
        int n_vars = 0;
        check(nc_library().inq_varids(ncid_, &n_vars, nullptr));
        std::vector<int> var_ids(static_cast<std::size_t>(n_vars));
        if (n_vars > 0) check(nc_library().inq_varids(ncid_, &n_vars, var_ids.data()));
        for (int id : var_ids) {
            char name[NC_MAX_NAME + 1] = {};
            nc_type type = 0;
            int n = 0;
            check(nc_library().inq_var(ncid_, id, name, &type, &n, nullptr, nullptr));
            NcVariable v{id, name, static_cast<int>(type), std::vector<int>(static_cast<std::size_t>(n))};
            if (n > 0) check(nc_library().inq_vardimid(ncid_, id, v.dims.data()));
            for (int d : v.dims) dimension(d);  // every dimension must be known
            variables_.push_back(std::move(v));
        }
    } catch (...) {
        nc_library().close(ncid_);
        ncid_ = -1;
        throw;
    }
}

const NcFile::Dimension& NcFile::dimension(int dim) const {
    for (const Dimension& d : dims_)
        if (d.id == dim) return d;
    throw NcError("a variable names a dimension the file does not have");
}

const std::string& NcFile::dimension_name(int dim) const { return dimension(dim).name; }
std::size_t NcFile::dimension_length(int dim) const { return dimension(dim).length; }

const NcVariable* NcFile::find(const std::string& name) const {
    for (const NcVariable& v : variables_)
        if (v.name == name) return &v;
    return nullptr;
}

int NcFile::global() { return NC_GLOBAL; }

bool NcFile::has_attribute(int var, const char* name) const { return attribute_type(var, name) != 0; }

int NcFile::attribute_type(int var, const char* name) const {
    nc_type type = 0;
    std::size_t length = 0;
    if (nc_library().inq_att(ncid_, var, name, &type, &length) != NC_NOERR) return 0;
    return static_cast<int>(type);
}

std::optional<std::string> NcFile::text_attribute(int var, const char* name) const {
    nc_type type = 0;
    std::size_t length = 0;
    if (nc_library().inq_att(ncid_, var, name, &type, &length) != NC_NOERR) return std::nullopt;
    if (type == NC_CHAR) {
        std::string text(length, '\0');
        if (length > 0) check(nc_library().get_att_text(ncid_, var, name, text.data()));
        // Some writers end the text with NULs.
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }
    if (type == NC_STRING) {
        std::vector<char*> strings(length, nullptr);
        if (length == 0) return std::string();
        check(nc_library().get_att_string(ncid_, var, name, strings.data()));
        std::string text = strings[0] ? strings[0] : "";
        nc_library().free_string(length, strings.data());
        return text;
    }
    return std::nullopt;
}

std::vector<double> NcFile::number_attribute(int var, const char* name) const {
    nc_type type = 0;
    std::size_t length = 0;
    if (nc_library().inq_att(ncid_, var, name, &type, &length) != NC_NOERR || !is_numeric_type(type)) return {};
    std::vector<double> values(length);
    if (length > 0) check(nc_library().get_att_double(ncid_, var, name, values.data()));
    return values;
}

std::vector<std::string> NcFile::global_attribute_names() const {
    int n = 0;
    check(nc_library().inq_varnatts(ncid_, NC_GLOBAL, &n));
    std::vector<std::string> names;
    for (int i = 0; i < n; ++i) names.push_back(name_of(ncid_, NC_GLOBAL, i));
    return names;
}

std::size_t NcFile::length_of(const NcVariable& v) const {
    std::size_t n = 1;
    for (int d : v.dims) n *= dimension_length(d);
    return n;
}

namespace {

// Reads a variable piece by piece along its first dimension into `values`.
template <class Vector, class Get>
void read_in_pieces(int ncid, const NcVariable& v, std::size_t rows, std::size_t row_size, Vector& values, Get get) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    values.clear();
    if (v.dims.empty()) {
        values.resize(1);
        check(get(ncid, v.id, nullptr, nullptr, values.data()));
        return;
    }
    // Room for all of it is only reserved, not touched: a length the file
    // does not hold fails at its first missing piece without using memory.
    try {
        values.reserve(rows * row_size);
    } catch (const std::bad_alloc&) {
        throw NcError("the file claims more values than memory can hold");
    } catch (const std::length_error&) {
        throw NcError("the file claims more values than memory can hold");
    }
    // Room for the whole variable at once, when that is a plausible size,
    // saves copying it on every growth; a wild length still fails first.
    constexpr std::size_t kMostReserved = std::size_t{1} << 26;
    values.reserve(std::min(rows * row_size, kMostReserved));
    std::vector<std::size_t> start(v.dims.size(), 0), count(v.dims.size(), 0);
    for (std::size_t r = 0; r < rows;) {
        const std::size_t n = std::min(rows - r, std::max<std::size_t>(1, kPiece / std::max<std::size_t>(row_size, 1)));
        start[0] = r;
        count[0] = n;
        const std::size_t at = values.size();
        values.resize(at + n * row_size);
        if (n * row_size > 0) check(get(ncid, v.id, start.data(), count.data(), values.data() + at));
        r += n;
    }
}

// A value beyond the range of the type asked for is still delivered and
// judged like any other.
int range_is_no_error(int status) { return status == NC_ERANGE ? NC_NOERR : status; }

}  // namespace

void NcFile::read_doubles(const NcVariable& v, NcDoubles& out) const {
    const std::size_t rows = v.dims.empty() ? 1 : dimension_length(v.dims[0]);
    const std::size_t row_size = v.dims.empty() ? 1 : length_of(v) / std::max<std::size_t>(rows, 1);
    read_in_pieces(ncid_, v, rows, row_size, out,
                   [](int ncid, int id, const std::size_t* start, const std::size_t* count, double* to) {
                       return range_is_no_error(start ? nc_library().get_vara_double(ncid, id, start, count, to)
                                                      : nc_library().get_var_double(ncid, id, to));
                   });
}

void NcFile::read_doubles(const NcVariable& v, std::size_t start, std::size_t count, double* to) const {
    if (count > 0) check(range_is_no_error(nc_library().get_vara_double(ncid_, v.id, &start, &count, to)));
}

void NcFile::read_ints(const NcVariable& v, std::size_t start, std::size_t count, int* to) const {
    if (count > 0) check(range_is_no_error(nc_library().get_vara_int(ncid_, v.id, &start, &count, to)));
}

void NcFile::read_chars(const NcVariable& v, std::size_t start, std::size_t count, char* to) const {
    if (count > 0) check(nc_library().get_vara_text(ncid_, v.id, &start, &count, to));
}

bool is_numeric_type(int type) {
    switch (type) {
        case NC_BYTE: case NC_SHORT: case NC_INT: case NC_FLOAT: case NC_DOUBLE:
        case NC_UBYTE: case NC_USHORT: case NC_UINT: case NC_INT64: case NC_UINT64:
            return true;
        default:
            return false;
    }
}

}  // namespace data
