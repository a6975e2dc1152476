#include "data/nc_chunks.h"

#include <netcdf.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <thread>
#include <type_traits>
#include <vector>

#include "data/chunk_decode.h"
#include "data/hdf5_library.h"
#include "miscli/quiet_thread.h"

namespace data {

static_assert(std::is_same_v<hid_t, std::int64_t>);

namespace {

// How a variable's values are stored: the netCDF type's HDF5 form.
enum class Stored { i8, u8, i16, u16, i32, f32, f64 };

struct StoredType {
    Stored stored;
    H5T_class_t kind;
    std::size_t size;
    H5T_sign_t sign;
};

// The netCDF types read here and the HDF5 type each must have in the file.
std::optional<StoredType> stored_type(int nc_type) {
    switch (nc_type) {
        case NC_BYTE: return StoredType{Stored::i8, H5T_INTEGER, 1, H5T_SGN_2};
        case NC_UBYTE: return StoredType{Stored::u8, H5T_INTEGER, 1, H5T_SGN_NONE};
        case NC_SHORT: return StoredType{Stored::i16, H5T_INTEGER, 2, H5T_SGN_2};
        case NC_USHORT: return StoredType{Stored::u16, H5T_INTEGER, 2, H5T_SGN_NONE};
        case NC_INT: return StoredType{Stored::i32, H5T_INTEGER, 4, H5T_SGN_2};
        case NC_FLOAT: return StoredType{Stored::f32, H5T_FLOAT, 4, H5T_SGN_ERROR};
        case NC_DOUBLE: return StoredType{Stored::f64, H5T_FLOAT, 8, H5T_SGN_ERROR};
        default: return std::nullopt;
    }
}

}  // namespace

// A block's stored chunks, fetched through HDF5, and its values undone.
struct NcChunks::Block {
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t index = kNone;
    ByteRoom raw;
    std::vector<std::size_t> raw_end;  // of each chunk in raw
    std::vector<std::uint32_t> skipped;
    ByteRoom values, scratch;
};

struct NcChunks::Variable {
    const Hdf5Library& h5;
    // Blocks no variable holds: a mission's chunks are undone into the
    // same few rooms, not into fresh memory each time.
    std::vector<std::unique_ptr<Block>>& spare;
    hid_t dataset = -1;
    StoredType type{};
    std::size_t length = 0;     // values
    std::size_t chunk = 0;      // values per chunk
    std::size_t per_block = 1;  // chunks per block
    ChunkFilters filters;
    bool broken = false;  // a block would not undo: the library reads the rest

    std::unique_ptr<Block> current;
    // The next block, undone on its own thread while `current` is read.
    std::unique_ptr<Block> next;
    std::jthread undoing;
    bool next_ok = false;

    Variable(const Hdf5Library& l, std::vector<std::unique_ptr<Block>>& s) : h5(l), spare(s) {}
    ~Variable() {
        if (undoing.joinable()) undoing.join();
        if (dataset >= 0) h5.dclose(dataset);
    }

    std::unique_ptr<Block> take() {
        if (spare.empty()) return std::make_unique<Block>();
        std::unique_ptr<Block> b = std::move(spare.back());
        spare.pop_back();
        b->index = Block::kNone;
        return b;
    }
    // Gives the blocks back, once the variable has been read to its end.
    void release() {
        if (undoing.joinable()) undoing.join();
        for (std::unique_ptr<Block>* b : {&current, &next})
            if (*b) spare.push_back(std::move(*b));
    }

    std::size_t blocks() const { return (length + chunk * per_block - 1) / (chunk * per_block); }
    std::size_t block_bytes() const { return per_block * chunk * type.size; }

    // The stored bytes of block b's chunks, through HDF5 (on this thread:
    // the library is not shared between threads).
    bool fetch(std::size_t b, Block& block) {
        const std::size_t first = b * per_block;
        const std::size_t n = std::min(per_block, (length + chunk - 1) / chunk - first);
        std::vector<hsize_t> sizes(n);
        std::size_t total = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const hsize_t at = static_cast<hsize_t>((first + i) * chunk);
            // A chunk never written holds the fill value: the library gives it.
            if (h5.dget_chunk_storage_size(dataset, &at, &sizes[i]) < 0 || sizes[i] == 0) return false;
            // Deflate grows no chunk by more than a little: a larger one
            // is damaged, and the library says so.
            if (sizes[i] > 2 * chunk * type.size + 4096) return false;
            total += static_cast<std::size_t>(sizes[i]);
        }
        std::byte* raw = block.raw.reserve(total);
        block.raw_end.assign(n, 0);
        block.skipped.assign(n, 0);
        std::size_t end = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const hsize_t at = static_cast<hsize_t>((first + i) * chunk);
            if (h5.dread_chunk(dataset, kHdf5Default, &at, &block.skipped[i], raw + end) < 0) return false;
            end += static_cast<std::size_t>(sizes[i]);
            block.raw_end[i] = end;
        }
        block.index = b;
        return true;
    }

    // Undoes a fetched block's chunks into its values (any thread).
    bool undo(Block& block) const {
        const std::size_t chunk_bytes = chunk * type.size;
        std::byte* values = block.values.reserve(block_bytes());
        std::size_t begin = 0;
        for (std::size_t i = 0; i < block.raw_end.size(); ++i) {
            const std::span<const std::byte> raw(block.raw.data() + begin, block.raw_end[i] - begin);
            if (!decode_chunk(raw, filters, block.skipped[i], {values + i * chunk_bytes, chunk_bytes}, block.scratch))
                return false;
            begin = block.raw_end[i];
        }
        return true;
    }

    void start_next(std::size_t b) {
        if (b >= blocks() || !fetch(b, *next)) return;
        next_ok = false;
        undoing = miscli::start_quiet_thread([this] { next_ok = undo(*next); });
    }

    // Block b as `current`; false when it cannot be had here.
    bool have(std::size_t b) {
        if (broken) return false;
        if (current && current->index == b) return true;
        if (undoing.joinable()) undoing.join();
        if (!current) current = take();
        if (!next) next = take();
        if (next->index == b && next_ok) {
            std::swap(current, next);
        } else if (!fetch(b, *current) || !undo(*current)) {
            broken = true;
            release();
            return false;
        }
        next->index = Block::kNone;
        start_next(b + 1);
        return true;
    }

    // Values from .. from + n - 1, all in the current block, into `to`.
    template <class T>
    void copy(std::size_t from, std::size_t n, T* to) const {
        const std::byte* p = current->values.data() + (from - current->index * per_block * chunk) * type.size;
        auto each = [&](auto stored) {
            using S = decltype(stored);
            for (std::size_t i = 0; i < n; ++i) {
                S x;
                std::memcpy(&x, p + i * sizeof(S), sizeof(S));
                to[i] = static_cast<T>(x);
            }
        };
        switch (type.stored) {
            case Stored::i8: return each(std::int8_t{});
            case Stored::u8: return each(std::uint8_t{});
            case Stored::i16: return each(std::int16_t{});
            case Stored::u16: return each(std::uint16_t{});
            case Stored::i32: return each(std::int32_t{});
            case Stored::f32: return each(float{});
            case Stored::f64: return each(double{});
        }
    }
};

namespace {

// Whether the dataset is one read here, and how: one dimension in chunks,
// little-endian values of v's type, filtered by at most the shuffle and
// deflate after it.
bool describe(const Hdf5Library& h5, const NcVariable& v, std::size_t block_values, NcChunks::Variable& out) {
    const std::optional<StoredType> type = stored_type(v.type);
    if (!type) return false;
    const hid_t t = h5.dget_type(out.dataset);
    if (t < 0) return false;
    const bool same_type = h5.tget_class(t) == type->kind && h5.tget_size(t) == type->size &&
                           (type->kind != H5T_INTEGER || h5.tget_sign(t) == type->sign) &&
                           h5.tget_order(t) == H5T_ORDER_LE;
    h5.tclose(t);
    if (!same_type) return false;
    out.type = *type;

    const hid_t space = h5.dget_space(out.dataset);
    if (space < 0) return false;
    hsize_t length = 0;
    const bool one_dimension = h5.sget_ndims(space) == 1 && h5.sget_dims(space, &length, nullptr) == 1;
    h5.sclose(space);
    if (!one_dimension) return false;
    out.length = static_cast<std::size_t>(length);

    const hid_t plist = h5.dget_create_plist(out.dataset);
    if (plist < 0) return false;
    bool fits = h5.pget_layout(plist) == H5D_CHUNKED;
    hsize_t chunk = 0;
    // A chunk of more than a gigabyte is left to the library, which has
    // to hold it whole as well.
    fits = fits && h5.pget_chunk(plist, 1, &chunk) == 1 && chunk > 0 && chunk <= (hsize_t{1} << 30) / type->size;
    const int n_filters = fits ? h5.pget_nfilters(plist) : 0;
    for (int i = 0; fits && i < n_filters; ++i) {
        unsigned flags = 0, config = 0;
        std::size_t n_values = 0;
        const H5Z_filter_t id = h5.pget_filter(plist, static_cast<unsigned>(i), &flags, &n_values, nullptr, 0, nullptr, &config);
        if (id == H5Z_FILTER_SHUFFLE && out.filters.shuffle_at < 0 && out.filters.deflate_at < 0) out.filters.shuffle_at = i;
        else if (id == H5Z_FILTER_DEFLATE && out.filters.deflate_at < 0) out.filters.deflate_at = i;
        else fits = false;
    }
    h5.pclose(plist);
    if (!fits) return false;
    out.filters.value_size = type->size;
    out.chunk = static_cast<std::size_t>(chunk);
    out.per_block = std::max<std::size_t>(1, block_values / out.chunk);
    return out.length > 0;
}

}  // namespace

std::unique_ptr<NcChunks> NcChunks::open(const std::string& path, std::size_t block_values) {
    const Hdf5Library* h5 = hdf5_library();
    if (!h5) return nullptr;
    const hid_t file = h5->fopen(path.c_str(), kHdf5ReadOnly, kHdf5Default);
    if (file < 0) return nullptr;
    return std::unique_ptr<NcChunks>(new NcChunks(file, block_values));
}

NcChunks::NcChunks(std::int64_t file, std::size_t block_values) : file_(file), block_values_(block_values) {}

NcChunks::~NcChunks() {
    variables_.clear();  // the datasets close before their file
    hdf5_library()->fclose(file_);
}

NcChunks::Variable* NcChunks::variable(const NcVariable& v, const std::string& dataset) {
    auto found = variables_.find(v.id);
    if (found != variables_.end()) return found->second.get();
    const Hdf5Library& h5 = *hdf5_library();
    auto var = std::make_unique<Variable>(h5, spare_);
    if (h5.lexists(file_, dataset.c_str(), kHdf5Default) > 0) var->dataset = h5.dopen(file_, dataset.c_str(), kHdf5Default);
    if (var->dataset < 0 || !describe(h5, v, block_values_, *var)) var.reset();
    return variables_.emplace(v.id, std::move(var)).first->second.get();
}

template <class T>
bool NcChunks::read_values(const NcVariable& v, const std::string& dataset, std::size_t start, std::size_t count, T* to) {
    Variable* var = variable(v, dataset);
    if (!var || start > var->length || count > var->length - start) return false;
    const std::size_t block_values = var->per_block * var->chunk;
    for (std::size_t done = 0; done < count;) {
        const std::size_t at = start + done;
        const std::size_t b = at / block_values;
        if (!var->have(b)) return false;
        const std::size_t n = std::min(count - done, (b + 1) * block_values - at);
        var->copy(at, n, to + done);
        done += n;
    }
    if (start + count == var->length) var->release();
    return true;
}

bool NcChunks::read(const NcVariable& v, const std::string& dataset, std::size_t start, std::size_t count, double* to) {
    return read_values(v, dataset, start, count, to);
}

bool NcChunks::read(const NcVariable& v, const std::string& dataset, std::size_t start, std::size_t count, int* to) {
    if (v.type == NC_FLOAT || v.type == NC_DOUBLE) return false;
    return read_values(v, dataset, start, count, to);
}

}  // namespace data
