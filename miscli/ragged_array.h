#pragma once
// 1-based tables whose columns have lengths of their own: a dive's samples
// or profiler bins. Each column is contiguous, so a profile is one span as
// in Array2/Array3, but storage follows the data: one long profile among
// thousands of short ones costs its own length, not the whole table's.
#include <algorithm>
#include <cassert>
#include <cstddef>
#include <iterator>
#include <span>
#include <vector>

namespace miscli {

// Element (i, j, k) for i = 1..length(j), j = 1..dim2(), k = 1..dim3():
// for every j a block of dim3() columns of length(j) elements.
template <class T>
class RaggedArray3 {
public:
    RaggedArray3() = default;
    // n2 blocks of n3 columns of n1 elements each.
    RaggedArray3(int n1, int n2, int n3, T fill = T{})
        : n3_(n3), blocks_(static_cast<std::size_t>(n2), std::vector<T>(static_cast<std::size_t>(n1) * n3, fill)) {}

    T& operator()(int i, int j, int k) { return blocks_[block(j)][index(i, j, k)]; }
    const T& operator()(int i, int j, int k) const { return blocks_[block(j)][index(i, j, k)]; }
    int length(int j) const { return static_cast<int>(blocks_[block(j)].size()) / n3_; }
    int dim2() const { return static_cast<int>(blocks_.size()); }
    int dim3() const { return n3_; }
    // Column (., j, k) as a 0-based span of length(j) elements.
    std::span<T> column(int j, int k) { return {blocks_[block(j)].data() + index(1, j, k), col_size(j)}; }
    std::span<const T> column(int j, int k) const { return {blocks_[block(j)].data() + index(1, j, k), col_size(j)}; }

    void fill(T v) {
        for (auto& b : blocks_) std::fill(b.begin(), b.end(), v);
    }
    // n2 blocks: those kept keep their contents, new ones are empty.
    void resize(int n2) { blocks_.resize(static_cast<std::size_t>(n2)); }
    // Block j made of n3 columns of n elements `fill`; its contents go.
    void set_length(int j, int n, T fill) {
        std::vector<T>& b = blocks_[block(j)];
        b.assign(static_cast<std::size_t>(n) * n3_, fill);
    }

private:
    std::size_t block(int j) const {
        assert(j >= 1 && j <= dim2());
        return static_cast<std::size_t>(j - 1);
    }
    std::size_t col_size(int j) const { return static_cast<std::size_t>(length(j)); }
    std::size_t index(int i, int j, int k) const {
        assert(i >= 1 && i <= length(j) && k >= 1 && k <= n3_);
        return static_cast<std::size_t>(i - 1) + col_size(j) * static_cast<std::size_t>(k - 1);
    }
    int n3_ = 1;
    std::vector<std::vector<T>> blocks_;
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
