#include "data/chunk_decode.h"

#include <libdeflate.h>

#include <cstring>

namespace data {

std::byte* ByteRoom::reserve(std::size_t n) {
    if (n > size_ || !bytes_) {
        bytes_ = std::make_unique_for_overwrite<std::byte[]>(n > 0 ? n : 1);
        size_ = n;
    }
    return bytes_.get();
}

namespace {

// Byte k of value j from plane k; the compiler spreads these over vector
// lanes for the usual sizes.
template <std::size_t Size>
void unshuffle_values(const unsigned char* in, unsigned char* out, std::size_t n) {
    for (std::size_t j = 0; j < n; ++j)
        for (std::size_t k = 0; k < Size; ++k) out[j * Size + k] = in[k * n + j];
}

__attribute__((target_clones("avx2", "default"))) void
unshuffle_planes(const unsigned char* in, std::size_t size, unsigned char* out, std::size_t n) {
    switch (size) {
    case 2: return unshuffle_values<2>(in, out, n);
    case 4: return unshuffle_values<4>(in, out, n);
    case 8: return unshuffle_values<8>(in, out, n);
    default:
        for (std::size_t j = 0; j < n; ++j)
            for (std::size_t k = 0; k < size; ++k) out[j * size + k] = in[k * n + j];
    }
}

struct FreeDecompressor {
    void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};

// The shuffle's inverse for values of size > 1 bytes: byte k of value j is
// at k * n + j; the bytes after the last whole value stay where they are.
void unshuffle(std::span<const std::byte> in, std::size_t size, std::span<std::byte> out) {
    const std::size_t n = in.size() / size, whole = n * size;
    const auto* from = reinterpret_cast<const unsigned char*>(in.data());
    auto* to = reinterpret_cast<unsigned char*>(out.data());
    unshuffle_planes(from, size, to, n);
    std::memcpy(to + whole, from + whole, in.size() - whole);
}

bool skips(std::uint32_t skipped, int at) { return at < 0 || at >= 32 || (skipped >> at & 1u) != 0; }

}  // namespace

bool decode_chunk(std::span<const std::byte> raw, const ChunkFilters& filters, std::uint32_t skipped,
                  std::span<std::byte> out, ByteRoom& scratch) {
    const bool inflate = !skips(skipped, filters.deflate_at);
    // Values of one byte are stored as they are by the shuffle.
    const bool shuffled = !skips(skipped, filters.shuffle_at) && filters.value_size > 1;
    std::span<const std::byte> values = raw;
    if (inflate) {
        thread_local const std::unique_ptr<libdeflate_decompressor, FreeDecompressor> d(libdeflate_alloc_decompressor());
        if (!d) return false;
        const std::span<std::byte> to = shuffled ? scratch.first(out.size()) : out;
        std::size_t used = 0;
        if (libdeflate_zlib_decompress(d.get(), raw.data(), raw.size(), to.data(), to.size(), &used) != LIBDEFLATE_SUCCESS ||
            used != to.size())
            return false;
        if (!shuffled) return true;
        values = to;
    }
    if (values.size() != out.size()) return false;
    if (shuffled) unshuffle(values, filters.value_size, out);
    else std::memcpy(out.data(), values.data(), values.size());
    return true;
}

}  // namespace data
