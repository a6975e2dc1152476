#pragma once
// One netCDF file opened for reading through the netCDF-C library (classic
// and netCDF-4 alike): its dimensions, variables and attributes as plain
// values, and the reading of whole variables. Every fault of the library
// becomes an NcError saying in words what is wrong with the file.
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace data {

struct NcError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// An allocator whose new elements are left as they are: the library writes
// every value at once, so zeroing a mission's millions first would only
// cost time.
template <class T>
struct Unzeroed : std::allocator<T> {
    Unzeroed() = default;
    template <class U>
    Unzeroed(const Unzeroed<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// A variable's values, one per sample; kept and reused by the reader.
using NcDoubles = std::vector<double, Unzeroed<double>>;
using NcInts = std::vector<int, Unzeroed<int>>;

class NcChunks;

struct NcVariable {
    int id = 0;
    std::string name;
    int type = 0;           // netCDF type code (NC_BYTE, NC_CHAR, ...)
    std::vector<int> dims;  // dimension ids, outermost first
};

class NcFile {
public:
    // Opens the file at `path`; throws NcError when the library cannot, or
    // when a classic file's header declares more values than the file holds.
    explicit NcFile(const std::string& path);
    // Opens a file held in memory (the bytes must outlive the object).
    NcFile(const std::string& name, std::span<const std::byte> bytes);
    ~NcFile();
    NcFile(const NcFile&) = delete;
    NcFile& operator=(const NcFile&) = delete;

    const std::vector<NcVariable>& variables() const { return variables_; }
    const std::string& dimension_name(int dim) const;
    std::size_t dimension_length(int dim) const;
    // The variable of that exact name.
    const NcVariable* find(const std::string& name) const;

    // Attributes of a variable, or of the file with var = global().
    static int global();
    bool has_attribute(int var, const char* name) const;
    // A text attribute (char or string); nullopt when absent or not text.
    std::optional<std::string> text_attribute(int var, const char* name) const;
    // A numeric attribute as doubles; empty when absent or not numeric.
    std::vector<double> number_attribute(int var, const char* name) const;
    // The netCDF type of an attribute; 0 when absent.
    int attribute_type(int var, const char* name) const;
    // Names of the file's global attributes, in the file's order.
    std::vector<std::string> global_attribute_names() const;

    // The whole of a variable, converted by the library, into `out` (its
    // room is reused).
    void read_doubles(const NcVariable& v, NcDoubles& out) const;
    // Values start .. start + count - 1 of a one-dimensional variable,
    // converted by the library.
    void read_doubles(const NcVariable& v, std::size_t start, std::size_t count, double* to) const;
    void read_ints(const NcVariable& v, std::size_t start, std::size_t count, int* to) const;
    void read_chars(const NcVariable& v, std::size_t start, std::size_t count, char* to) const;

private:
    void load_metadata();
    // The HDF5 dataset that holds v's values in a netCDF-4 file.
    std::string dataset_of(const NcVariable& v) const;
    void check_classic_sizes() const;
    std::size_t classic_size_needed(int format) const;
    std::size_t length_of(const NcVariable& v) const;  // held at the largest size_t
    struct Dimension {
        int id;
        std::string name;
        std::size_t length;
    };
    const Dimension& dimension(int dim) const;
    struct Attribute {
        std::string name;
        int type;
        std::size_t length;
    };
    const Attribute* attribute(int var, const char* name) const;
    std::size_t file_size_;  // bytes; the largest size_t when unknown
    int ncid_ = -1;
    std::vector<Dimension> dims_;
    std::vector<NcVariable> variables_;
    std::vector<std::vector<Attribute>> attributes_;  // of the file, then by variable id
    std::unique_ptr<NcChunks> chunks_;  // chunked variables read without the library; null when none
};

// Whether a netCDF type holds numbers (not text, not a user-defined type).
bool is_numeric_type(int type);

}  // namespace data
