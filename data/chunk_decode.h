#pragma once
// Undoing the two filters nearly every compressed netCDF-4 file is written
// with: the byte shuffle and deflate after it. Pure work on bytes in
// memory, so that it may run on another thread while the reader goes on.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace data {

// Bytes with no value put in them first: a chunk's room is written whole.
class ByteRoom {
public:
    std::byte* reserve(std::size_t n);  // room for n bytes; keeps the old room when large enough
    std::span<std::byte> first(std::size_t n) { return {reserve(n), n}; }
    const std::byte* data() const { return bytes_.get(); }

private:
    std::unique_ptr<std::byte[]> bytes_;
    std::size_t size_ = 0;
};

// Where a variable's filters stand in its list (-1: absent): the shuffle
// of values of `value_size` bytes, and deflate after it. A chunk's mask
// `skipped` has bit i set when it was stored without filter i.
struct ChunkFilters {
    int shuffle_at = -1;
    int deflate_at = -1;
    std::size_t value_size = 1;
};

// The chunk's stored bytes `raw` back to its values, into `out` of exactly
// the chunk's size. False when they do not undo to that size (a damaged
// chunk). `scratch` is room kept between calls.
bool decode_chunk(std::span<const std::byte> raw, const ChunkFilters& filters, std::uint32_t skipped,
                  std::span<std::byte> out, ByteRoom& scratch);

}  // namespace data
