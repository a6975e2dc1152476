#pragma once
// 1-based tables whose columns have lengths of their own: a dive's samples
// or profiler bins. Each column is contiguous, so a profile is one span as
// in Array2/Array3, but storage follows the data: one long profile among
// thousands of short ones costs its own length, not the whole table's.
#include <algorithm>
#include <cassert>
#include <cstddef>
#include <iterator>
#include <memory>
#include <type_traits>
#include <span>
#include <vector>

namespace miscli {

// Element (i, j, k) for i = 1..length(j), j = 1..dim2(), k = 1..dim3():
// for every j a block of dim3() columns of length(j) elements. Blocks are
// laid one after another into large chunks that are never moved or grown
// past the room they were made with, so a table filled dive by dive is not
// copied as it grows, and room not yet used is not touched. A block given
// a length again gets new room.
template <class T>
class RaggedArray3 {
    static_assert(std::is_trivially_copyable_v<T>, "room is made without constructing elements");

public:
    RaggedArray3() = default;
    // n2 blocks of n3 columns of n1 elements each.
    RaggedArray3(int n1, int n2, int n3, T fill = T{}) : n3_(n3) {
        resize(n2);
        reserve_more(static_cast<std::size_t>(n1) * static_cast<std::size_t>(n2) * static_cast<std::size_t>(n3));
        for (int j = 1; j <= n2; ++j) set_length(j, n1, fill);
    }

    T& operator()(int i, int j, int k) { return base(j)[index(i, j, k)]; }
    const T& operator()(int i, int j, int k) const { return base(j)[index(i, j, k)]; }
    int length(int j) const { return blocks_[block(j)].length; }
    int dim2() const { return static_cast<int>(blocks_.size()); }
    int dim3() const { return n3_; }
    // Column (., j, k) as a 0-based span of length(j) elements.
    std::span<T> column(int j, int k) { return {base(j) + start(j, k), col_size(j)}; }
    std::span<const T> column(int j, int k) const { return {base(j) + start(j, k), col_size(j)}; }

    void fill(T v) {
        for (auto& c : chunks_) std::fill(c.data(), c.data() + c.size, v);
    }
    // n2 blocks: those kept keep their contents, new ones are empty.
    void resize(int n2) { blocks_.resize(static_cast<std::size_t>(n2)); }
    // Room for `more` elements in blocks still to come, in one chunk (a
    // reader that knows its file's size asks once).
    void reserve_more(std::size_t more) {
        if (free_room() < more) new_chunk(more);
    }
    // Block j made of n3 columns of n elements `fill`. Columns before
    // `first_filled` are left as they come, for a caller that writes them
    // whole (room nobody writes twice is touched once, and by the writer).
    void set_length(int j, int n, T fill, int first_filled = 1) {
        const std::size_t column = static_cast<std::size_t>(n);
        const std::size_t need = column * static_cast<std::size_t>(n3_);
        if (need == 0) {
            blocks_[block(j)] = {0, 0, n};
            return;
        }
        // Each new chunk is at least as large as all before it together.
        if (free_room() < need) new_chunk(std::max({need, capacity(), kSmallestChunk}));
        Chunk& c = chunks_.back();
        blocks_[block(j)] = {chunks_.size() - 1, c.size, n};
        const std::size_t unfilled = column * static_cast<std::size_t>(std::clamp(first_filled - 1, 0, n3_));
        std::fill(c.data() + c.size + unfilled, c.data() + c.size + need, fill);
        c.size += need;
    }

private:
    struct Block {
        std::size_t chunk = 0, offset = 0;
        int length = 0;
    };
    // Room for `room` elements of which the first `size` are in use. The
    // room is not cleared when it is made: memory is only touched where
    // elements are written.
    struct Chunk {
        explicit Chunk(std::size_t r) : room(r), elements(new T[r]) {}
        Chunk(const Chunk& o) : Chunk(o.room) {
            size = o.size;
            std::copy_n(o.data(), size, data());
        }
        Chunk& operator=(const Chunk& o) {
            if (this != &o) *this = Chunk(o);
            return *this;
        }
        Chunk(Chunk&&) noexcept = default;
        Chunk& operator=(Chunk&&) noexcept = default;
        T* data() { return elements.get(); }
        const T* data() const { return elements.get(); }
        std::size_t size = 0, room = 0;
        std::unique_ptr<T[]> elements;
    };
    static constexpr std::size_t kSmallestChunk = std::size_t{1} << 14;

    std::size_t free_room() const { return chunks_.empty() ? 0 : chunks_.back().room - chunks_.back().size; }
    std::size_t capacity() const {
        std::size_t n = 0;
        for (const auto& c : chunks_) n += c.room;
        return n;
    }
    void new_chunk(std::size_t room) { chunks_.emplace_back(room); }
    std::size_t block(int j) const {
        assert(j >= 1 && j <= dim2());
        return static_cast<std::size_t>(j - 1);
    }
    T* base(int j) {
        const Block& b = blocks_[block(j)];
        return b.length == 0 || n3_ == 0 ? nullptr : chunks_[b.chunk].data() + b.offset;
    }
    const T* base(int j) const {
        const Block& b = blocks_[block(j)];
        return b.length == 0 || n3_ == 0 ? nullptr : chunks_[b.chunk].data() + b.offset;
    }
    std::size_t col_size(int j) const { return static_cast<std::size_t>(length(j)); }
    std::size_t start(int j, int k) const {
        assert(k >= 1 && k <= n3_);
        return col_size(j) * static_cast<std::size_t>(k - 1);
    }
    std::size_t index(int i, int j, int k) const {
        assert(i >= 1 && i <= length(j));
        return start(j, k) + static_cast<std::size_t>(i - 1);
    }
    int n3_ = 1;
    std::vector<Chunk> chunks_;
    std::vector<Block> blocks_;
};

// Element (i, j) for i = 1..length(j): one column per j.
template <class T>
class RaggedArray2 {
public:
    RaggedArray2() = default;
    // n2 columns of n1 elements each.
    RaggedArray2(int n1, int n2, T fill = T{}) : a_(n1, n2, 1, fill) {}
    // Column j of lengths[j - 1] elements.
    template <class Lengths>
    RaggedArray2(const Lengths& lengths, T fill) : a_(0, static_cast<int>(std::size(lengths)), 1) {
        std::size_t total = 0;
        for (int n : lengths) total += static_cast<std::size_t>(n);
        a_.reserve_more(total);
        int j = 0;
        for (int n : lengths) a_.set_length(++j, n, fill);
    }

    T& operator()(int i, int j) { return a_(i, j, 1); }
    const T& operator()(int i, int j) const { return a_(i, j, 1); }
    int length(int j) const { return a_.length(j); }
    int dim2() const { return a_.dim2(); }
    std::span<T> column(int j) { return a_.column(j, 1); }
    std::span<const T> column(int j) const { return a_.column(j, 1); }
    void fill(T v) { a_.fill(v); }

private:
    RaggedArray3<T> a_;
};

}  // namespace miscli
