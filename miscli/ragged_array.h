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

#include "miscli/huge_pages.h"

namespace miscli {

// Element (i, j, k) for i = 1..length(j), j = 1..dim2(), k = 1..dim3():
// for every j a block of dim3() columns of length(j) elements. The blocks
// lie one after another in one store, in the order they were given their
// lengths; a block given a length again gets new room at the end.
template <class T>
class RaggedArray3 {
public:
    RaggedArray3() = default;
    // n2 blocks of n3 columns of n1 elements each.
    RaggedArray3(int n1, int n2, int n3, T fill = T{}) : n3_(n3) {
        resize(n2);
        reserve(static_cast<std::size_t>(n1) * static_cast<std::size_t>(n2) * static_cast<std::size_t>(n3));
        for (int j = 1; j <= n2; ++j) set_length(j, n1, fill);
    }

    T& operator()(int i, int j, int k) { return data_[index(i, j, k)]; }
    const T& operator()(int i, int j, int k) const { return data_[index(i, j, k)]; }
    int length(int j) const { return length_[block(j)]; }
    int dim2() const { return static_cast<int>(length_.size()); }
    int dim3() const { return n3_; }
    // Column (., j, k) as a 0-based span of length(j) elements.
    std::span<T> column(int j, int k) { return {data_.data() + start(j, k), col_size(j)}; }
    std::span<const T> column(int j, int k) const { return {data_.data() + start(j, k), col_size(j)}; }

    void fill(T v) { std::fill(data_.begin(), data_.end(), v); }
    // n2 blocks: those kept keep their contents, new ones are empty.
    void resize(int n2) {
        start_.resize(static_cast<std::size_t>(n2), 0);
        length_.resize(static_cast<std::size_t>(n2), 0);
    }
    // Room for at least `elements` in all, so that blocks are not moved as
    // they come; it grows by half again at least, so a table filled file by
    // file is not copied over and over.
    void reserve(std::size_t elements) {
        if (elements <= data_.capacity()) return;
        data_.reserve(std::max(elements, data_.capacity() + data_.capacity() / 2));
        advise_huge_pages(data_.data(), data_.capacity() * sizeof(T));
    }
    std::size_t elements() const { return data_.size(); }
    // Block j made of n3 columns of n elements `fill`.
    void set_length(int j, int n, T fill) {
        start_[block(j)] = data_.size();
        length_[block(j)] = n;
        data_.insert(data_.end(), static_cast<std::size_t>(n) * static_cast<std::size_t>(n3_), fill);
    }

private:
    std::size_t block(int j) const {
        assert(j >= 1 && j <= dim2());
        return static_cast<std::size_t>(j - 1);
    }
    std::size_t col_size(int j) const { return static_cast<std::size_t>(length(j)); }
    std::size_t start(int j, int k) const {
        assert(k >= 1 && k <= n3_);
        return start_[block(j)] + col_size(j) * static_cast<std::size_t>(k - 1);
    }
    std::size_t index(int i, int j, int k) const {
        assert(i >= 1 && i <= length(j));
        return start(j, k) + static_cast<std::size_t>(i - 1);
    }
    int n3_ = 1;
    std::vector<T> data_;
    std::vector<std::size_t> start_;
    std::vector<int> length_;
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
        a_.reserve(total);
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
