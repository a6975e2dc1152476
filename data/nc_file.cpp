#include "data/nc_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <stdexcept>

#include "data/nc_chunks.h"
#include "data/nc_library.h"

namespace data {

namespace {

// What a status of the library says is wrong with the file, in words.
std::string what_is_wrong(int status) {
    switch (status) {
        case NC_ENOTNC:
        case NC_ENULLPAD:
            return "not a valid netCDF file";
        case NC_ETRUNC:
            return "the file is cut short";
        case NC_ENOMEM:
            return "the file claims more than memory can hold (its header is damaged)";
        case NC_EFILTER:
        case NC_ENOFILTER:
        case NC_ENOTBUILT:
        case NC_EPLUGIN:
            return "the file is compressed in a way the netCDF library here cannot undo";
        case NC_EHDFERR:
        case NC_ECANTREAD:
        case NC_EFILEMETA:
        case NC_EDIMMETA:
        case NC_EATTMETA:
        case NC_EVARMETA:
        case NC_EDIMSCALE:
        case NC_EBADCHUNK:
            return "the file is damaged (its HDF5 structure cannot be read)";
        case NC_EIO:
            return "the file cannot be read (input/output error)";
        default:
            break;
    }
    // Positive numbers are the system's; those that are not about reading
    // the file come from a header that does not hold together.
    switch (status) {
        case ENOENT:
        case EACCES:
        case EPERM:
        case EISDIR:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
        case EMFILE:
        case ENFILE:
        case EIO:
        case ENOMEM: {
            std::string why = std::strerror(status);
            if (!why.empty()) why[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(why[0])));
            return "the file cannot be read (" + why + ")";
        }
        default:
            return "not a valid netCDF file (its header is damaged)";
    }
}

void check(int status) {
    if (status != NC_NOERR) throw NcError(what_is_wrong(status));
}

// A fault while reading the values of v.
void check_reading(int status, const NcVariable& v) {
    if (status != NC_NOERR) throw NcError(v.name + " cannot be read: " + what_is_wrong(status));
}

std::string name_of(int ncid, int var, int attnum) {
    char name[NC_MAX_NAME + 1] = {};
    check(nc_library().inq_attname(ncid, var, attnum, name));
    return name;
}

// Bytes of one value of a netCDF type; 0 for types of other sizes.
std::size_t type_size(int type) {
    switch (type) {
        case NC_BYTE: case NC_CHAR: case NC_UBYTE: return 1;
        case NC_SHORT: case NC_USHORT: return 2;
        case NC_INT: case NC_FLOAT: case NC_UINT: return 4;
        case NC_DOUBLE: case NC_INT64: case NC_UINT64: return 8;
        default: return 0;
    }
}

// a * b, held at the largest size_t.
std::size_t times(std::size_t a, std::size_t b) {
    if (a != 0 && b > std::numeric_limits<std::size_t>::max() / a) return std::numeric_limits<std::size_t>::max();
    return a * b;
}

constexpr std::size_t kUnknownSize = std::numeric_limits<std::size_t>::max();

std::size_t size_of_file(const std::string& path) {
    std::error_code ec;
    const auto n = std::filesystem::file_size(path, ec);
    return ec ? kUnknownSize : static_cast<std::size_t>(n);
}

}  // namespace

NcFile::NcFile(const std::string& path) : file_size_(size_of_file(path)) {
    check(nc_library().open(path.c_str(), NC_NOWRITE, &ncid_));
    load_metadata();
    int format = 0;
    if (nc_library().inq_format(ncid_, &format) == NC_NOERR && (format == NC_FORMAT_NETCDF4 || format == NC_FORMAT_NETCDF4_CLASSIC))
        chunks_ = NcChunks::open(path);
}

NcFile::NcFile(const std::string& name, std::span<const std::byte> bytes) : file_size_(bytes.size()) {
    // The library takes the memory as writable but does not write it when
    // the file is opened for reading.
    void* memory = const_cast<std::byte*>(bytes.data());
    check(nc_library().open_mem(name.c_str(), NC_NOWRITE, bytes.size(), memory, &ncid_));
    load_metadata();
}

NcFile::~NcFile() {
    chunks_.reset();  // its handles on the file close first
    if (ncid_ >= 0) nc_library().close(ncid_);
}

std::string NcFile::dataset_of(const NcVariable& v) const {
    // A variable named like a dimension it is not the coordinate of is
    // kept under another name: the dimension's own dataset has its name.
    const bool coordinate = v.dims.size() == 1 && dimension(v.dims[0]).name == v.name;
    const bool named_like_dimension =
        std::any_of(dims_.begin(), dims_.end(), [&](const Dimension& d) { return d.name == v.name; });
    return named_like_dimension && !coordinate ? "_nc4_non_coord_" + v.name : v.name;
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
        // Every attribute's name, type and length, once: the reader asks for
        // many that are absent, and the library compares names slowly.
        int most_id = -1;
        std::vector<int> owners{NC_GLOBAL};
        for (const NcVariable& v : variables_) {
            most_id = std::max(most_id, v.id);
            owners.push_back(v.id);
        }
        attributes_.resize(static_cast<std::size_t>(most_id + 2));
        for (int var : owners) {
            int n = 0;
            check(nc_library().inq_varnatts(ncid_, var, &n));
            for (int i = 0; i < n; ++i) {
                Attribute a{name_of(ncid_, var, i), 0, 0};
                nc_type type = 0;
                check(nc_library().inq_att(ncid_, var, a.name.c_str(), &type, &a.length));
                a.type = static_cast<int>(type);
                attributes_[static_cast<std::size_t>(var + 1)].push_back(std::move(a));
            }
        }
        check_classic_sizes();
    } catch (...) {
        nc_library().close(ncid_);
        ncid_ = -1;
        throw;
    }
}

void NcFile::check_classic_sizes() const {
    int format = 0;
    check(nc_library().inq_format(ncid_, &format));
    if (format != NC_FORMAT_CLASSIC && format != NC_FORMAT_64BIT_OFFSET && format != NC_FORMAT_64BIT_DATA) return;
    if (file_size_ == kUnknownSize) return;
    // A classic file holds its header and then every value it declares,
    // so a smaller file is cut short or its header claims too much (the
    // library would give zeros for what is not there). Only the last
    // record may be short: a writer without fill leaves it so.
    const std::size_t needed = classic_size_needed(format);
    if (needed > file_size_)
        throw NcError("the file is cut short or its header is damaged: its header calls for at least " +
                      std::to_string(needed) + " bytes, the file has " + std::to_string(file_size_));
}

std::size_t NcFile::classic_size_needed(int format) const {
    auto plus = [](std::size_t a, std::size_t b) { return b > kUnknownSize - a ? kUnknownSize : a + b; };
    auto pad = [](std::size_t n) { return n > kUnknownSize - 3 ? kUnknownSize : (n + 3) & ~std::size_t{3}; };
    const std::size_t count = format == NC_FORMAT_64BIT_DATA ? 8 : 4;   // a count or a length
    const std::size_t begin = format == NC_FORMAT_CLASSIC ? 4 : 8;      // where a variable's values begin
    auto name = [&](const std::string& n) { return count + pad(n.size()); };
    // A list is a tag and a count, or two zeros when empty: the same size.
    auto attributes = [&](int var) {
        std::size_t bytes = 4 + count;
        for (const Attribute& a : attributes_.at(static_cast<std::size_t>(var + 1)))
            bytes = plus(bytes, name(a.name) + 4 + count + pad(times(type_size(a.type), a.length)));
        return bytes;
    };
    std::size_t header = 4 + count + 4 + count;  // magic, record count, the dimensions' list
    for (const Dimension& d : dims_) header = plus(header, name(d.name) + count);
    header = plus(header, attributes(NC_GLOBAL));
    header = plus(header, 4 + count);
    for (const NcVariable& v : variables_)
        header = plus(header, plus(name(v.name) + count + count * v.dims.size() + 4 + count + begin, attributes(v.id)));

    int unlimited = -1;
    check(nc_library().inq_unlimdim(ncid_, &unlimited));
    std::size_t fixed = 0, record = 0;
    for (const NcVariable& v : variables_) {
        const bool in_records = !v.dims.empty() && v.dims[0] == unlimited;
        std::size_t values = type_size(v.type);
        for (std::size_t i = in_records ? 1 : 0; i < v.dims.size(); ++i) values = times(values, dimension_length(v.dims[i]));
        if (in_records) record = plus(record, values);
        else fixed = plus(fixed, values);
    }
    const std::size_t records = unlimited >= 0 ? dimension_length(unlimited) : 0;
    return plus(plus(header, fixed), times(records > 0 ? records - 1 : 0, record));
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

const NcFile::Attribute* NcFile::attribute(int var, const char* name) const {
    const std::size_t at = static_cast<std::size_t>(var + 1);
    if (var < NC_GLOBAL || at >= attributes_.size()) return nullptr;
    for (const Attribute& a : attributes_[at])
        if (a.name == name) return &a;
    return nullptr;
}

bool NcFile::has_attribute(int var, const char* name) const { return attribute(var, name) != nullptr; }

int NcFile::attribute_type(int var, const char* name) const {
    const Attribute* a = attribute(var, name);
    return a ? a->type : 0;
}

std::optional<std::string> NcFile::text_attribute(int var, const char* name) const {
    const Attribute* a = attribute(var, name);
    if (!a) return std::nullopt;
    const std::size_t length = a->length;
    if (a->type == NC_CHAR) {
        std::string text(length, '\0');
        if (length > 0) check(nc_library().get_att_text(ncid_, var, name, text.data()));
        // Some writers end the text with NULs.
        while (!text.empty() && text.back() == '\0') text.pop_back();
        return text;
    }
    if (a->type == NC_STRING) {
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
    const Attribute* a = attribute(var, name);
    if (!a || !is_numeric_type(a->type)) return {};
    std::vector<double> values(a->length);
    if (a->length > 0) check(nc_library().get_att_double(ncid_, var, name, values.data()));
    return values;
}

std::vector<std::string> NcFile::global_attribute_names() const {
    std::vector<std::string> names;
    for (const Attribute& a : attributes_.at(0)) names.push_back(a.name);
    return names;
}

std::size_t NcFile::length_of(const NcVariable& v) const {
    std::size_t n = 1;
    for (int d : v.dims) n = times(n, dimension_length(d));
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
        check_reading(get(ncid, v.id, nullptr, nullptr, values.data()), v);
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
        if (n * row_size > 0) check_reading(get(ncid, v.id, start.data(), count.data(), values.data() + at), v);
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
    const bool one_dimension = v.dims.size() == 1;
    read_in_pieces(ncid_, v, rows, row_size, out,
                   [&](int ncid, int id, const std::size_t* start, const std::size_t* count, double* to) {
                       if (one_dimension && chunks_ && chunks_->read(v, dataset_of(v), *start, *count, to)) return NC_NOERR;
                       return range_is_no_error(start ? nc_library().get_vara_double(ncid, id, start, count, to)
                                                      : nc_library().get_var_double(ncid, id, to));
                   });
}

void NcFile::read_doubles(const NcVariable& v, std::size_t start, std::size_t count, double* to) const {
    if (count == 0) return;
    if (v.dims.size() == 1 && chunks_ && chunks_->read(v, dataset_of(v), start, count, to)) return;
    check_reading(range_is_no_error(nc_library().get_vara_double(ncid_, v.id, &start, &count, to)), v);
}

void NcFile::read_ints(const NcVariable& v, std::size_t start, std::size_t count, int* to) const {
    if (count == 0) return;
    if (v.dims.size() == 1 && chunks_ && chunks_->read(v, dataset_of(v), start, count, to)) return;
    check_reading(range_is_no_error(nc_library().get_vara_int(ncid_, v.id, &start, &count, to)), v);
}

void NcFile::read_chars(const NcVariable& v, std::size_t start, std::size_t count, char* to) const {
    if (count > 0) check_reading(nc_library().get_vara_text(ncid_, v.id, &start, &count, to), v);
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
